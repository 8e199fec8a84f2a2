// Starts an update check the way the main program does and quits as soon as a
// line arrives on standard input, with exit status 3, so a test can time how long
// quitting takes while the check is still pending and see the status it returns.
// With --leak it loses a block of 4242 bytes first, for a leak checker to find.
//
// Usage: updatecheck_quitprobe <scheme-host-port> <ca-file> [--leak]

#include "updatecheck.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdlib>
#include <cstring>

namespace {
constexpr int kStandardInput = 0;
constexpr int kExitStatus = 3;
constexpr size_t kLeakedBytes = 4242;

// Allocated and forgotten: no pointer to it stays anywhere.
void loseABlock()
{
    volatile char* block = static_cast<char*>(std::malloc(kLeakedBytes));
    block[0] = 1;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3 || argc > 4)
        return 2;
    if (argc == 4 && std::strcmp(argv[3], "--leak") == 0)
        loseABlock();
    QObject receiver;
    UpdateCheckOptions options;
    options.server = QString::fromLocal8Bit(argv[1]);
    options.caCertFile = QString::fromLocal8Bit(argv[2]);
    startUpdateCheck(&receiver, options);

    QSocketNotifier input(kStandardInput, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app,
                     [] { QCoreApplication::exit(kExitStatus); });
    return app.exec();
}

// Starts an update check the way the main program does and quits as soon as a
// line arrives on standard input, so a test can time how long quitting takes
// while the check is still pending.
//
// Usage: updatecheck_quitprobe <scheme-host-port> <ca-file>

#include "updatecheck.h"

#include <QCoreApplication>
#include <QSocketNotifier>

namespace {
constexpr int kStandardInput = 0;
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    QObject receiver;
    UpdateCheckOptions options;
    options.server = QString::fromLocal8Bit(argv[1]);
    options.caCertFile = QString::fromLocal8Bit(argv[2]);
    startUpdateCheck(&receiver, options);

    QSocketNotifier input(kStandardInput, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    return app.exec();
}

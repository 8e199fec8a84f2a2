// The designer's close notice: whatever arrives on the main program's local socket
// is taken as a file path. Every notice must be handled (no lost or stuck
// connection), and only the exact path of a listed flow may reload it.
//
// Input: a flags byte, then the bytes sent. With bit 0 set the bytes follow the flow
// folder and a separator, so paths inside the folder (the listed flow among them)
// are reached as well as arbitrary ones.

#include "designernotify.h"
#include "flow.h"
#include "fuzzsupport.h"
#include "operationfactory.h"
#include "pages/customtable.h"
#include "pages/customwidget.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>

#include <memory>

namespace {

constexpr char InFlowFolder = 0x01;
constexpr int NoticeTimeoutMs = 5000;

int handledNotices = 0;
std::unique_ptr<CustomWidget> page;

void countingHandler(QtMsgType, const QMessageLogContext&, const QString& message)
{
    // Each connection ends in exactly one of these two lines.
    if (message.startsWith(QLatin1String("KliqoraDesigner is closed")) ||
        message.startsWith(QLatin1String("Designer notice too long")))
        ++handledNotices;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv, true);
    OperationFactory::instance()->registerBuiltinOperations();
    QDir().mkpath(CustomWidget::flowFolder());
    Flow flow;
    flow.setName(QStringLiteral("fuzz"));
    if (!flow.save(QDir(CustomWidget::flowFolder()).filePath(QStringLiteral("fuzz.flw"))))
        fuzz::fail("cannot write the listed flow");
    page = std::make_unique<CustomWidget>();
    // The page lists its flows and starts listening from the event loop.
    QApplication::processEvents();
    if (page->table()->rowCount() != 1 || !page->startNoticeServer())
        fuzz::fail("page not ready");
    qInstallMessageHandler(countingHandler);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    QByteArray bytes(reinterpret_cast<const char*>(data) + 1, int(size) - 1);
    if (data[0] & InFlowFolder)
        bytes.prepend(QFile::encodeName(CustomWidget::flowFolder() + QDir::separator()));

    const int before = handledNotices;
    QLocalSocket sender;
    sender.connectToServer(designerNotifyServerName());
    if (!sender.waitForConnected(NoticeTimeoutMs))
        fuzz::fail("the notice server does not accept");
    sender.write(bytes);
    sender.disconnectFromServer();
    const QDeadlineTimer deadline(NoticeTimeoutMs);
    while (handledNotices == before && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    if (handledNotices != before + 1)
        fuzz::fail("a notice was not handled exactly once");
    if (page->table()->rowCount() != 1)
        fuzz::fail("a notice changed the flow list");
    return 0;
}

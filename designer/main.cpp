// Entry point of the flow designer. It edits the one flow file named after "-f" and
// ends at once without one. The operation prototypes are registered with the
// designer's default interval before the flow loads, so dropped operations start
// with it too.

#include "appconfig.h"
#include "applogger.h"
#include "closenotice.h"
#include "commandline.h"
#include "designernotify.h"
#include "kliqoradesigner.h"
#include "logcategory.h"
#include "operation.h"
#include "operationfactory.h"
#include "platform/backend.h"
#include "testprobe.h"
#include "uistartup.h"

#include <QApplication>

namespace {
constexpr int uiFontPointSize = 9;
constexpr int designerDefaultIntervalMs = 50;
} // namespace

int main(int argc, char* argv[])
{
    UiStartup::useScreenScaling();
    QApplication app(argc, argv);

    const QString filePath = designerFilePathFromArguments(QCoreApplication::arguments());
    if (filePath.isEmpty())
        return 0;

    UiStartup::setApplicationFont(uiFontPointSize);
    app.setStyleSheet(UiStartup::plainDialogButtonsStyleSheet());
    UiStartup::installMessageBoxErrorReporter();

    AppConfig::instance()->load();
    AppLogger::init();
    qCDebug(logCategory()) << "KliqoraDesigner has finished loading config.";
    // The main program's language setting holds here too.
    if (!UiStartup::installTranslations(app))
        qCInfo(logCategory()) << "No Qt translation found; standard buttons stay in English";
    AppConfig::keepRemoteDesktopPermission();
    // Chosen now rather than at the first job, so the log tells at start which input
    // system this session offers.
    platform::backend();

    Operation::setDefaultInterval(designerDefaultIntervalMs);
    OperationFactory::instance()->registerBuiltinOperations();

    KliqoraDesigner window(filePath);
    window.registerRunHotkey();
    window.show();
    QObject::connect(
        &app, &QCoreApplication::aboutToQuit, &app,
        [filePath] { sendCloseNotice(filePath, designerNotifyServerName()); },
        Qt::DirectConnection);
    TestProbe::startFromEnvironment(); // end-to-end tests only
    return QApplication::exec();
}

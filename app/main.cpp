// Entry point of the main program. The start-up order matters: the command line
// first (most of its options never start the window), then the instance guard (a
// second instance must show nothing), the settings before logging (the log level is
// a setting) and before the texts' language (so is the language), the operation
// prototypes before any page loads a flow.

#include "appconfig.h"
#include "applogger.h"
#include "appstyle.h"
#include "commandline/commandlinemode.h"
#include "commandline/controlserver.h"
#include "commandline/instancecontrol.h"
#include "logcategory.h"
#include "mainwidget.h"
#include "operationfactory.h"
#include "platform/backend.h"
#include "singleapplication.h"
#include "systemtray.h"
#include "terminationwatcher.h"
#include "testprobe.h"
#include "uistartup.h"
#include "updatecheck.h"

#include <QTimer>

namespace {
// Suffix of the single-instance key (the application name in front is empty).
const QString instanceKeySuffix = QStringLiteral("13274089");
constexpr int uiFontPointSize = 10;
} // namespace

int main(int argc, char* argv[])
{
    UiStartup::useScreenPixels();
    // Read before any application object exists, which would name the program.
    const QString instanceKey = QCoreApplication::applicationName() + instanceKeySuffix;
    std::optional<ControlProtocol::Request> startupCommand;
    if (argc > 1) {
        const CommandLineOutcome outcome = handleCommandLine(argc, argv, instanceKey);
        if (!outcome.startProgram)
            return outcome.exitStatus;
        startupCommand = outcome.command;
    }

    SingleApplication app(argc, argv, instanceKey);
    // The name of the program's desktop entry: Wayland desktops and the desktop portal
    // (its global shortcuts) know the program by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("kliqora"));
    UiStartup::leaveScalingToStartedPrograms();
    if (!QApplication::setStyle(QStringLiteral("windowsvista")))
        QApplication::setStyle(QStringLiteral("Fusion"));
    if (!app.lock()) {
        // Another instance runs: leave silently, or hand it the command (it started
        // after this one found none).
        return startupCommand ? deliverToRunningInstance(*startupCommand, instanceKey) : 0;
    }

    UiStartup::installMessageBoxErrorReporter();
    // Linux themes put pictures on dialog buttons; the program's buttons carry text only.
    app.setStyleSheet(AppStyle::messageBoxStyleSheet() + UiStartup::plainDialogButtonsStyleSheet());

    AppConfig::instance()->load();
    AppLogger::init();
    qCDebug(logCategory()) << "Application has finished loading config.";
    if (!UiStartup::installTranslations(app))
        qCInfo(logCategory()) << "No Qt translation found; standard buttons stay in English";
    AppConfig::keepRemoteDesktopPermission();
    // Chosen now rather than at the first job, so the log tells at start which input
    // system this session offers.
    platform::backend();

    OperationFactory::instance()->registerBuiltinOperations();
    UiStartup::setApplicationFont(uiFontPointSize);

    MainWidget mainWidget;
    mainWidget.initUi();
    mainWidget.initConnections();
    mainWidget.show();

    SystemTray tray(&mainWidget);
    QObject::connect(&tray, &QSystemTrayIcon::activated, &mainWidget, &MainWidget::onTrayActived);
    QObject::connect(&tray, &SystemTray::sig_showMainWidget, &mainWidget,
                     &MainWidget::onShowMainWidget);
    QObject::connect(&tray, &SystemTray::sig_closeApp, &mainWidget, &MainWidget::onTrayExitApp);
    tray.setVisible(true);

    // Asks for the latest version in the background; a newer one shows in the status bar.
    startUpdateCheck(&mainWidget);

    // Every way out (Ctrl+C, SIGTERM, session end, last window closed) stops a
    // running job first; the tray's exit and the close button do it themselves.
    TerminationWatcher terminationWatcher;
    QObject::connect(&terminationWatcher, &TerminationWatcher::terminationRequested, &mainWidget,
                     &MainWidget::onTrayExitApp);
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &mainWidget,
                     &MainWidget::stopRunningJobs);

    // Commands from the command line. The pages load their flows and recordings from
    // the event loop's first turn (queued in their constructors, before this): the
    // socket opens after that, so that a NAME finds its job.
    InstanceControl control(&mainWidget);
    ControlServer controlServer(
        [&control](const ControlProtocol::Request& request) { return control.handle(request); });
    QTimer::singleShot(0, &mainWidget, [&] {
        controlServer.listen(ControlProtocol::serverName());
        if (startupCommand)
            reportStartupAnswer(control.handle(*startupCommand));
    });

    TestProbe::startFromEnvironment(); // end-to-end tests only
    return app.exec();
}

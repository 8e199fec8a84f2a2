// Entry point of the main program. The start-up order matters: the instance guard
// first (a second instance must show nothing), the settings before logging (the
// log level is a setting), the operation prototypes before any page loads a flow.

#include "appconfig.h"
#include "applogger.h"
#include "appstyle.h"
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

#include <QTranslator>

namespace {
// Suffix of the single-instance key (the application name in front is empty).
const QString instanceKeySuffix = QStringLiteral("13274089");
constexpr int uiFontPointSize = 10;
} // namespace

int main(int argc, char* argv[])
{
    UiStartup::useScreenPixels();
    const QString instanceKey = QCoreApplication::applicationName() + instanceKeySuffix;
    SingleApplication app(argc, argv, instanceKey);
    UiStartup::leaveScalingToStartedPrograms();
    if (!QApplication::setStyle(QStringLiteral("windowsvista")))
        QApplication::setStyle(QStringLiteral("Fusion"));
    if (!app.lock())
        return 0; // another instance runs: leave silently

    QTranslator translator;
    if (!UiStartup::installQtTranslator(app, translator))
        qCInfo(logCategory()) << "No Qt translation found; standard buttons stay in English";
    UiStartup::installMessageBoxErrorReporter();
    // Linux themes put pictures on dialog buttons; the program's buttons carry text only.
    app.setStyleSheet(
        AppStyle::messageBoxStyleSheet() +
        QStringLiteral("QDialogButtonBox { dialogbuttonbox-buttons-have-icons: 0; }\n"));

    AppConfig::instance()->load();
    AppLogger::init();
    qCDebug(logCategory()) << "Application has finished loading config.";
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

    TestProbe::startFromEnvironment(); // end-to-end tests only
    return app.exec();
}

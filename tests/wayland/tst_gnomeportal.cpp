// A flow run on GNOME through its real desktop portal (headless mutter with
// xdg-desktop-portal and its GNOME backend), as a program without mutter's own
// service gets in: the consent dialog, answered through the accessibility bus
// ("Allow remote interaction" ticked, Share pressed), opens the session, and the
// flow's clicks and text arrive at a Wayland program, with nothing left pressed.

#include "appconfig.h"
#include "flow.h"
#include "mouseclickoperation.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "wayland/portalremotedesktop.h"
#include "wayland/remotedesktopinjector.h"
#include "wayland/waylandbackend.h"
#include "waylandclientlog.h"
#include "waylandsession.h"

#include "platform/backend.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <QProcess>
#include <QtTest>

#include <thread>

using platform::wayland::PortalRemoteDesktop;
using platform::wayland::RemoteDesktopInjector;
using platform::wayland::WaylandBackend;

namespace {

constexpr int LeftButton = 0x110;
constexpr int PortalStartTimeoutMs = 20000;
constexpr int ConsentTimeoutS = 30;
constexpr int ProcessEndTimeoutMs = 5000;
// mutter types only characters with a key in the user's layout.
const QString FlowText = QStringLiteral("Portal: 1 + 1 = 2 ok");
const QString PortalDir = QStringLiteral("/usr/libexec/");
const QStringList PortalPrograms = {QStringLiteral("xdg-desktop-portal-gnome"),
                                    QStringLiteral("xdg-desktop-portal")};
const QString PortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString GnomeBackendService = QStringLiteral("org.freedesktop.impl.portal.desktop.gnome");

void moveTo(int x, int y)
{
    const platform::Input move =
        platform::Input::mouseInput(platform::MouseFlag::Move | platform::MouseFlag::Absolute,
                                    x * 65535 / 1280, y * 65535 / 800);
    platform::sendInput(&move, 1);
}

bool onBus(const QString& service)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(service);
}

} // namespace

class TestGnomePortal : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void consentedFlowClicksAndTypesAtTheProgram();

private:
    // The portal and its GNOME backend, on the desktop's bus and display.
    void startPortal();
    // Opens the portal's session while the accessibility bus answers its dialog;
    // the backend on it, or null.
    std::unique_ptr<platform::Backend> consentedBackend();

    std::vector<std::unique_ptr<QProcess>> m_portal;
    std::unique_ptr<platform::Backend> m_previousBackend;
    WaylandClientLog m_client;
};

void TestGnomePortal::initTestCase()
{
    for (const QString& program : PortalPrograms) {
        if (!QFileInfo(PortalDir + program).isExecutable())
            QSKIP(qPrintable(program + QStringLiteral(" is not installed (scripts/setup)")));
    }
    QProcess accessibility;
    accessibility.start(QStringLiteral(KLIQORA_ANSWER_CONSENT), {QStringLiteral("--check")});
    if (!accessibility.waitForFinished() || accessibility.exitCode() != 0)
        QSKIP("python3-pyatspi is not installed (scripts/setup)");
    // The process's own choice is made before the desktop is in reach: made later, it
    // would open a second session, through mutter's service, beside the portal's.
    platform::backend();
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    startPortal();
    std::unique_ptr<platform::Backend> backend = consentedBackend();
    QVERIFY2(backend, "the portal gave no remote-desktop session");
    m_previousBackend = platform::installBackend(std::move(backend));
    QVERIFY(m_client.start());
    QVERIFY(m_client.waitUntilPlaced(moveTo));
}

void TestGnomePortal::startPortal()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The portal picks its GNOME backend on a GNOME desktop; the dialog is a Wayland window.
    environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("wayland"));
    environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("keyfile"));
    // The consent dialog is found by its English labels; the tests' own language
    // (Chinese) would translate them.
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    environment.remove(QStringLiteral("NO_AT_BRIDGE"));
    environment.remove(QStringLiteral("GTK_A11Y"));
    for (const QString& program : PortalPrograms) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        // Their warnings about the portals a headless desktop lacks are no news.
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(PortalDir + program, QStringList());
        QVERIFY2(process->waitForStarted(), qPrintable(program + QStringLiteral(" did not start")));
        m_portal.push_back(std::move(process));
    }
    QTRY_VERIFY_WITH_TIMEOUT(onBus(PortalService) && onBus(GnomeBackendService),
                             PortalStartTimeoutMs);
}

std::unique_ptr<platform::Backend> TestGnomePortal::consentedBackend()
{
    std::unique_ptr<RemoteDesktopInjector> injector;
    std::string why;
    std::atomic<bool> done{false};
    // The portal's calls block until the user answers: on a thread of their own.
    std::thread opener([&] {
        if (auto session = PortalRemoteDesktop::start({}, why))
            injector = RemoteDesktopInjector::create(std::move(session));
        done = true;
    });
    QProcess answer;
    answer.setProcessChannelMode(QProcess::ForwardedChannels);
    answer.start(QStringLiteral(KLIQORA_ANSWER_CONSENT), {QString::number(ConsentTimeoutS)});
    const bool answered = answer.waitForFinished((ConsentTimeoutS + 5) * 1000) &&
                          answer.exitStatus() == QProcess::NormalExit && answer.exitCode() == 0;
    if (!answered)
        answer.kill();
    // Unanswered, the portal's own timeout ends the wait.
    if (!QTest::qWaitFor([&] { return done.load(); }, PortalStartTimeoutMs))
        qWarning("The portal has not answered yet: waiting for its own timeout");
    opener.join();
    if (!injector)
        qWarning("No portal session: %s", why.c_str());
    if (!answered || !injector)
        return nullptr;
    return std::make_unique<WaylandBackend>(std::move(injector));
}

void TestGnomePortal::cleanupTestCase()
{
    if (m_previousBackend)
        platform::installBackend(std::move(m_previousBackend)); // closes the portal's session
    // Gone from the shared desktop's bus, so that no later test meets them there.
    for (const std::unique_ptr<QProcess>& process : m_portal) {
        process->terminate();
        if (!process->waitForFinished(ProcessEndTimeoutMs)) {
            process->kill();
            process->waitForFinished();
        }
    }
}

void TestGnomePortal::consentedFlowClicksAndTypesAtTheProgram()
{
    Flow flow;
    auto* click = new MouseClickOperation(&flow);
    click->setInterval(0);
    click->setPosition(QPoint(321, 234));
    flow.operations().append(click);
    auto* text = new TextInputOperation(&flow);
    text->setInterval(0);
    text->setText(FlowText);
    flow.operations().append(text);

    m_client.clear();
    AppConfig::runFlag = true;
    std::thread job([&flow] { flow.run(); });
    const bool typed = QTest::qWaitFor([&] { return m_client.typedText() == FlowText; }, 10000);
    job.join();
    AppConfig::runFlag = false;

    QCOMPARE(m_client.matching(wholeLine(QStringLiteral("button .*"))),
             (QStringList{QStringLiteral("button %1 pressed 321 234").arg(LeftButton),
                          QStringLiteral("button %1 released 321 234").arg(LeftButton)}));
    QVERIFY2(typed, qPrintable(m_client.typedText()));
    // The last release may come a moment after the last character.
    QTRY_VERIFY(m_client.keysDown().isEmpty());
    QTRY_VERIFY(m_client.buttonsDown().isEmpty());
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestGnomePortal)
#include "tst_gnomeportal.moc"

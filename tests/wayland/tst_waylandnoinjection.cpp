// A Wayland desktop that lets no program send input (here mutter with its remote
// desktop out of reach and no portal) and no usable X display: the backend says so
// once with every reason, reports that input reaches nothing, and fails cleanly.

#include "platform/backend.h"
#include "testenvironment.h"
#include "waylandsession.h"

#include <QtTest>

namespace {

QStringList g_log;

void collectLog(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_log << message;
}

} // namespace

class TestWaylandNoInjection : public QObject
{
    Q_OBJECT

private slots:
    void noWayInIsReportedOnce();
};

void TestWaylandNoInjection::noWayInIsReportedOnce()
{
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    qInstallMessageHandler(collectLog);
    const QString name = QString::fromLatin1(platform::backend().name());
    qInstallMessageHandler(nullptr);
    QCOMPARE(name, QStringLiteral("null"));
    QCOMPARE(platform::inputReach(), platform::InputReach::Nothing);
    QCOMPARE(g_log.filter(QStringLiteral("Input backend:")),
             QStringList{QStringLiteral(
                 "Input backend: null, because WAYLAND_DISPLAY is set but the compositor offers "
                 "no virtual pointer and keyboard, mutter's remote desktop is not on the session "
                 "bus, and the desktop portal offers no remote desktop, and no X display is "
                 "usable: no input can be injected")});
    const platform::Input click = platform::Input::mouseInput(platform::MouseFlag::LeftDown);
    QCOMPARE(platform::sendInput(&click, 1), 0u);
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestWaylandNoInjection)
#include "tst_waylandnoinjection.moc"

// A GNOME desktop that lets a program neither send input nor take global keys nor
// watch input (headless mutter with its remote desktop out of reach), with Qt on its
// Wayland platform: the main window says input reaches nothing, the hotkey dialog
// shows the command to bind in the desktop's own settings, and the record button is
// disabled with its reason. With KLIQORA_TEST_SHOTS set, each window's picture is kept
// there to be looked at.

#include "commandline/jobspec.h"
#include "dialogs/hotkeyset.h"
#include "mainwidget.h"
#include "pages/recordwidget.h"
#include "platform/backend.h"
#include "testenvironment.h"
#include "waylandsession.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Keeps the window's picture where KLIQORA_TEST_SHOTS says, if it says.
void keepPicture(QWidget* window, const QString& name)
{
    const QString dir = qEnvironmentVariable("KLIQORA_TEST_SHOTS");
    if (!dir.isEmpty())
        QVERIFY(window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
}

} // namespace

class TestWaylandFallbacks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void mainWindowSaysInputReachesNothingAndRecordingIsOff();
    void hotkeyDialogShowsTheCommandToBind();
};

void TestWaylandFallbacks::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    QCOMPARE(platform::inputReach(), platform::InputReach::Nothing);
}

void TestWaylandFallbacks::mainWindowSaysInputReachesNothingAndRecordingIsOff()
{
    MainWidget window;
    window.initUi();
    window.initConnections();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto* notice = window.findChild<QLabel*>(QStringLiteral("lblInputReachNotice"));
    QVERIFY(notice && notice->isVisible());
    QCOMPARE(notice->text(), QStringLiteral("无法发送键盘鼠标输入：任务运行后不会有任何效果。"));
    keepPicture(&window, QStringLiteral("mutter-main-window"));

    window.findChild<QPushButton*>(QStringLiteral("btnRecord"))->click();
    RecordWidget* page = window.recordWidget();
    QTRY_VERIFY(page->isVisible());
    QVERIFY(!page->recordButton()->isEnabled());
    const auto* reason = page->findChild<QLabel*>(QStringLiteral("lblRecordUnavailable"));
    QVERIFY(reason && reason->isVisible());
    QVERIFY(reason->text().contains(QStringLiteral("X11")));
    QCOMPARE(page->recordButton()->toolTip(), reason->text());
    keepPicture(&window, QStringLiteral("mutter-record-page"));
}

void TestWaylandFallbacks::hotkeyDialogShowsTheCommandToBind()
{
    HotKeySet dialog;
    dialog.setHotkeyText(QStringLiteral("F8"));
    dialog.setJob(JobSpec{JobSpec::Kind::Clicker, QString()});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const auto* hint = dialog.findChild<QLabel*>(QStringLiteral("lblDesktopShortcutHint"));
    QVERIFY(hint && hint->isVisible());
    QVERIFY(hint->text().startsWith(QStringLiteral("此桌面不允许程序使用全局快捷键。")));
    const auto* command = dialog.findChild<QLineEdit*>(QStringLiteral("edtToggleCommand"));
    QVERIFY(command && command->isVisible());
    QVERIFY2(command->text().contains(QStringLiteral(" --toggle ")), qPrintable(command->text()));
    keepPicture(&dialog, QStringLiteral("mutter-hotkey-dialog"));
}

int main(int argc, char** argv)
{
    TestHome testHome;
    if (!WaylandSession::enter()) {
        qCritical("no headless compositor session (run through ctest)");
        return 1;
    }
    // mutter's remote desktop and every portal out of reach: nothing lets input in.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    qputenv("QT_QPA_PLATFORM", "wayland");
    QApplication app(argc, argv);
    TestWaylandFallbacks test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_waylandfallbacks.moc"

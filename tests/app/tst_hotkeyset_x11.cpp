// The hotkey dialog on a real X server: while it is open a registered global
// hotkey starts nothing, keys typed on the keyboard are captured, and once it
// is confirmed the hotkey works again.

#include "dialogs/hotkeyset.h"
#include "hotkeymanage.h"
#include "qhotkey.h"
#include "testenvironment.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

// After Qt: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

namespace {
constexpr int settleMs = 200;
constexpr int activationTimeoutMs = 2000;
} // namespace

class TestHotKeySetX11 : public QObject
{
    Q_OBJECT

private slots:
    void noHotkeyFiresWhileOpen();
};

void TestHotKeySetX11::noHotkeyFiresWhileOpen()
{
    X11TestClient user;
    QVERIFY2(user.display(), "no X display");
    QHotkey hotkey(QKeySequence(QStringLiteral("F2")), true);
    QVERIFY(hotkey.isRegistered());
    HotkeyManage::instance()->addHotkey(&hotkey);
    QSignalSpy spy(&hotkey, &QHotkey::activated);

    HotKeySet dialog;
    int firedWhileOpen = -1;
    QTimer::singleShot(0, &dialog, [&] {
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        user.press({XK_F2});
        user.press({XK_Control_L, XK_Shift_L, XK_s});
        QTest::qWait(settleMs);
        firedWhileOpen = spy.count();
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnOk")),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(firedWhileOpen, 0);
    QCOMPARE(dialog.hotkeyText(), QStringLiteral("Ctrl+Shift+S")); // typed for real

    user.press({XK_F2});
    QVERIFY(spy.wait(activationTimeoutMs));
    QCOMPARE(spy.count(), 1);
}

KLIQORA_TEST_MAIN(TestHotKeySetX11)
#include "tst_hotkeyset_x11.moc"

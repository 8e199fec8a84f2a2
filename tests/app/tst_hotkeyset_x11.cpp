// The hotkey dialog on a real X server: while it is open a registered global
// hotkey starts nothing, keys typed on the keyboard are captured, and once it
// is confirmed the hotkey works again; a key another job of the program holds is
// refused with that job's name.

#include "dialogs/hotkeyset.h"
#include "hotkeymanage.h"
#include "modalanswers.h"
#include "qhotkey.h"
#include "testenvironment.h"

#include <QLineEdit>
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
    void keyOfAnotherJobNamesThatJob();
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
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("btnOk")), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QCOMPARE(firedWhileOpen, 0);
    QCOMPARE(dialog.hotkeyText(), QStringLiteral("Ctrl+Shift+S")); // typed for real

    user.press({XK_F2});
    QVERIFY(spy.wait(activationTimeoutMs));
    QCOMPARE(spy.count(), 1);
}

void TestHotKeySetX11::keyOfAnotherJobNamesThatJob()
{
    QHotkey taken(QKeySequence(QStringLiteral("Ctrl+F6")), true);
    QVERIFY(taken.isRegistered());
    HotkeyManage::instance()->addHotkey(&taken, [] { return QStringLiteral("挂机跑图"); });

    HotKeySet dialog;
    dialog.setHotkeyText(QStringLiteral("F9"));
    MessageBoxCloser closer;
    bool openAfterTakenKey = false;
    QTimer::singleShot(0, &dialog, [&] {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("edtHotKey"));
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("btnOk"));
        edit->setText(QStringLiteral("Ctrl+F6"));
        closer.arm(&dialog);
        QTest::mouseClick(ok, Qt::LeftButton);
        openAfterTakenKey = dialog.isVisible();
        edit->setText(QStringLiteral("Ctrl+F7")); // free: accepted
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(openAfterTakenKey);
    QCOMPARE(closer.title, QStringLiteral("快捷键不可用"));
    QCOMPARE(closer.text, QStringLiteral("快捷键 Ctrl+F6 已被“挂机跑图”使用，请换一个按键。"));
    QCOMPARE(dialog.hotkeyText(), QStringLiteral("Ctrl+F7"));
}

KLIQORA_TEST_MAIN(TestHotKeySetX11)
#include "tst_hotkeyset_x11.moc"

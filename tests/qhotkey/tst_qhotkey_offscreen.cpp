// Without a system that offers global hotkeys every registration fails and
// nothing else breaks.

#include "qhotkey.h"
#include "testenvironment.h"

#include <QSignalSpy>

class TestQHotkeyOffscreen : public QObject
{
    Q_OBJECT

private slots:
    void registrationFailsCleanly();
};

void TestQHotkeyOffscreen::registrationFailsCleanly()
{
    QVERIFY(!QHotkey::isPlatformSupported());

    QHotkey hotkey(QKeySequence(QStringLiteral("F2")), true);
    QSignalSpy changed(&hotkey, &QHotkey::registeredChanged);
    QVERIFY(!hotkey.isRegistered());
    QCOMPARE(hotkey.shortcut(), QKeySequence(QStringLiteral("F2")));

    QVERIFY(!hotkey.setRegistered(true));
    QVERIFY(!hotkey.setShortcut(QKeySequence(QStringLiteral("Ctrl+F5")), true));
    QCOMPARE(hotkey.shortcut(), QKeySequence(QStringLiteral("Ctrl+F5")));
    QVERIFY(!hotkey.isRegistered());
    QVERIFY(hotkey.setRegistered(false)); // already unregistered: nothing to do
    QCOMPARE(changed.count(), 0);
}

KLIQORA_TEST_MAIN(TestQHotkeyOffscreen)
#include "tst_qhotkey_offscreen.moc"

// Global hotkeys through the desktop portal's GlobalShortcuts, against a stand-in
// portal on the test's own session bus: the keys registered together are bound in one
// session with their triggers and descriptions, the desktop's signals reach their
// key, a change binds anew, and a key the desktop refuses or binds otherwise is taken
// back like a refused grab.

#include "fakeshortcutsportal.h"
#include "hotkeysession.h"
#include "keysymhotkey.h"
#include "portal/portaltrigger.h"
#include "qhotkey.h"
#include "qtcompat.h"
#include "testenvironment.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int BindTimeoutMs = 5000;
constexpr int SettleMs = 100;

NativeHotkey nativeOf(const QString& key)
{
    const int combined = QtCompat::keyCombination(QKeySequence(key), 0);
    NativeHotkey native;
    toKeysymHotkey(Qt::Key(combined & ~int(Qt::KeyboardModifierMask)),
                   Qt::KeyboardModifiers(combined & int(Qt::KeyboardModifierMask)), &native);
    return native;
}

} // namespace

class TestPortalHotkeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void triggerNotation_data();
    void triggerNotation();
    void triggerReportedBack_data();
    void triggerReportedBack();

    void keysRegisteredTogetherAreBoundInOneSession();
    void signalsOfTheSessionReachTheirKey();
    void aChangeBindsAnewInANewSession();
    void refusedOrOtherwiseBoundKeysAreTakenBack_data();
    void refusedOrOtherwiseBoundKeysAreTakenBack();
    void aKeyTheUserChangesLaterIsTakenBack();

private:
    // Waits for the next BindShortcuts; false when none comes.
    bool waitForBind();

    FakeShortcutsPortal m_portal;
    int m_bindsSeen = 0;
};

void TestPortalHotkeys::initTestCase()
{
    // A connection of its own: a portal and its client never share one.
    QVERIFY2(m_portal.start(), "no session bus of the test's own (run through ctest)");
    QGuiApplication::setDesktopFileName(QStringLiteral("kliqora"));
    QVERIFY(QHotkey::isPlatformSupported());
    QVERIFY(!hotkeysLeftToDesktop());
    // The program says who it is before anything else, as recent portals require.
    QCOMPARE(m_portal.members().value(0), QStringLiteral("Register"));
}

void TestPortalHotkeys::init()
{
    m_portal.answerBinds(0);
    // The previous test's keys went with their objects: let that unbinding pass.
    QTest::qWait(SettleMs);
    m_bindsSeen = m_portal.binds().size();
}

bool TestPortalHotkeys::waitForBind()
{
    if (!QTest::qWaitFor([&] { return m_portal.binds().size() > m_bindsSeen; }, BindTimeoutMs))
        return false;
    m_bindsSeen = m_portal.binds().size();
    QTest::qWait(SettleMs); // the answer, after the call
    return true;
}

void TestPortalHotkeys::triggerNotation_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("trigger");
    QTest::newRow("function key") << "F2"
                                  << "F2";
    QTest::newRow("letter, lower case") << "Ctrl+Shift+S"
                                        << "CTRL+SHIFT+s";
    QTest::newRow("every modifier") << "Meta+Alt+Ctrl+Shift+Space"
                                    << "CTRL+ALT+SHIFT+LOGO+space";
    QTest::newRow("named key") << "Alt+Return"
                               << "ALT+Return";
}

void TestPortalHotkeys::triggerNotation()
{
    QFETCH(QString, key);
    QFETCH(QString, trigger);
    QCOMPARE(portalTrigger(nativeOf(key)), trigger);
}

void TestPortalHotkeys::triggerReportedBack_data()
{
    QTest::addColumn<QString>("reported");
    QTest::addColumn<bool>("same");
    // Asked for: Ctrl+Shift+F9.
    QTest::newRow("the portal's notation") << "CTRL+SHIFT+F9" << true;
    QTest::newRow("Qt's notation, other order") << "Shift+Ctrl+F9" << true;
    QTest::newRow("no key") << "" << false;
    QTest::newRow("another key") << "Ctrl+Shift+F10" << false;
    QTest::newRow("fewer modifiers") << "CTRL+F9" << false;
    QTest::newRow("a desktop's own words") << "Strg+Umschalt+F9" << true;
}

void TestPortalHotkeys::triggerReportedBack()
{
    QFETCH(QString, reported);
    QFETCH(bool, same);
    QCOMPARE(triggerNames(reported, nativeOf(QStringLiteral("Ctrl+Shift+F9"))), same);
}

void TestPortalHotkeys::keysRegisteredTogetherAreBoundInOneSession()
{
    QHotkey clicker(QKeySequence(QStringLiteral("Ctrl+F2")), true);
    clicker.setDescription(QStringLiteral("鼠标连点"));
    QHotkey other(QKeySequence(QStringLiteral("Meta+Shift+A")), true);
    QVERIFY(clicker.isRegistered());
    QVERIFY(other.isRegistered());
    QVERIFY(waitForBind());
    QCOMPARE(m_portal.binds().size(), m_bindsSeen); // one bind for both
    QMap<QString, QVariantMap> bound;
    // A copy: binds() hands out a temporary, and a loop over a part of it would read freed memory.
    const QList<FakeShortcutsPortal::Shortcut> lastBind = m_portal.binds().last();
    for (const FakeShortcutsPortal::Shortcut& shortcut : lastBind)
        bound.insert(shortcut.id, shortcut.properties);
    QCOMPARE(bound.keys(), (QStringList{"CTRL+F2", "SHIFT+LOGO+a"}));
    QCOMPARE(bound.value(QStringLiteral("CTRL+F2")),
             (QVariantMap{{QStringLiteral("preferred_trigger"), QStringLiteral("CTRL+F2")},
                          {QStringLiteral("description"), QStringLiteral("鼠标连点")}}));
    // Without a description of its own, the key describes itself.
    QCOMPARE(bound.value(QStringLiteral("SHIFT+LOGO+a")).value(QStringLiteral("description")),
             QVariant(QStringLiteral("SHIFT+LOGO+a")));
    QVERIFY(m_portal.members().indexOf(QStringLiteral("CreateSession")) <
            m_portal.members().lastIndexOf(QStringLiteral("BindShortcuts")));
    QVERIFY(clicker.isRegistered());
    QVERIFY(other.isRegistered());
}

void TestPortalHotkeys::signalsOfTheSessionReachTheirKey()
{
    QHotkey hotkey(QKeySequence(QStringLiteral("Ctrl+F3")), true);
    QVERIFY(waitForBind());
    QSignalSpy activated(&hotkey, &QHotkey::activated);
    QSignalSpy released(&hotkey, &QHotkey::released);
    const QString session = m_portal.lastSession();

    m_portal.activate(session, QStringLiteral("CTRL+F3"));
    QVERIFY(activated.wait(BindTimeoutMs));
    m_portal.deactivate(session, QStringLiteral("CTRL+F3"));
    QVERIFY(released.wait(BindTimeoutMs));

    // Another session's shortcut and an id of no key of ours do nothing.
    m_portal.activate(session + QStringLiteral("x"), QStringLiteral("CTRL+F3"));
    m_portal.activate(session, QStringLiteral("CTRL+F4"));
    QTest::qWait(SettleMs);
    QCOMPARE(activated.count(), 1);
}

void TestPortalHotkeys::aChangeBindsAnewInANewSession()
{
    QHotkey hotkey(QKeySequence(QStringLiteral("F4")), true);
    QVERIFY(waitForBind());
    const QString first = m_portal.lastSession();
    QSignalSpy activated(&hotkey, &QHotkey::activated);

    QVERIFY(hotkey.setShortcut(QKeySequence(QStringLiteral("Shift+F4")), true));
    QVERIFY(waitForBind());
    QVERIFY(m_portal.closedSessions().contains(first));
    QCOMPARE(m_portal.binds().last().size(), 1);
    QCOMPARE(m_portal.binds().last()[0].id, QStringLiteral("SHIFT+F4"));
    m_portal.activate(first, QStringLiteral("F4"));
    m_portal.activate(m_portal.lastSession(), QStringLiteral("SHIFT+F4"));
    QVERIFY(activated.wait(BindTimeoutMs));
    QTest::qWait(SettleMs);
    QCOMPARE(activated.count(), 1);

    // A new description is shown by the desktop only after a new bind.
    hotkey.setDescription(QStringLiteral("流程 A"));
    QVERIFY(waitForBind());
    QCOMPARE(m_portal.binds().last()[0].properties.value(QStringLiteral("description")).toString(),
             QStringLiteral("流程 A"));

    // The last key gone: the session closes and nothing is bound.
    const QString last = m_portal.lastSession();
    hotkey.setRegistered(false);
    QTRY_VERIFY_WITH_TIMEOUT(m_portal.closedSessions().contains(last), BindTimeoutMs);
    QTest::qWait(SettleMs);
    QCOMPARE(m_portal.binds().size(), m_bindsSeen);
}

void TestPortalHotkeys::refusedOrOtherwiseBoundKeysAreTakenBack_data()
{
    QTest::addColumn<uint>("response");
    QTest::addColumn<QString>("chosen"); // "-": the preferred trigger; "(left out)"
    QTest::addColumn<bool>("kept");
    QTest::newRow("bound as asked") << 0u << "-" << true;
    QTest::newRow("bound as asked, the desktop's notation") << 0u << "Ctrl+F6" << true;
    QTest::newRow("the user cancelled") << 1u << "-" << false;
    QTest::newRow("no key bound") << 0u << "" << false;
    QTest::newRow("the user chose another key") << 0u << "Ctrl+Alt+F6" << false;
    QTest::newRow("left out of the answer") << 0u << "(left out)" << false;
}

void TestPortalHotkeys::refusedOrOtherwiseBoundKeysAreTakenBack()
{
    QFETCH(uint, response);
    QFETCH(QString, chosen);
    QFETCH(bool, kept);
    const QString id = QStringLiteral("CTRL+F6");
    QMap<QString, QString> chosenTriggers;
    QSet<QString> leftOut;
    if (chosen == QLatin1String("(left out)"))
        leftOut.insert(id);
    else if (chosen != QLatin1String("-"))
        chosenTriggers.insert(id, chosen);
    m_portal.answerBinds(response, chosenTriggers, leftOut);

    QHotkey hotkey(QKeySequence(QStringLiteral("Ctrl+F6")), true);
    QSignalSpy refused(&hotkey, &QHotkey::refused);
    QSignalSpy changed(&hotkey, &QHotkey::registeredChanged);
    QVERIFY(hotkey.isRegistered()); // until the desktop answers
    QVERIFY(waitForBind());
    QCOMPARE(hotkey.isRegistered(), kept);
    QCOMPARE(refused.count(), kept ? 0 : 1);
    QCOMPARE(changed.count(), kept ? 0 : 1);
    if (!kept) {
        // Taken back without binding the rest again, and registrable again later.
        QTest::qWait(SettleMs);
        QCOMPARE(m_portal.binds().size(), m_bindsSeen);
        m_portal.answerBinds(0);
        QVERIFY(hotkey.setRegistered(true));
        QVERIFY(waitForBind());
        QVERIFY(hotkey.isRegistered());
    }
}

void TestPortalHotkeys::aKeyTheUserChangesLaterIsTakenBack()
{
    QHotkey hotkey(QKeySequence(QStringLiteral("Alt+F7")), true);
    QHotkey other(QKeySequence(QStringLiteral("Alt+F8")), true);
    QVERIFY(waitForBind());
    QSignalSpy refused(&hotkey, &QHotkey::refused);
    QSignalSpy activated(&hotkey, &QHotkey::activated);
    const QString session = m_portal.lastSession();

    m_portal.changeTrigger(session, QStringLiteral("ALT+F7"), QStringLiteral("Meta+K"));
    QVERIFY(refused.wait(BindTimeoutMs));
    QVERIFY(!hotkey.isRegistered());
    QVERIFY(other.isRegistered());
    m_portal.activate(m_portal.lastSession(), QStringLiteral("ALT+F7"));
    QTest::qWait(SettleMs);
    QCOMPARE(activated.count(), 0);
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestPortalHotkeys)
#include "tst_portalhotkeys.moc"

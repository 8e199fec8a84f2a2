// The hotkey list on a real X server: keys are pressed through XTest, so
// "silenced" and "released" are checked where the user would notice them.

#include "hotkeymanage.h"
#include "qhotkey.h"
#include "testenvironment.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimer>

// After Qt: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

namespace {

constexpr int settleMs = 150;
constexpr int activationTimeoutMs = 2000;

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

void deleteScheduled()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestHotkeyManage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void addKeepsEachHotkeyOnce();
    void blockOthers_data();
    void blockOthers();
    void hotkeyDeletedBehindTheManagerIsPurged_data();
    void hotkeyDeletedBehindTheManagerIsPurged();
    void removeHotkeyReleasesAndDeletes();
    void quittingReleasesEveryKey();

private:
    // Presses the key and reports which of the spies saw an activation.
    QVector<bool> fired(const QVector<KeySym>& keys, const QVector<QSignalSpy*>& spies);

    X11TestClient m_user;
};

void TestHotkeyManage::initTestCase()
{
    QVERIFY2(m_user.display(), "no X display");
    XSetErrorHandler(&ignoreErrors);
    QVERIFY(QHotkey::isPlatformSupported());
}

void TestHotkeyManage::init()
{
    // Entries that earlier tests' keys left behind are dropped: counts start clean.
    HotkeyManage::instance()->blockOthers(nullptr, false);
}

QVector<bool> TestHotkeyManage::fired(const QVector<KeySym>& keys,
                                      const QVector<QSignalSpy*>& spies)
{
    for (QSignalSpy* spy : spies)
        spy->clear();
    m_user.press(keys);
    QTest::qWait(settleMs);
    QVector<bool> result;
    for (QSignalSpy* spy : spies)
        result.append(!spy->isEmpty());
    return result;
}

void TestHotkeyManage::addKeepsEachHotkeyOnce()
{
    HotkeyManage* manager = HotkeyManage::instance();
    QCOMPARE(manager, HotkeyManage::instance());
    const int before = manager->count();
    QHotkey hotkey(QKeySequence(QStringLiteral("F2")), true);
    manager->addHotkey(&hotkey);
    manager->addHotkey(&hotkey);
    manager->addHotkey(nullptr);
    QCOMPARE(manager->count(), before + 1);
    manager->removeHotkey(nullptr); // ignored
    manager->blockOthers(nullptr, false);
}

void TestHotkeyManage::blockOthers_data()
{
    QTest::addColumn<int>("except"); // index of the spared hotkey, -1 for none
    QTest::newRow("all but the first") << 0;
    QTest::newRow("all but the last") << 2;
    QTest::newRow("all") << -1;
}

void TestHotkeyManage::blockOthers()
{
    QFETCH(int, except);
    const QVector<KeySym> keys[] = {{XK_F3}, {XK_Control_L, XK_F4}, {XK_Alt_L, XK_F6}};
    const QString texts[] = {QStringLiteral("F3"), QStringLiteral("Ctrl+F4"),
                             QStringLiteral("Alt+F6")};
    std::vector<std::unique_ptr<QHotkey>> hotkeys;
    std::vector<std::unique_ptr<QSignalSpy>> spyStore;
    QVector<QSignalSpy*> spies;
    for (const QString& text : texts) {
        hotkeys.push_back(std::make_unique<QHotkey>(QKeySequence(text), true));
        QVERIFY2(hotkeys.back()->isRegistered(), qPrintable(text));
        HotkeyManage::instance()->addHotkey(hotkeys.back().get());
        spyStore.push_back(std::make_unique<QSignalSpy>(hotkeys.back().get(), &QHotkey::activated));
        spies.append(spyStore.back().get());
    }
    QHotkey* spared = except >= 0 ? hotkeys.at(size_t(except)).get() : nullptr;

    HotkeyManage::instance()->blockOthers(spared, true);
    for (int i = 0; i < 3; ++i) {
        QVector<bool> expected(3, false);
        expected[i] = i == except;
        QCOMPARE(fired(keys[i], spies), expected);
        QVERIFY(hotkeys.at(size_t(i))->isRegistered()); // silenced, still held
    }

    HotkeyManage::instance()->blockOthers(spared, false);
    for (int i = 0; i < 3; ++i) {
        QVector<bool> expected(3, false);
        expected[i] = true;
        QCOMPARE(fired(keys[i], spies), expected);
    }
}

void TestHotkeyManage::hotkeyDeletedBehindTheManagerIsPurged_data()
{
    QTest::addColumn<bool>("byAnAdd"); // else by a block
    QTest::newRow("the next add drops it") << true;
    QTest::newRow("the next block drops it") << false;
}

void TestHotkeyManage::hotkeyDeletedBehindTheManagerIsPurged()
{
    QFETCH(bool, byAnAdd);
    HotkeyManage* manager = HotkeyManage::instance();
    const int before = manager->count();
    auto doomed = std::make_unique<QHotkey>(QKeySequence(QStringLiteral("F7")), true);
    QHotkey survivor(QKeySequence(QStringLiteral("F8")), true);
    QHotkey later(QKeySequence(QStringLiteral("F6")), true);
    manager->addHotkey(doomed.get());
    manager->addHotkey(&survivor);
    doomed.reset();
    QCOMPARE(manager->count(), before + 2); // still listed

    if (byAnAdd) {
        manager->addHotkey(&later);
        QCOMPARE(manager->count(), before + 2); // the later key in, the dead entry out
    } else {
        manager->blockOthers(nullptr, true);
        QCOMPARE(manager->count(), before + 1);
        QVERIFY(survivor.signalsBlocked());
        manager->blockOthers(nullptr, false);
        QVERIFY(!survivor.signalsBlocked());
    }
}

void TestHotkeyManage::removeHotkeyReleasesAndDeletes()
{
    HotkeyManage* manager = HotkeyManage::instance();
    const int before = manager->count();
    QPointer<QHotkey> hotkey = new QHotkey(QKeySequence(QStringLiteral("F9")), true);
    QVERIFY(hotkey->isRegistered());
    QSignalSpy spy(hotkey.data(), &QHotkey::activated);
    manager->addHotkey(hotkey);

    manager->removeHotkey(hotkey);
    QCOMPARE(manager->count(), before);
    QVERIFY(!hotkey.isNull()); // deleted later, not under the caller's feet
    QVERIFY(!hotkey->isRegistered());
    m_user.press({XK_F9});
    QTest::qWait(settleMs);
    QCOMPARE(spy.count(), 0);
    X11TestClient other;
    QVERIFY2(other.grab(XK_F9, 0), "the removed key is still grabbed");
    other.ungrab(XK_F9, 0);

    deleteScheduled();
    QVERIFY(hotkey.isNull());
}

void TestHotkeyManage::quittingReleasesEveryKey()
{
    QPointer<QHotkey> first = new QHotkey(QKeySequence(QStringLiteral("Ctrl+F10")), true);
    QPointer<QHotkey> second = new QHotkey(QKeySequence(QStringLiteral("Ctrl+F11")), true);
    QVERIFY(first->isRegistered() && second->isRegistered());
    HotkeyManage::instance()->addHotkey(first);
    HotkeyManage::instance()->addHotkey(second);

    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    qApp->exec();

    QVERIFY(first.isNull() || !first->isRegistered());
    QVERIFY(second.isNull() || !second->isRegistered());
    X11TestClient other;
    QVERIFY2(other.grab(XK_F10, ControlMask), "a key stayed grabbed after quitting");
    QVERIFY2(other.grab(XK_F11, ControlMask), "a key stayed grabbed after quitting");
    deleteScheduled();
    QVERIFY(first.isNull() && second.isNull());
    QCOMPARE(HotkeyManage::instance()->count(), 0);
}

KLIQORA_TEST_MAIN(TestHotkeyManage)
#include "tst_hotkeymanage.moc"

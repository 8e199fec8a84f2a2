// Global hotkeys on a real X server: keys are pressed through XTest on a
// connection of their own, other programs are played by further connections.

#include "qhotkey.h"
#include "qtcompat.h"
#include "testenvironment.h"

#include <QAbstractNativeEventFilter>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QThread>
#include <QWidget>

#include <memory>

// After Qt: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

#include <xcb/xcb.h>

namespace {

// Long enough for the server to deliver events to the application.
constexpr int settleMs = 150;
constexpr int activationTimeoutMs = 2000;

int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

// Counts the key presses the application receives for one keycode, before the
// hotkey library sees them (filters installed later are asked first).
class PressCounter : public QAbstractNativeEventFilter
{
public:
    explicit PressCounter(KeyCode keycode) : m_keycode(keycode)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~PressCounter() override { QCoreApplication::instance()->removeNativeEventFilter(this); }
    bool nativeEventFilter(const QByteArray&, void* message, QtCompat::NativeEventResult*) override
    {
        const auto* event = static_cast<xcb_key_press_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_KEY_PRESS && event->detail == m_keycode)
            ++presses;
        return false;
    }
    int presses = 0;

private:
    KeyCode m_keycode;
};

int activations(QSignalSpy& spy)
{
    if (spy.isEmpty())
        spy.wait(activationTimeoutMs);
    QTest::qWait(settleMs); // a second activation would arrive by now
    return spy.count();
}

} // namespace

class TestQHotkeyX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void firesOncePerPress_data();
    void firesOncePerPress();
    void modifiersMustMatch();
    void firesWhileOwnWindowHasFocus();
    void heldKeyFiresOnce();
    void keyHeldByAnotherClientIsRefused_data();
    void keyHeldByAnotherClientIsRefused();
    void releasedKeyIsFreeAndSilent_data();
    void releasedKeyIsFreeAndSilent();
    void sameKeyTwiceInOneProcess();
    void keyFollowsKeyboardMappingChange();
    void locksFollowModifierMappingChange();
    void chordsAreRefused();

private:
    X11TestClient m_user;
};

void TestQHotkeyX11::initTestCase()
{
    QVERIFY2(m_user.display(), "no X display");
    QVERIFY(QHotkey::isPlatformSupported());
    XSetErrorHandler(&ignoreErrors); // the test's own clients must not abort on a refused grab
}

void TestQHotkeyX11::cleanup()
{
    m_user.setLocks(0);
}

void TestQHotkeyX11::firesOncePerPress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("nativeText");
    QTest::addColumn<QVector<KeySym>>("keys");
    QTest::addColumn<QString>("locks");

    const QVector<KeySym> f2{XK_F2};
    const QVector<KeySym> ctrlShiftS{XK_Control_L, XK_Shift_L, XK_s};
    // clang-format off
    QTest::newRow("F2") << "F2" << false << f2 << "";
    QTest::newRow("F2, NumLock on") << "F2" << false << f2 << "num";
    QTest::newRow("F2, CapsLock on") << "F2" << false << f2 << "caps";
    QTest::newRow("F2, both locks on") << "F2" << false << f2 << "caps+num";
    QTest::newRow("Ctrl+F5") << "Ctrl+F5" << false << QVector<KeySym>{XK_Control_L, XK_F5} << "";
    QTest::newRow("Ctrl+Shift+S") << "Ctrl+Shift+S" << false << ctrlShiftS << "";
    QTest::newRow("Ctrl+Shift+S, CapsLock on") << "Ctrl+Shift+S" << false << ctrlShiftS << "caps";
    QTest::newRow("Alt+1") << "Alt+1" << false << QVector<KeySym>{XK_Alt_L, XK_1} << "num";
    QTest::newRow("native Ctrl+Shift+S") << "Ctrl+Shift+S" << true << ctrlShiftS << "";
    QTest::newRow("native Alt+1") << "Alt+1" << true << QVector<KeySym>{XK_Alt_L, XK_1} << "";
    // clang-format on
}

void TestQHotkeyX11::firesOncePerPress()
{
    QFETCH(QString, text);
    QFETCH(bool, nativeText);
    QFETCH(QVector<KeySym>, keys);
    QFETCH(QString, locks);

    const QKeySequence sequence = QKeySequence::fromString(
        text, nativeText ? QKeySequence::NativeText : QKeySequence::PortableText);
    QHotkey hotkey(sequence, true);
    QVERIFY2(hotkey.isRegistered(), qPrintable(text));
    QThread* deliveredOn = nullptr;
    connect(&hotkey, &QHotkey::activated, this,
            [&deliveredOn] { deliveredOn = QThread::currentThread(); });
    QSignalSpy spy(&hotkey, &QHotkey::activated);

    m_user.setNamedLocks(locks);

    m_user.press(keys);
    QCOMPARE(activations(spy), 1);
    m_user.press(keys);
    QCOMPARE(activations(spy), 2);
    QCOMPARE(deliveredOn, qApp->thread());
}

void TestQHotkeyX11::modifiersMustMatch()
{
    QHotkey hotkey(QKeySequence(QStringLiteral("Ctrl+Shift+S")), true);
    QVERIFY(hotkey.isRegistered());
    QSignalSpy spy(&hotkey, &QHotkey::activated);

    m_user.press({XK_s});
    m_user.press({XK_Control_L, XK_s});
    m_user.press({XK_Shift_L, XK_s});
    m_user.press({XK_Control_L, XK_Alt_L, XK_Shift_L, XK_s});
    QTest::qWait(settleMs);
    QCOMPARE(spy.count(), 0);
    m_user.press({XK_Control_L, XK_Shift_L, XK_s});
    QCOMPARE(activations(spy), 1);
}

// A widget that records the keys it is given.
class KeyRecorder : public QWidget
{
public:
    int keyPresses = 0;
    int keyReleases = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keyPresses; }
    void keyReleaseEvent(QKeyEvent*) override { ++keyReleases; }
};

void TestQHotkeyX11::firesWhileOwnWindowHasFocus()
{
    // The user starts a job with the program's own window in front.
    KeyRecorder window;
    window.resize(200, 100);
    window.show();
    window.activateWindow(); // no window manager gives it the focus
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QHotkey hotkey(QKeySequence(QStringLiteral("F4")), true);
    QVERIFY(hotkey.isRegistered());
    QSignalSpy spy(&hotkey, &QHotkey::activated);

    m_user.press({XK_F4});
    QCOMPARE(activations(spy), 1);
    m_user.press({XK_F4}); // its release did not go astray to the window either
    QCOMPARE(activations(spy), 2);
    QCOMPARE(window.keyPresses, 0);
    QCOMPARE(window.keyReleases, 0);
    m_user.press({XK_a}); // the window does get ordinary keys
    QTRY_COMPARE(window.keyPresses, 1);
}

void TestQHotkeyX11::heldKeyFiresOnce()
{
    // Fast auto-repeat so a short hold repeats many times.
    constexpr unsigned repeatDelayMs = 100;
    constexpr unsigned repeatIntervalMs = 20;
    constexpr int holdMs = 600;
    unsigned oldDelay = 0;
    unsigned oldInterval = 0;
    XkbGetAutoRepeatRate(m_user.display(), XkbUseCoreKbd, &oldDelay, &oldInterval);
    XkbSetAutoRepeatRate(m_user.display(), XkbUseCoreKbd, repeatDelayMs, repeatIntervalMs);
    XAutoRepeatOn(m_user.display());

    QHotkey hotkey(QKeySequence(QStringLiteral("F3")), true);
    QVERIFY(hotkey.isRegistered());
    QSignalSpy spy(&hotkey, &QHotkey::activated);
    QSignalSpy released(&hotkey, &QHotkey::released);
    PressCounter counter(m_user.keycode(XK_F3));

    m_user.press({XK_F3}, holdMs);
    const int count = activations(spy);
    XkbSetAutoRepeatRate(m_user.display(), XkbUseCoreKbd, oldDelay, oldInterval);

    QVERIFY2(counter.presses > 3, "the server did not auto-repeat; the test proves nothing");
    QCOMPARE(count, 1);
    QCOMPARE(released.count(), 1);
    m_user.press({XK_F3});
    QCOMPARE(activations(spy), 2); // the next real press counts again
}

void TestQHotkeyX11::keyHeldByAnotherClientIsRefused_data()
{
    QTest::addColumn<unsigned>("otherModifiers");
    QTest::newRow("plain") << 0u;
    // Only one of the lock combinations is taken: the key would not work with
    // NumLock on, so it is refused as a whole.
    QTest::newRow("under NumLock only") << m_user.lockMask(XK_Num_Lock);
}

void TestQHotkeyX11::keyHeldByAnotherClientIsRefused()
{
    QFETCH(unsigned, otherModifiers);
    X11TestClient other;
    QVERIFY(other.grab(XK_F7, otherModifiers));

    QHotkey hotkey(QKeySequence(QStringLiteral("F7")), true);
    QVERIFY(!hotkey.isRegistered());
    QVERIFY(!hotkey.setRegistered(true));

    // Nothing of the refused attempt stays grabbed.
    X11TestClient third;
    const unsigned numLock = m_user.lockMask(XK_Num_Lock);
    for (unsigned combo : {0u, unsigned(LockMask), numLock, unsigned(LockMask) | numLock}) {
        if (combo == otherModifiers)
            continue;
        QVERIFY2(third.grab(XK_F7, combo), qPrintable(QString::number(combo)));
        third.ungrab(XK_F7, combo);
    }

    other.ungrab(XK_F7, otherModifiers);
    QVERIFY(hotkey.setRegistered(true));
    QVERIFY(!other.grab(XK_F7, otherModifiers));
}

void TestQHotkeyX11::releasedKeyIsFreeAndSilent_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("unregister") << "unregister";
    QTest::newRow("new shortcut") << "new shortcut";
    QTest::newRow("destroy") << "destroy";
}

void TestQHotkeyX11::releasedKeyIsFreeAndSilent()
{
    QFETCH(QString, how);
    auto hotkey = std::make_unique<QHotkey>(QKeySequence(QStringLiteral("F8")), true);
    QVERIFY(hotkey->isRegistered());
    QSignalSpy spy(hotkey.get(), &QHotkey::activated);

    if (how == QLatin1String("unregister")) {
        QVERIFY(hotkey->setRegistered(false));
        QVERIFY(!hotkey->isRegistered());
    } else if (how == QLatin1String("new shortcut")) {
        QVERIFY(hotkey->setShortcut(QKeySequence(QStringLiteral("F9")), true));
        QVERIFY(hotkey->isRegistered());
    } else {
        hotkey.reset();
    }
    m_user.press({XK_F8});
    QTest::qWait(settleMs);
    QCOMPARE(spy.count(), 0);

    X11TestClient other;
    QVERIFY2(other.grab(XK_F8, 0), "the key is still grabbed");
    QVERIFY(other.grab(XK_F8, m_user.lockMask(XK_Num_Lock) | LockMask));
}

void TestQHotkeyX11::sameKeyTwiceInOneProcess()
{
    QHotkey first(QKeySequence(QStringLiteral("Ctrl+F9")), true);
    QHotkey second(QKeySequence(QStringLiteral("Ctrl+F9")), true);
    QVERIFY(first.isRegistered());
    QVERIFY(!second.isRegistered());
    QSignalSpy firstSpy(&first, &QHotkey::activated);
    QSignalSpy secondSpy(&second, &QHotkey::activated);

    m_user.press({XK_Control_L, XK_F9});
    QCOMPARE(activations(firstSpy), 1);
    QCOMPARE(secondSpy.count(), 0);

    // Once the first lets go, the key is free for the second.
    QVERIFY(first.setRegistered(false));
    QVERIFY(second.setRegistered(true));
    m_user.press({XK_Control_L, XK_F9});
    QCOMPARE(activations(secondSpy), 1);
    QCOMPARE(firstSpy.count(), 1);
}

void TestQHotkeyX11::keyFollowsKeyboardMappingChange()
{
    Display* display = m_user.display();
    const KeyCode oldKeycode = m_user.keycode(XK_F10);
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display, &minKeycode, &maxKeycode);
    KeyCode spare = 0;
    for (int keycode = maxKeycode; keycode >= minKeycode && !spare; --keycode) {
        if (XkbKeycodeToKeysym(display, KeyCode(keycode), 0, 0) == NoSymbol)
            spare = KeyCode(keycode);
    }
    QVERIFY2(oldKeycode && spare, "no F10 key or no spare keycode");

    QHotkey hotkey(QKeySequence(QStringLiteral("F10")), true);
    QVERIFY(hotkey.isRegistered());
    QSignalSpy spy(&hotkey, &QHotkey::activated);

    // Move F10 to the spare keycode, as a layout switch would.
    KeySym f10 = XK_F10;
    KeySym nothing = NoSymbol;
    XChangeKeyboardMapping(display, oldKeycode, 1, &nothing, 1);
    XChangeKeyboardMapping(display, spare, 1, &f10, 1);
    XSync(display, False);
    QTest::qWait(settleMs);

    XTestFakeKeyEvent(display, spare, True, CurrentTime);
    XTestFakeKeyEvent(display, spare, False, CurrentTime);
    XSync(display, False);
    const int count = activations(spy);

    XChangeKeyboardMapping(display, spare, 1, &nothing, 1);
    XChangeKeyboardMapping(display, oldKeycode, 1, &f10, 1);
    XSync(display, False);
    QTest::qWait(settleMs);

    QCOMPARE(count, 1);
    QVERIFY(hotkey.isRegistered());
    XTestFakeKeyEvent(display, oldKeycode, True, CurrentTime);
    XTestFakeKeyEvent(display, oldKeycode, False, CurrentTime);
    XSync(display, False);
    QCOMPARE(activations(spy), 2);
}

void TestQHotkeyX11::locksFollowModifierMappingChange()
{
    Display* display = m_user.display();
    const KeyCode numLock = m_user.keycode(XK_Num_Lock);
    const unsigned oldMask = m_user.lockMask(XK_Num_Lock);
    XModifierKeymap* original = XGetModifierMapping(display);
    QVERIFY(original && numLock && oldMask);
    int oldIndex = 0;
    while (!(oldMask & (1u << oldIndex)))
        ++oldIndex;
    constexpr int newIndex = Mod3MapIndex;
    const int perModifier = original->max_keypermod;
    for (int i = 0; i < perModifier; ++i)
        QVERIFY2(!original->modifiermap[newIndex * perModifier + i], "Mod3 is in use");

    QHotkey hotkey(QKeySequence(QStringLiteral("Shift+F12")), true);
    QVERIFY(hotkey.isRegistered());
    QSignalSpy spy(&hotkey, &QHotkey::activated);

    // NumLock moves from its modifier to Mod3, as another layout may have it.
    XModifierKeymap* moved = XGetModifierMapping(display);
    XDeleteModifiermapEntry(moved, numLock, oldIndex);
    moved = XInsertModifiermapEntry(moved, numLock, newIndex);
    QCOMPARE(XSetModifierMapping(display, moved), MappingSuccess);
    XFreeModifiermap(moved);
    XSync(display, False);
    QTest::qWait(settleMs);

    XkbLockModifiers(display, XkbUseCoreKbd, Mod3Mask, Mod3Mask);
    XSync(display, False);
    m_user.press({XK_Shift_L, XK_F12});
    const int count = activations(spy);
    XkbLockModifiers(display, XkbUseCoreKbd, Mod3Mask, 0);
    XSetModifierMapping(display, original);
    XFreeModifiermap(original);
    XSync(display, False);
    QTest::qWait(settleMs);

    QCOMPARE(count, 1);
    QVERIFY(hotkey.isRegistered());
}

void TestQHotkeyX11::chordsAreRefused()
{
    QHotkey chord(QKeySequence(QStringLiteral("Ctrl+K, Ctrl+C")), true);
    QVERIFY(!chord.isRegistered());
    QHotkey modifierOnly(QKeySequence(Qt::Key_Control), true);
    QVERIFY(!modifierOnly.isRegistered());
}

KLIQORA_TEST_MAIN(TestQHotkeyX11)
#include "tst_qhotkey_x11.moc"

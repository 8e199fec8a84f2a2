// Keyboard records injected through XTest reach a focused Qt widget and a plain
// Xlib client on a real X server: virtual keys as their keys, Unicode code units as
// their characters whatever the layout and the locked modifiers. Afterwards no key
// is left down and the keyboard mapping is as it was.
#include "testenvironment.h"
#include "x11testhelpers.h"
#include "xlibtextreceiver.h"

#include "platform/backend.h"
#include "platform/virtualkeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

// After Qt: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

using platform::Input;
namespace KeyFlag = platform::KeyFlag;
namespace Vk = platform::Vk;

Q_DECLARE_METATYPE(InputCalls)

namespace {

constexpr int kRestoreTimeoutMs = 5000;

std::vector<Input> unicodeTap(ushort unit)
{
    return {Input::keyInput(0, KeyFlag::Unicode, unit),
            Input::keyInput(0, KeyFlag::Unicode | KeyFlag::KeyUp, unit)};
}

// One call per UTF-16 code unit, as the text operation sends them.
InputCalls unicodeCalls(const QString& text)
{
    InputCalls calls;
    for (QChar unit : text)
        calls.push_back(unicodeTap(unit.unicode()));
    return calls;
}

// The whole text in one call.
InputCalls unicodeBatch(const QString& text)
{
    std::vector<Input> batch;
    for (QChar unit : text) {
        const std::vector<Input> tap = unicodeTap(unit.unicode());
        batch.insert(batch.end(), tap.begin(), tap.end());
    }
    return {batch};
}

std::vector<Input> vkDown(uint16_t vk)
{
    return {Input::keyInput(vk)};
}
std::vector<Input> vkUp(uint16_t vk)
{
    return {Input::keyInput(vk, KeyFlag::KeyUp)};
}

InputCalls join(std::initializer_list<InputCalls> parts)
{
    InputCalls all;
    for (const InputCalls& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Characters of no usual keyboard map, more of them than a server has spare keycodes.
QString manyCjkCharacters(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(0x4E00 + 7 * i);
    return text;
}

// Keyless characters of several kinds: letters of both cases whose key the layout
// lacks among many CJK characters, more of them than the spare keycodes hold.
QString manyKeylessCharacters()
{
    QString text = manyCjkCharacters(45);
    const QString letters = QStringLiteral("\u00E4\u00C4\u00E9\u03B1\u03A9\u0436");
    for (int i = 0; i < letters.size(); ++i)
        text.insert(7 * i, letters.at(i));
    return text;
}

class KeyLog : public QWidget
{
public:
    KeyLog() { setFocusPolicy(Qt::StrongFocus); }
    QList<int> keys;

protected:
    // Key and modifiers of every key but the modifier keys themselves.
    void keyPressEvent(QKeyEvent* e) override
    {
        switch (e->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
            return;
        default:
            keys << (e->key() | int(e->modifiers()));
        }
    }
};

} // namespace

class TestX11KeyboardInjection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void textArrivesExactly_data();
    void textArrivesExactly();
    void textArrivesExactlyInXlibClient_data() { textArrivesExactly_data(); }
    void textArrivesExactlyInXlibClient();
    void virtualKeysArriveAsTheirKeys_data();
    void virtualKeysArriveAsTheirKeys();
    void heldCharacterIsReleasedAfterManyOthers();
    void heldModifiersReportsInjectedModifiers_data();
    void heldModifiersReportsInjectedModifiers();

private:
    QWidget m_window;
    QLineEdit* m_edit = nullptr;
    KeyLog* m_keyLog = nullptr;
    XlibTextReceiver m_xlib;
    X11TestClient m_user; // locks modifiers as the user would
    QVector<quint64> m_mappingBefore;
};

void TestX11KeyboardInjection::initTestCase()
{
    QCOMPARE(platform::backend().name(), "x11");
    m_edit = new QLineEdit(&m_window);
    m_keyLog = new KeyLog;
    m_keyLog->setMinimumHeight(50);
    auto* layout = new QVBoxLayout(&m_window);
    layout->addWidget(m_edit);
    layout->addWidget(m_keyLog);
    m_window.setGeometry(300, 200, 400, 150);
    QVERIFY(showFocused(&m_window, m_edit));
    m_mappingBefore = keyboardMapping();
    QVERIFY(!m_mappingBefore.isEmpty());
    QCOMPARE(keysDown(), QVector<int>());
}

void TestX11KeyboardInjection::init()
{
    m_edit->clear();
    m_keyLog->keys.clear();
}

void TestX11KeyboardInjection::cleanup()
{
    m_user.setNamedLocks(QString());
    QTRY_COMPARE(keysDown(), QVector<int>());
    QTRY_COMPARE_WITH_TIMEOUT(keyboardMapping(), m_mappingBefore, kRestoreTimeoutMs);
}

void TestX11KeyboardInjection::textArrivesExactly_data()
{
    QTest::addColumn<InputCalls>("calls");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("locks");

    const QString mixed = QStringLiteral("Ab\u4F60\u597D\u20AC") + QString::fromUcs4(U"\U0001F600");
    QTest::newRow("virtual keys with Shift")
        << InputCalls{vkDown(Vk::Shift), vkDown(Vk::KeyA),     vkUp(Vk::KeyA),
                      vkUp(Vk::Shift),   vkDown(Vk::KeyA + 1), vkUp(Vk::KeyA + 1)}
        << QStringLiteral("Ab") << QString();
    QTest::newRow("virtual keys, then Unicode one code unit per call")
        << join({InputCalls{vkDown(Vk::Shift), vkDown(Vk::KeyA), vkUp(Vk::KeyA), vkUp(Vk::Shift),
                            vkDown(Vk::KeyA + 1), vkUp(Vk::KeyA + 1)},
                 unicodeCalls(mixed)})
        << QStringLiteral("Ab") + mixed << QString();
    QTest::newRow("Unicode in one call") << unicodeBatch(mixed) << mixed << QString();
    // Shift is already down: adding and releasing another would leave none for '!';
    // 'a' and '1' need a spare keycode, whose binding must not make clients forget Shift.
    QTest::newRow("Unicode while Shift is held")
        << join({InputCalls{vkDown(Vk::Shift)}, unicodeCalls(QStringLiteral("B!a1B!")),
                 InputCalls{vkUp(Vk::Shift)}})
        << QStringLiteral("B!a1B!") << QString();
    QTest::newRow("more characters than spare keycodes, one per call")
        << unicodeCalls(manyCjkCharacters(45)) << manyCjkCharacters(45) << QString();
    QTest::newRow("more characters than spare keycodes, in one call")
        << unicodeBatch(manyCjkCharacters(45)) << manyCjkCharacters(45) << QString();
    QTest::newRow("unpaired surrogates type nothing")
        << unicodeCalls(QString(QChar(0xDC00)) + QLatin1Char('x') + QChar(0xD83D) +
                        QLatin1Char('y'))
        << QStringLiteral("xy") << QString();
    // A key's type decides which level the locks select: characters sharing a
    // spare keycode must stay on the level Shift alone picks.
    QTest::newRow("keyless characters, Caps Lock and NumLock on")
        << unicodeBatch(QStringLiteral("aB") + manyKeylessCharacters())
        << QStringLiteral("aB") + manyKeylessCharacters() << QStringLiteral("caps num");
    // Characters bound before Shift went down: where two share a keycode, the plain
    // level's would come out as its partner.
    const QString before = manyCjkCharacters(20);
    const QString held = manyCjkCharacters(20) + QStringLiteral("\u00E4\u00C4");
    const InputCalls shiftOverBound = join({unicodeBatch(before), InputCalls{vkDown(Vk::Shift)},
                                            unicodeBatch(held), InputCalls{vkUp(Vk::Shift)}});
    QTest::newRow("Shift held over keyless characters bound before it")
        << shiftOverBound << before + held << QString();
    QTest::newRow("Shift held over keyless characters, Caps Lock on")
        << shiftOverBound << before + held << QStringLiteral("caps");
}

void TestX11KeyboardInjection::textArrivesExactly()
{
    QFETCH(InputCalls, calls);
    QFETCH(QString, expected);
    QFETCH(QString, locks);
    QVERIFY(m_edit->hasFocus());
    m_user.setNamedLocks(locks);
    QVERIFY(sendFromWorker(calls));
    QTRY_COMPARE(m_edit->text(), expected);
}

void TestX11KeyboardInjection::textArrivesExactlyInXlibClient()
{
    QFETCH(InputCalls, calls);
    QFETCH(QString, expected);
    QFETCH(QString, locks);
    m_xlib.clear();
    QVERIFY(m_xlib.focus());
    m_user.setNamedLocks(locks);
    const bool sent = sendFromWorker(calls);
    QTRY_COMPARE(m_xlib.text(), expected);
    QVERIFY(sent);
    // Qt asks for the focus with its last known server time, older than the Xlib
    // client's request: the server would ignore it.
    XSetInputFocus(m_user.display(), m_window.winId(), RevertToParent, CurrentTime);
    XSync(m_user.display(), False);
    QVERIFY(showFocused(&m_window, m_edit));
}

void TestX11KeyboardInjection::virtualKeysArriveAsTheirKeys_data()
{
    QTest::addColumn<int>("modifierVk");
    QTest::addColumn<int>("vk");
    QTest::addColumn<int>("key");
    // clang-format off
    QTest::newRow("F1") << 0 << int(Vk::F1) << int(Qt::Key_F1);
    QTest::newRow("F12") << 0 << int(Vk::F1 + 11) << int(Qt::Key_F12);
    QTest::newRow("F13") << 0 << int(Vk::F1 + 12) << int(Qt::Key_F13);
    QTest::newRow("F24") << 0 << int(Vk::F24) << int(Qt::Key_F24);
    QTest::newRow("numpad 5") << 0 << int(Vk::Numpad0 + 5) << (int(Qt::Key_5) | int(Qt::KeypadModifier));
    QTest::newRow("numpad star") << 0 << int(Vk::Multiply) << (int(Qt::Key_Asterisk) | int(Qt::KeypadModifier));
    QTest::newRow("numpad dot") << 0 << int(Vk::Decimal) << (int(Qt::Key_Period) | int(Qt::KeypadModifier));
    QTest::newRow("semicolon") << 0 << int(Vk::Oem1) << int(Qt::Key_Semicolon);
    QTest::newRow("apostrophe") << 0 << int(Vk::Oem7) << int(Qt::Key_Apostrophe);
    QTest::newRow("backslash") << 0 << int(Vk::Oem5) << int(Qt::Key_Backslash);
    QTest::newRow("page down") << 0 << int(Vk::Next) << int(Qt::Key_PageDown);
    QTest::newRow("escape") << 0 << int(Vk::Escape) << int(Qt::Key_Escape);
    QTest::newRow("volume up") << 0 << int(Vk::VolumeUp) << int(Qt::Key_VolumeUp);
    QTest::newRow("play") << 0 << int(Vk::MediaPlayPause) << int(Qt::Key_MediaPlay);
    QTest::newRow("browser back") << 0 << int(Vk::BrowserBack) << int(Qt::Key_Back);
    QTest::newRow("Ctrl+A") << int(Vk::Control) << int(Vk::KeyA) << (int(Qt::Key_A) | int(Qt::ControlModifier));
    // F13 has no key on the map: its binding must not make the client forget Ctrl.
    QTest::newRow("Ctrl+F13") << int(Vk::Control) << int(Vk::F1 + 12) << (int(Qt::Key_F13) | int(Qt::ControlModifier));
    QTest::newRow("Alt+F20") << int(Vk::Menu) << int(Vk::F1 + 19) << (int(Qt::Key_F20) | int(Qt::AltModifier));
    // clang-format on
}

void TestX11KeyboardInjection::virtualKeysArriveAsTheirKeys()
{
    QFETCH(int, modifierVk);
    QFETCH(int, vk);
    QFETCH(int, key);
    m_keyLog->setFocus();
    QTRY_VERIFY(m_keyLog->hasFocus());
    InputCalls calls{vkDown(uint16_t(vk)), vkUp(uint16_t(vk))};
    if (modifierVk) {
        calls.insert(calls.begin(), vkDown(uint16_t(modifierVk)));
        calls.push_back(vkUp(uint16_t(modifierVk)));
    }
    QVERIFY(sendFromWorker(calls));
    QTRY_COMPARE(m_keyLog->keys, QList<int>{key});
    m_edit->setFocus();
}

// A character held down keeps its spare keycode while many others need one; its
// key-up still releases the key it went down on.
void TestX11KeyboardInjection::heldCharacterIsReleasedAfterManyOthers()
{
    const QString others = manyCjkCharacters(30);
    const InputCalls calls =
        join({InputCalls{{Input::keyInput(0, KeyFlag::Unicode, 0x4F60)}}, unicodeCalls(others),
              InputCalls{{Input::keyInput(0, KeyFlag::Unicode | KeyFlag::KeyUp, 0x4F60)}}});
    QVERIFY(sendFromWorker(calls));
    QTRY_COMPARE(m_edit->text(), QStringLiteral("\u4F60") + others);
}

void TestX11KeyboardInjection::heldModifiersReportsInjectedModifiers_data()
{
    namespace Mod = platform::ModifierKey;
    QTest::addColumn<QList<int>>("vks");
    QTest::addColumn<uint>("expected");
    QTest::newRow("nothing") << QList<int>{} << 0u;
    QTest::newRow("Ctrl") << QList<int>{Vk::Control} << uint(Mod::Control);
    QTest::newRow("right Ctrl") << QList<int>{Vk::RControl} << uint(Mod::Control);
    QTest::newRow("Shift+Alt") << QList<int>{Vk::Shift, Vk::Menu} << uint(Mod::Shift | Mod::Alt);
    QTest::newRow("Win") << QList<int>{Vk::LWin} << uint(Mod::Meta);
    QTest::newRow("a letter is no modifier") << QList<int>{'A'} << 0u;
}

// What a job waits on before its first input when its hotkey had modifiers.
void TestX11KeyboardInjection::heldModifiersReportsInjectedModifiers()
{
    QFETCH(QList<int>, vks);
    QFETCH(uint, expected);
    InputCalls down;
    InputCalls up;
    for (int vk : vks) {
        down.push_back(vkDown(uint16_t(vk)));
        up.insert(up.begin(), vkUp(uint16_t(vk)));
    }
    m_keyLog->setFocus();
    QVERIFY(sendFromWorker(down));
    const uint held = platform::backend().heldModifiers();
    QVERIFY(sendFromWorker(up));
    QCOMPARE(held, expected);
    QCOMPARE(platform::backend().heldModifiers(), 0u);
    m_edit->setFocus();
}

KLIQORA_TEST_MAIN(TestX11KeyboardInjection)
#include "tst_x11keyboardinjection.moc"

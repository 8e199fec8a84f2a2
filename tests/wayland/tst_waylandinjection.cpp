// The Wayland backend on a real compositor (headless sway, or headless mutter through
// its remote-desktop service): what a job sends from its thread must arrive at a
// Wayland program exactly, clicks on the pixel, wheel notches, text, and a stopped
// job must leave nothing pressed.

#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "testenvironment.h"
#include "waylandclientlog.h"
#include "waylandsession.h"

#include <QElapsedTimer>
#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

using platform::Input;
namespace MouseFlag = platform::MouseFlag;
namespace KeyFlag = platform::KeyFlag;
namespace Vk = platform::Vk;

Q_DECLARE_METATYPE(std::vector<Input>)

namespace {

#ifdef KLIQORA_ON_MUTTER
const char kInjector[] = "mutter remote desktop";
// mutter turns each wheel step into an event of its own, 10 units long.
constexpr int kUnitsPerNotch = 10;
constexpr bool kOneEventPerNotch = true;
constexpr uint16_t kHeldCharacter = 'z';         // one with a key: mutter types no other
const char kNumpad7Line[] = "key pressed 8 7 7"; // the keypad's needs Num Lock
#else
const char kInjector[] = "wlroots virtual pointer and keyboard";
constexpr int kUnitsPerNotch = 15;
constexpr bool kOneEventPerNotch = false;
constexpr uint16_t kHeldCharacter = 0x4E2D;
const char kNumpad7Line[] = "key pressed 71 KP_7 7";
#endif
constexpr int kOutputWidth = 1280; // the session scripts' output
constexpr int kOutputHeight = 800;
constexpr int kWorkerTimeoutMs = 60000;
// evdev button codes, as the client reports them.
constexpr int kLeftButton = 0x110;
constexpr int kRightButton = 0x111;
constexpr int kMiddleButton = 0x112;

QStringList g_log;

void collectLog(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_log << message;
}

// Sends each batch from a worker thread, as the jobs do; true when all went out whole.
bool sendFromWorker(const std::vector<std::vector<Input>>& batches)
{
    std::atomic<bool> done{false};
    std::atomic<bool> whole{true};
    std::thread worker([&] {
        for (const std::vector<Input>& batch : batches) {
            const unsigned count = unsigned(batch.size());
            if (platform::sendInput(batch.data(), count) != count)
                whole = false;
        }
        platform::backend().waitForDelivery();
        done = true;
    });
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, kWorkerTimeoutMs);
    worker.join();
    return finished && whole;
}

Input moveTo(int x, int y)
{
    // The jobs' conversion of a pixel to the absolute range.
    return Input::mouseInput(MouseFlag::Move | MouseFlag::Absolute, x * 65535 / kOutputWidth,
                             y * 65535 / kOutputHeight);
}

std::vector<Input> unicodeText(const QString& text)
{
    std::vector<Input> records;
    for (const QChar unit : text) {
        records.push_back(Input::keyInput(0, KeyFlag::Unicode, unit.unicode()));
        records.push_back(Input::keyInput(0, KeyFlag::Unicode | KeyFlag::KeyUp, unit.unicode()));
    }
    return records;
}

Input vkDown(uint16_t vk)
{
    return Input::keyInput(vk);
}
Input vkUp(uint16_t vk)
{
    return Input::keyInput(vk, KeyFlag::KeyUp);
}

// The client's lines for `notches` wheel notches on `axis` (negative: up or left).
QStringList wheelLines(const char* axis, int notches)
{
    const int events = kOneEventPerNotch ? std::abs(notches) : 1;
    const int perEvent = notches / events;
    QStringList lines;
    for (int i = 0; i < events; ++i)
        lines << QStringLiteral("axis %1 %2 %3")
                     .arg(QLatin1String(axis))
                     .arg(perEvent * kUnitsPerNotch)
                     .arg(perEvent);
    return lines;
}

// Distinct characters from `first` on, `count` of them.
[[maybe_unused]] QString run(char32_t first, int count)
{
    std::u32string characters;
    for (int i = 0; i < count; ++i)
        characters += char32_t(first + i);
    return QString::fromStdU32String(characters);
}

} // namespace

class TestWaylandInjection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void backendFollowsTheSession();
    void clicksLandOnTheExactPixel_data();
    void clicksLandOnTheExactPixel();
    void buttons_data();
    void buttons();
    void wheelNotches_data();
    void wheelNotches();
    void textArrivesExactly_data();
    void textArrivesExactly();
#ifdef KLIQORA_ON_MUTTER
    void charactersOutsideTheLayoutAreSkipped();
#endif
    void virtualKeysWithModifiers();
    void heldModifiersAreTheInjectedOnes();
    void releaseHeldInputLeavesNothingPressed();

private:
    WaylandClientLog m_client;
};

void TestWaylandInjection::initTestCase()
{
    QVERIFY2(WaylandSession::enter(), "no headless compositor session (run through ctest)");
    qInstallMessageHandler(collectLog);
    const QString backendName = QString::fromLatin1(platform::backend().name());
    qInstallMessageHandler(nullptr);
    QCOMPARE(backendName, QStringLiteral("wayland"));
    QVERIFY(m_client.start());
    QVERIFY(
        m_client.waitUntilPlaced([](int x, int y) { QVERIFY(sendFromWorker({{moveTo(x, y)}})); }));
}

void TestWaylandInjection::init()
{
    m_client.clear();
}

void TestWaylandInjection::cleanup()
{
    // Whatever a failed row left down goes up before the next.
    platform::releaseHeldInput();
}

void TestWaylandInjection::backendFollowsTheSession()
{
    // Qt runs offscreen here: the session, not Qt's platform, chose Wayland, and said why.
    QCOMPARE(g_log.filter(QStringLiteral("Input backend:")).size(), 1);
    QVERIFY2(g_log.filter(QStringLiteral("Input backend: wayland, because WAYLAND_DISPLAY is set "
                                         "(%1)")
                              .arg(QLatin1String(kInjector)))
                     .size() == 1,
             qPrintable(g_log.join(QLatin1Char('\n'))));
    QCOMPARE(platform::inputReach(), platform::InputReach::Desktop);
    const platform::ScreenSize screen = platform::primaryScreenSize();
    QCOMPARE(screen.width, kOutputWidth);
    QCOMPARE(screen.height, kOutputHeight);
    platform::CursorPos pos;
    QVERIFY(!platform::backend().cursorPos(pos));
    QVERIFY(!platform::backend().createCapture());
}

void TestWaylandInjection::clicksLandOnTheExactPixel_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::newRow("top left corner") << QPoint(0, 0);
    QTest::newRow("bottom right corner") << QPoint(kOutputWidth - 1, kOutputHeight - 1);
    QTest::newRow("top right corner") << QPoint(kOutputWidth - 1, 0);
    QTest::newRow("left edge") << QPoint(0, 517);
    QTest::newRow("centre") << QPoint(640, 400);
    QTest::newRow("odd pixel") << QPoint(123, 457);
    QTest::newRow("one in from the bottom") << QPoint(1001, kOutputHeight - 2);
}

void TestWaylandInjection::clicksLandOnTheExactPixel()
{
    QFETCH(QPoint, point);
    const Input click[] = {moveTo(point.x(), point.y()), Input::mouseInput(MouseFlag::LeftDown),
                           Input::mouseInput(MouseFlag::LeftUp)};
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sendFromWorker({{std::begin(click), std::end(click)}}));
    const QString at = QStringLiteral("%1 %2").arg(point.x()).arg(point.y());
    QVERIFY2(m_client.waitFor(
                 wholeLine(QStringLiteral("button %1 released %2").arg(kLeftButton).arg(at))),
             qPrintable(m_client.lines().join(QLatin1Char('\n'))));
    qInfo("click seen by the program %lld ms after the call", clock.elapsed());
    QCOMPARE(m_client.matching(wholeLine(QStringLiteral("button \\d+ pressed .*"))),
             QStringList{QStringLiteral("button %1 pressed %2").arg(kLeftButton).arg(at)});
}

void TestWaylandInjection::buttons_data()
{
    QTest::addColumn<uint>("down");
    QTest::addColumn<uint>("up");
    QTest::addColumn<int>("code");
    QTest::newRow("left") << uint(MouseFlag::LeftDown) << uint(MouseFlag::LeftUp) << kLeftButton;
    QTest::newRow("right") << uint(MouseFlag::RightDown) << uint(MouseFlag::RightUp)
                           << kRightButton;
    QTest::newRow("middle") << uint(MouseFlag::MiddleDown) << uint(MouseFlag::MiddleUp)
                            << kMiddleButton;
}

void TestWaylandInjection::buttons()
{
    QFETCH(uint, down);
    QFETCH(uint, up);
    QFETCH(int, code);
    QVERIFY(sendFromWorker({{moveTo(300, 300)}, {Input::mouseInput(down)}}));
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("button %1 pressed 300 300").arg(code))));
    QVERIFY(sendFromWorker({{Input::mouseInput(up)}}));
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("button %1 released 300 300").arg(code))));
    QVERIFY(m_client.buttonsDown().isEmpty());
}

void TestWaylandInjection::wheelNotches_data()
{
    QTest::addColumn<std::vector<Input>>("records");
    QTest::addColumn<QStringList>("expected");
    auto wheel = [](uint32_t flag, int delta) { return Input::mouseInput(flag, 0, 0, delta); };
    // Away from the user is up: negative on Wayland's vertical axis; right is positive.
    QTest::newRow("one notch up") << std::vector<Input>{wheel(MouseFlag::Wheel, 120)}
                                  << wheelLines("vertical", -1);
    QTest::newRow("two notches down")
        << std::vector<Input>{wheel(MouseFlag::Wheel, -240)} << wheelLines("vertical", 2);
    QTest::newRow("one notch right")
        << std::vector<Input>{wheel(MouseFlag::HWheel, 120)} << wheelLines("horizontal", 1);
    QTest::newRow("three notches left")
        << std::vector<Input>{wheel(MouseFlag::HWheel, -360)} << wheelLines("horizontal", -3);
    QTest::newRow("two halves make one notch")
        << std::vector<Input>{wheel(MouseFlag::Wheel, -60), wheel(MouseFlag::Wheel, -60)}
        << wheelLines("vertical", 1);
}

void TestWaylandInjection::wheelNotches()
{
    QFETCH(std::vector<Input>, records);
    QFETCH(QStringList, expected);
    QVERIFY(sendFromWorker({{moveTo(400, 300)}}));
    m_client.clear();
    QVERIFY(sendFromWorker({records}));
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("axis .*")), expected.size()));
    QTest::qWait(100); // nothing more arrives
    QCOMPARE(m_client.matching(wholeLine(QStringLiteral("axis .*"))), expected);
}

void TestWaylandInjection::textArrivesExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("oneCallPerCharacter");
    QTest::newRow("ASCII") << QStringLiteral("Hello, World! 0123 ~`|\\\"'{}[]<>?/+=_-") << false;
#ifdef KLIQORA_ON_MUTTER
    // mutter types a symbol only with a key of the user's layout (US here).
    QTest::newRow("one call per character") << QStringLiteral("one by one, 1 + 1 = 2") << true;
#else
    QTest::newRow("Latin and symbols") << QStringLiteral("Grüße, ÉÀ ß € ± ½") << false;
    QTest::newRow("CJK") << QStringLiteral("中文输入测试，日本語のテキスト，한국어") << false;
    QTest::newRow("emoji") << QStringLiteral("a😀b👍🏽c") << false;
    // Distinct characters beyond what one keymap holds: several uploads in one call.
    QTest::newRow("more than one keymap holds") << run(0x4E00, 400) << false;
    // How the text operation sends: one call per code unit.
    QTest::newRow("one call per character") << QStringLiteral("逐字输入 mixed 😀 text") << true;
    // A keymap upload per call, faster than the compositor reads them. Fewer than the
    // compositor's fixed buffer to a client holds keymap notices: a client that a loaded
    // machine keeps from reading would otherwise be disconnected.
    QTest::newRow("many new characters, one call each") << run(0x5000, 120) << true;
#endif
}

void TestWaylandInjection::textArrivesExactly()
{
    QFETCH(QString, text);
    QFETCH(bool, oneCallPerCharacter);
    std::vector<std::vector<Input>> batches;
    if (oneCallPerCharacter) {
        for (const QChar unit : text)
            batches.push_back(unicodeText(QString(unit)));
    } else {
        batches.push_back(unicodeText(text));
    }
    const int characters = text.toUcs4().size();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sendFromWorker(batches));
    // Counted by the text, not by key releases: mutter adds Shift presses of its own.
    // The client compiles every keymap it is sent, slowly on a loaded machine: the
    // wait goes on while characters keep arriving, and fails once they stop.
    int arrived = -1;
    while (m_client.typedText().size() > arrived) {
        arrived = m_client.typedText().size();
        if (QTest::qWaitFor([&] { return m_client.typedText().size() >= text.size(); }, 10000))
            break;
    }
    QVERIFY2(m_client.typedText().size() >= text.size(), qPrintable(m_client.typedText()));
    qInfo("%d characters arrived in %lld ms", characters, clock.elapsed());
    QCOMPARE(m_client.typedText(), text);
    QVERIFY(QTest::qWaitFor([&] { return m_client.keysDown().isEmpty(); }, 5000));
}

#ifdef KLIQORA_ON_MUTTER
void TestWaylandInjection::charactersOutsideTheLayoutAreSkipped()
{
    // mutter drops a symbol without a key; the text around it still arrives whole.
    QVERIFY(sendFromWorker({unicodeText(QStringLiteral("a中b😀c"))}));
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("key released .*")), 3));
    QTest::qWait(100);
    QCOMPARE(m_client.typedText(), QStringLiteral("abc"));
    QVERIFY(m_client.keysDown().isEmpty());
}
#endif

void TestWaylandInjection::virtualKeysWithModifiers()
{
    const std::vector<Input> keys = {
        vkDown(Vk::Shift),  vkDown(Vk::KeyA), vkUp(Vk::KeyA),          vkDown(Vk::Key0 + 1),
        vkUp(Vk::Key0 + 1), vkUp(Vk::Shift),  vkDown(Vk::KeyA),        vkUp(Vk::KeyA),
        vkDown(Vk::F1 + 1), vkUp(Vk::F1 + 1), vkDown(Vk::Numpad0 + 7), vkUp(Vk::Numpad0 + 7)};
    QVERIFY(sendFromWorker({keys}));
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("key released .*")), 6));
    QCOMPARE(m_client.matching(wholeLine(QStringLiteral("key pressed .*"))),
             (QStringList{"key pressed 42 Shift_L ", "key pressed 30 A A", "key pressed 2 exclam !",
                          "key pressed 30 a a", "key pressed 60 F2 ", kNumpad7Line}));
    // The client saw Shift through the explicit modifier state.
    QVERIFY(!m_client.matching(wholeLine(QStringLiteral("modifiers 1 0"))).isEmpty());
    QVERIFY(m_client.keysDown().isEmpty());
}

void TestWaylandInjection::heldModifiersAreTheInjectedOnes()
{
    QVERIFY(sendFromWorker({{vkDown(Vk::Control), vkDown(Vk::LMenu)}}));
    QCOMPARE(platform::backend().heldModifiers(),
             platform::ModifierKey::Control | platform::ModifierKey::Alt);
    QVERIFY(sendFromWorker({{vkUp(Vk::LMenu), vkUp(Vk::Control)}}));
    QCOMPARE(platform::backend().heldModifiers(), 0u);
}

void TestWaylandInjection::releaseHeldInputLeavesNothingPressed()
{
    // A job stopped between its presses and their releases.
    QVERIFY(sendFromWorker(
        {{moveTo(500, 500), Input::mouseInput(MouseFlag::LeftDown), vkDown(Vk::Shift),
          vkDown(Vk::KeyA + 16), Input::keyInput(0, KeyFlag::Unicode, kHeldCharacter)}}));
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("key pressed .*")), 3));
    QVERIFY(!m_client.buttonsDown().isEmpty());
    QCOMPARE(m_client.keysDown().size(), 3);

    std::thread stopper([] { platform::releaseHeldInput(); });
    stopper.join();
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("key released .*")), 3));
    QVERIFY(m_client.waitFor(wholeLine(QStringLiteral("button \\d+ released .*"))));
    QVERIFY2(m_client.keysDown().isEmpty(), qPrintable(m_client.keysDown().join(QLatin1Char(' '))));
    QVERIFY(m_client.buttonsDown().isEmpty());
    QCOMPARE(platform::backend().heldModifiers(), 0u);
}

KLIQORA_TEST_MAIN_WITH(QGuiApplication, TestWaylandInjection)
#include "tst_waylandinjection.moc"

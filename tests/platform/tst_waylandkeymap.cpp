// The keymap our Wayland virtual keyboard uploads, compiled as the compositor and
// every program compile it: fixed keys, modifiers and character slots must type
// what they claim. And the layout box that absolute coordinates span.

#include "platform/virtualkeys.h"
#include "wayland/waylandkeymap.h"
#include "wayland/waylandkeys.h"
#include "wayland/waylandoutputs.h"
#include "testenvironment.h"

#include <QtTest>

#include <xkbcommon/xkbcommon.h>

#include <memory>

using platform::wayland::LayoutRect;
using platform::wayland::WaylandKeymap;

namespace {

struct Compiled
{
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> context{
        xkb_context_new(XKB_CONTEXT_NO_DEFAULT_INCLUDES), &xkb_context_unref};
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> keymap{nullptr, &xkb_keymap_unref};
    std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state{nullptr, &xkb_state_unref};

    explicit Compiled(const WaylandKeymap& source)
    {
        keymap.reset(xkb_keymap_new_from_string(context.get(), source.text().c_str(),
                                                XKB_KEYMAP_FORMAT_TEXT_V1,
                                                XKB_KEYMAP_COMPILE_NO_FLAGS));
        if (keymap)
            state.reset(xkb_state_new(keymap.get()));
    }

    // What the evdev key types with the given real modifiers (WaylandKeymap bits).
    QString text(uint32_t evdevCode, uint32_t depressed = 0, uint32_t locked = 0)
    {
        xkb_state_update_mask(state.get(), depressed, 0, locked, 0, 0, 0);
        char buffer[64] = "";
        xkb_state_key_get_utf8(state.get(), evdevCode + WaylandKeymap::kXkbOffset, buffer,
                               sizeof buffer);
        return QString::fromUtf8(buffer);
    }
    xkb_keysym_t keysym(uint32_t evdevCode)
    {
        xkb_state_update_mask(state.get(), 0, 0, 0, 0, 0, 0);
        return xkb_state_key_get_one_sym(state.get(), evdevCode + WaylandKeymap::kXkbOffset);
    }
    bool active(const char* modifier, uint32_t depressed)
    {
        xkb_state_update_mask(state.get(), depressed, 0, 0, 0, 0, 0);
        return xkb_state_mod_name_is_active(state.get(), modifier, XKB_STATE_MODS_EFFECTIVE) > 0;
    }
};

uint32_t codeOf(uint16_t vk)
{
    return platform::wayland::keyForVk(vk)->evdevCode;
}

} // namespace

class TestWaylandKeymap : public QObject
{
    Q_OBJECT

private slots:
    void fixedKeysTypeTheirLevels_data();
    void fixedKeysTypeTheirLevels();
    void modifierBitsAreTheNamedModifiers();
    void slotsTypeTheirCharacters();
    void bindingKeepsBoundAndBusySlots();
    void bindingStopsWhenSlotsRunOut();
    void layoutExtent_data();
    void layoutExtent();
};

void TestWaylandKeymap::fixedKeysTypeTheirLevels_data()
{
    QTest::addColumn<int>("vk");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("shifted");
    QTest::addColumn<QString>("capsLocked");
    namespace Vk = platform::Vk;
    QTest::newRow("letter") << int(Vk::KeyA + 16) << "q"
                            << "Q"
                            << "Q";
    QTest::newRow("digit") << int(Vk::Key0 + 2) << "2"
                           << "@"
                           << "2";
    QTest::newRow("punctuation") << int(Vk::Oem7) << "'"
                                 << "\""
                                 << "'";
    QTest::newRow("keypad digit") << int(Vk::Numpad0 + 5) << "5"
                                  << "5"
                                  << "5";
    QTest::newRow("space") << int(Vk::Space) << " "
                           << " "
                           << " ";
}

void TestWaylandKeymap::fixedKeysTypeTheirLevels()
{
    QFETCH(int, vk);
    QFETCH(QString, plain);
    QFETCH(QString, shifted);
    QFETCH(QString, capsLocked);
    WaylandKeymap source;
    Compiled compiled(source);
    QVERIFY(compiled.keymap);
    const uint32_t code = codeOf(uint16_t(vk));
    QCOMPARE(compiled.text(code), plain);
    QCOMPARE(compiled.text(code, WaylandKeymap::ShiftMask), shifted);
    QCOMPARE(compiled.text(code, 0, WaylandKeymap::LockMask), capsLocked);
}

void TestWaylandKeymap::modifierBitsAreTheNamedModifiers()
{
    WaylandKeymap source;
    Compiled compiled(source);
    QVERIFY(compiled.keymap);
    QVERIFY(compiled.active(XKB_MOD_NAME_SHIFT, WaylandKeymap::ShiftMask));
    QVERIFY(compiled.active(XKB_MOD_NAME_CTRL, WaylandKeymap::ControlMask));
    QVERIFY(compiled.active(XKB_MOD_NAME_ALT, WaylandKeymap::AltMask));
    QVERIFY(compiled.active(XKB_MOD_NAME_LOGO, WaylandKeymap::SuperMask));
    QVERIFY(compiled.active(XKB_MOD_NAME_NUM, WaylandKeymap::NumLockMask));
    QVERIFY(!compiled.active(XKB_MOD_NAME_ALT, WaylandKeymap::ControlMask));
}

void TestWaylandKeymap::slotsTypeTheirCharacters()
{
    WaylandKeymap source;
    const std::vector<uint32_t> keysyms = {0x1004E2D, 0x101F600, XKB_KEY_eacute, XKB_KEY_A};
    QCOMPARE(source.bind(keysyms, {}), keysyms.size());
    Compiled compiled(source);
    QVERIFY(compiled.keymap);
    QCOMPARE(compiled.text(source.slotFor(0x1004E2D)), QStringLiteral("中"));
    QCOMPARE(compiled.text(source.slotFor(0x101F600)), QStringLiteral("😀"));
    QCOMPARE(compiled.text(source.slotFor(XKB_KEY_eacute)), QStringLiteral("é"));
    // One level: Shift does not turn a slot's capital into anything else.
    QCOMPARE(compiled.text(source.slotFor(XKB_KEY_A), WaylandKeymap::ShiftMask),
             QStringLiteral("A"));
    // Slots never take a fixed key's code, and stay within what X programs can use.
    for (uint32_t keysym : keysyms) {
        const uint32_t code = source.slotFor(keysym);
        QVERIFY(code + WaylandKeymap::kXkbOffset <= 255);
        for (const auto& key : platform::wayland::fixedKeys())
            QVERIFY(key.evdevCode != code);
    }
}

void TestWaylandKeymap::bindingKeepsBoundAndBusySlots()
{
    WaylandKeymap source;
    const size_t slotTotal = source.slotCount();
    QVERIFY2(slotTotal >= 100, "room for a good batch of characters per upload");
    // Fill every slot, then hold the oldest one down.
    std::vector<uint32_t> first;
    for (uint32_t i = 0; i < slotTotal; ++i)
        first.push_back(0x1004E00 + i);
    QCOMPARE(source.bind(first, {}), slotTotal);
    const uint32_t held = source.slotFor(first.front());
    // Already bound: nothing to do, and the text stays as it is.
    const std::string before = source.text();
    QCOMPARE(source.bind({first.back()}, {}), size_t(0));
    QCOMPARE(source.text(), before);
    // A new character takes the oldest slot that is not held down.
    QCOMPARE(source.bind({0x1005000}, {held}), size_t(1));
    QCOMPARE(source.slotFor(first.front()), held);
    QCOMPARE(source.slotFor(first.at(1)), 0u);
    QVERIFY(source.slotFor(0x1005000) != 0);
}

void TestWaylandKeymap::bindingStopsWhenSlotsRunOut()
{
    WaylandKeymap source;
    std::vector<uint32_t> many;
    for (uint32_t i = 0; i < source.slotCount() + 10; ++i)
        many.push_back(0x1004E00 + i);
    // The characters of one batch never push each other out.
    QCOMPARE(source.bind(many, {}), source.slotCount());
    QVERIFY(source.slotFor(many.front()) != 0);
    QCOMPARE(source.slotFor(many.back()), 0u);
}

void TestWaylandKeymap::layoutExtent_data()
{
    QTest::addColumn<QVector<QRect>>("outputs");
    QTest::addColumn<QSize>("extent");
    QTest::newRow("none") << QVector<QRect>{} << QSize(0, 0);
    QTest::newRow("one") << QVector<QRect>{{0, 0, 1280, 800}} << QSize(1280, 800);
    QTest::newRow("side by side, different heights")
        << QVector<QRect>{{0, 0, 1280, 800}, {1280, 0, 800, 600}} << QSize(2080, 800);
    QTest::newRow("one left of the origin")
        << QVector<QRect>{{-1920, 100, 1920, 1080}, {0, 0, 1280, 1024}} << QSize(3200, 1180);
    QTest::newRow("stacked with a gap")
        << QVector<QRect>{{0, 0, 100, 100}, {0, 200, 100, 100}} << QSize(100, 300);
}

void TestWaylandKeymap::layoutExtent()
{
    QFETCH(QVector<QRect>, outputs);
    QFETCH(QSize, extent);
    std::vector<LayoutRect> rects;
    for (const QRect& r : outputs)
        rects.push_back({r.x(), r.y(), r.width(), r.height()});
    const platform::ScreenSize size = platform::wayland::layoutExtent(rects);
    QCOMPARE(QSize(size.width, size.height), extent);
}

KLIQORA_TEST_APPLESS_MAIN(TestWaylandKeymap)
#include "tst_waylandkeymap.moc"

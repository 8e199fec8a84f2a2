// Reading the key combinations a sway configuration binds, so that our hotkeys do
// not silently replace the user's own bindings.

#include "sway/swaybindings.h"
#include "testenvironment.h"

#include <QtTest>

#include <xkbcommon/xkbcommon-keysyms.h>

namespace {

SwayCombo combo(quint32 modifiers, quint32 keysym)
{
    SwayCombo c;
    c.modifiers = modifiers;
    c.keysym = keysym;
    return c;
}

using Combos = std::set<SwayCombo>;

} // namespace

Q_DECLARE_METATYPE(Combos)

class TestSwayBindings : public QObject
{
    Q_OBJECT

private slots:
    void configuredCombos_data();
    void configuredCombos();
    void comboTextReadsBack_data();
    void comboTextReadsBack();
};

void TestSwayBindings::configuredCombos_data()
{
    QTest::addColumn<QString>("config");
    QTest::addColumn<Combos>("expected");
    namespace M = SwayModifier;
    QTest::newRow("plain, with flags and a comment")
        << "# bindsym F1 nop commented out\n"
           "bindsym F2 exec foo\n"
           "  bindsym --release --no-repeat Ctrl+Shift+K exec \"bar baz\"\n"
        << Combos{combo(0, XKB_KEY_F2), combo(M::Control | M::Shift, XKB_KEY_k)};
    QTest::newRow("variables, the longest name first")
        << "set $mod Mod4\nset $modifier Mod1\n"
           "bindsym $mod+Return exec term\nbindsym $modifier+x kill\n"
        << Combos{combo(M::Mod4, XKB_KEY_Return), combo(M::Mod1, XKB_KEY_x)};
    QTest::newRow("modifier aliases") << "bindsym Super+Alt+Control+a nop\n"
                                      << Combos{combo(M::Mod4 | M::Mod1 | M::Control, XKB_KEY_a)};
    QTest::newRow("a bindsym block")
        << "bindsym {\n    Mod4+1 workspace 1\n    --to-code Mod4+2 workspace 2\n}\nbindsym F3 "
           "nop\n"
        << Combos{combo(M::Mod4, XKB_KEY_1), combo(M::Mod4, XKB_KEY_2), combo(0, XKB_KEY_F3)};
    QTest::newRow("bindings of other modes do not count")
        << "mode \"resize\" {\n    bindsym Left resize shrink width\n    bindsym {\n"
           "        Right resize grow width\n    }\n}\nbindsym Escape nop\n"
        << Combos{combo(0, XKB_KEY_Escape)};
    QTest::newRow("mouse buttons, key codes and nonsense are left out")
        << "bindsym button3 kill\nbindcode 36 exec term\nbindsym Ctrl+ nop\n"
           "bindsym NoSuchKey nop\n"
        << Combos{};
}

void TestSwayBindings::configuredCombos()
{
    QFETCH(QString, config);
    QFETCH(Combos, expected);
    const Combos found = configuredSwayCombos(config);
    QStringList texts;
    for (const SwayCombo& c : found)
        texts << swayComboText(c);
    QVERIFY2(found == expected, qPrintable(texts.join(QLatin1Char(' '))));
}

void TestSwayBindings::comboTextReadsBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("function key") << "F2"
                                  << "F2";
    QTest::newRow("every modifier, any order and case") << "shift+Mod1+Ctrl+Mod4+a"
                                                        << "Mod4+Ctrl+Mod1+Shift+a";
    QTest::newRow("capital letter") << "Ctrl+A"
                                    << "Ctrl+a";
    QTest::newRow("keypad") << "KP_Add"
                            << "KP_Add";
}

void TestSwayBindings::comboTextReadsBack()
{
    QFETCH(QString, text);
    QFETCH(QString, written);
    SwayCombo parsed;
    QVERIFY(parseSwayCombo(text, &parsed));
    QCOMPARE(swayComboText(parsed), written);
    SwayCombo again;
    QVERIFY(parseSwayCombo(written, &again));
    QVERIFY(again == parsed);
}

KLIQORA_TEST_APPLESS_MAIN(TestSwayBindings)
#include "tst_swaybindings.moc"

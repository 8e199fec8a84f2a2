#include "inputdescription.h"
#include "keynames.h"
#include "recordingbackend.h"
#include "testenvironment.h"

#include <QProcess>

class TestKeyNames : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("vk");
        // clang-format off
        QTest::newRow("trimmed, any case") << " pgdn "      << 34;
        QTest::newRow("Qt's PgDown")       << "PgDown"      << 34;
        QTest::newRow("Qt's Return")       << "Return"      << 13;
        QTest::newRow("Qt's Ins")          << "Ins"         << 45;
        QTest::newRow("Esc with tab")      << "\tEsc"       << 27;
        QTest::newRow("letter")            << "z"           << 90;
        QTest::newRow("digit")             << "7"           << 55;
        QTest::newRow("F1")                << "F1"          << 112;
        QTest::newRow("F24")               << "f24"         << 135;
        QTest::newRow("F25")               << "F25"         << 0;
        QTest::newRow("PRINTSCREEN")       << "PRINTSCREEN" << 0;
        QTest::newRow("inner space")       << "Page Down"   << 0;
        QTest::newRow("empty")             << ""            << 0;
        QTest::newRow("exclamation")       << "!"           << 0;
        QTest::newRow("NUM is NumLock")    << "num"         << 144;
        QTest::newRow("NUM9")              << "Num9"        << 105;
        QTest::newRow("NUMPADENTER")       << "NUMPADENTER" << 13;
        QTest::newRow("NUMPADSLASH")       << "NUMPADSLASH" << 111;
        QTest::newRow("shifted ~")         << "~"           << 192;
        QTest::newRow("double quote")      << "\""          << 222;
        QTest::newRow("backslash")         << "\\"          << 220;
        QTest::newRow("vertical bar")      << "|"           << 220;
        QTest::newRow("RALT")              << "RAlt"        << 165;
        QTest::newRow("WINDOWS")           << "windows"     << 91;
        QTest::newRow("RWIN")              << "RWIN"        << 92;
        QTest::newRow("BROWSERHOME")       << "BrowserHome" << 172;
        QTest::newRow("MEDIAPLAY")         << "MediaPlay"   << 179;
        // clang-format on
    }

    void lookup()
    {
        QFETCH(QString, name);
        QFETCH(int, vk);
        QCOMPARE(int(keyNameToVk(name)), vk);
    }

    void vocabularyHas151UpperCaseNames()
    {
        const QMap<QString, quint16>& table = keyNameTable();
        QCOMPARE(table.size(), 151);
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            QVERIFY2(it.key() == it.key().trimmed().toUpper(), qPrintable(it.key()));
            QVERIFY2(it.value() != 0, qPrintable(it.key()));
        }
    }

    void firstLookupFromManyThreads()
    {
        // The table is built once even when the first lookups race. This process
        // built it long ago, so the race runs in fresh ones (where ThreadSanitizer
        // watches it, in the plain build).
        constexpr int Races = 5;
        for (int race = 0; race < Races; ++race) {
            QProcess program;
            program.setProcessChannelMode(QProcess::ForwardedChannels);
            program.start(QStringLiteral(KLIQORA_FIRSTLOOKUP), QStringList());
            QVERIFY(program.waitForFinished(30000));
            QCOMPARE(program.exitStatus(), QProcess::NormalExit);
            QCOMPARE(program.exitCode(), 0);
        }
    }

    void modifierNames_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("none")       << 0 << "";
        QTest::newRow("Ctrl+Alt")   << int(Qt::AltModifier | Qt::ControlModifier) << "Ctrl+Alt";
        QTest::newRow("all four")   << int(Qt::MetaModifier | Qt::AltModifier | Qt::ControlModifier | Qt::ShiftModifier)
                                    << "Shift+Ctrl+Alt+Win";
        QTest::newRow("keypad only") << int(Qt::KeypadModifier) << "";
        QTest::newRow("Win + keypad") << int(Qt::MetaModifier | Qt::KeypadModifier) << "Win";
        // clang-format on
    }

    void modifierNames()
    {
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QCOMPARE(modifiersToString(Qt::KeyboardModifiers(modifiers)), text);
    }

    void pressAndReleaseOneCallPerModifierInFixedOrder()
    {
        ScopedRecordingBackend rec;
        const Qt::KeyboardModifiers mods = Qt::MetaModifier | Qt::ShiftModifier | Qt::AltModifier;
        pressModifiers(mods);
        releaseModifiers(mods);
        const auto key = [](uint16_t vk, uint32_t flags) {
            return describeInput(platform::Input::keyInput(vk, flags));
        };
        QCOMPARE(describeBatches(rec->batches()),
                 (QStringList{key(0x10, 0), key(0x12, 0), key(0x5B, 0), key(0x10, 2), key(0x12, 2),
                              key(0x5B, 2)}));
    }
};

KLIQORA_TEST_APPLESS_MAIN(TestKeyNames)
#include "tst_keynames.moc"

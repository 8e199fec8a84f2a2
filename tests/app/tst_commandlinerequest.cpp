// The main program's arguments: what each combination asks for, the one-line
// complaints about bad ones, and --help, --version, the man page and the bash
// completion all naming every option of the one table.

#include "commandline/commandlinerequest.h"
#include "commandline/commandoptions.h"
#include "testenvironment.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using Mode = CommandLineRequest::Mode;
Q_DECLARE_METATYPE(Mode)

namespace {

CommandLineRequest parse(const QStringList& arguments)
{
    return parseCommandLine(QStringList{QStringLiteral("Kliqora")} + arguments);
}

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The words of a document, without troff's font changes and escapes, and with the
// line breaks of wrapped text as blanks.
QString plainWords(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIR]")));
    text.replace(QLatin1String("\\-"), QLatin1String("-"));
    return text.simplified();
}

bool namesOption(const QString& text, const QString& option)
{
    return text.contains(QRegularExpression(
        QStringLiteral("(^|[\\s'])%1($|[\\s,)'])").arg(QRegularExpression::escape(option))));
}

} // namespace

class TestCommandLineRequest : public QObject
{
    Q_OBJECT

private slots:
    void modes_data();
    void modes();
    void controlRequests_data();
    void controlRequests();
    void runOptions_data();
    void runOptions();
    void badUsage_data();
    void badUsage();
    void everyOptionIsDocumented_data();
    void everyOptionIsDocumented();
    void versionComesFromTheProgramVersion();
};

void TestCommandLineRequest::modes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Mode>("mode");
    QTest::newRow("nothing") << QStringList{} << Mode::StartProgram;
    QTest::newRow("help") << QStringList{"--help"} << Mode::Help;
    QTest::newRow("short help") << QStringList{"-h"} << Mode::Help;
    QTest::newRow("help wins") << QStringList{"--stop", "--help"} << Mode::Help;
    QTest::newRow("version") << QStringList{"--version"} << Mode::Version;
    QTest::newRow("short version") << QStringList{"-v"} << Mode::Version;
    QTest::newRow("list flows") << QStringList{"--list", "flows"} << Mode::List;
    QTest::newRow("list recordings") << QStringList{"--list=recordings"} << Mode::List;
    QTest::newRow("run") << QStringList{"--run", "a.flw"} << Mode::Run;
    QTest::newRow("stop") << QStringList{"--stop"} << Mode::Control;
    QTest::newRow("convert") << QStringList{"--convert", "a.kqt", "a.flw"} << Mode::Convert;
    QTest::newRow("convert, all moves")
        << QStringList{"--all-moves", "--convert", "a.kqt", "a.flw"} << Mode::Convert;
}

void TestCommandLineRequest::modes()
{
    QFETCH(QStringList, arguments);
    QFETCH(Mode, mode);
    const CommandLineRequest request = parse(arguments);
    QVERIFY2(request.mode == mode, qPrintable(request.error));
}

void TestCommandLineRequest::controlRequests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("toggle clicker")
        << QStringList{"--toggle", "clicker"} << QByteArray("toggle clicker\n");
    QTest::newRow("toggle replay")
        << QStringList{"--toggle=replay:my rec"} << QByteArray("toggle replay:my rec\n");
    QTest::newRow("toggle flow") << QStringList{"--toggle", "flow:x"}
                                 << QByteArray("toggle flow:x\n");
    QTest::newRow("stop") << QStringList{"--stop"} << QByteArray("stop\n");
    QTest::newRow("show") << QStringList{"--show"} << QByteArray("show\n");
    QTest::newRow("quit") << QStringList{"--quit"} << QByteArray("quit\n");
}

void TestCommandLineRequest::controlRequests()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, line);
    const CommandLineRequest request = parse(arguments);
    QVERIFY2(request.mode == Mode::Control, qPrintable(request.error));
    QCOMPARE(ControlProtocol::encodeRequest(request.control), line);
}

void TestCommandLineRequest::runOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("repeat");
    QTest::addColumn<double>("speed");
    QTest::newRow("defaults") << QStringList{"--run", "x.kqt"} << 1 << 1.0;
    QTest::newRow("until stopped") << QStringList{"--run", "x.kqt", "--repeat", "0"} << 0 << 1.0;
    QTest::newRow("three times, fast")
        << QStringList{"--repeat=3", "--speed", "2.5", "--run", "x.kqt"} << 3 << 2.5;
    QTest::newRow("slowest") << QStringList{"--run", "x.kqt", "--speed", "0.25"} << 1 << 0.25;
    QTest::newRow("fastest") << QStringList{"--run", "x.kqt", "--speed", "4"} << 1 << 4.0;
}

void TestCommandLineRequest::runOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, repeat);
    QFETCH(double, speed);
    const CommandLineRequest request = parse(arguments);
    QVERIFY2(request.mode == Mode::Run, qPrintable(request.error));
    QCOMPARE(request.run.file, QStringLiteral("x.kqt"));
    QCOMPARE(request.run.repeat, repeat);
    QCOMPARE(request.run.speed, speed);
}

void TestCommandLineRequest::badUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate"} << "Unknown option 'frobnicate'.";
    QTest::newRow("positional") << QStringList{"file.flw"} << "unexpected argument \"file.flw\"";
    QTest::newRow("missing value") << QStringList{"--toggle"} << "Missing value after '--toggle'.";
    QTest::newRow("unknown job")
        << QStringList{"--toggle", "mouse"}
        << "unknown job \"mouse\": use clicker, keys, recorder, replay:NAME or flow:NAME";
    QTest::newRow("replay without name")
        << QStringList{"--toggle", "replay:"}
        << "unknown job \"replay:\": use clicker, keys, recorder, replay:NAME or flow:NAME";
    QTest::newRow("two actions") << QStringList{"--stop", "--quit"}
                                 << "--stop and --quit cannot be given together";
    QTest::newRow("toggle twice") << QStringList{"--toggle", "keys", "--toggle", "clicker"}
                                  << "--toggle is given more than once";
    QTest::newRow("repeat alone") << QStringList{"--repeat", "2"}
                                  << "--repeat and --speed go with --run";
    QTest::newRow("speed with toggle")
        << QStringList{"--toggle", "keys", "--speed", "2"} << "--repeat and --speed go with --run";
    QTest::newRow("negative repeat") << QStringList{"--run", "x", "--repeat", "-1"}
                                     << "--repeat takes a whole number from 0 up, not \"-1\"";
    QTest::newRow("repeat not a number") << QStringList{"--run", "x", "--repeat", "two"}
                                         << "--repeat takes a whole number from 0 up, not \"two\"";
    QTest::newRow("speed too high") << QStringList{"--run", "x", "--speed", "4.5"}
                                    << "--speed takes a number from 0.25 to 4, not \"4.5\"";
    QTest::newRow("speed too low") << QStringList{"--run", "x", "--speed", "0.2"}
                                   << "--speed takes a number from 0.25 to 4, not \"0.2\"";
    QTest::newRow("speed not a number") << QStringList{"--run", "x", "--speed", "nan"}
                                        << "--speed takes a number from 0.25 to 4, not \"nan\"";
    QTest::newRow("list what") << QStringList{"--list", "jobs"}
                               << "--list takes flows or recordings, not \"jobs\"";
    QTest::newRow("convert without flow file")
        << QStringList{"--convert", "a.kqt"} << "--convert takes a recording and then one flow file";
    QTest::newRow("convert to two files") << QStringList{"--convert", "a.kqt", "a.flw", "b.flw"}
                                          << "--convert takes a recording and then one flow file";
    QTest::newRow("convert to no flow file")
        << QStringList{"--convert", "a.kqt", "a.txt"}
        << "the flow file's name must end in .flw: \"a.txt\"";
    QTest::newRow("all moves alone")
        << QStringList{"--all-moves", "--run", "a.kqt"} << "--all-moves goes with --convert";
}

void TestCommandLineRequest::badUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    const CommandLineRequest request = parse(arguments);
    QVERIFY(request.mode == Mode::BadUsage);
    QCOMPARE(request.error, error);
    QVERIFY(!request.error.contains(QLatin1Char('\n')));
}

void TestCommandLineRequest::everyOptionIsDocumented_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("text");
    QTest::newRow("--help") << "help" << commandLineHelpText();
    QTest::newRow("man page") << "man" << readAll(QStringLiteral(KLIQORA_MAN_PAGE));
    QTest::newRow("bash completion")
        << "completion" << readAll(QStringLiteral(KLIQORA_BASH_COMPLETION));
}

void TestCommandLineRequest::everyOptionIsDocumented()
{
    QFETCH(QString, document);
    QFETCH(QString, text);
    QVERIFY2(!text.isEmpty(), "not generated");
    const QString words = plainWords(text);
    for (const CommandOptions::Option& option : CommandOptions::Options) {
        const QString name = QStringLiteral("--") + QLatin1String(option.longName);
        QVERIFY2(namesOption(words, name), qPrintable(name));
        if (*option.shortName) {
            const QString shortName = QStringLiteral("-") + QLatin1String(option.shortName);
            QVERIFY2(namesOption(words, shortName), qPrintable(shortName));
        }
        if (document != QLatin1String("completion")) {
            const QString description = QLatin1String(option.description);
            QVERIFY2(words.contains(description), qPrintable(description));
        }
    }
}

void TestCommandLineRequest::versionComesFromTheProgramVersion()
{
    QCOMPARE(commandLineVersionText(), QStringLiteral("Kliqora 2.0.0"));
    QVERIFY(readAll(QStringLiteral(KLIQORA_MAN_PAGE)).contains(QLatin1String("\"Kliqora 2.0.0\"")));
}

KLIQORA_TEST_GUILESS_MAIN(TestCommandLineRequest)
#include "tst_commandlinerequest.moc"

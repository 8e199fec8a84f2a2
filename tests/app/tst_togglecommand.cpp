// The command line shown for binding a job to a desktop shortcut: every word reaches
// the program as it is, whatever the job's name holds, as a POSIX shell reads it.

#include "commandline/togglecommand.h"
#include "testenvironment.h"

#include <QProcess>
#include <QtTest>

class TestToggleCommand : public QObject
{
    Q_OBJECT

private slots:
    void commandText_data();
    void commandText();
    void programOnThePathIsNamedShort();
};

void TestToggleCommand::commandText_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const int flow = int(JobSpec::Kind::Flow);
    const int replay = int(JobSpec::Kind::Replay);
    QTest::newRow("page job") << "Kliqora" << int(JobSpec::Kind::Clicker) << ""
                              << "Kliqora --toggle clicker";
    QTest::newRow("plain name") << "Kliqora" << flow << "daily-report_2.v1"
                                << "Kliqora --toggle flow:daily-report_2.v1";
    QTest::newRow("spaces") << "Kliqora" << flow << "my  flow"
                            << "Kliqora --toggle 'flow:my  flow'";
    QTest::newRow("single quote") << "Kliqora" << flow << "Tom's"
                                  << "Kliqora --toggle 'flow:Tom'\\''s'";
    QTest::newRow("double quote and backslash") << "Kliqora" << replay << "say \"hi\" \\n"
                                                << "Kliqora --toggle 'replay:say \"hi\" \\n'";
    QTest::newRow("shell expansions") << "Kliqora" << flow << "$(rm -rf ~) `id` $HOME *"
                                      << "Kliqora --toggle 'flow:$(rm -rf ~) `id` $HOME *'";
    QTest::newRow("Chinese name") << "Kliqora" << replay << "录制 1"
                                  << "Kliqora --toggle 'replay:录制 1'";
    QTest::newRow("program in a folder with a space")
        << "/opt/my apps/Kliqora" << flow << "a;b"
        << "'/opt/my apps/Kliqora' --toggle 'flow:a;b'";
}

void TestToggleCommand::commandText()
{
    QFETCH(QString, program);
    QFETCH(int, kind);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    const JobSpec job{JobSpec::Kind(kind), name};
    const QString command = toggleCommandLine(job, program);
    QCOMPARE(command, expected);

    // A shell hands the program exactly these words.
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"), QStringLiteral("printf '%s\\n' ") + command});
    QVERIFY(shell.waitForFinished(5000));
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()),
             program + QStringLiteral("\n--toggle\n") + job.text() + QLatin1Char('\n'));
}

void TestToggleCommand::programOnThePathIsNamedShort()
{
    // This test is not "Kliqora" on the PATH: its full path is named.
    QCOMPARE(toggleCommandProgram(), QCoreApplication::applicationFilePath());
    QTemporaryDir bin;
    QVERIFY(QFile::link(QCoreApplication::applicationFilePath(), bin.filePath("Kliqora")));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);
    const QString named = toggleCommandProgram();
    qputenv("PATH", path);
    QCOMPARE(named, QStringLiteral("Kliqora"));
}

KLIQORA_TEST_GUILESS_MAIN(TestToggleCommand)
#include "tst_togglecommand.moc"

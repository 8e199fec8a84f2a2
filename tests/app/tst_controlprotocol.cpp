// The control socket's lines: what a request may be, how an answer keeps its text on
// one line, and the names of the jobs.

#include "commandline/controlprotocol.h"
#include "testenvironment.h"

#include <QtTest>

using ControlProtocol::Answer;
using ControlProtocol::Request;
using ControlProtocol::Verb;

Q_DECLARE_METATYPE(Verb)

class TestControlProtocol : public QObject
{
    Q_OBJECT

private slots:
    void jobNames_data();
    void jobNames();
    void requestRoundTrip_data();
    void requestRoundTrip();
    void malformedRequest_data();
    void malformedRequest();
    void answerKeepsTextOnOneLine_data();
    void answerKeepsTextOnOneLine();
    void longAnswerIsCutWithinTheBound();
    void notAnAnswer_data();
    void notAnAnswer();
};

void TestControlProtocol::jobNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("clicker") << "clicker" << true << int(JobSpec::Kind::Clicker) << "";
    QTest::newRow("keys") << "keys" << true << int(JobSpec::Kind::Keys) << "";
    QTest::newRow("recorder") << "recorder" << true << int(JobSpec::Kind::Recorder) << "";
    QTest::newRow("replay") << "replay:record_1" << true << int(JobSpec::Kind::Replay)
                            << "record_1";
    QTest::newRow("flow with spaces and colon")
        << "flow:每日 报告:2" << true << int(JobSpec::Kind::Flow) << "每日 报告:2";
    QTest::newRow("replay without a name") << "replay:" << false << 0 << "";
    QTest::newRow("flow without a name") << "flow:" << false << 0 << "";
    QTest::newRow("upper case") << "Clicker" << false << 0 << "";
    QTest::newRow("trailing blank") << "keys " << false << 0 << "";
    QTest::newRow("unknown") << "mouse" << false << 0 << "";
    QTest::newRow("empty") << "" << false << 0 << "";
}

void TestControlProtocol::jobNames()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, kind);
    QFETCH(QString, name);
    const std::optional<JobSpec> job = JobSpec::parse(text);
    QCOMPARE(job.has_value(), valid);
    if (!valid)
        return;
    QCOMPARE(int(job->kind), kind);
    QCOMPARE(job->name, name);
    QCOMPARE(job->text(), text);
}

void TestControlProtocol::requestRoundTrip_data()
{
    QTest::addColumn<Verb>("verb");
    QTest::addColumn<QString>("job");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("toggle") << Verb::Toggle << "clicker" << QByteArray("toggle clicker\n");
    QTest::newRow("toggle a flow")
        << Verb::Toggle << "flow:每日" << QByteArray("toggle flow:\xe6\xaf\x8f\xe6\x97\xa5\n");
    QTest::newRow("stop") << Verb::Stop << "" << QByteArray("stop\n");
    QTest::newRow("show") << Verb::Show << "" << QByteArray("show\n");
    QTest::newRow("quit") << Verb::Quit << "" << QByteArray("quit\n");
}

void TestControlProtocol::requestRoundTrip()
{
    QFETCH(Verb, verb);
    QFETCH(QString, job);
    QFETCH(QByteArray, line);
    Request request;
    request.verb = verb;
    if (verb == Verb::Toggle)
        request.job = *JobSpec::parse(job);
    QCOMPARE(ControlProtocol::encodeRequest(request), line);

    QString problem;
    const std::optional<Request> decoded =
        ControlProtocol::decodeRequest(line.chopped(1), &problem);
    QVERIFY2(decoded, qPrintable(problem));
    QCOMPARE(decoded->verb, verb);
    QVERIFY(decoded->job == request.job);
    // A client that ends its lines with CR LF is understood too.
    QVERIFY(ControlProtocol::decodeRequest(line.chopped(1) + '\r', &problem));
}

void TestControlProtocol::malformedRequest_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("problem");
    QTest::newRow("empty") << QByteArray() << "unknown request";
    QTest::newRow("unknown verb") << QByteArray("start clicker") << "unknown request";
    QTest::newRow("verb in capitals") << QByteArray("STOP") << "unknown request";
    QTest::newRow("toggle without job") << QByteArray("toggle") << "unknown job";
    QTest::newRow("toggle unknown job") << QByteArray("toggle mouse") << "unknown job";
    QTest::newRow("argument to stop") << QByteArray("stop now") << "this request takes no argument";
    QTest::newRow("blank after show") << QByteArray("show ") << "this request takes no argument";
    QTest::newRow("not UTF-8") << QByteArray("toggle flow:\xff\xfe") << "not UTF-8";
    QTest::newRow("overlong UTF-8") << QByteArray("toggle flow:\xc0\xaf") << "not UTF-8";
    QTest::newRow("NUL inside") << QByteArray("stop\0x", 6) << "control character in the request";
    QTest::newRow("escape sequence")
        << QByteArray("toggle flow:\x1b[2J") << "control character in the request";
    QTest::newRow("too long") << "toggle flow:" + QByteArray(ControlProtocol::MaxRequestBytes, 'a')
                              << "request too long";
}

void TestControlProtocol::malformedRequest()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, problem);
    QString reported;
    QVERIFY(!ControlProtocol::decodeRequest(line, &reported));
    QCOMPARE(reported, problem);
}

void TestControlProtocol::answerKeepsTextOnOneLine_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << 0 << "started the clicker";
    QTest::newRow("empty") << 0 << "";
    QTest::newRow("page text") << 1 << "第1行按键尚未设置，请先完成按键设置。";
    QTest::newRow("names on lines") << 2 << "no flow is named \"x\"; the flows are:\n  a\n  b\\c";
    QTest::newRow("escapes as names") << 2 << "\\n is not a line break\r\\\\";
}

void TestControlProtocol::answerKeepsTextOnOneLine()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    const QByteArray line = ControlProtocol::encodeAnswer({status, text});
    QVERIFY(line.endsWith('\n'));
    QCOMPARE(line.count('\n'), 1);
    QVERIFY(!line.contains('\r'));
    const std::optional<Answer> decoded = ControlProtocol::decodeAnswer(line.chopped(1));
    QVERIFY(decoded);
    QCOMPARE(decoded->status, status);
    QCOMPARE(decoded->text, text);
}

void TestControlProtocol::longAnswerIsCutWithinTheBound()
{
    // Many long names, in a script that takes three bytes a character in UTF-8.
    const QString text = QStringLiteral("名").repeated(ControlProtocol::MaxAnswerBytes);
    const QByteArray line = ControlProtocol::encodeAnswer({2, text});
    QVERIFY(line.size() <= ControlProtocol::MaxAnswerBytes);
    QVERIFY(line.endsWith("...\n"));
    const std::optional<Answer> decoded = ControlProtocol::decodeAnswer(line.chopped(1));
    QVERIFY(decoded);
    QVERIFY(decoded->text.startsWith(QStringLiteral("名名名")));
}

void TestControlProtocol::notAnAnswer_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("status only") << QByteArray("0");
    QTest::newRow("no blank") << QByteArray("0started");
    QTest::newRow("status 3") << QByteArray("3 what");
    QTest::newRow("not a digit") << QByteArray("x oops");
}

void TestControlProtocol::notAnAnswer()
{
    QFETCH(QByteArray, line);
    QVERIFY(!ControlProtocol::decodeAnswer(line));
}

KLIQORA_TEST_APPLESS_MAIN(TestControlProtocol)
#include "tst_controlprotocol.moc"

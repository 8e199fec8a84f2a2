// The real Kliqora on a real X server: F3 types the key presser's list into a real
// focused window of this test, the given number of times, then gives its window back.

#include "keyboardtasklist.h"
#include "taskfile.h"
#include "testenvironment.h"

#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

constexpr int StartUpSettleMs = 2500; // generous: a busy build machine is slow to start

bool runTool(const QStringList& args, QString* output = nullptr)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    if (!tool.waitForFinished(10000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
    return tool.exitCode() == 0;
}

bool hasVisibleWindow(qint64 pid)
{
    QString out;
    runTool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"),
             QString::number(pid)},
            &out);
    return !out.isEmpty();
}

} // namespace

class TestE2eKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void f3TypesTheListTheGivenNumberOfTimes();
};

void TestE2eKeyboard::f3TypesTheListTheGivenNumberOfTimes()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    KeyBoardTaskList list;
    list.setStopType(KeyBoardTaskList::StopByCount);
    list.setRepeatTimes(3);
    list.setDuration(1000);
    for (const char* key : {"A", "SHIFT+B", "c"})
        list.appendTask(KeyBoardTask::fromRowTexts(QString::fromLatin1(key), QStringLiteral("5"),
                                                   QStringLiteral("10")));
    QVERIFY(list.save(TaskFile::keyboardFilePath()));

    QProcess kliqora;
    kliqora.setProcessChannelMode(QProcess::ForwardedChannels);
    kliqora.start(QStringLiteral(KLIQORA_PROGRAM), QStringList());
    QVERIFY(kliqora.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(
        kliqora.state() == QProcess::NotRunning || hasVisibleWindow(kliqora.processId()), 15000);
    QVERIFY2(kliqora.state() == QProcess::Running,
             "Kliqora ended at once: another instance on this machine holds its lock");
    QTest::qWait(StartUpSettleMs);

    // The receiving window takes the focus after the program's window showed.
    QLineEdit edit;
    edit.setGeometry(1500, 60, 300, 40);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.activateWindow();
    edit.setFocus();
    QTRY_VERIFY(edit.hasFocus() && QGuiApplication::focusWindow() == edit.windowHandle());

    QVERIFY(runTool({QStringLiteral("keydown"), QStringLiteral("F3"), QStringLiteral("sleep"),
                     QStringLiteral("0.1"), QStringLiteral("keyup"), QStringLiteral("F3")}));
    QTRY_COMPARE_WITH_TIMEOUT(edit.text(), QStringLiteral("aBcaBcaBc"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(hasVisibleWindow(kliqora.processId()), 5000);
    QTest::qWait(300);
    QCOMPARE(edit.text(), QStringLiteral("aBcaBcaBc"));

    ::kill(pid_t(kliqora.processId()), SIGTERM);
    QVERIFY(kliqora.waitForFinished(10000));
}

KLIQORA_TEST_MAIN(TestE2eKeyboard)
#include "tst_e2e_keyboard.moc"

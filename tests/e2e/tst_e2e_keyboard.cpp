// The real Kliqora on a real X server: F3 types the key presser's list into a real
// focused window of this test, the given number of times, then gives its window back.

#include "e2eprogram.h"
#include "keyboardtasklist.h"
#include "taskfile.h"
#include "testenvironment.h"
#include "xdotool.h"

#include <QLineEdit>
#include <QtTest>

namespace {
constexpr int QuitTimeoutMs = 10000;
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

    // Ready once its probe answers: the page has loaded the list and taken F3.
    E2eProgram kliqora(QStringLiteral(KLIQORA_PROGRAM));
    QVERIFY(kliqora.startAndWaitForWindow());

    // The receiving window takes the focus after the program's window showed.
    QLineEdit edit;
    edit.setGeometry(1500, 60, 300, 40);
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    edit.activateWindow();
    edit.setFocus();
    QTRY_VERIFY(edit.hasFocus() && QGuiApplication::focusWindow() == edit.windowHandle());

    QVERIFY(xdotool({QStringLiteral("keydown"), QStringLiteral("F3"), QStringLiteral("sleep"),
                     QStringLiteral("0.1"), QStringLiteral("keyup"), QStringLiteral("F3")}));
    QTRY_COMPARE_WITH_TIMEOUT(edit.text(), QStringLiteral("aBcaBcaBc"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(kliqora.hasVisibleWindow(), 5000);
    QTest::qWait(300);
    QCOMPARE(edit.text(), QStringLiteral("aBcaBcaBc"));

    QVERIFY(kliqora.quit(QuitTimeoutMs));
}

KLIQORA_TEST_MAIN(TestE2eKeyboard)
#include "tst_e2e_keyboard.moc"

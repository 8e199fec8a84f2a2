// The record page's per-recording hotkeys on a real X server: a key given to a
// recording starts its replay at once and stops it again; a cleared key shows
// "未设置" and starts nothing any more.

#include "appconfig.h"
#include "autorecordtask.h"
#include "dialogs/hotkeyset.h"
#include "pages/recordtable.h"
#include "pages/recordwidget.h"
#include "qhotkey.h"
#include "taskfile.h"
#include "testenvironment.h"

#include <QDir>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

// After Qt: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

namespace {

constexpr int64_t Ms = 1000000;

void acceptNextHotkeyDialog(const QString& text)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, text] {
        auto* dialog = qobject_cast<HotKeySet*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        dialog->setHotkeyText(text);
        dialog->accept();
    });
    timer->start();
}

} // namespace

class TestRecordWidgetX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hotkeyStartsAndStopsItsOwnReplay();
    void clearedHotkeyIsDead();
    void recordingOfThisRunReplaysOnItsNewKey();

private:
    std::unique_ptr<RecordWidget> m_page;
    X11TestClient m_user;
};

void TestRecordWidgetX11::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    QVERIFY(QHotkey::isPlatformSupported());
    // A recording that only waits: two events that send nothing, 20 s apart.
    AutoRecordTask pause;
    pause.appendEvent(std::make_unique<Event>(EventType::Other, 0));
    pause.appendEvent(std::make_unique<Event>(EventType::Other, 20000 * Ms));
    QDir folder(QDir::fromNativeSeparators(TaskFile::recordFolderPath()));
    QVERIFY(pause.save(folder.filePath(QStringLiteral("long pause.kqt"))));
    m_page = std::make_unique<RecordWidget>();
    m_page->show();
    m_page->loadRecords();
    QCOMPARE(m_page->tasks().size(), 1);
}

void TestRecordWidgetX11::hotkeyStartsAndStopsItsOwnReplay()
{
    acceptNextHotkeyDialog(QStringLiteral("F7"));
    m_page->onTaskHotKeySet(0);
    AutoRecordTask* task = m_page->tasks().first();
    QVERIFY(task->hotkey() && task->hotkey()->isRegistered());
    QCOMPARE(m_page->table()->item(0, RecordTable::HotkeyColumn)->text(), QStringLiteral("F7"));

    m_user.press({XK_F7});
    QTRY_VERIFY_WITH_TIMEOUT(m_page->isRunning(), 3000);
    QTest::qWait(200);
    QVERIFY(m_page->isRunning()); // the 20 s pause
    QElapsedTimer clock;
    clock.start();
    m_user.press({XK_F7});
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning(), 3000);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!AppConfig::runFlag.load());
}

void TestRecordWidgetX11::clearedHotkeyIsDead()
{
    acceptNextHotkeyDialog(QString());
    m_page->onTaskHotKeySet(0);
    QCOMPARE(m_page->table()->item(0, RecordTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    QVERIFY(!m_page->tasks().first()->hotkey());
    m_user.press({XK_F7});
    QTest::qWait(400);
    QVERIFY(!m_page->isRunning());
    std::unique_ptr<AutoRecordTask> reread(AutoRecordTask::load(m_page->paths().first()));
    QVERIFY(reread && reread->hotKey().isEmpty() && !reread->hotkey());
}

void TestRecordWidgetX11::recordingOfThisRunReplaysOnItsNewKey()
{
    m_page->onBtnRecordClicked();
    QVERIFY(m_page->isRecording());
    m_page->onBtnRecordClicked();
    QCOMPARE(m_page->tasks().size(), 2);

    acceptNextHotkeyDialog(QStringLiteral("F8"));
    m_page->onTaskHotKeySet(1);
    QSignalSpy finished(m_page.get(), &TaskWidget::sigTaskFinished);
    QTest::ignoreMessage(QtDebugMsg, "no event to replay.");
    m_user.press({XK_F8});
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning(), 3000);
}

KLIQORA_TEST_MAIN(TestRecordWidgetX11)
#include "tst_recordwidget_x11.moc"

// The record page on the recording backend: recording on and off, the saved file
// and its row, replay, copy names, rename, delete by row buttons, hotkey cells,
// the settings group and the load order of the record folder.

#include "appconfig.h"
#include "autorecordtask.h"
#include "dialogs/hotkeyset.h"
#include "dialogs/taskrename.h"
#include "flow.h"
#include "operation.h"
#include "pages/copyname.h"
#include "pages/recordtable.h"
#include "pages/recordwidget.h"
#include "pages/suspendframe.h"
#include "platform/virtualkeys.h"
#include "recordingbackend.h"
#include "taskfile.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace Msg = platform::Message;

namespace {

// Runs `handle` on the next modal dialog of type T once it is shown (inside its exec()).
template <class T> void onNextModal(std::function<void(T*)> handle)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, handle] {
        T* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        handle(modal);
    });
    timer->start();
}

// Answers the next message box with `button`, keeping its title and text.
void answerNextBox(QMessageBox::StandardButton button, QString* title = nullptr,
                   QString* text = nullptr)
{
    onNextModal<QMessageBox>([=](QMessageBox* box) {
        if (title)
            *title = box->windowTitle();
        if (text)
            *text = box->text();
        QAbstractButton* answer = box->button(button);
        QVERIFY2(answer, "the box has no such button");
        answer->click();
    });
}

platform::CapturedKey key(uint32_t message, uint32_t vk, int64_t timeNs)
{
    platform::CapturedKey k;
    k.message = message;
    k.vkCode = vk;
    k.timeNs = timeNs;
    return k;
}

QString recordFolder()
{
    return QDir::fromNativeSeparators(TaskFile::recordFolderPath());
}

} // namespace

class TestRecordWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void record_onlyIntervalRefused();
    void record_savesFileAndRowFromCapturedEvents();
    void record_emptyRecordingSavedListedAndReplaysNothing();
    void record_withoutCaptureDisabledAndExplainedReplayStillRuns();
    void copy_namesTwiceThenSearchEnds();
    void rename_existingNameRefusedOtherRenamed();
    void delete_firstRowThenFormerSecondRowButtons();
    void delete_failedRemovalPutsTheRowBack();
    void hotkey_clearedShowsNotSetAndIsDetached();
    void settings_roundTripAndFolderOldestFirst();
    void quit_whileRecordingKeepsTheRecording();
    void suspendFrame_slidesToLowerRightCorner();
    void replaySpeed_storedAndUsedByTheReplay_data();
    void replaySpeed_storedAndUsedByTheReplay();
    void convert_menuHandsOverAFlowOfTheRecording_data();
    void convert_menuHandsOverAFlowOfTheRecording();

private:
    std::unique_ptr<ScopedRecordingBackend> m_backend;
    std::unique_ptr<RecordWidget> m_page;

    void recordOnce(const std::function<void(RecordingCapture*)>& feed = {});
};

void TestRecordWidget::init()
{
    QDir(recordFolder()).removeRecursively();
    AppConfig::openSettings()->clear();
    m_backend = std::make_unique<ScopedRecordingBackend>();
    m_page = std::make_unique<RecordWidget>();
    m_page->loadRecords();
}

void TestRecordWidget::cleanup()
{
    m_page.reset();
    m_backend.reset();
    AppConfig::runFlag = false;
}

void TestRecordWidget::recordOnce(const std::function<void(RecordingCapture*)>& feed)
{
    m_page->onBtnRecordClicked();
    QVERIFY(m_page->isRecording());
    RecordingCapture* capture = (*m_backend)->activeCapture();
    QVERIFY(capture && capture->isActive());
    if (feed)
        feed(capture);
    m_page->onBtnRecordClicked();
    QVERIFY(!m_page->isRecording());
}

void TestRecordWidget::record_onlyIntervalRefused()
{
    for (const char* name : {"checkBoxClick", "checkBoxMove", "checkBoxScroll", "checkBoxKeyPress"})
        m_page->findChild<QCheckBox*>(QLatin1String(name))->setChecked(false);
    QString title, text;
    answerNextBox(QMessageBox::Ok, &title, &text);
    m_page->recordButton()->click();
    QCOMPARE(title, QStringLiteral("录制选项未选择"));
    QCOMPARE(text, QStringLiteral("请至少选择一种要录制的键盘鼠标动作。"));
    QVERIFY(!m_page->isRecording());
    QVERIFY(!(*m_backend)->activeCapture());
}

void TestRecordWidget::record_savesFileAndRowFromCapturedEvents()
{
    m_page->findChild<QCheckBox*>(QStringLiteral("checkBoxMove"))->setChecked(false);
    m_page->onBtnRecordClicked();
    QVERIFY(m_page->suspendFrame() && m_page->suspendFrame()->isVisible());
    QVERIFY((*m_backend)->keepAwake());
    RecordingCapture* capture = (*m_backend)->activeCapture();
    QVERIFY(capture);
    capture->feedKey(key(Msg::KeyUp, platform::Vk::Return, 1000)); // released from before
    platform::CapturedMouse move;
    move.message = Msg::MouseMove;
    capture->feedMouse(move); // moves not chosen
    capture->feedKey(key(Msg::KeyDown, platform::Vk::KeyA, 2000000));
    capture->feedKey(key(Msg::KeyUp, platform::Vk::KeyA, 9000000));
    capture->feedKey(key(Msg::KeyDown, platform::Vk::F1 + 3, 12000000)); // the stop key
    m_page->recordButton()->click();
    QVERIFY(!capture->isActive());
    QVERIFY(!m_page->suspendFrame()->isVisible());
    QVERIFY(!(*m_backend)->keepAwake());

    QCOMPARE(m_page->paths().size(), 1);
    const QString path = m_page->paths().first();
    QVERIFY2(QRegularExpression(QStringLiteral("^record_\\d{8}_\\d{6}_\\d{3}\\.kqt$"))
                 .match(QFileInfo(path).fileName())
                 .hasMatch(),
             qPrintable(path));
    QCOMPARE(m_page->table()->rowName(0), QFileInfo(path).completeBaseName());
    QCOMPARE(m_page->table()->item(0, RecordTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    std::unique_ptr<AutoRecordTask> saved(AutoRecordTask::load(path));
    QVERIFY(saved);
    QCOMPARE(saved->events().size(), size_t(2)); // A down and up only
    QCOMPARE(saved->events()[1]->time - saved->events()[0]->time, int64_t(7000000));
}

void TestRecordWidget::replaySpeed_storedAndUsedByTheReplay_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid: not in the settings
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("speed");
    QTest::newRow("absent") << QVariant() << QStringLiteral("1×") << 1.0;
    QTest::newRow("2x") << QVariant(2.0) << QStringLiteral("2×") << 2.0;
    QTest::newRow("quarter") << QVariant(0.25) << QStringLiteral("0.25×") << 0.25;
    QTest::newRow("by hand: nearest offered") << QVariant(3.8) << QStringLiteral("4×") << 4.0;
}

void TestRecordWidget::replaySpeed_storedAndUsedByTheReplay()
{
    QFETCH(QVariant, stored);
    QFETCH(double, speed);
    recordOnce([](RecordingCapture* capture) {
        capture->feedKey(key(Msg::KeyDown, platform::Vk::KeyA, 1000000));
        capture->feedKey(key(Msg::KeyUp, platform::Vk::KeyA, 2000000));
    });
    if (stored.isValid())
        AppConfig::openSettings(AppConfig::RecordSettingsGroup)
            ->setValue(QStringLiteral("ReplaySpeed"), stored);
    RecordWidget page;
    page.loadRecords();
    auto* combo = page.findChild<QComboBox*>(QStringLiteral("comboReplaySpeed"));
    QTEST(combo->currentText(), "shown");
    QCOMPARE(page.replaySpeed(), speed);

    page.table()->rowButton(0, RecordTable::RunButton)->click();
    QCOMPARE(page.tasks().first()->replaySpeed(), speed);
    QTRY_VERIFY_WITH_TIMEOUT(!page.isRunning(), 3000);

    combo->setCurrentText(QStringLiteral("1.5×"));
    page.saveSettings();
    QCOMPARE(AppConfig::openSettings(AppConfig::RecordSettingsGroup)
                 ->value(QStringLiteral("ReplaySpeed"))
                 .toDouble(),
             1.5);
}

void TestRecordWidget::convert_menuHandsOverAFlowOfTheRecording_data()
{
    QTest::addColumn<int>("entry"); // from the end of the menu
    QTest::addColumn<int>("moves");
    QTest::newRow("thinned") << 1 << 2;
    QTest::newRow("every move") << 0 << 3;
}

void TestRecordWidget::convert_menuHandsOverAFlowOfTheRecording()
{
    QFETCH(int, entry);
    recordOnce([](RecordingCapture* capture) {
        for (int x : {10, 20, 30}) {
            platform::CapturedMouse move;
            move.message = Msg::MouseMove;
            move.x = x;
            move.timeNs = x * 1000000;
            capture->feedMouse(move);
        }
        capture->feedKey(key(Msg::KeyDown, platform::Vk::KeyA, 50000000));
        capture->feedKey(key(Msg::KeyUp, platform::Vk::KeyA, 60000000));
    });
    std::unique_ptr<Flow> converted;
    connect(m_page.get(), &RecordWidget::sigConvertedToFlow, this,
            [&converted](Flow* flow) { converted.reset(flow); });
    QTimer::singleShot(0, this, [entry] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.at(actions.size() - 2)->text(), QStringLiteral("转为流程"));
        QCOMPARE(actions.last()->text(), QStringLiteral("转为流程（保留全部移动）"));
        menu->setActiveAction(actions.at(actions.size() - 1 - entry));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    m_page->table()->rowButton(0, RecordTable::OtherButton)->click();
    QVERIFY(converted);
    const QString name = m_page->table()->rowName(0);
    QCOMPARE(converted->name(), name);
    QCOMPARE(converted->description(), QStringLiteral("由录制“%1”转换而来").arg(name));
    QStringList types;
    for (const Operation* op : converted->operations())
        types << op->typeId();
    QStringList expected;
    QFETCH(int, moves);
    for (int i = 0; i < moves; ++i)
        expected << QStringLiteral("mouse_move");
    expected << QStringLiteral("key_input") << QStringLiteral("key_input");
    QCOMPARE(types, expected);
}

void TestRecordWidget::record_emptyRecordingSavedListedAndReplaysNothing()
{
    recordOnce();
    QCOMPARE(m_page->table()->rowCount(), 1);
    QVERIFY(QFileInfo::exists(m_page->paths().first()));
    QTest::ignoreMessage(QtDebugMsg, "no event to replay.");
    m_page->table()->rowButton(0, RecordTable::RunButton)->click();
    QVERIFY(m_page->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning(), 3000);
    QCOMPARE((*m_backend)->callCount(), 0);
}

void TestRecordWidget::record_withoutCaptureDisabledAndExplainedReplayStillRuns()
{
    QVERIFY(m_page->canRecord());
    QVERIFY(m_page->recordButton()->isEnabled());
    QVERIFY(!m_page->findChild<QLabel*>(QStringLiteral("lblRecordUnavailable")));
    recordOnce();
    m_page.reset();

    (*m_backend)->setCaptureAvailable(false);
    m_page = std::make_unique<RecordWidget>();
    m_page->loadRecords();
    QVERIFY(!m_page->canRecord());
    QVERIFY(!m_page->recordButton()->isEnabled());
    const auto* notice = m_page->findChild<QLabel*>(QStringLiteral("lblRecordUnavailable"));
    QVERIFY(notice && notice->isVisibleTo(m_page.get()));
    QVERIFY(notice->text().contains(QStringLiteral("X11")));
    QCOMPARE(m_page->recordButton()->toolTip(), notice->text());

    QString title, text;
    answerNextBox(QMessageBox::Ok, &title, &text);
    m_page->onBtnRecordClicked(); // as the hotkey and the command line do
    QCOMPARE(title, QStringLiteral("无法录制"));
    QCOMPARE(text, notice->text());
    QVERIFY(!m_page->isRecording());
    QVERIFY(!m_page->suspendFrame());
    QCOMPARE(m_page->paths().size(), 1);

    QTest::ignoreMessage(QtDebugMsg, "no event to replay.");
    m_page->table()->rowButton(0, RecordTable::RunButton)->click();
    QVERIFY(m_page->isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning(), 3000);
}

void TestRecordWidget::copy_namesTwiceThenSearchEnds()
{
    recordOnce();
    const QString source = m_page->table()->rowName(0);
    m_page->onCopyTask(0);
    QCOMPARE(m_page->table()->rowName(1), QStringLiteral("copy_") + source);
    m_page->onCopyTask(0);
    const QString second = m_page->table()->rowName(2);
    const QString prefix = QStringLiteral("copy_") + source + QLatin1Char('_');
    QVERIFY2(second.startsWith(prefix), qPrintable(second));
    const int number = second.mid(prefix.size()).toInt();
    QVERIFY(number >= 10 && number <= 98);
    QCOMPARE(m_page->tasks().size(), 3);

    // With every numbered candidate taken the search still ends, on a free name.
    const QString sourcePath = m_page->paths().first();
    for (int n = CopyName::FirstNumber; n <= CopyName::LastNumber; ++n) {
        QFile file(
            QDir(recordFolder()).filePath(prefix + QString::number(n) + QStringLiteral(".kqt")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString last = CopyName::copyPath(sourcePath, QStringLiteral("copy_"));
    QCOMPARE(QFileInfo(last).fileName(), prefix + QStringLiteral("99.kqt"));
}

void TestRecordWidget::rename_existingNameRefusedOtherRenamed()
{
    recordOnce();
    m_page->onCopyTask(0);
    const QString first = m_page->table()->rowName(0);
    const QString copyName = m_page->table()->rowName(1);

    QString text;
    onNextModal<TaskRename>([&](TaskRename* dialog) {
        dialog->setName(first);
        answerNextBox(QMessageBox::Ok, nullptr, &text);
        dialog->accept();
    });
    m_page->onRenameTask(1);
    QCOMPARE(text, QStringLiteral("任务名称 \"%1\" 已存在。").arg(first));
    QCOMPARE(m_page->table()->rowName(1), copyName);

    onNextModal<TaskRename>([&](TaskRename* dialog) {
        dialog->setName(QStringLiteral("morning run"));
        dialog->accept();
    });
    m_page->onRenameTask(1);
    QCOMPARE(m_page->table()->rowName(1), QStringLiteral("morning run"));
    QCOMPARE(QFileInfo(m_page->paths().at(1)).fileName(), QStringLiteral("morning run.kqt"));
    QVERIFY(QFileInfo::exists(m_page->paths().at(1)));
    QVERIFY(!QFileInfo::exists(QDir(recordFolder()).filePath(copyName + QStringLiteral(".kqt"))));

    // A name that would leave the record folder is refused as well.
    onNextModal<TaskRename>([&](TaskRename* dialog) {
        dialog->setName(QStringLiteral("../outside"));
        answerNextBox(QMessageBox::Ok);
        dialog->accept();
    });
    m_page->onRenameTask(1);
    QCOMPARE(m_page->table()->rowName(1), QStringLiteral("morning run"));
}

void TestRecordWidget::delete_firstRowThenFormerSecondRowButtons()
{
    recordOnce();
    m_page->onCopyTask(0);
    m_page->onCopyTask(0);
    const QStringList paths = m_page->paths();
    QAbstractButton* secondRun = m_page->table()->rowButton(1, RecordTable::RunButton);
    QAbstractButton* secondDelete = m_page->table()->rowButton(1, RecordTable::DeleteButton);

    QString text;
    answerNextBox(QMessageBox::Yes, nullptr, &text);
    m_page->table()->rowButton(0, RecordTable::DeleteButton)->click();
    QCOMPARE(
        text,
        QStringLiteral("确定要删除录制 \"%1\" 吗？").arg(QFileInfo(paths[0]).completeBaseName()));
    QVERIFY(!QFileInfo::exists(paths[0]));
    QCOMPARE(m_page->tasks().size(), 2);

    QSignalSpy play(m_page->table(), &RecordTable::sigPlayTask);
    secondRun->click();
    QCOMPARE(play.count(), 1);
    QCOMPARE(play.first().first().toString(), QFileInfo(paths[1]).completeBaseName());
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning(), 3000);

    answerNextBox(QMessageBox::No);
    secondDelete->click(); // refused: nothing happens
    QCOMPARE(m_page->tasks().size(), 2);
    answerNextBox(QMessageBox::Yes);
    secondDelete->click();
    QCOMPARE(m_page->paths(), QStringList{paths[2]});
    QVERIFY(!QFileInfo::exists(paths[1]) && QFileInfo::exists(paths[2]));
}

void TestRecordWidget::delete_failedRemovalPutsTheRowBack()
{
    recordOnce();
    m_page->onCopyTask(0);
    m_page->onCopyTask(0);
    const QStringList paths = m_page->paths();
    const QString name = QFileInfo(paths[1]).completeBaseName();
    // The file turns into a folder with content, which cannot be removed as a file.
    QVERIFY(QFile::remove(paths[1]));
    QVERIFY(QDir().mkpath(QDir(paths[1]).filePath(QStringLiteral("inside"))));

    QString title, text;
    onNextModal<QMessageBox>([&](QMessageBox* question) {
        answerNextBox(QMessageBox::Ok, &title, &text);
        question->button(QMessageBox::Yes)->click();
    });
    QTest::ignoreMessage(QtWarningMsg, qPrintable("Failed to delete file: " + name));
    m_page->table()->rowButton(1, RecordTable::DeleteButton)->click();
    QCOMPARE(title + QLatin1Char('|') + text,
             QStringLiteral("删除失败|无法删除文件 %1。").arg(paths[1]));
    QCOMPARE(m_page->paths(), paths);
    QCOMPARE(m_page->tasks().size(), 3);
    QStringList rows;
    for (int row = 0; row < m_page->table()->rowCount(); ++row)
        rows << m_page->table()->rowName(row);
    QCOMPARE(rows.at(1), name);
    QCOMPARE(rows.size(), 3);
    // The row that came back acts on its own recording.
    QSignalSpy play(m_page->table(), &RecordTable::sigPlayTask);
    m_page->table()->rowButton(1, RecordTable::RunButton)->click();
    QCOMPARE(play.count(), 1);
    QCOMPARE(play.first().first().toString(), name);
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning(), 3000);
}

void TestRecordWidget::hotkey_clearedShowsNotSetAndIsDetached()
{
    recordOnce();
    AutoRecordTask* task = m_page->tasks().first();
    // Hotkeys do not register here: give the task one as a loaded file would have it.
    task->setHotKey(QStringLiteral("F7"));
    QVERIFY(task->save(m_page->paths().first()));
    m_page->onCopyTask(0);
    AutoRecordTask* copy = m_page->tasks().at(1);
    QCOMPARE(copy->hotKey(), QStringLiteral("F7")); // the copy carries the source's key
    QCOMPARE(m_page->table()->item(1, RecordTable::HotkeyColumn)->text(), QStringLiteral("F7"));
    QVERIFY(copy->hotkey());

    onNextModal<HotKeySet>([](HotKeySet* dialog) {
        dialog->setHotkeyText(QString());
        dialog->accept();
    });
    m_page->onTaskHotKeySet(1);
    QCOMPARE(m_page->table()->item(1, RecordTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    QVERIFY(!copy->hotkey());
    std::unique_ptr<AutoRecordTask> reread(AutoRecordTask::load(m_page->paths().at(1)));
    QVERIFY(reread && reread->hotKey().isEmpty());
}

void TestRecordWidget::settings_roundTripAndFolderOldestFirst()
{
    m_page->findChild<QCheckBox*>(QStringLiteral("checkBoxScroll"))->setChecked(false);
    m_page->findChild<QCheckBox*>(QStringLiteral("checkBoxInterval"))->setChecked(false);
    m_page->saveSettings();
    const auto settings = AppConfig::openSettings(AppConfig::RecordSettingsGroup);
    QCOMPARE(settings->value(QStringLiteral("RecordScroll")).toBool(), false);
    QCOMPARE(settings->value(QStringLiteral("RecordClick")).toBool(), true);
    QCOMPARE(settings->value(QStringLiteral("RecordHotKey")).toString(), QStringLiteral("F4"));

    // Three recordings whose names sort against their age.
    const QDateTime now = QDateTime::currentDateTime();
    const QStringList names = {QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")};
    for (int i = 0; i < names.size(); ++i) {
        AutoRecordTask task;
        const QString path = QDir(recordFolder()).filePath(names[i] + QStringLiteral(".kqt"));
        QVERIFY(task.save(path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(now.addSecs(-100 + i * 10), QFileDevice::FileModificationTime));
    }
    QFile foreign(QDir(recordFolder()).filePath(QStringLiteral("z.kqt")));
    QVERIFY(foreign.open(QIODevice::WriteOnly));
    foreign.write("not a recording");
    foreign.close();

    RecordWidget page;
    page.loadRecords();
    QStringList rows;
    for (int row = 0; row < page.table()->rowCount(); ++row)
        rows << page.table()->rowName(row);
    QCOMPARE(rows, names);
    QVERIFY(!page.findChild<QCheckBox*>(QStringLiteral("checkBoxScroll"))->isChecked());
    QVERIFY(!page.findChild<QCheckBox*>(QStringLiteral("checkBoxInterval"))->isChecked());
    QVERIFY(page.findChild<QCheckBox*>(QStringLiteral("checkBoxKeyPress"))->isChecked());
}

void TestRecordWidget::quit_whileRecordingKeepsTheRecording()
{
    m_page->onBtnRecordClicked();
    RecordingCapture* capture = (*m_backend)->activeCapture();
    QVERIFY(capture);
    capture->feedKey(key(Msg::KeyDown, platform::Vk::KeyA, 2000000));
    capture->feedKey(key(Msg::KeyUp, platform::Vk::KeyA, 3000000));
    m_page->onAboutToQuit();
    QVERIFY(!m_page->isRecording() && !capture->isActive());
    QCOMPARE(m_page->paths().size(), 1);
    std::unique_ptr<AutoRecordTask> saved(AutoRecordTask::load(m_page->paths().first()));
    QVERIFY(saved && saved->events().size() == 2);
    QVERIFY(AppConfig::openSettings(AppConfig::RecordSettingsGroup)
                ->contains(QStringLiteral("RecordHotKey")));
}

void TestRecordWidget::suspendFrame_slidesToLowerRightCorner()
{
    SuspendFrame frame;
    frame.show();
    frame.slideIn();
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(frame.pos(), QPoint(desktop.width() / 2, desktop.height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(!frame.isSliding(), 3000);
    const int lastX = desktop.width() - SuspendFrame::EdgeMargin - frame.width();
    QVERIFY2(frame.x() <= lastX && frame.x() > lastX - SuspendFrame::SlideSteps,
             qPrintable(QString::number(frame.x())));
    QVERIFY(frame.y() > desktop.height() / 2);
}

KLIQORA_TEST_MAIN(TestRecordWidget)
#include "tst_recordwidget.moc"

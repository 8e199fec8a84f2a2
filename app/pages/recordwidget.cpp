#include "recordwidget.h"
#include "ui_recordwidget.h"

#include "appconfig.h"
#include "appstyle.h"
#include "autorecordtask.h"
#include "copyname.h"
#include "dialogs/hotkeyset.h"
#include "filerowactions.h"
#include "flow.h"
#include "hotkeymanage.h"
#include "logcategory.h"
#include "platform/backend.h"
#include "qhotkey.h"
#include "recordingconverter.h"
#include "recordtable.h"
#include "shownhotkey.h"
#include "suspendframe.h"
#include "taskfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QRandomGenerator>
#include <QSettings>
#include <QTimer>

#include <cmath>
#include <memory>

namespace {

const QString DefaultHotkey = QStringLiteral("F4");
const QString TitleFontFamily = QStringLiteral("Microsoft YaHei UI");
constexpr int TitleFontPointSize = 12;
constexpr int RecordButtonWidth = 200;
constexpr int RecordButtonHeight = 60;
constexpr int RecordNumberCount = 1000; // %2 of the file name: 000..999
const QString CopyPrefix = QStringLiteral("copy_");
const QString RecordFilter = QStringLiteral("*.kqt");

// clang-format off
const char KeyRecordClick[]    = "RecordClick";
const char KeyRecordMove[]     = "RecordMove";
const char KeyRecordScroll[]   = "RecordScroll";
const char KeyRecordKeyPress[] = "RecordKeyPress";
const char KeyRecordInterval[] = "RecordInterval";
const char KeyRecordHotKey[]   = "RecordHotKey";
const char KeyReplaySpeed[]    = "ReplaySpeed";
// The speeds offered; the gaps of a replay are divided by the one chosen.
constexpr double ReplaySpeeds[] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0, 4.0};
// clang-format on

} // namespace

RecordWidget::RecordWidget(QWidget* parent)
    : TaskWidget(parent), ui(std::make_unique<Ui::RecordWidgetClass>()), m_fileRows(this)
{
    initUi();
    initConnections();
    QTimer::singleShot(0, this, &RecordWidget::loadRecords);
}

RecordWidget::~RecordWidget()
{
    stopCapture();
    // The worker may be replaying one of the tasks below: end it while they exist.
    stopTaskForExit();
    delete m_suspendFrame;
    qDeleteAll(m_tasks);
}

QString RecordWidget::buttonText(const QString& hotkey)
{
    return tr("启动/停止录制\n[%1]").arg(shownHotkey(hotkey));
}

RecordTable* RecordWidget::table() const
{
    return ui->tableRecord;
}

QAbstractButton* RecordWidget::recordButton() const
{
    return ui->btnRecord;
}

void RecordWidget::initUi()
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("RecordWidget"));
    ui->lblTitle->setText(tr("键鼠录制"));
    ui->lblTitle->setFont(QFont(TitleFontFamily, TitleFontPointSize));
    ui->lblActionSelect->setText(tr("要录制的键盘鼠标动作："));
    ui->checkBoxClick->setText(tr("鼠标点击"));
    ui->checkBoxMove->setText(tr("鼠标移动"));
    ui->checkBoxScroll->setText(tr("滚轮滚动"));
    ui->checkBoxKeyPress->setText(tr("键盘按键"));
    ui->checkBoxInterval->setText(tr("动作间隔等待时间"));
    ui->btnRecord->setText(buttonText(DefaultHotkey));
    ui->btnRecord->setFixedSize(RecordButtonWidth, RecordButtonHeight);
    ui->btnRecord->setStyleSheet(AppStyle::pageButtonStyleSheet());
    ui->lblHotKeySet->setText(QStringLiteral("<a href='#'>%1</a>").arg(tr("修改快捷键")));
    ui->lblReplaySpeed->setText(tr("回放速度："));
    for (double speed : ReplaySpeeds)
        ui->comboReplaySpeed->addItem(QStringLiteral("%1×").arg(speed), speed);
    selectReplaySpeed(1.0);
    // Asked once: the answer is a property of the session, not of the moment.
    m_canRecord = platform::backend().createCapture() != nullptr;
    if (!m_canRecord)
        showRecordingUnavailable();
}

QString RecordWidget::recordingUnavailableText()
{
    return tr("此桌面不允许程序录制全局键盘鼠标输入。请在 X11 "
              "会话中录制；录制好的文件在任何桌面都能回放。");
}

void RecordWidget::showRecordingUnavailable()
{
    const QString why = recordingUnavailableText();
    ui->btnRecord->setEnabled(false);
    ui->btnRecord->setToolTip(why);
    auto* notice = new QLabel(why, this);
    notice->setObjectName(QStringLiteral("lblRecordUnavailable"));
    notice->setWordWrap(true);
    notice->setStyleSheet(QStringLiteral("color: #b35900;"));
    ui->layoutPage->addWidget(notice);
    qCWarning(logCategory()) << "Recording: this session lets no program capture global input";
}

void RecordWidget::initConnections()
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &RecordWidget::onAboutToQuit);
    connect(ui->btnRecord, &QPushButton::clicked, this, &RecordWidget::onBtnRecordClicked);
    connect(ui->lblHotKeySet, &QLabel::linkActivated, this, &RecordWidget::onHotKeySetClicked);
    RecordTable* table = ui->tableRecord;
    connect(table, &RecordTable::sigDeleteTask, this, &RecordWidget::onDeleteTask);
    connect(table, &RecordTable::sigPlayTask, this, &RecordWidget::onPlayTask);
    connect(table, &RecordTable::sigRenameTask, this, &RecordWidget::onRenameTask);
    connect(table, &RecordTable::sigCopyTask, this, &RecordWidget::onCopyTask);
    connect(table, &RecordTable::sigSetTaskHotKey, this, &RecordWidget::onTaskHotKeySet);
    connect(table, &RecordTable::sigConvertTask, this, &RecordWidget::onConvertTask);

    m_hotkey = new QHotkey(QKeySequence(DefaultHotkey), true, this);
    m_activeHotkey = m_hotkey;
    HotkeyManage::instance()->addHotkey(m_hotkey, [this] { return ui->lblTitle->text(); });
    connect(m_hotkey, &QHotkey::activated, this, &RecordWidget::onBtnRecordClicked);
}

// ---- loading and settings ----

void RecordWidget::loadRecords()
{
    loadFolder();
    readSettings();
}

void RecordWidget::loadFolder()
{
    if (m_loaded)
        return;
    m_loaded = true;
    const QDir dir(QDir::fromNativeSeparators(TaskFile::recordFolderPath()));
    if (!dir.exists())
        return;
    // Oldest first: the list grows at its end as new recordings are made.
    const QFileInfoList files = dir.entryInfoList({RecordFilter}, QDir::Files | QDir::NoSymLinks,
                                                  QDir::Time | QDir::Reversed);
    for (const QFileInfo& file : files) {
        const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
        AutoRecordTask* task = AutoRecordTask::load(path);
        if (!task) {
            qCWarning(logCategory()).noquote() << "failed to load record file:" << path;
            continue;
        }
        addRecording(task, path);
    }
}

void RecordWidget::readSettings()
{
    const std::unique_ptr<QSettings> settings =
        AppConfig::openSettings(AppConfig::RecordSettingsGroup);
    auto flag = [&](const char* key) { return settings->value(QLatin1String(key), true).toBool(); };
    ui->checkBoxClick->setChecked(flag(KeyRecordClick));
    ui->checkBoxMove->setChecked(flag(KeyRecordMove));
    ui->checkBoxScroll->setChecked(flag(KeyRecordScroll));
    ui->checkBoxKeyPress->setChecked(flag(KeyRecordKeyPress));
    ui->checkBoxInterval->setChecked(flag(KeyRecordInterval));
    selectReplaySpeed(settings->value(QLatin1String(KeyReplaySpeed), 1.0).toDouble());
    const QString hotkey = settings->value(QLatin1String(KeyRecordHotKey)).toString();
    if (hotkey.isEmpty())
        return;
    m_hotkey->setRegistered(false);
    m_hotkey->setShortcut(QKeySequence(hotkey), false);
    m_hotkey->setRegistered(true);
    ui->btnRecord->setText(buttonText(hotkey));
    if (!m_hotkey->isRegistered())
        qCWarning(logCategory()).noquote()
            << QStringLiteral("Recorder hotkey %1 could not be registered").arg(hotkey);
}

void RecordWidget::saveSettings() const
{
    const std::unique_ptr<QSettings> settings =
        AppConfig::openSettings(AppConfig::RecordSettingsGroup);
    settings->setValue(QLatin1String(KeyRecordClick), ui->checkBoxClick->isChecked());
    settings->setValue(QLatin1String(KeyRecordMove), ui->checkBoxMove->isChecked());
    settings->setValue(QLatin1String(KeyRecordScroll), ui->checkBoxScroll->isChecked());
    settings->setValue(QLatin1String(KeyRecordKeyPress), ui->checkBoxKeyPress->isChecked());
    settings->setValue(QLatin1String(KeyRecordInterval), ui->checkBoxInterval->isChecked());
    settings->setValue(QLatin1String(KeyRecordHotKey),
                       m_hotkey->shortcut().toString(QKeySequence::PortableText));
    settings->setValue(QLatin1String(KeyReplaySpeed), replaySpeed());
}

double RecordWidget::replaySpeed() const
{
    return ui->comboReplaySpeed->currentData().toDouble();
}

void RecordWidget::selectReplaySpeed(double speed)
{
    // A value written by hand selects the nearest speed offered.
    int nearest = 0;
    for (int i = 1; i < ui->comboReplaySpeed->count(); ++i) {
        const double offered = ui->comboReplaySpeed->itemData(i).toDouble();
        const double best = ui->comboReplaySpeed->itemData(nearest).toDouble();
        if (std::abs(offered - speed) < std::abs(best - speed))
            nearest = i;
    }
    ui->comboReplaySpeed->setCurrentIndex(nearest);
}

// ---- recording ----

bool RecordWidget::anyActionChosen() const
{
    // The interval option alone records nothing.
    return ui->checkBoxClick->isChecked() || ui->checkBoxMove->isChecked() ||
           ui->checkBoxScroll->isChecked() || ui->checkBoxKeyPress->isChecked();
}

void RecordWidget::onBtnRecordClicked()
{
    if (!m_canRecord) {
        // The hotkey and the command line come here too: hiding the window would
        // record nothing.
        warnUser(tr("无法录制"), recordingUnavailableText());
        return;
    }
    if (!anyActionChosen()) {
        warnUser(tr("录制选项未选择"), tr("请至少选择一种要录制的键盘鼠标动作。"));
        return;
    }
    if (isRunning())
        return; // a replay runs: its own key stops it, recording waits
    if (m_recording)
        stopRecording();
    else
        startRecording();
}

void RecordWidget::startRecording()
{
    m_recordingTask = std::make_unique<AutoRecordTask>();
    m_recordingTask->setRecordClick(ui->checkBoxClick->isChecked());
    m_recordingTask->setRecordMove(ui->checkBoxMove->isChecked());
    m_recordingTask->setRecordScroll(ui->checkBoxScroll->isChecked());
    m_recordingTask->setRecordKeyPress(ui->checkBoxKeyPress->isChecked());
    m_recordingTask->setRecordInterval(ui->checkBoxInterval->isChecked());

    m_activeHotkey = m_hotkey;
    setHotkeysBlocked(true);
    hideMainWindow();
    if (!m_suspendFrame) {
        m_suspendFrame = new SuspendFrame();
        connect(m_suspendFrame->stopButton(), &QAbstractButton::clicked, this,
                &RecordWidget::onBtnRecordClicked);
    }
    m_suspendFrame->show();
    m_suspendFrame->slideIn();
    m_recording = true;
    if (!platform::backend().setKeepAwake(true))
        qCDebug(logCategory()) << "Keep-awake request not available";
    startCapture();
}

void RecordWidget::startCapture()
{
    m_capture = platform::backend().createCapture();
    AutoRecordTask* task = m_recordingTask.get();
    const bool started = m_capture && m_capture->start(
                                          [task](const platform::CapturedMouse& event) {
                                              task->mouseHook(AutoRecordTask::HookAction, event);
                                          },
                                          [task](const platform::CapturedKey& event) {
                                              task->keyboardHook(AutoRecordTask::HookAction, event);
                                          });
    if (started) {
        qCDebug(logCategory()) << "set hook successful.";
        return;
    }
    // Nothing is recorded until the user stops; the empty recording is still kept.
    qCWarning(logCategory()) << "Recording: the global input capture could not be started";
}

void RecordWidget::stopCapture()
{
    if (!m_capture)
        return;
    const bool wasActive = m_capture->isActive();
    m_capture->stop();
    if (wasActive)
        qCDebug(logCategory()) << "unset hook successful.";
    // Destroyed once control is back in the event loop, outside any capture call.
    QTimer::singleShot(0, qApp,
                       [capture = std::shared_ptr<platform::InputCapture>(std::move(m_capture))] {
                           Q_UNUSED(capture);
                       });
}

void RecordWidget::onAboutToQuit()
{
    // Quitting from the tray while recording keeps what was recorded so far.
    if (m_recording)
        stopRecording(false);
    saveSettings();
}

void RecordWidget::stopRecording(bool restoreWindow)
{
    stopCapture();
    m_recording = false;
    if (restoreWindow)
        restoreMainWindow();
    if (m_suspendFrame)
        m_suspendFrame->hide();
    setHotkeysBlocked(false);
    platform::backend().setKeepAwake(false);
    saveRecording(std::move(m_recordingTask));
}

void RecordWidget::saveRecording(std::unique_ptr<AutoRecordTask> task)
{
    if (!task)
        return;
    const QString path = newRecordPath();
    QString error;
    if (!task->save(path, &error)) {
        showWriteFailure(error);
        return;
    }
    addRecording(task.release(), path);
}

QString RecordWidget::newRecordPath()
{
    const QDir dir(QDir::fromNativeSeparators(TaskFile::recordFolderPath()));
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    // Two recordings in the same second must not overwrite each other: walk on from
    // the random number to the next free one.
    const int first = QRandomGenerator::global()->bounded(RecordNumberCount);
    QString path;
    for (int i = 0; i < RecordNumberCount; ++i) {
        const int number = (first + i) % RecordNumberCount;
        path = dir.filePath(
            QStringLiteral("record_%1_%2.kqt").arg(stamp).arg(number, 3, 10, QLatin1Char('0')));
        if (!QFileInfo::exists(path))
            break;
    }
    return QDir::toNativeSeparators(path);
}

void RecordWidget::addRecording(AutoRecordTask* task, const QString& path)
{
    m_tasks.append(task);
    m_paths.append(path);
    ui->tableRecord->addRow(FileRowActions::baseName(path), task->hotKey());
    if (QHotkey* hotkey = task->hotkey())
        hotkey->setDescription(FileRowActions::baseName(path));
    connect(task, &AutoRecordTask::hotkeyActivated, this, &RecordWidget::onTaskHotKeyActivated);
    if (task->hotkey())
        HotkeyManage::instance()->addHotkey(task->hotkey(), recordingName(task));
}

HotkeyManage::JobName RecordWidget::recordingName(AutoRecordTask* task) const
{
    return [this, task = QPointer<AutoRecordTask>(task)] {
        const int row = m_tasks.indexOf(task.data());
        return row >= 0 ? ui->tableRecord->rowName(row) : QString();
    };
}

void RecordWidget::showWriteFailure(const QString& error)
{
    // The writer logged the failure already.
    warnUser(tr("Kliqora妙指灵-键盘鼠标自动化输入工具"), error);
}

// ---- replay ----

bool RecordWidget::prepareStart()
{
    if (m_replayTask)
        m_replayTask->setReplaySpeed(replaySpeed());
    return true;
}

void RecordWidget::runTask()
{
    if (m_replayTask)
        m_replayTask->run();
}

int RecordWidget::indexOfName(const QString& name) const
{
    for (int i = 0; i < m_paths.size(); ++i) {
        if (FileRowActions::baseName(m_paths.at(i)) == name)
            return i;
    }
    return -1;
}

void RecordWidget::startReplay(AutoRecordTask* task)
{
    if (m_recording)
        return; // never replay while the user's actions are being recorded
    m_replayTask = task;
    m_activeHotkey = task->hotkey();
    startTask();
}

void RecordWidget::onPlayTask(const QString& fileName)
{
    const int index = indexOfName(fileName);
    if (index < 0) {
        qCWarning(logCategory()).noquote() << "File not found: " + fileName;
        return;
    }
    AutoRecordTask* task = m_tasks.value(index);
    if (!task) {
        qCWarning(logCategory()).noquote() << "Task not found for file: " + fileName;
        return;
    }
    if (isRunning())
        return;
    startReplay(task);
}

void RecordWidget::onTaskHotKeyActivated(AutoRecordTask* task)
{
    if (isRunning()) {
        stopTask();
        return;
    }
    if (!task) {
        qCWarning(logCategory()) << "Activated task is null.";
        return;
    }
    startReplay(task);
}

// ---- delete, rename, copy ----

void RecordWidget::onDeleteTask(const QString& fileName)
{
    const int index = indexOfName(fileName);
    if (index < 0)
        return;
    AutoRecordTask* task = m_tasks.at(index);
    if (isRunning() && task == m_replayTask)
        stopTask(); // the worker must not replay a deleted task
    if (!m_fileRows.remove(m_paths.at(index))) {
        qCWarning(logCategory()).noquote() << "Failed to delete file: " + fileName;
        // The row left the table before the file was tried: put it back, so that row
        // and recording stay paired.
        ui->tableRecord->insertRecordingRow(index, fileName, task->hotKey());
        return;
    }
    qCInfo(logCategory()).noquote() << "Deleted file: " + fileName;
    m_paths.removeAt(index);
    m_tasks.removeAt(index);
    if (QHotkey* hotkey = task->hotkey()) {
        task->setHotkey(nullptr);
        HotkeyManage::instance()->removeHotkey(hotkey);
    }
    if (m_replayTask == task)
        m_replayTask = nullptr;
    delete task;
}

void RecordWidget::onRenameTask(int row)
{
    if (row < 0 || row >= m_paths.size())
        return;
    const QString oldPath = m_paths.at(row);
    const QString newName = m_fileRows.askNewName(oldPath);
    const QString newPath = m_fileRows.rename(oldPath, newName, m_paths);
    if (newPath.isEmpty())
        return;
    m_paths[row] = newPath;
    ui->tableRecord->setRowName(row, newName);
}

void RecordWidget::onConvertTask(int row, bool keepAllMoves)
{
    if (row < 0 || row >= m_tasks.size() || !m_tasks.at(row)) {
        qCWarning(logCategory()) << "Recording to convert not found for row:" << row;
        return;
    }
    const QString name = QFileInfo(m_paths.at(row)).completeBaseName();
    auto* flow = new Flow;
    flow->setName(name);
    flow->setDescription(convertedFlowDescription(name));
    RecordingConversion options;
    options.keepAllMoves = keepAllMoves;
    convertRecording(*m_tasks.at(row), *flow, options);
    emit sigConvertedToFlow(flow);
}

void RecordWidget::onCopyTask(int row)
{
    if (row < 0 || row >= m_tasks.size() || !m_tasks.at(row)) {
        qCWarning(logCategory()) << "Original task not found for row: " << row;
        return;
    }
    const QString newPath = CopyName::copyPath(m_paths.at(row), CopyPrefix);
    if (!QFile::copy(m_paths.at(row), newPath)) {
        m_fileRows.reportCopyFailure(FileRowActions::CopyFailure::NotWritten, newPath);
        return;
    }
    AutoRecordTask* copy = AutoRecordTask::load(newPath);
    if (!copy) {
        m_fileRows.reportCopyFailure(FileRowActions::CopyFailure::NotLoaded, newPath);
        return;
    }
    addRecording(copy, newPath);
}

// ---- hotkeys ----

void RecordWidget::onTaskHotKeySet(int row)
{
    if (row < 0 || row >= m_tasks.size())
        return;
    AutoRecordTask* task = m_tasks.at(row);
    HotKeySet dialog(this);
    dialog.setHotkeyText(task->hotKey());
    dialog.setJob(JobSpec{JobSpec::Kind::Replay, table()->rowName(row)});
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString text = dialog.hotkeyText();
    if (text.isEmpty())
        clearTaskHotkey(row);
    else
        setTaskHotkey(row, text);
}

void RecordWidget::setTaskHotkey(int index, const QString& text)
{
    AutoRecordTask* task = m_tasks.at(index);
    QHotkey* hotkey = task->hotkey();
    if (hotkey) {
        if (text == task->hotKey())
            return;
        hotkey->setRegistered(false);
        hotkey->setShortcut(QKeySequence(text), false);
        hotkey->setRegistered(true);
    } else {
        hotkey = new QHotkey(QKeySequence(text), true, this);
        hotkey->setDescription(table()->rowName(index));
        if (hotkey->isRegistered()) {
            task->setHotkey(hotkey);
            HotkeyManage::instance()->addHotkey(hotkey, recordingName(task));
        }
    }
    if (!hotkey->isRegistered()) {
        QMessageBox::warning(this, tr("快捷键设置失败"),
                             tr("无法注册新快捷键 %1，可能已被占用。").arg(text));
        if (hotkey != task->hotkey())
            hotkey->deleteLater();
        return;
    }
    task->setHotKey(text);
    ui->tableRecord->setRowHotkey(index, text);
    rewriteTask(index);
}

void RecordWidget::clearTaskHotkey(int index)
{
    AutoRecordTask* task = m_tasks.at(index);
    task->setHotKey(QString());
    ui->tableRecord->setRowHotkey(index, QString());
    rewriteTask(index);
    if (QHotkey* hotkey = task->hotkey()) {
        task->setHotkey(nullptr);
        HotkeyManage::instance()->removeHotkey(hotkey);
    }
}

bool RecordWidget::rewriteTask(int index)
{
    QString error;
    if (m_tasks.at(index)->save(m_paths.at(index), &error))
        return true;
    showWriteFailure(error);
    return false;
}

void RecordWidget::onHotKeySetClicked()
{
    const QString previous = m_hotkey->shortcut().toString(QKeySequence::PortableText);
    QString hotkey = previous;
    const bool changed = editHotkeyOrWarn(hotkey, JobSpec{JobSpec::Kind::Recorder, QString()});
    ui->btnRecord->setText(buttonText(changed ? hotkey : previous));
}

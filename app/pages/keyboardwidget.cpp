#include "keyboardwidget.h"
#include "ui_keyboardwidget.h"

#include "appconfig.h"
#include "appstyle.h"
#include "debouncedsave.h"
#include "hotkeymanage.h"
#include "keyboardtasklist.h"
#include "logcategory.h"
#include "qhotkey.h"
#include "shownhotkey.h"
#include "taskfile.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QIcon>
#include <QIntValidator>
#include <QKeySequence>
#include <QTimer>

#include <vector>

namespace {

// How long a job lets the hiding of the main window settle before its first input.
constexpr int WindowHideSettleMs = 100;
// Longest wait for the start key to come up (where release is never reported, as with
// Windows hotkeys, which do not grab the keyboard, the wait simply runs out).
constexpr int HotkeyReleaseWaitMs = 500;
constexpr int HotkeyReleasePollMs = 10;
const QString DefaultHotkey = QStringLiteral("F3");
const QString TitleFontFamily = QStringLiteral("Microsoft YaHei UI");
constexpr int TitleFontPointSize = 12;
constexpr int ToolButtonWidth = 120;
constexpr int EditWidth = 60;
constexpr int RepeatRadioWidth = 70;
constexpr int MaxRepeatTimes = 999999999;
constexpr int MaxMilliseconds = 999999999;

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

KeyBoardWidget::KeyBoardWidget(QWidget* parent)
    : TaskWidget(parent), ui(std::make_unique<Ui::KeyBoardWidgetClass>()),
      m_taskList(new KeyBoardTaskList(this)),
      m_save(new DebouncedSave([this] { saveTask(); }, this))
{
    initUi();
    initConnections();
    watchSettings();
    QTimer::singleShot(0, this, &KeyBoardWidget::loadTask);
}

KeyBoardWidget::~KeyBoardWidget()
{
    // The worker runs this page's list: end it while the list exists.
    stopTaskForExit();
}

KeyTable* KeyBoardWidget::table() const
{
    return ui->tableKey;
}

QString KeyBoardWidget::buttonText(const QString& hotkey)
{
    return tr("启动/停止连点\n[%1]").arg(shownHotkey(hotkey));
}

void KeyBoardWidget::initUi()
{
    ui->setupUi(this);
    ui->lblTitle->setText(tr("键盘连点"));
    ui->lblTitle->setFont(QFont(TitleFontFamily, TitleFontPointSize));
    ui->btnAddKey->setIcon(QIcon(QStringLiteral(":/images/new-a.svg")));
    ui->btnClearKey->setIcon(QIcon(QStringLiteral(":/images/clear.svg")));
    for (QPushButton* button : {ui->btnAddKey, ui->btnClearKey}) {
        button->setFixedWidth(ToolButtonWidth);
        button->setStyleSheet(AppStyle::pageButtonStyleSheet());
    }
    ui->btnPressKey->setFixedSize(200, 60);
    ui->btnPressKey->setStyleSheet(AppStyle::pageButtonStyleSheet());
    ui->btnPressKey->setText(buttonText(DefaultHotkey));
    ui->btnPressKey->setToolTip(desktopShortcutToolTip());
    ui->lblHotKeySet->setText(QStringLiteral("<a href='#'>%1</a>").arg(tr("修改快捷键")));
    ui->rbtnStopByRepeatTimes->setFixedWidth(RepeatRadioWidth);

    for (QLineEdit* edit : {ui->edtRepeatTimes, ui->edtDuration}) {
        edit->setFixedWidth(EditWidth);
        edit->setStyleSheet(AppStyle::lineEditStyleSheet());
    }
    ui->edtRepeatTimes->setValidator(new QIntValidator(1, MaxRepeatTimes, ui->edtRepeatTimes));
    ui->edtDuration->setValidator(new QIntValidator(0, MaxMilliseconds, ui->edtDuration));

    m_stopGroup = new QButtonGroup(this);
    m_stopGroup->addButton(ui->rbtnStopByRepeatTimes);
    m_stopGroup->addButton(ui->rbtnStopByDuration);
    m_stopGroup->addButton(ui->rbtnStopByHand);
    ui->rbtnStopByRepeatTimes->setChecked(true);
    onStopFlagChanged();

    ui->tableKey->addRow();
}

void KeyBoardWidget::initConnections()
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &KeyBoardWidget::saveTask);
    connect(ui->btnPressKey, &QPushButton::clicked, this, &KeyBoardWidget::onBtnPressKeyClicked);
    connect(ui->lblHotKeySet, &QLabel::linkActivated, this, &KeyBoardWidget::onHotKeySetClicked);
    for (QAbstractButton* radio : m_stopGroup->buttons())
        connect(radio, &QAbstractButton::clicked, this, &KeyBoardWidget::onStopFlagChanged);
    connect(ui->btnAddKey, &QPushButton::clicked, ui->tableKey, qOverload<>(&KeyTable::addRow));
    connect(ui->btnClearKey, &QPushButton::clicked, ui->tableKey, &KeyTable::clearAll);

    m_hotkey = new QHotkey(QKeySequence(DefaultHotkey), true, this);
    m_hotkey->setDescription(ui->lblTitle->text());
    m_activeHotkey = m_hotkey;
    HotkeyManage::instance()->addHotkey(m_hotkey, [this] { return ui->lblTitle->text(); });
    // Connected before the toggle, so a start already knows the key is down.
    connect(m_hotkey, &QHotkey::activated, this, [this] { m_hotkeyHeld = true; });
    connect(m_hotkey, &QHotkey::released, this, [this] { m_hotkeyHeld = false; });
    connect(m_hotkey, &QHotkey::activated, this, &TaskWidget::toggleTask);
}

// Every change of the table or the stop mode is saved a moment later: the user
// finds it again after a restart, started or not.
void KeyBoardWidget::watchSettings()
{
    const auto changed = [this] { m_save->schedule(); };
    connect(m_stopGroup, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), this,
            changed);
    for (QLineEdit* edit : {ui->edtRepeatTimes, ui->edtDuration})
        connect(edit, &QLineEdit::textChanged, this, changed);
    const QAbstractItemModel* rows = ui->tableKey->model();
    connect(rows, &QAbstractItemModel::dataChanged, this, changed);
    connect(rows, &QAbstractItemModel::rowsInserted, this, changed);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, changed);
}

void KeyBoardWidget::onBtnPressKeyClicked()
{
    toggleTask();
}

void KeyBoardWidget::onStopFlagChanged()
{
    ui->edtRepeatTimes->setEnabled(ui->rbtnStopByRepeatTimes->isChecked());
    ui->edtDuration->setEnabled(ui->rbtnStopByDuration->isChecked());
}

void KeyBoardWidget::refuseStart(const QString& text)
{
    warnUser(tr("按键未设置"), text);
}

bool KeyBoardWidget::prepareStart()
{
    const KeyTable* table = ui->tableKey;
    if (table->rowCount() == 0) {
        refuseStart(tr("请先完成按键设置,在启动连点。"));
        return false;
    }
    for (int row = 0; row < table->rowCount(); ++row) {
        if (cellText(table, row, KeyTable::KeyColumn).isEmpty()) {
            refuseStart(tr("第%1行按键尚未设置，请先完成按键设置。").arg(row + 1));
            return false;
        }
    }
    if (ui->rbtnStopByRepeatTimes->isChecked() && !acceptRepeatCount(ui->edtRepeatTimes->text()))
        return false;
    fillTaskList();
    return true;
}

// The list from the table and the stop controls, rows without a key included (as
// the user left them).
void KeyBoardWidget::fillTaskList()
{
    const KeyTable* table = ui->tableKey;
    m_taskList->clearTasks();
    for (int row = 0; row < table->rowCount(); ++row)
        m_taskList->appendTask(KeyBoardTask::fromRowTexts(
            cellText(table, row, KeyTable::KeyColumn), cellText(table, row, KeyTable::HoldColumn),
            cellText(table, row, KeyTable::PauseColumn)));
    m_taskList->setStopType(ui->rbtnStopByHand->isChecked()       ? KeyBoardTaskList::StopByHand
                            : ui->rbtnStopByDuration->isChecked() ? KeyBoardTaskList::StopByDuration
                                                                  : KeyBoardTaskList::StopByCount);
    m_taskList->setDuration(ui->edtDuration->text().toInt(nullptr, 10));
    m_taskList->setRepeatTimes(ui->edtRepeatTimes->text().toInt(nullptr, 10));
}

void KeyBoardWidget::runTask()
{
    // The main window was just hidden; the server and the window manager take a moment
    // to unmap it and hand the focus back. Input sent before that would land in our own
    // vanishing window (a click at the cursor could hit our own buttons).
    Task::waitMs(WindowHideSettleMs);
    waitForHotkeyRelease();
    m_taskList->run();
}

void KeyBoardWidget::waitForHotkeyRelease()
{
    // On X11 a global hotkey grabs the whole keyboard while it is held: keys typed
    // before its release would go to this program instead of the focused window.
    QElapsedTimer clock;
    clock.start();
    while (m_hotkeyHeld && AppConfig::runFlag.load() && clock.elapsed() < HotkeyReleaseWaitMs)
        Task::waitMs(HotkeyReleasePollMs);
}

void KeyBoardWidget::onHotKeySetClicked()
{
    const QString previous = m_hotkey->shortcut().toString(QKeySequence::PortableText);
    QString hotkey = previous;
    const bool changed = editHotkeyOrWarn(hotkey, JobSpec{JobSpec::Kind::Keys, QString()});
    ui->btnPressKey->setText(buttonText(changed ? hotkey : previous));
    m_save->schedule();
}

void KeyBoardWidget::saveTask()
{
    // A running job reads the list: it holds the settings of its start, which the
    // controls cannot have changed since (the window is hidden).
    if (!isRunning())
        fillTaskList();
    m_taskList->setHotKey(m_hotkey->shortcut().toString(QKeySequence::PortableText));
    m_taskList->save(TaskFile::keyboardFilePath());
}

void KeyBoardWidget::loadTask()
{
    if (m_taskList->load(TaskFile::keyboardFilePath()))
        applyLoadedHotkey(m_taskList->hotKey());
    showTaskList();
}

void KeyBoardWidget::applyLoadedHotkey(const QString& hotkey)
{
    ui->btnPressKey->setText(buttonText(hotkey));
    m_hotkey->setRegistered(false);
    m_hotkey->setShortcut(QKeySequence(hotkey), false);
    m_hotkey->setRegistered(true);
    if (!m_hotkey->isRegistered())
        qCWarning(logCategory()).noquote()
            << QStringLiteral("Key presser hotkey %1 could not be registered").arg(hotkey);
}

void KeyBoardWidget::showTaskList()
{
    switch (m_taskList->stopType()) {
    case KeyBoardTaskList::StopByDuration:
        ui->rbtnStopByDuration->setChecked(true);
        ui->edtDuration->setText(QString::number(m_taskList->duration()));
        break;
    case KeyBoardTaskList::StopByCount:
        ui->rbtnStopByRepeatTimes->setChecked(true);
        ui->edtRepeatTimes->setText(QString::number(m_taskList->repeatTimes()));
        break;
    default:
        ui->rbtnStopByHand->setChecked(true);
        break;
    }
    onStopFlagChanged();
    ui->tableKey->clearAll();
    for (const KeyBoardTask* task : m_taskList->tasks())
        ui->tableKey->addRow(task->key(), QString::number(task->pressDuration()),
                             QString::number(task->intervalTime()));
}

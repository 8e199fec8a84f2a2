#include "mousewidget.h"
#include "ui_mousewidget.h"

#include "appstyle.h"
#include "debouncedsave.h"
#include "globalmousewidget.h"
#include "hotkeymanage.h"
#include "logcategory.h"
#include "mousetask.h"
#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "pointpickoverlay.h"
#include "qhotkey.h"
#include "shownhotkey.h"
#include "taskfile.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QFont>
#include <QIntValidator>
#include <QKeySequence>
#include <QMessageBox>
#include <QTimer>

namespace {

// How long a job lets the hiding of the main window settle before its first input.
constexpr int WindowHideSettleMs = 100;
const QString DefaultHotkey = QStringLiteral("F2");
const QString TitleFontFamily = QStringLiteral("Microsoft YaHei UI");
constexpr int TitleFontPointSize = 12;
constexpr int EditWidth = 60;
constexpr int RandomRadioWidth = 50;
constexpr int RepeatRadioWidth = 70;
constexpr int MaxMilliseconds = 999999999;
constexpr int MaxRepeatTimes = 999999999;
constexpr int MaxJitterPixels = 99;

// Qt 5.15 draws a bottom-only border only once the other sides have a style.
const QString PositionLabelStyle = QStringLiteral(
    "QLabel {border: 0px solid #8a8a8a; border-bottom: 1px solid #8a8a8a; padding: 4px;}");
// Room after a unit label whose row goes on with another choice or label.
constexpr int UnitLabelGap = 16;

int numberIn(const QLineEdit* edit)
{
    return edit->text().toInt(nullptr, 10); // empty or not a number: 0
}

QButtonGroup* makeGroup(QWidget* owner, std::initializer_list<QAbstractButton*> buttons)
{
    auto* group = new QButtonGroup(owner);
    int id = 0;
    for (QAbstractButton* button : buttons)
        group->addButton(button, id++);
    return group;
}

} // namespace

MouseWidget::MouseWidget(QWidget* parent)
    : TaskWidget(parent), ui(std::make_unique<Ui::MouseWidgetClass>()), m_task(new MouseTask(this)),
      m_save(new DebouncedSave([this] { saveTask(); }, this))
{
    initUi();
    initConnections();
    watchSettings();
    QTimer::singleShot(0, this, &MouseWidget::loadTask);
}

MouseWidget::~MouseWidget()
{
    if (m_capture)
        m_capture->stop();
    delete m_tag;
    // The worker runs MouseTask::run() on this object's task: end it while both exist.
    stopTaskForExit();
}

QString MouseWidget::buttonText(const QString& hotkey)
{
    return tr("启动/停止连点\n[%1]").arg(shownHotkey(hotkey));
}

bool MouseWidget::isPicking() const
{
    return (m_capture && m_capture->isActive()) || (m_overlay && m_overlay->isActive());
}

void MouseWidget::initUi()
{
    ui->setupUi(this);
    ui->lblTitle->setText(tr("鼠标连点"));
    ui->lblTitle->setFont(QFont(TitleFontFamily, TitleFontPointSize));
    ui->btnDoClick->setText(buttonText(DefaultHotkey));
    ui->btnDoClick->setFixedSize(200, 60);
    ui->btnDoClick->setToolTip(desktopShortcutToolTip());
    // Wide enough for the text of each language; the Chinese texts are shorter.
    ui->rbtnRandomInterval->setFixedWidth(
        qMax(RandomRadioWidth, ui->rbtnRandomInterval->sizeHint().width()));
    ui->rbtnStopByRepeatTimes->setFixedWidth(
        qMax(RepeatRadioWidth, ui->rbtnStopByRepeatTimes->sizeHint().width()));
    ui->lblHotKeySet->setText(QStringLiteral("<a href='#'>%1</a>").arg(tr("修改快捷键")));
    ui->lblXYPos->setText(tr("坐标：X=%1,Y=%2").arg(0).arg(0));

    m_keyGroup = makeGroup(this, {ui->rbtnLeftKey, ui->rbtnRightKey, ui->rbtnMiddleKey});
    m_clickGroup = makeGroup(this, {ui->rbtnClick, ui->rbtnDoubleClick});
    m_posGroup = makeGroup(this, {ui->rbtnFollowMousePos, ui->rbtnFixedPos});
    m_intervalGroup = makeGroup(this, {ui->rbtnFixedInterval, ui->rbtnRandomInterval});
    m_stopGroup =
        makeGroup(this, {ui->rbtnStopByRepeatTimes, ui->rbtnStopByTime, ui->rbtnStopByHand});
    // All radios share one parent, so until the groups existed each check cleared the
    // others: set the initial choices again, now one per group.
    for (QRadioButton* radio : {ui->rbtnLeftKey, ui->rbtnClick, ui->rbtnFollowMousePos,
                                ui->rbtnFixedInterval, ui->rbtnStopByHand})
        radio->setChecked(true);

    applyStyles();
    applyValidators();
    onPosFlagChanged();
    onIntervalFlagChanged();
    onStopFlagChanged();
}

void MouseWidget::applyStyles()
{
    ui->lblXYPos->setStyleSheet(PositionLabelStyle);
    for (QLabel* unit : {ui->lblRepeatTimes, ui->lblHorizenRangPixel})
        unit->setContentsMargins(0, 0, UnitLabelGap, 0);
    ui->btnPosSelect->setStyleSheet(AppStyle::pageButtonStyleSheet());
    ui->btnDoClick->setStyleSheet(AppStyle::pageButtonStyleSheet());
    for (QLineEdit* edit :
         {ui->edtFixedInterval, ui->edtRandomMillisecond, ui->edtRepeatTimes,
          ui->edtAfterMillisecond, ui->edtHorizenRangePixel, ui->edtVertialRangePixel}) {
        edit->setFixedWidth(EditWidth);
        edit->setStyleSheet(AppStyle::lineEditStyleSheet());
    }
}

void MouseWidget::applyValidators()
{
    for (QLineEdit* edit :
         {ui->edtFixedInterval, ui->edtRandomMillisecond, ui->edtAfterMillisecond})
        edit->setValidator(new QIntValidator(0, MaxMilliseconds, edit));
    ui->edtRepeatTimes->setValidator(new QIntValidator(1, MaxRepeatTimes, ui->edtRepeatTimes));
    for (QLineEdit* edit : {ui->edtHorizenRangePixel, ui->edtVertialRangePixel})
        edit->setValidator(new QIntValidator(0, MaxJitterPixels, edit));
}

void MouseWidget::initConnections()
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MouseWidget::saveTask);
    connect(ui->btnPosSelect, &QPushButton::clicked, this, &MouseWidget::onBtnPosSelectClicked);
    connect(ui->btnDoClick, &QPushButton::clicked, this, &MouseWidget::onDoClick);
    connect(ui->lblHotKeySet, &QLabel::linkActivated, this, &MouseWidget::onHotKeySetClicked);
    for (QAbstractButton* radio : m_posGroup->buttons())
        connect(radio, &QAbstractButton::clicked, this, &MouseWidget::onPosFlagChanged);
    for (QAbstractButton* radio : m_intervalGroup->buttons())
        connect(radio, &QAbstractButton::clicked, this, &MouseWidget::onIntervalFlagChanged);
    for (QAbstractButton* radio : m_stopGroup->buttons())
        connect(radio, &QAbstractButton::clicked, this, &MouseWidget::onStopFlagChanged);

    m_hotkey = new QHotkey(QKeySequence(DefaultHotkey), true, this);
    m_hotkey->setDescription(ui->lblTitle->text());
    m_activeHotkey = m_hotkey;
    HotkeyManage::instance()->addHotkey(m_hotkey, [this] { return ui->lblTitle->text(); });
    connect(m_hotkey, &QHotkey::activated, this, &TaskWidget::toggleTask);
}

// Every change of a setting is saved a moment later: the user finds it again after a
// restart, started or not.
void MouseWidget::watchSettings()
{
    const auto changed = [this] { m_save->schedule(); };
    for (QButtonGroup* group : {m_keyGroup, m_clickGroup, m_posGroup, m_intervalGroup, m_stopGroup})
        connect(group, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), this,
                changed);
    for (QLineEdit* edit :
         {ui->edtFixedInterval, ui->edtRandomMillisecond, ui->edtRepeatTimes,
          ui->edtAfterMillisecond, ui->edtHorizenRangePixel, ui->edtVertialRangePixel})
        connect(edit, &QLineEdit::textChanged, this, changed);
    for (QCheckBox* box : {ui->checkBoxCtrl, ui->checkBoxAlt, ui->checkBoxShift, ui->checkBoxWin})
        connect(box, &QCheckBox::toggled, this, changed);
}

void MouseWidget::onDoClick()
{
    toggleTask();
}

void MouseWidget::onPosFlagChanged()
{
    ui->btnPosSelect->setEnabled(ui->rbtnFixedPos->isChecked());
}

void MouseWidget::onIntervalFlagChanged()
{
    const bool fixed = ui->rbtnFixedInterval->isChecked();
    ui->edtFixedInterval->setEnabled(fixed);
    ui->edtRandomMillisecond->setEnabled(!fixed);
}

void MouseWidget::onStopFlagChanged()
{
    ui->edtRepeatTimes->setEnabled(ui->rbtnStopByRepeatTimes->isChecked());
    ui->edtAfterMillisecond->setEnabled(ui->rbtnStopByTime->isChecked());
}

bool MouseWidget::prepareStart()
{
    // A start (by hotkey) while a point is being picked ends the pick: its click must
    // not bring the window back over the running job.
    if (m_capture)
        endPick();
    if (ui->rbtnStopByRepeatTimes->isChecked() && !acceptRepeatCount(ui->edtRepeatTimes->text()))
        return false;
    fillTask();
    return true;
}

void MouseWidget::fillTask()
{
    const int button = ui->rbtnLeftKey->isChecked()    ? TaskType::LeftClick
                       : ui->rbtnRightKey->isChecked() ? TaskType::RightClick
                                                       : TaskType::MiddleClick;
    m_task->setTaskType(button + (ui->rbtnClick->isChecked() ? 0 : 1));

    const bool fixedPos = ui->rbtnFixedPos->isChecked();
    m_task->setPositionMode(fixedPos ? MouseTask::FixedPoint : MouseTask::FollowCursor);
    if (fixedPos)
        m_task->setPosition(m_pickedPoint);

    const bool fixedInterval = ui->rbtnFixedInterval->isChecked();
    m_task->setIntervalFlag(fixedInterval ? MouseTask::FixedInterval : MouseTask::RandomInterval);
    m_task->setExecuteInterval(
        numberIn(fixedInterval ? ui->edtFixedInterval : ui->edtRandomMillisecond));

    m_task->setStopFlag(ui->rbtnStopByHand->isChecked()   ? MouseTask::StopByHand
                        : ui->rbtnStopByTime->isChecked() ? MouseTask::StopByDuration
                                                          : MouseTask::StopByCount);
    m_task->setDurationTime(numberIn(ui->edtAfterMillisecond));
    m_task->setExecuteTimes(numberIn(ui->edtRepeatTimes));

    m_task->setHJitterRange(numberIn(ui->edtHorizenRangePixel));
    m_task->setVJitterRange(numberIn(ui->edtVertialRangePixel));

    int modifiers = 0;
    if (ui->checkBoxShift->isChecked())
        modifiers |= ModifierMask::Shift;
    if (ui->checkBoxCtrl->isChecked())
        modifiers |= ModifierMask::Ctrl;
    if (ui->checkBoxAlt->isChecked())
        modifiers |= ModifierMask::Alt;
    if (ui->checkBoxWin->isChecked())
        modifiers |= ModifierMask::Win;
    m_task->setModifierKeys(modifiers);
}

void MouseWidget::runTask()
{
    // The main window was just hidden; the server and the window manager take a moment
    // to unmap it and hand the focus back. Input sent before that would land in our own
    // vanishing window (a click at the cursor could hit our own buttons).
    Task::waitMs(WindowHideSettleMs);
    m_task->run();
}

void MouseWidget::onBtnPosSelectClicked()
{
    endPick(); // a pick still in progress gives way to the new one
    m_capture = platform::backend().createCapture();
    if (!m_capture) {
        startOverlayPick();
        return;
    }
    m_tag = new GlobalMouseWidget();
    m_tag->show();
    const bool started =
        m_capture &&
        m_capture->start([this](const platform::CapturedMouse& event) { onPickMouse(event); },
                         [this](const platform::CapturedKey& event) { onPickKey(event); });
    if (!started) {
        // Nothing could bring a hidden window back: the pick ends before it hides.
        endPick();
        qCWarning(logCategory()) << "Point pick: the global mouse capture could not be started";
        QMessageBox::warning(this, tr("选择坐标失败"), tr("无法捕获全局鼠标点击，请稍后重试。"));
        return;
    }
    hideMainWindow();
}

// The session lets no program watch the global mouse: the click lands on our own
// layer instead, and so does not reach the window under it.
void MouseWidget::startOverlayPick()
{
    if (!m_overlay) {
        m_overlay = new PointPickOverlay(this);
        connect(m_overlay, &PointPickOverlay::picked, this, &MouseWidget::onPicked);
        connect(m_overlay, &PointPickOverlay::cancelled, this, &MouseWidget::restoreMainWindow);
    }
    hideMainWindow();
    m_overlay->start();
}

void MouseWidget::onPickMouse(const platform::CapturedMouse& event)
{
    if (event.message != platform::Message::LButtonDown &&
        event.message != platform::Message::RButtonDown)
        return;
    // The press itself is not swallowed: it also reaches the window under the pointer.
    onPicked(QPoint(event.x, event.y));
}

// Escape gives up the pick, as on the point-pick layer: the window comes back and
// the point stays as it was.
void MouseWidget::onPickKey(const platform::CapturedKey& event)
{
    if (event.vkCode != platform::Vk::Escape || !event.isPress())
        return;
    endPick();
    restoreMainWindow();
}

void MouseWidget::onPicked(const QPoint& point)
{
    m_pickedPoint = point;
    showPickedPoint();
    m_save->schedule();
    endPick();
    restoreMainWindow();
}

void MouseWidget::endPick()
{
    if (m_overlay)
        m_overlay->stop();
    if (m_capture) {
        m_capture->stop();
        // This may run inside the capture's own handler, so it is not destroyed here:
        // it is kept, stopped, until the next pick or the page goes.
        m_stoppedCapture = std::move(m_capture);
    }
    delete m_tag;
}

void MouseWidget::showPickedPoint()
{
    ui->lblXYPos->setText(tr("坐标：X=%1,Y=%2").arg(m_pickedPoint.x()).arg(m_pickedPoint.y()));
}

void MouseWidget::onHotKeySetClicked()
{
    const QString previous = m_task->hotKey();
    QString hotkey = m_hotkey->shortcut().toString(QKeySequence::PortableText);
    if (!editHotkeyOrWarn(hotkey, JobSpec{JobSpec::Kind::Clicker, QString()})) {
        ui->btnDoClick->setText(buttonText(previous));
        return;
    }
    ui->btnDoClick->setText(buttonText(hotkey));
    m_task->setHotKey(hotkey);
    m_save->schedule();
}

void MouseWidget::saveTask()
{
    // A running job reads the task: it holds the settings of its start, which the
    // controls cannot have changed since (the window is hidden).
    if (!isRunning())
        fillTask();
    m_task->save(TaskFile::mouseFilePath());
}

void MouseWidget::loadTask()
{
    if (!m_task->load(TaskFile::mouseFilePath()))
        return;
    const int type = m_task->taskType();
    if (type < TaskType::LeftClick || type > TaskType::MiddleDoubleClick)
        return; // a fresh task saved before its first start: keep the initial controls
    showTask();
}

void MouseWidget::showTask()
{
    const int type = m_task->taskType();
    m_keyGroup->button(type / 2)->setChecked(true);
    m_clickGroup->button(type % 2)->setChecked(true);

    if (m_task->positionMode() != MouseTask::FollowCursor) {
        ui->rbtnFixedPos->setChecked(true);
        m_pickedPoint = m_task->position();
        showPickedPoint();
    } else {
        ui->rbtnFollowMousePos->setChecked(true);
    }

    const QString interval = QString::number(m_task->executeInterval());
    if (m_task->intervalFlag() != MouseTask::FixedInterval) {
        ui->rbtnRandomInterval->setChecked(true);
        ui->edtRandomMillisecond->setText(interval);
    } else {
        ui->rbtnFixedInterval->setChecked(true);
        ui->edtFixedInterval->setText(interval);
    }

    if (m_task->stopFlag() == MouseTask::StopByDuration) {
        ui->rbtnStopByTime->setChecked(true);
        ui->edtAfterMillisecond->setText(QString::number(m_task->durationTime()));
    } else if (m_task->stopFlag() != MouseTask::StopByHand) {
        ui->rbtnStopByRepeatTimes->setChecked(true);
        ui->edtRepeatTimes->setText(QString::number(m_task->executeTimes()));
    } else {
        ui->rbtnStopByHand->setChecked(true);
    }

    ui->edtHorizenRangePixel->setText(QString::number(m_task->hJitterRange()));
    ui->edtVertialRangePixel->setText(QString::number(m_task->vJitterRange()));
    const int modifiers = m_task->modifierKeys();
    ui->checkBoxShift->setChecked(modifiers & ModifierMask::Shift);
    ui->checkBoxCtrl->setChecked(modifiers & ModifierMask::Ctrl);
    ui->checkBoxAlt->setChecked(modifiers & ModifierMask::Alt);
    ui->checkBoxWin->setChecked(modifiers & ModifierMask::Win);

    onPosFlagChanged();
    onIntervalFlagChanged();
    onStopFlagChanged();
    applyLoadedHotkey(m_task->hotKey());
}

void MouseWidget::applyLoadedHotkey(const QString& hotkey)
{
    ui->btnDoClick->setText(buttonText(hotkey));
    m_hotkey->setRegistered(false);
    m_hotkey->setShortcut(QKeySequence(hotkey), false);
    m_hotkey->setRegistered(true);
    if (!m_hotkey->isRegistered())
        qCWarning(logCategory()).noquote()
            << QStringLiteral("Mouse clicker hotkey %1 could not be registered").arg(hotkey);
}

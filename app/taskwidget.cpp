#include "taskwidget.h"

#include "appstyle.h"
#include "dialogs/hotkeyset.h"
#include "hotkeymanage.h"
#include "jobrunner.h"
#include "logcategory.h"
#include "platform/backend.h"
#include "qhotkey.h"
#include "qtcompat.h"

#include <QDialog>
#include <QKeySequence>
#include <QMessageBox>

namespace {

TaskWidget::CommandScope* currentScope = nullptr;

} // namespace

TaskWidget::CommandScope::CommandScope()
{
    Q_ASSERT(!currentScope);
    currentScope = this;
}

TaskWidget::CommandScope::~CommandScope()
{
    currentScope = nullptr;
}

TaskWidget::CommandScope* TaskWidget::CommandScope::current()
{
    return currentScope;
}

void TaskWidget::CommandScope::addWarning(const QString& text)
{
    if (!m_warnings.isEmpty())
        m_warnings += QLatin1Char('\n');
    m_warnings += text;
}

TaskWidget::TaskWidget(QWidget* parent) : QWidget(parent), m_runner(new JobRunner(this))
{
    AppStyle::initResources();
    connect(m_runner, &JobRunner::finished, this, &TaskWidget::onTaskFinished);
}

TaskWidget::~TaskWidget()
{
    // runTask() belongs to the page: its worker must end before the page goes.
    stopTaskForExit();
}

void TaskWidget::startTask()
{
    if (!prepareStart())
        return;
    setHotkeysBlocked(true);
    hideMainWindow();
    m_running = true;
    const uint32_t modifiers =
        CommandScope::current() ? platform::ModifierKey::Any : activeHotkeyModifiers();
    if (!m_runner->start([this] { runTask(); }, modifiers))
        qCDebug(logCategory()) << "A job runs already: no second worker is started";
}

uint32_t TaskWidget::activeHotkeyModifiers() const
{
    if (!m_activeHotkey || m_activeHotkey->shortcut().isEmpty())
        return 0;
    const Qt::KeyboardModifiers held(QtCompat::keyCombination(m_activeHotkey->shortcut(), 0) &
                                     Qt::KeyboardModifierMask);
    // clang-format off
    struct Bit { Qt::KeyboardModifier qt; uint32_t modifier; };
    static constexpr Bit Bits[] = {
        {Qt::ShiftModifier, platform::ModifierKey::Shift},
        {Qt::ControlModifier, platform::ModifierKey::Control},
        {Qt::AltModifier, platform::ModifierKey::Alt},
        {Qt::MetaModifier, platform::ModifierKey::Meta},
    };
    // clang-format on
    uint32_t modifiers = 0;
    for (const Bit& bit : Bits) {
        if (held.testFlag(bit.qt))
            modifiers |= bit.modifier;
    }
    return modifiers;
}

void TaskWidget::finishStop(bool restoreWindow)
{
    m_running = false;
    if (restoreWindow)
        restoreMainWindow();
    setHotkeysBlocked(false);
}

void TaskWidget::stopTask()
{
    m_runner->stop();
    finishStop(true);
}

void TaskWidget::stopTaskForExit()
{
    const bool hadRun = m_runner->isRunning();
    m_runner->stop();
    if (m_running || hadRun)
        finishStop(false);
}

void TaskWidget::toggleTask()
{
    if (m_running)
        stopTask();
    else
        startTask();
}

void TaskWidget::onTaskFinished()
{
    finishStop(true);
    emit sigTaskFinished();
}

bool TaskWidget::editHotkey(QString& hotkey, const JobSpec& job)
{
    HotKeySet dialog(this);
    dialog.setHotkeyText(hotkey);
    dialog.setJob(job);
    if (dialog.exec() != QDialog::Accepted)
        return true;
    hotkey = dialog.hotkeyText();
    if (!m_hotkey) {
        qCWarning(logCategory()) << "editHotkey on a page without its own hotkey";
        return true;
    }
    m_hotkey->setRegistered(false);
    if (hotkey.isEmpty())
        return true;
    m_hotkey->setShortcut(QKeySequence(hotkey), false);
    m_hotkey->setRegistered(true);
    return m_hotkey->isRegistered();
}

bool TaskWidget::editHotkeyOrWarn(QString& hotkey, const JobSpec& job)
{
    if (editHotkey(hotkey, job))
        return true;
    QMessageBox::warning(this, tr("快捷键设置失败"),
                         tr("无法注册快捷键 %1，可能已被占用。").arg(hotkey));
    return false;
}

void TaskWidget::warnUser(const QString& title, const QString& text)
{
    if (CommandScope* scope = CommandScope::current()) {
        scope->addWarning(text);
        return;
    }
    QMessageBox::warning(this, title, text);
}

bool TaskWidget::acceptRepeatCount(const QString& countText)
{
    if (countText.toInt(nullptr, 10) > 0)
        return true;
    warnUser(tr("重复次数未设置"), tr("请填写重复次数（至少 1 次），再启动。"));
    return false;
}

void TaskWidget::setHotkeysBlocked(bool block)
{
    HotkeyManage::instance()->blockOthers(m_activeHotkey, block);
}

void TaskWidget::hideMainWindow()
{
    window()->hide();
}

void TaskWidget::restoreMainWindow()
{
    QWidget* top = window();
    top->showNormal();
    top->raise();
    top->activateWindow();
}

#include "taskwidget.h"

#include "appconfig.h"
#include "appstyle.h"
#include "dialogs/hotkeyset.h"
#include "hotkeymanage.h"
#include "logcategory.h"
#include "platform/backend.h"
#include "qhotkey.h"

#include <QDialog>
#include <QKeySequence>
#include <QMessageBox>
#include <QThread>

#include <chrono>

namespace {
// Granularity of the pause before a self-ended job gives the window back.
constexpr int finishedPauseSliceMs = 10;
// How often the held modifiers are looked at while a job waits for their release.
constexpr int modifierPollMs = 5;

// Waits (bounded) until none of `modifiers` is held. A job started by Ctrl+F5 would
// otherwise click or type with the user's Ctrl still down: Ctrl+click, Ctrl+A.
// False when the job was stopped meanwhile.
bool waitForModifierRelease(uint32_t modifiers)
{
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(TaskWidget::ModifierReleaseWaitMs);
    while (AppConfig::runFlag.load() && (platform::backend().heldModifiers() & modifiers) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(modifierPollMs));
    return AppConfig::runFlag.load();
}
} // namespace

TaskWidget::TaskWidget(QWidget* parent) : QWidget(parent)
{
    AppStyle::initResources();
    connect(this, &TaskWidget::sigTaskFinished, this, &TaskWidget::onTaskFinished);
}

TaskWidget::~TaskWidget()
{
    // A joinable std::thread must never be destroyed: that ends the process.
    stopTaskForExit();
}

void TaskWidget::startTask()
{
    if (!prepareStart())
        return;
    setHotkeysBlocked(true);
    hideMainWindow();
    m_running = true;
    if (!platform::backend().setKeepAwake(true))
        qCDebug(logCategory()) << "Keep-awake request not available";

    std::lock_guard<std::mutex> lock(m_mutex);
    if (AppConfig::runFlag.load())
        return; // a job runs already: never a second worker
    // A previous worker of this page that was told to stop by someone else may not
    // have been joined yet; the flag is clear, so it ends promptly.
    if (m_worker.joinable())
        m_worker.join();
    const uint32_t modifiers = activeHotkeyModifiers();
    AppConfig::runFlag.store(true);
    m_workerActive.store(true);
    m_worker = std::thread([this, modifiers] {
        if (modifiers == 0 || waitForModifierRelease(modifiers))
            runTask();
        else
            emit sigTaskFinished(); // stopped before its first input
        m_workerActive.store(false);
    });
}

uint32_t TaskWidget::activeHotkeyModifiers() const
{
    if (!m_activeHotkey || m_activeHotkey->shortcut().isEmpty())
        return 0;
    const Qt::KeyboardModifiers held(m_activeHotkey->shortcut()[0] & Qt::KeyboardModifierMask);
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

bool TaskWidget::endWorker()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (AppConfig::runFlag.load())
        AppConfig::runFlag.store(false);
    lock.unlock();
    // Join only from the GUI thread; the worker never stops itself.
    if (m_worker.joinable() && m_worker.get_id() != std::this_thread::get_id()) {
        m_worker.join();
        m_worker = std::thread();
        // A job stopped between a press and its release (a held key, a flow's press
        // step, a replay in a drag) must not leave the key or button down.
        platform::releaseHeldInput();
        return true;
    }
    return false;
}

void TaskWidget::finishStop(bool restoreWindow)
{
    m_running = false;
    if (restoreWindow)
        restoreMainWindow();
    setHotkeysBlocked(false);
    platform::backend().setKeepAwake(false);
}

void TaskWidget::stopTask()
{
    endWorker();
    finishStop(true);
}

void TaskWidget::stopTaskForExit()
{
    const bool hadWorker = endWorker();
    if (m_running || hadWorker)
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
    // Let the job's last input settle before the window comes back.
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(FinishedPauseMs);
    while (std::chrono::steady_clock::now() < deadline)
        QThread::msleep(finishedPauseSliceMs);
    // Stopped by its key and started again before this queued call arrived: the
    // signal belongs to the previous run and must not end the new one.
    if (m_workerActive.load()) {
        qCDebug(logCategory()) << "Ignoring the finish signal of an earlier run";
        return;
    }
    stopTask();
}

bool TaskWidget::editHotkey(QString& hotkey)
{
    HotKeySet dialog(this);
    dialog.setHotkeyText(hotkey);
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

bool TaskWidget::editHotkeyOrWarn(QString& hotkey)
{
    if (editHotkey(hotkey))
        return true;
    QMessageBox::warning(this, tr("快捷键设置失败"),
                         tr("无法注册快捷键 %1，可能已被占用。").arg(hotkey));
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

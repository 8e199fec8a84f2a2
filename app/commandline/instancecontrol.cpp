#include "instancecontrol.h"

#include "autorecordtask.h"
#include "exitstatus.h"
#include "flow.h"
#include "logcategory.h"
#include "mainwidget.h"
#include "pages/customwidget.h"
#include "pages/keyboardwidget.h"
#include "pages/mousewidget.h"
#include "pages/recordwidget.h"

#include <QFileInfo>
#include <QTimer>

namespace {

using ControlProtocol::Answer;
using Kind = JobSpec::Kind;

Answer done(const QString& text)
{
    return {ExitStatus::Done, text};
}

Answer refused(const QString& text)
{
    return {ExitStatus::Refused, text};
}

// An unknown name, with the names there are.
Answer unknownName(const QString& what, const QString& plural, const QString& name,
                   const QStringList& names)
{
    QString text = QStringLiteral("no %1 is named \"%2\"").arg(what, name);
    if (names.isEmpty())
        return {ExitStatus::BadUsage, text + QStringLiteral(" (there are no %1)").arg(plural)};
    text += QStringLiteral("; the %1 are:").arg(plural);
    for (const QString& existing : names)
        text += QStringLiteral("\n  ") + existing;
    return {ExitStatus::BadUsage, text};
}

} // namespace

InstanceControl::InstanceControl(MainWidget* window) : m_window(window) {}

Answer InstanceControl::handle(const ControlProtocol::Request& request)
{
    switch (request.verb) {
    case ControlProtocol::Verb::Toggle:
        return toggle(request.job);
    case ControlProtocol::Verb::Stop:
        return stop();
    case ControlProtocol::Verb::Show:
        m_window->onShowMainWidget();
        return done(QStringLiteral("window shown"));
    case ControlProtocol::Verb::Quit:
        return quit();
    }
    return {ExitStatus::BadUsage, QStringLiteral("unknown request")};
}

Answer InstanceControl::toggle(const JobSpec& spec)
{
    Job job;
    Answer unknown;
    if (!find(spec, &job, &unknown))
        return unknown;
    Job running;
    const bool wasRunning = runningJob(&running);
    // Its key is silenced while another job runs.
    if (wasRunning && !(running == job))
        return refused(QStringLiteral("another job runs: %1").arg(describe(running)));

    TaskWidget::CommandScope scope;
    trigger(job);
    if (!scope.warnings().isEmpty())
        return refused(scope.warnings());
    const bool nowRunning = isRunning(job);
    if (nowRunning == wasRunning)
        return refused(describe(job) + (wasRunning ? QStringLiteral(" did not stop")
                                                   : QStringLiteral(" did not start")));
    return done((nowRunning ? QStringLiteral("started ") : QStringLiteral("stopped ")) +
                describe(job));
}

Answer InstanceControl::stop()
{
    Job running;
    if (!runningJob(&running))
        return done(QStringLiteral("no job runs"));
    TaskWidget::CommandScope scope;
    if (running.kind == Kind::Recorder)
        trigger(running); // a recording ends through its key, which keeps it
    else
        page(running.kind)->stopTask();
    if (!scope.warnings().isEmpty())
        return refused(scope.warnings());
    return done(QStringLiteral("stopped ") + describe(running));
}

Answer InstanceControl::quit()
{
    // Once the answer has left: the tray's exit ends the event loop.
    QTimer::singleShot(0, m_window, &MainWidget::onTrayExitApp);
    return done(QStringLiteral("quitting"));
}

bool InstanceControl::find(const JobSpec& spec, Job* job, Answer* unknown) const
{
    job->kind = spec.kind;
    if (spec.kind == Kind::Replay) {
        const RecordWidget* records = m_window->recordWidget();
        const int index = recordingNames().indexOf(spec.name);
        if (index < 0) {
            *unknown = unknownName(QStringLiteral("recording"), QStringLiteral("recordings"),
                                   spec.name, recordingNames());
            return false;
        }
        job->recording = records->tasks().at(index);
    } else if (spec.kind == Kind::Flow) {
        const QStringList names = flowNames();
        if (names.count(spec.name) > 1) {
            *unknown = {ExitStatus::BadUsage,
                        QStringLiteral("several flows are named \"%1\"; rename all but one of "
                                       "them on the custom flows page")
                            .arg(spec.name)};
            return false;
        }
        const int index = names.indexOf(spec.name);
        if (index < 0) {
            *unknown =
                unknownName(QStringLiteral("flow"), QStringLiteral("flows"), spec.name, names);
            return false;
        }
        job->flow = m_window->customWidget()->items().at(index).flow;
    }
    return true;
}

bool InstanceControl::runningJob(Job* job) const
{
    const Job candidates[] = {
        {Kind::Clicker},
        {Kind::Keys},
        {Kind::Recorder},
        {Kind::Replay, m_window->recordWidget()->replayTask()},
        {Kind::Flow, nullptr, m_window->customWidget()->currentFlow()},
    };
    for (const Job& candidate : candidates) {
        if (isRunning(candidate)) {
            *job = candidate;
            return true;
        }
    }
    return false;
}

bool InstanceControl::isRunning(const Job& job) const
{
    switch (job.kind) {
    case Kind::Recorder:
        return m_window->recordWidget()->isRecording();
    case Kind::Replay:
        return m_window->recordWidget()->isRunning() &&
               m_window->recordWidget()->replayTask() == job.recording;
    case Kind::Flow:
        return m_window->customWidget()->isRunning() &&
               m_window->customWidget()->currentFlow() == job.flow;
    default:
        return page(job.kind)->isRunning();
    }
}

void InstanceControl::trigger(const Job& job)
{
    switch (job.kind) {
    case Kind::Recorder:
        m_window->recordWidget()->onBtnRecordClicked();
        return;
    case Kind::Replay:
        m_window->recordWidget()->onTaskHotKeyActivated(job.recording);
        return;
    case Kind::Flow:
        m_window->customWidget()->onFlowHotKeyActivated(job.flow);
        return;
    default:
        page(job.kind)->toggleTask();
        return;
    }
}

TaskWidget* InstanceControl::page(JobSpec::Kind kind) const
{
    switch (kind) {
    case Kind::Clicker:
        return m_window->mouseWidget();
    case Kind::Keys:
        return m_window->keyBoardWidget();
    case Kind::Recorder:
    case Kind::Replay:
        return m_window->recordWidget();
    case Kind::Flow:
        return m_window->customWidget();
    }
    return nullptr;
}

QString InstanceControl::describe(const Job& job) const
{
    switch (job.kind) {
    case Kind::Clicker:
        return QStringLiteral("the clicker");
    case Kind::Keys:
        return QStringLiteral("the key presser");
    case Kind::Recorder:
        return QStringLiteral("a recording");
    case Kind::Replay: {
        const int index = m_window->recordWidget()->tasks().indexOf(job.recording);
        return QStringLiteral("the replay of \"%1\"").arg(recordingNames().value(index));
    }
    case Kind::Flow:
        return QStringLiteral("the flow \"%1\"").arg(job.flow ? job.flow->name() : QString());
    }
    return QString();
}

QStringList InstanceControl::recordingNames() const
{
    // The record page lists each recording under its file's base name.
    QStringList names;
    for (const QString& path : m_window->recordWidget()->paths())
        names << QFileInfo(path).completeBaseName();
    return names;
}

QStringList InstanceControl::flowNames() const
{
    QStringList names;
    for (const FlowItem& item : m_window->customWidget()->items())
        names << (item.flow ? item.flow->name() : QString());
    return names;
}

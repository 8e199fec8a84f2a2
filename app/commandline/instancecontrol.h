#pragma once
// Carries out the requests of the control socket in the running instance, each
// through the same path as the page's own hotkey or the tray's menu, so that a
// command does exactly what the key would do and is refused for the same reasons.
//
//   toggle   starts the job, or stops it when it runs; refused (1) while another
//            job runs; an unknown recording or flow name gets 2 and the names there are
//   stop     stops whatever runs (nothing running is no error)
//   show     brings up the main window
//   quit     the tray's exit, once the answer has left

#include "controlprotocol.h"

#include <QCoreApplication>

class AutoRecordTask;
class Flow;
class MainWidget;
class TaskWidget;

class InstanceControl
{
    Q_DECLARE_TR_FUNCTIONS(InstanceControl)

public:
    explicit InstanceControl(MainWidget* window);

    ControlProtocol::Answer handle(const ControlProtocol::Request& request);

private:
    // A job of the pages: its kind and, for a replay or a flow, which one.
    struct Job
    {
        JobSpec::Kind kind = JobSpec::Kind::Clicker;
        AutoRecordTask* recording = nullptr;
        Flow* flow = nullptr;
        bool operator==(const Job& other) const
        {
            return kind == other.kind && recording == other.recording && flow == other.flow;
        }
    };

    ControlProtocol::Answer toggle(const JobSpec& spec);
    ControlProtocol::Answer stop();
    ControlProtocol::Answer quit();

    // The job `spec` names; false with the answer for an unknown name.
    bool find(const JobSpec& spec, Job* job, ControlProtocol::Answer* unknown) const;
    // The job that runs now, if any.
    bool runningJob(Job* job) const;
    bool isRunning(const Job& job) const;
    // What the job's own key does.
    void trigger(const Job& job);
    TaskWidget* page(JobSpec::Kind kind) const;
    QString describe(const Job& job) const;
    QStringList recordingNames() const;
    QStringList flowNames() const;

    MainWidget* m_window;
};

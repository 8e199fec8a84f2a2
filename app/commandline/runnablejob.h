#pragma once
// A flow file or a recording file, read for a run without any window. Which of the
// two a file holds is read from its content (the magic number, and for a task file
// its kind), never from its name. A file that cannot be run in full is refused
// before anything is sent: a recording or a flow cut off part-way would otherwise
// run its first part and report success.

#include <QString>

#include <memory>

class AutoRecordTask;

class RunnableJob
{
public:
    virtual ~RunnableJob() = default;
    // Runs it once on the worker thread; returns early once the run flag is cleared.
    virtual void runOnce() = 0;
    // Nothing to send: a flow without operations, a recording without events.
    virtual bool isEmpty() const = 0;
};

// The job in `path`, a recording replayed at `speed` (a flow ignores it). Null when
// it cannot be run; `problem` then says why in a few words, without the path.
std::unique_ptr<RunnableJob> loadRunnableJob(const QString& path, double speed, QString* problem);

// The recording in `path`, read in full with the same checks; null (and `problem`)
// for anything else, a flow included.
std::unique_ptr<AutoRecordTask> loadRecordingFile(const QString& path, QString* problem);

#include "runnablejob.h"

#include "autorecordtask.h"
#include "flow.h"
#include "loopstructure.h"
#include "taskfile.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>

namespace {

class FlowJob : public RunnableJob
{
public:
    explicit FlowJob(std::unique_ptr<Flow> flow) : m_flow(std::move(flow)) {}
    void runOnce() override { m_flow->run(); }
    bool isEmpty() const override { return m_flow->operations().isEmpty(); }

private:
    std::unique_ptr<Flow> m_flow;
};

class RecordingJob : public RunnableJob
{
public:
    explicit RecordingJob(std::unique_ptr<AutoRecordTask> task) : m_task(std::move(task)) {}
    void runOnce() override { m_task->run(); }
    bool isEmpty() const override { return m_task->events().empty(); }

private:
    std::unique_ptr<AutoRecordTask> m_task;
};

void prepare(QDataStream& stream)
{
    stream.setVersion(Flow::StreamVersion);
    stream.setByteOrder(QDataStream::BigEndian);
}

// The loader reads a flow cut before its operation count as one without
// operations (the page lists such a file): for a run, every field before the
// operations must be there.
bool flowHeaderComplete(QFile& file)
{
    file.seek(0);
    QDataStream in(&file);
    prepare(in);
    qint32 magic = 0;
    qint32 count = 0;
    QString name, description, hotkey, created, modified;
    in >> magic >> name >> description >> hotkey >> created >> modified >> count;
    return in.status() == QDataStream::Ok;
}

std::unique_ptr<RunnableJob> loadFlow(QFile& file, QString* problem)
{
    if (!flowHeaderComplete(file)) {
        *problem = QStringLiteral("the flow file is cut off");
        return nullptr;
    }
    auto flow = std::make_unique<Flow>();
    if (!flow->load(file.fileName())) {
        *problem = QStringLiteral(
            "the flow file is damaged: an operation in it is cut off or of an unknown kind");
        return nullptr;
    }
    // Refused before the run starts, so the caller sees a bad file, not a run that did nothing.
    const LoopStructure loops(flow->operations());
    if (!loops.isSound()) {
        *problem = loops.problemInEnglish();
        return nullptr;
    }
    return std::make_unique<FlowJob>(std::move(flow));
}

std::unique_ptr<AutoRecordTask> readRecording(QFile& file, QDataStream& in, QString* problem)
{
    qint32 type = TaskType::None;
    in >> type;
    if (in.status() != QDataStream::Ok) {
        *problem = QStringLiteral("the file is cut off");
        return nullptr;
    }
    if (type != TaskType::Recording) {
        *problem = QStringLiteral("it holds the settings of another job, not a recording");
        return nullptr;
    }
    std::unique_ptr<AutoRecordTask> task(AutoRecordTask::load(file.fileName()));
    if (!task) {
        *problem = QStringLiteral("the recording cannot be read");
        return nullptr;
    }
    if (task->endsEarly()) {
        *problem = QStringLiteral("the recording file is cut off");
        return nullptr;
    }
    return task;
}

// Opens `path` and reads the magic number that tells a flow from a task file.
bool openJobFile(const QString& path, QFile& file, QDataStream& in, qint32* magic,
                 QString* problem)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *problem = QStringLiteral("no such file");
        return false;
    }
    // A pipe or a device would be read once by the check and be empty for the loader.
    if (!info.isFile()) {
        *problem = info.isDir() ? QStringLiteral("it is a folder")
                                : QStringLiteral("it is not a regular file");
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = file.errorString();
        return false;
    }
    if (file.size() == 0) {
        *problem = QStringLiteral("the file is empty");
        return false;
    }
    in.setDevice(&file);
    prepare(in);
    in >> *magic;
    if (in.status() != QDataStream::Ok) {
        *problem = QStringLiteral("the file is cut off");
        return false;
    }
    if (quint32(*magic) != Flow::FlowFileMagic && *magic != TaskFile::Magic) {
        *problem = QStringLiteral("it is neither a flow nor a recording of Kliqora");
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<RunnableJob> loadRunnableJob(const QString& path, double speed, QString* problem)
{
    QFile file;
    QDataStream in;
    qint32 magic = 0;
    if (!openJobFile(path, file, in, &magic, problem))
        return nullptr;
    if (quint32(magic) == Flow::FlowFileMagic)
        return loadFlow(file, problem);
    std::unique_ptr<AutoRecordTask> task = readRecording(file, in, problem);
    if (!task)
        return nullptr;
    task->setReplaySpeed(speed);
    return std::make_unique<RecordingJob>(std::move(task));
}

std::unique_ptr<AutoRecordTask> loadRecordingFile(const QString& path, QString* problem)
{
    QFile file;
    QDataStream in;
    qint32 magic = 0;
    if (!openJobFile(path, file, in, &magic, problem))
        return nullptr;
    if (quint32(magic) == Flow::FlowFileMagic) {
        *problem = QStringLiteral("it is a flow, not a recording");
        return nullptr;
    }
    return readRecording(file, in, problem);
}

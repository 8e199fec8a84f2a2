#include "keyboardtasklist.h"

#include "appconfig.h"
#include "logcategory.h"
#include "taskfile.h"
#include "waitclock.h"

#include <QCoreApplication>

namespace {

bool isRunning()
{
    return AppConfig::runFlag.load();
}

} // namespace

KeyBoardTaskList::KeyBoardTaskList(QObject* parent) : QObject(parent) {}

KeyBoardTaskList::~KeyBoardTaskList()
{
    clearTasks();
}

void KeyBoardTaskList::appendTask(KeyBoardTask* task)
{
    task->setParent(this);
    m_tasks.append(task);
}

void KeyBoardTaskList::clearTasks()
{
    qDeleteAll(m_tasks);
    m_tasks.clear();
}

bool KeyBoardTaskList::runOnce()
{
    for (KeyBoardTask* task : qAsConst(m_tasks)) {
        if (!isRunning())
            return false;
        task->run();
    }
    return true;
}

void KeyBoardTaskList::run()
{
    switch (m_stopType) {
    case StopByCount:
        for (int n = 1; n <= m_repeatTimes; ++n) {
            if (!isRunning())
                return;
            runOnce();
        }
        return;
    case StopByDuration: {
        WaitClock& clock = waitClock();
        const auto end = clock.now() + std::chrono::milliseconds(m_duration);
        // Checked between passes only: a started pass always completes unless stopped.
        while (clock.now() < end) {
            if (!isRunning())
                return;
            runOnce();
        }
        return;
    }
    default:
        while (isRunning())
            runOnce();
        return;
    }
}

bool KeyBoardTaskList::save(const QString& path) const
{
    TaskFileWriter writer(path);
    if (!writer.open())
        return false;
    QDataStream& out = writer.stream();
    out << m_hotKey << qint32(m_stopType) << qint32(m_duration) << qint32(m_repeatTimes);
    for (const KeyBoardTask* task : m_tasks)
        task->serialize(out);
    return writer.commit();
}

bool KeyBoardTaskList::load(const QString& path)
{
    TaskFileReader reader(path);
    if (!reader.open())
        return false;
    QDataStream& in = reader.stream();
    QString hotKey;
    qint32 stopType = 0, duration = 0, repeatTimes = 0;
    in >> hotKey >> stopType >> duration >> repeatTimes;
    if (in.status() != QDataStream::Ok) {
        qCWarning(logCategory()).noquote()
            << QStringLiteral("Key press task file is incomplete, file name: %1.").arg(path);
        return false;
    }
    m_hotKey = hotKey;
    m_stopType = stopType;
    m_duration = duration;
    m_repeatTimes = repeatTimes;

    clearTasks();
    while (!in.atEnd()) {
        qint32 type = 0;
        in >> type;
        if (in.status() != QDataStream::Ok)
            break; // a few stray bytes at the end: no record
        if (type != TaskType::KeyPress) {
            qCWarning(logCategory()).noquote() << TaskFile::wrongKindText(
                QCoreApplication::translate("KeyBoardTask", "要载入的文件不是键盘连点任务文件"),
                path);
            break;
        }
        auto* task = new KeyBoardTask(this);
        task->deserialize(in);
        if (in.status() != QDataStream::Ok) {
            // A record cut short (or a corrupt string length) is dropped, not half-read.
            delete task;
            qCWarning(logCategory()).noquote()
                << QStringLiteral("Key press task file ends inside a row, file name: %1.")
                       .arg(path);
            break;
        }
        m_tasks.append(task);
    }
    return true;
}

// Writes the seed corpus of every fuzz target with the programs' own save code:
//   fuzz_seeds <folder>   creates <folder>/<target>/<seed> files.

#include "autorecordtask.h"
#include "dropformat.h"
#include "flow.h"
#include "fuzzsupport.h"
#include "keyboardoperation.h"
#include "keyboardtasklist.h"
#include "loopendoperation.h"
#include "loopstartoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "mousetask.h"
#include "mousewheeloperation.h"
#include "operationfactory.h"
#include "operationmodel.h"
#include "textinputoperation.h"
#include "waitcoloroperation.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <memory>

namespace {

QDir targetDir(const QString& root, const char* target)
{
    QDir dir(root);
    dir.mkpath(QString::fromLatin1(target));
    dir.cd(QString::fromLatin1(target));
    return dir;
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool writeFlows(const QDir& dir)
{
    Flow empty;
    empty.setName(QStringLiteral("empty"));
    Flow full;
    full.setName(QStringLiteral("全部"));
    full.setDescription(QStringLiteral("every operation"));
    full.setHotkey(QStringLiteral("Ctrl+F7"));
    auto* click = new MouseClickOperation(&full);
    click->setPosition(QPoint(100, 200));
    click->setClickType(1);
    auto* move = new MouseMoveOperation(&full);
    move->setPosition(QPoint(1919, 1079));
    auto* key = new KeyboardOperation(&full);
    key->setKey(QStringLiteral("A"));
    key->setModifiers(Qt::ControlModifier | Qt::ShiftModifier);
    auto* text = new TextInputOperation(&full);
    text->setText(QStringLiteral("héllo 世界 \U0001F600"));
    full.operations() << click << move << key << text;
    // Loops (nested, and one end too many), a colour wait and a wheel turn.
    Flow control;
    control.setName(QStringLiteral("control"));
    auto* outer = new LoopStartOperation(&control);
    outer->setCount(3);
    auto* inner = new LoopStartOperation(&control);
    inner->setCount(0);
    auto* wait = new WaitColorOperation(&control);
    wait->setColor(0x12ab34);
    wait->setTolerance(9);
    auto* wheel = new MouseWheelOperation(&control);
    wheel->setHorizontal(1);
    control.operations() << outer << inner << wait << wheel << new LoopEndOperation(&control)
                         << new LoopEndOperation(&control) << new LoopEndOperation(&control);
    return empty.save(dir.filePath(QStringLiteral("empty.flw"))) &&
           full.save(dir.filePath(QStringLiteral("full.flw"))) &&
           control.save(dir.filePath(QStringLiteral("control.flw")));
}

bool writeMouseTasks(const QDir& dir)
{
    MouseTask plain;
    MouseTask busy;
    busy.setTaskType(TaskType::RightDoubleClick);
    busy.setPositionMode(MouseTask::FixedPoint);
    busy.setPosition(QPoint(1919, 0));
    busy.setIntervalFlag(MouseTask::RandomInterval);
    busy.setExecuteInterval(100);
    busy.setStopFlag(MouseTask::StopByCount);
    busy.setExecuteTimes(10);
    busy.setHJitterRange(5);
    busy.setVJitterRange(7);
    busy.setModifierKeys(3);
    busy.setHotKey(QStringLiteral("Ctrl+F5"));
    return plain.save(dir.filePath(QStringLiteral("default.kqt"))) &&
           busy.save(dir.filePath(QStringLiteral("busy.kqt")));
}

bool writeKeyboardTasks(const QDir& dir)
{
    KeyBoardTaskList list;
    list.setStopType(KeyBoardTaskList::StopByCount);
    list.setRepeatTimes(3);
    const char* keys[] = {"A", "Enter", "F12"};
    for (const char* name : keys) {
        auto* task = new KeyBoardTask;
        task->setKey(QString::fromLatin1(name));
        task->setVkCode(quint16(name[0]));
        task->setPressDuration(20);
        task->setModifierKeys(1);
        list.appendTask(task);
    }
    KeyBoardTaskList empty;
    return list.save(dir.filePath(QStringLiteral("three.kqt"))) &&
           empty.save(dir.filePath(QStringLiteral("empty.kqt")));
}

bool writeRecordings(const QDir& dir)
{
    AutoRecordTask task;
    task.setHotKey(QStringLiteral("Ctrl+F9"));
    qint64 ms = 0;
    for (int type = EventType::MouseMove; type <= EventType::Other; ++type) {
        const int64_t time = (ms += 15) * 1000000;
        if (EventType::hasPoint(type) || type == EventType::Wheel) {
            auto mouse = std::make_unique<MouseEvent>(type, time);
            mouse->x = 10 * type;
            mouse->y = 20 * type;
            mouse->wheelDelta = -120;
            task.appendEvent(std::move(mouse));
        } else if (EventType::isKey(type)) {
            auto key = std::make_unique<KeyboardEvent>(type, time);
            key->vkCode = 0x41;
            key->scanCode = 0x1e;
            task.appendEvent(std::move(key));
        } else {
            task.appendEvent(std::make_unique<Event>(type, time));
        }
    }
    AutoRecordTask empty;
    return task.save(dir.filePath(QStringLiteral("record_all.kqt"))) &&
           empty.save(dir.filePath(QStringLiteral("record_empty.kqt")));
}

bool writeDrops(const QDir& dir)
{
    bool ok = true;
    const auto& prototypes = OperationFactory::instance()->registeredPrototypes();
    int n = 0;
    for (auto it = prototypes.cbegin(); it != prototypes.cend(); ++it, ++n) {
        const QByteArray payload = OperationModel::addPayload(it.key(), it.value()->displayName());
        ok &= writeBytes(dir.filePath(QStringLiteral("add_%1").arg(n)),
                         fuzz::dropInput(n % 2 ? fuzz::DropOnItem : 0, n == 0 ? -1 : n, payload));
    }
    for (int row = 0; row < fuzz::DropModelRows; ++row) {
        const QByteArray payload = OperationModel::movePayload(row);
        ok &= writeBytes(
            dir.filePath(QStringLiteral("move_%1").arg(row)),
            fuzz::dropInput(fuzz::DropMoveRow, static_cast<signed char>(2 - row), payload));
        ok &= writeBytes(dir.filePath(QStringLiteral("move_onto_%1").arg(row)),
                         fuzz::dropInput(fuzz::DropMoveRow | fuzz::DropOnItem, 0, payload));
    }
    return ok;
}

bool writeNotices(const QDir& dir)
{
    // Flags byte, then the path; bit 0 puts the bytes inside the flow folder.
    return writeBytes(dir.filePath(QStringLiteral("listed")), QByteArray("\x01", 1) + "fuzz.flw") &&
           writeBytes(dir.filePath(QStringLiteral("unlisted")),
                      QByteArray("\x01", 1) + "other.flw") &&
           writeBytes(dir.filePath(QStringLiteral("elsewhere")),
                      QByteArray(1, '\0') + QStringLiteral("/nonexistent/流/fuzz.flw").toUtf8());
}

bool writeControlRequests(const QDir& dir)
{
    // Flags byte, split byte, then the bytes sent.
    const QByteArray seeds[] = {
        QByteArray("\0\0toggle clicker\n", 17),
        QByteArray("\x01\x07toggle flow:") + QStringLiteral("每日 报告\n").toUtf8(),
        QByteArray("\0\0stop\r\nshow\n", 13),
        QByteArray("\0\0quit\n", 7),
        QByteArray("\x02\0show\n", 7),
        QByteArray("\0\0toggle replay:", 16),
    };
    bool ok = true;
    int n = 0;
    for (const QByteArray& seed : seeds)
        ok &= writeBytes(dir.filePath(QStringLiteral("request_%1").arg(n++)), seed);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds <folder>\n");
        return 2;
    }
    const QString root = QFile::decodeName(argv[1]);
    fuzz::init(&argc, &argv);
    OperationFactory::instance()->registerBuiltinOperations();
    const bool ok = writeFlows(targetDir(root, "fuzz_flowfile")) &&
                    writeMouseTasks(targetDir(root, "fuzz_mousetask")) &&
                    writeKeyboardTasks(targetDir(root, "fuzz_keyboardtask")) &&
                    writeRecordings(targetDir(root, "fuzz_recording")) &&
                    writeDrops(targetDir(root, "fuzz_droppayload")) &&
                    writeNotices(targetDir(root, "fuzz_closenotice")) &&
                    writeControlRequests(targetDir(root, "fuzz_controlserver"));
    if (!ok)
        std::fprintf(stderr, "fuzz_seeds: a seed could not be written\n");
    return ok ? 0 : 1;
}

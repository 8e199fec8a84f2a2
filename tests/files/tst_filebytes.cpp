// Files and drag payloads are the same bytes whatever Qt the programs are built with.
// Each kind is written by the programs' own code and compared with a reference that
// the Qt 5.15 build wrote (reference/), and each reference loads completely: saved
// again, it gives its own bytes. The suite runs on both builds, so the Qt 6 build
// writes what the Qt 5 build writes and reads what it wrote, and the other way round.
#include "autorecordtask.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "keyboardtasklist.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "mousetask.h"
#include "operationfactory.h"
#include "operationmodel.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

// Texts that reach every part of the string format: CJK, a character outside the
// BMP (a surrogate pair), an empty and a null string.
const QString ChineseName = QStringLiteral("每日打卡 😀");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString referencePath(const QString& name)
{
    return QStringLiteral(KLIQORA_REFERENCE_DIR "/") + name;
}

void fillFlow(Flow& flow)
{
    flow.setName(ChineseName);
    flow.setDescription(QString());
    flow.setHotkey(QStringLiteral("Ctrl+Alt+F9"));
    flow.setCreateTime(QStringLiteral("2024-03-01 08:30:00"));
    flow.setLastModifiedTime(QStringLiteral("2024-03-02 17:45:10"));

    auto* move = new MouseMoveOperation;
    move->setPosition(QPoint(1919, -5));
    move->setInterval(120);
    auto* click = new MouseClickOperation;
    click->setClickType(1);
    click->setClickButton(2);
    click->setPosition(QPoint(300, 400));
    click->setInterval(0);
    auto* key = new KeyboardOperation;
    key->setEventType(KeyboardOperation::Tap);
    key->setKey(QStringLiteral("A"));
    key->setModifiers(Qt::ControlModifier | Qt::ShiftModifier);
    key->setInterval(50);
    auto* text = new TextInputOperation;
    text->setText(QStringLiteral("你好, world 😀"));
    text->setInterval(10);
    auto* noText = new TextInputOperation;
    noText->setText(QString());
    flow.operations() << move << click << key << text << noText;
}

bool writeFlow(const QString& path)
{
    Flow flow;
    fillFlow(flow);
    return flow.save(path);
}

bool resaveFlow(const QString& from, const QString& to)
{
    Flow flow;
    return flow.load(from) && flow.name() == ChineseName && flow.operations().size() == 5 &&
           flow.save(to);
}

void fillMouseTask(MouseTask& task)
{
    task.setTaskType(TaskType::RightDoubleClick);
    task.setPosition(QPoint(-1, 1080));
    task.setIntervalTime(250);
    task.setExecuteInterval(7);
    task.setExecuteTimes(1000000);
    task.setPositionMode(MouseTask::FixedPoint);
    task.setIntervalFlag(MouseTask::RandomInterval);
    task.setStopFlag(MouseTask::StopByCount);
    task.setDurationTime(60000);
    task.setHJitterRange(3);
    task.setVJitterRange(4);
    task.setModifierKeys(ModifierMask::Ctrl | ModifierMask::Win);
    task.setHotKey(QStringLiteral("Shift+F2"));
}

bool writeMouseTask(const QString& path)
{
    MouseTask task;
    fillMouseTask(task);
    return task.save(path);
}

bool resaveMouseTask(const QString& from, const QString& to)
{
    MouseTask task;
    return task.load(from) && task.hotKey() == QStringLiteral("Shift+F2") && task.save(to);
}

bool writeKeyboardTasks(const QString& path)
{
    KeyBoardTaskList list;
    list.setHotKey(QString());
    list.setStopType(KeyBoardTaskList::StopByDuration);
    list.setDuration(90000);
    list.setRepeatTimes(3);
    list.appendTask(KeyBoardTask::fromRowTexts(QStringLiteral("CTRL+C"), QStringLiteral("30"),
                                               QStringLiteral("100")));
    list.appendTask(KeyBoardTask::fromRowTexts(QStringLiteral("shift + alt + F12"),
                                               QStringLiteral("0"), QStringLiteral("2000")));
    return list.save(path);
}

bool resaveKeyboardTasks(const QString& from, const QString& to)
{
    KeyBoardTaskList list;
    return list.load(from) && list.tasks().size() == 2 && list.save(to);
}

bool writeRecording(const QString& path)
{
    constexpr int64_t Ms = 1000000;
    AutoRecordTask task;
    auto move = std::make_unique<MouseEvent>(EventType::MouseMove, 0);
    move->x = 1919;
    move->y = 0;
    auto down = std::make_unique<MouseEvent>(EventType::LeftDown, 15 * Ms);
    down->x = -3;
    down->y = 7;
    auto wheel = std::make_unique<MouseEvent>(EventType::Wheel, 3600000 * Ms);
    wheel->wheelDelta = -240;
    auto key = std::make_unique<KeyboardEvent>(EventType::KeyUp, 3600001 * Ms);
    key->vkCode = 0x41;
    key->scanCode = 0x1e;
    key->flags = 0x80;
    task.appendEvent(std::move(move));
    task.appendEvent(std::move(down));
    task.appendEvent(std::move(wheel));
    task.appendEvent(std::move(key));
    task.setHotKey(QStringLiteral("Ctrl+F8"));
    return task.save(path);
}

bool resaveRecording(const QString& from, const QString& to)
{
    std::unique_ptr<AutoRecordTask> task(AutoRecordTask::load(from));
    return task && task->events().size() == 4 && task->save(to);
}

QByteArray addPayload()
{
    return OperationModel::addPayload(QStringLiteral("text_input"), QStringLiteral("文本输入"));
}

// A table of one operation of each kind.
void fillTable(OperationModel& model)
{
    model.insertOperation(0, new MouseClickOperation);
    model.insertOperation(1, new KeyboardOperation);
    model.insertOperation(2, new MouseMoveOperation);
    model.insertOperation(3, new TextInputOperation);
}

// Row 3 dragged.
QByteArray movePayload()
{
    OperationModel model;
    fillTable(model);
    std::unique_ptr<QMimeData> mime(model.mimeData({model.index(3, 1)}));
    return mime->data(OperationModel::MoveRowMimeType);
}

// The rows' type ids after dropping a payload on row 0 of the table.
QStringList rowsAfterDrop(const QString& mimeType, const QByteArray& payload)
{
    OperationModel model;
    fillTable(model);
    QMimeData mime;
    mime.setData(mimeType, payload);
    model.dropMimeData(&mime, Qt::MoveAction, 0, 0, QModelIndex());
    QStringList typeIds;
    for (const Operation* op : model.flow()->operations())
        typeIds << op->typeId();
    return typeIds;
}

using FileWriter = std::function<bool(const QString& path)>;
using FileResaver = std::function<bool(const QString& from, const QString& to)>;

} // namespace

Q_DECLARE_METATYPE(FileWriter)
Q_DECLARE_METATYPE(FileResaver)

class TestFileBytes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { OperationFactory::instance()->registerBuiltinOperations(); }

    void files_data()
    {
        QTest::addColumn<QString>("reference");
        QTest::addColumn<FileWriter>("write");
        QTest::addColumn<FileResaver>("resave");
        QTest::newRow("flow") << QStringLiteral("flow.flw") << FileWriter(writeFlow)
                              << FileResaver(resaveFlow);
        QTest::newRow("clicker") << QStringLiteral("mouse.kqt") << FileWriter(writeMouseTask)
                                 << FileResaver(resaveMouseTask);
        QTest::newRow("key presser")
            << QStringLiteral("keyboard.kqt") << FileWriter(writeKeyboardTasks)
            << FileResaver(resaveKeyboardTasks);
        QTest::newRow("recording") << QStringLiteral("record_sample.kqt")
                                   << FileWriter(writeRecording) << FileResaver(resaveRecording);
    }

    void files()
    {
        QFETCH(QString, reference);
        QFETCH(FileWriter, write);
        QFETCH(FileResaver, resave);
        const QByteArray expected = readFile(referencePath(reference));
        QVERIFY2(!expected.isEmpty(), qPrintable(referencePath(reference)));
        QTemporaryDir dir;

        const QString written = dir.filePath(QStringLiteral("written"));
        QVERIFY(write(written));
        QCOMPARE(readFile(written).toHex(), expected.toHex());

        const QString resaved = dir.filePath(QStringLiteral("resaved"));
        QVERIFY(resave(referencePath(reference), resaved));
        QCOMPARE(readFile(resaved).toHex(), expected.toHex());
    }

    void payloads()
    {
        const QByteArray add = readFile(referencePath(QStringLiteral("addoperation.payload")));
        const QByteArray move = readFile(referencePath(QStringLiteral("moverow.payload")));
        QCOMPARE(addPayload().toHex(), add.toHex());
        QCOMPARE(movePayload().toHex(), move.toHex());

        const QString click = QStringLiteral("mouse_click");
        const QString key = QStringLiteral("key_input");
        const QString pointer = QStringLiteral("mouse_move");
        const QString text = QStringLiteral("text_input");
        QCOMPARE(rowsAfterDrop(OperationModel::AddOperationMimeType, add),
                 QStringList({text, click, key, pointer, text}));
        QCOMPARE(rowsAfterDrop(OperationModel::MoveRowMimeType, move),
                 QStringList({text, click, key, pointer}));
    }
};

KLIQORA_TEST_MAIN(TestFileBytes)
#include "tst_filebytes.moc"

#include "appconfig.h"
#include "inputdescription.h"
#include "keyboardoperation.h"
#include "loopendoperation.h"
#include "loopstartoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "mousewheeloperation.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "waitcoloroperation.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QMetaClassInfo>
#include <QMetaProperty>

#include <memory>
#include <thread>

using platform::Input;
namespace MouseFlag = platform::MouseFlag;
namespace KeyFlag = platform::KeyFlag;

namespace {

constexpr int kFlowStreamVersion = 19;

QString line(std::initializer_list<Input> records)
{
    QStringList parts;
    for (const Input& in : records)
        parts << describeInput(in);
    return parts.join(QStringLiteral(" | "));
}

Input mouse(uint32_t flags, int dx = 0, int dy = 0)
{
    return Input::mouseInput(flags, dx, dy);
}
Input moveTo(int dx, int dy)
{
    return mouse(MouseFlag::Move | MouseFlag::Absolute, dx, dy);
}
Input down(uint16_t vk)
{
    return Input::keyInput(vk, 0);
}
Input up(uint16_t vk)
{
    return Input::keyInput(vk, KeyFlag::KeyUp);
}
Input unicode(uint16_t unit, bool keyUp)
{
    return Input::keyInput(0, KeyFlag::Unicode | (keyUp ? KeyFlag::KeyUp : 0), unit);
}

QByteArray serialized(const Operation& op)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kFlowStreamVersion);
    op.serialize(out);
    return bytes;
}

QString classInfo(const QObject& object, const char* key)
{
    const QMetaObject* meta = object.metaObject();
    const int index = meta->indexOfClassInfo(key);
    return index < 0 ? QString() : QString::fromUtf8(meta->classInfo(index).value());
}

// Keeps the run flag set for a test and clears it afterwards.
struct RunFlagSet
{
    RunFlagSet() { AppConfig::runFlag.store(true); }
    ~RunFlagSet() { AppConfig::runFlag.store(false); }
};

enum Kind
{
    Click,
    Move,
    Key,
    Text,
    Wheel,
    LoopStart,
    LoopEnd,
    WaitColor
};

std::unique_ptr<Operation> make(Kind kind)
{
    switch (kind) {
    case Click:
        return std::make_unique<MouseClickOperation>();
    case Move:
        return std::make_unique<MouseMoveOperation>();
    case Key:
        return std::make_unique<KeyboardOperation>();
    case Text:
        return std::make_unique<TextInputOperation>();
    case Wheel:
        return std::make_unique<MouseWheelOperation>();
    case LoopStart:
        return std::make_unique<LoopStartOperation>();
    case LoopEnd:
        return std::make_unique<LoopEndOperation>();
    case WaitColor:
        return std::make_unique<WaitColorOperation>();
    }
    return nullptr;
}

} // namespace

class TestOperations : public QObject
{
    Q_OBJECT

private slots:
    void moveConvertsToAbsoluteRange_data()
    {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QPoint>("absolute");
        // clang-format off
        QTest::newRow("origin")         << QSize(1920, 1080) << QPoint(0, 0)       << QPoint(0, 0);
        QTest::newRow("centre")         << QSize(1920, 1080) << QPoint(960, 540)   << QPoint(32767, 32767);
        QTest::newRow("last pixel")     << QSize(1920, 1080) << QPoint(1919, 1079) << QPoint(65500, 65474);
        QTest::newRow("left of screen") << QSize(1920, 1080) << QPoint(-10, 5)     << QPoint(-341, 303);
        QTest::newRow("other screen")   << QSize(1280, 1024) << QPoint(1919, 1079) << QPoint(98251, 69054);
        QTest::newRow("size unknown")   << QSize(0, 0)       << QPoint(100, 100)   << QPoint(0, 0);
        // clang-format on
    }

    void moveConvertsToAbsoluteRange()
    {
        QFETCH(QSize, screen);
        QFETCH(QPoint, pixel);
        QFETCH(QPoint, absolute);
        ScopedRecordingBackend rec;
        rec->setScreenSize(screen.width(), screen.height());
        MouseMoveOperation op;
        op.setPosition(pixel);
        op.execute();
        QCOMPARE(describeBatches(rec->batches()),
                 QStringList{line({moveTo(absolute.x(), absolute.y())})});
    }

    void moveReadsScreenSizeEveryTime()
    {
        ScopedRecordingBackend rec;
        MouseMoveOperation op;
        op.setPosition(QPoint(960, 540));
        op.execute();
        rec->setScreenSize(3840, 2160);
        op.execute();
        QCOMPARE(describeBatches(rec->batches()),
                 (QStringList{line({moveTo(32767, 32767)}), line({moveTo(16383, 16383)})}));
    }

    void clickRecords_data()
    {
        QTest::addColumn<int>("clickType");
        QTest::addColumn<int>("clickButton");
        QTest::addColumn<QStringList>("expected");
        const Input zero;
        const Input at = moveTo(3413, 12136); // (100, 200) on 1920x1080
        // clang-format off
        QTest::newRow("single left")   << 0 << 0 << QStringList{line({at, mouse(0x0002), mouse(0x0004), zero, zero})};
        QTest::newRow("single right")  << 0 << 1 << QStringList{line({at, mouse(0x0008), mouse(0x0010), zero, zero})};
        QTest::newRow("double middle") << 1 << 2 << QStringList{line({at, mouse(0x0020), mouse(0x0040), mouse(0x0020), mouse(0x0040)})};
        QTest::newRow("button 5")      << 0 << 5 << QStringList{line({zero, zero, zero, zero})};
        QTest::newRow("button -1")     << 1 << -1 << QStringList{line({zero, zero, zero, zero})};
        QTest::newRow("type 2")        << 2 << 0 << QStringList{line({zero, zero, zero, zero})};
        // clang-format on
    }

    void clickRecords()
    {
        QFETCH(int, clickType);
        QFETCH(int, clickButton);
        QFETCH(QStringList, expected);
        ScopedRecordingBackend rec;
        MouseClickOperation op;
        op.setPosition(QPoint(100, 200));
        op.setClickType(clickType);
        op.setClickButton(clickButton);
        op.execute();
        QCOMPARE(describeBatches(rec->batches()), expected);
    }

    void wheelRecords_data()
    {
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("horizontal");
        QTest::addColumn<QStringList>("expected");
        const Input at = moveTo(3413, 12136); // (100, 200) on 1920x1080
        auto wheel = [](uint32_t flag, int delta) { return Input::mouseInput(flag, 0, 0, delta); };
        // clang-format off
        QTest::newRow("two notches down") << -240 << 0 << QStringList{line({at, wheel(MouseFlag::Wheel, -240)})};
        QTest::newRow("one notch up")     << 120  << 0 << QStringList{line({at, wheel(MouseFlag::Wheel, 120)})};
        QTest::newRow("left")             << -120 << 1 << QStringList{line({at, wheel(MouseFlag::HWheel, -120)})};
        QTest::newRow("direction 7 is vertical") << 360 << 7 << QStringList{line({at, wheel(MouseFlag::Wheel, 360)})};
        // clang-format on
    }

    void wheelRecords()
    {
        QFETCH(int, delta);
        QFETCH(int, horizontal);
        QFETCH(QStringList, expected);
        ScopedRecordingBackend rec;
        MouseWheelOperation op;
        op.setPosition(QPoint(100, 200));
        op.setDelta(delta);
        op.setHorizontal(horizontal);
        op.execute();
        QCOMPARE(describeBatches(rec->batches()), expected);
    }

    void keyboardRecords_data()
    {
        QTest::addColumn<int>("eventType");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QStringList>("expected");
        const int ctrl = Qt::ControlModifier;
        const int shiftAlt = Qt::ShiftModifier | Qt::AltModifier;
        const int all =
            Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
        // One call per record.
        // clang-format off
        QTest::newRow("tap a with Ctrl") << 2 << "a" << ctrl
            << QStringList{line({down(0x11)}), line({down(65)}), line({up(65)}), line({up(0x11)})};
        QTest::newRow("tap nothing with Shift+Alt") << 2 << "" << shiftAlt
            << QStringList{line({down(0x10)}), line({down(0x12)}), line({up(0x10)}), line({up(0x12)})};
        QTest::newRow("release F13 with Win") << 1 << "F13" << int(Qt::MetaModifier)
            << QStringList{line({up(124)}), line({up(0x5B)})};
        QTest::newRow("press keeps everything down") << 0 << " esc " << all
            << QStringList{line({down(0x10)}), line({down(0x11)}), line({down(0x12)}),
                           line({down(0x5B)}), line({down(27)})};
        QTest::newRow("release all, not reversed") << 1 << "" << all
            << QStringList{line({up(0x10)}), line({up(0x11)}), line({up(0x12)}), line({up(0x5B)})};
        QTest::newRow("unknown name is key 0") << 2 << "Page Down" << 0
            << QStringList{line({down(0)}), line({up(0)})};
        QTest::newRow("keypad bit sends nothing") << 2 << "1" << int(Qt::KeypadModifier)
            << QStringList{line({down(49)}), line({up(49)})};
        QTest::newRow("event type 3 sends nothing") << 3 << "A" << ctrl << QStringList{};
        QTest::newRow("event type -1 sends nothing") << -1 << "A" << ctrl << QStringList{};
        // clang-format on
    }

    void keyboardRecords()
    {
        QFETCH(int, eventType);
        QFETCH(QString, key);
        QFETCH(int, modifiers);
        QFETCH(QStringList, expected);
        ScopedRecordingBackend rec;
        KeyboardOperation op;
        op.setEventType(eventType);
        op.setKey(key);
        op.setModifiers(Qt::KeyboardModifiers(modifiers));
        op.execute();
        QCOMPARE(describeBatches(rec->batches()), expected);
    }

    void textRecords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        // One batch: a down and an up per code unit, in order.
        auto batch = [](std::initializer_list<uint16_t> units) {
            QStringList records;
            for (const uint16_t unit : units)
                records << line({unicode(unit, false), unicode(unit, true)});
            return records.join(QStringLiteral(" | "));
        };
        // clang-format off
        QTest::newRow("Ab")            << QStringLiteral("Ab") << QStringList{batch({0x41, 0x62})};
        QTest::newRow("surrogate pair") << QString::fromUcs4(U"\U0001F600") << QStringList{batch({0xD83D, 0xDE00})};
        QTest::newRow("line feed")     << QStringLiteral("a\nb") << QStringList{batch({'a', 0x0A, 'b'})};
        QTest::newRow("chinese")       << QStringLiteral("你") << QStringList{batch({0x4F60})};
        QTest::newRow("empty")         << QStringLiteral("") << QStringList{};
        QTest::newRow("null")          << QString() << QStringList{};
        // clang-format on
    }

    void textRecords()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        ScopedRecordingBackend rec;
        TextInputOperation op;
        op.setText(text);
        op.execute();
        QCOMPARE(describeBatches(rec->batches()), expected);
    }

    void textLongGoesOutWhole()
    {
        // A long text is split into several batches: none of it may be lost or
        // reordered at a batch's end, also between the halves of a surrogate pair.
        QString text;
        for (int i = 0; text.size() < 1201; ++i)
            text += i % 97 == 0 ? QString::fromUcs4(U"\U0001F600") : QString(QChar(u'a' + i % 26));
        ScopedRecordingBackend rec;
        TextInputOperation op;
        op.setText(text);
        op.execute();
        QString typed;
        const auto batches = rec->batches();
        QVERIFY(batches.size() > 1);
        for (const auto& records : batches) {
            for (size_t i = 0; i + 1 < records.size(); i += 2) {
                QCOMPARE(records[i].keyboard.scan, records[i + 1].keyboard.scan);
                QVERIFY(!(records[i].keyboard.flags & KeyFlag::KeyUp));
                QVERIFY(records[i + 1].keyboard.flags & KeyFlag::KeyUp);
                typed += QChar(records[i].keyboard.scan);
            }
            QCOMPARE(records.size() % 2, size_t(0));
        }
        QCOMPARE(typed, text);
    }

    void texts_data()
    {
        QTest::addColumn<QObject*>("object");
        QTest::addColumn<QString>("toString");
        QTest::addColumn<QString>("description");

        auto click = [this](int type, int button) {
            auto* op = new MouseClickOperation(this);
            op->setPosition(QPoint(100, 200));
            op->setClickType(type);
            op->setClickButton(button);
            return static_cast<QObject*>(op);
        };
        auto key = [this](int type, const char* name, Qt::KeyboardModifiers mods) {
            auto* op = new KeyboardOperation(this);
            op->setInterval(700);
            op->setEventType(type);
            op->setKey(QString::fromUtf8(name));
            op->setModifiers(mods);
            return static_cast<QObject*>(op);
        };
        auto* move = new MouseMoveOperation(this);
        move->setPosition(QPoint(-3, 1079));
        auto* text = new TextInputOperation(this);
        text->setText(QStringLiteral("你好 %1"));
        auto wheel = [this](int delta, int horizontal) {
            auto* op = new MouseWheelOperation(this);
            op->setPosition(QPoint(10, 20));
            op->setDelta(delta);
            op->setHorizontal(horizontal);
            return static_cast<QObject*>(op);
        };
        auto loop = [this](int count) {
            auto* op = new LoopStartOperation(this);
            op->setCount(count);
            return static_cast<QObject*>(op);
        };
        auto wait = [this](int timeout, int onTimeout) {
            auto* op = new WaitColorOperation(this);
            op->setPosition(QPoint(5, 6));
            op->setColor(0x00ff80);
            op->setTolerance(3);
            op->setTimeout(timeout);
            op->setOnTimeout(onTimeout);
            return static_cast<QObject*>(op);
        };

        // clang-format off
        QTest::newRow("double right click") << click(1, 1)
            << "点击鼠标: clickType=1, x=100, y=200" << "在屏幕坐标(X=100, Y=200)处，双击鼠标右键";
        QTest::newRow("invalid click") << click(2, 5)
            << "点击鼠标: clickType=2, x=100, y=200" << "在屏幕坐标(X=100, Y=200)处，鼠标";
        QTest::newRow("move") << static_cast<QObject*>(move)
            << "移动鼠标: x=-3, y=1079" << "将鼠标移动到屏幕坐标 (X=-3, Y=1079)";
        QTest::newRow("tap F5") << key(2, "F5", Qt::NoModifier)
            << "输入按键: eventType=2, key=F5, modifiers=" << "输入按键: 敲击 F5";
        QTest::newRow("press Shift+Ctrl+S") << key(0, "S", Qt::ControlModifier | Qt::ShiftModifier)
            << "输入按键: eventType=0, key=S, modifiers=Shift+Ctrl" << "输入按键: 按下 Shift+Ctrl+S";
        QTest::newRow("release Alt alone") << key(1, "", Qt::AltModifier)
            << "输入按键: eventType=1, key=, modifiers=Alt" << "输入按键: 抬起 Alt";
        QTest::newRow("event 9 reads as tap") << key(9, "%2", Qt::NoModifier)
            << "输入按键: eventType=9, key=%2, modifiers=" << "输入按键: 敲击 %2";
        QTest::newRow("text") << static_cast<QObject*>(text)
            << "输入文本: text=\"你好 %1\"" << "输入文本: 你好 %1";
        QTest::newRow("wheel down") << wheel(-240, 0)
            << "滚动滚轮: delta=-240, horizontal=0, x=10, y=20" << "在屏幕坐标(X=10, Y=20)处，向下滚动滚轮 240";
        QTest::newRow("wheel right") << wheel(120, 1)
            << "滚动滚轮: delta=120, horizontal=1, x=10, y=20" << "在屏幕坐标(X=10, Y=20)处，向右滚动滚轮 120";
        QTest::newRow("loop 3 times") << loop(3) << "重复开始: count=3" << "重复以下操作 3 次";
        QTest::newRow("endless loop") << loop(0) << "重复开始: count=0" << "重复以下操作，直到停止";
        QTest::newRow("loop end") << static_cast<QObject*>(new LoopEndOperation(this))
            << "重复结束: end of the repeated part" << "重复的操作到此结束";
        QTest::newRow("wait, stop after") << wait(2000, 0)
            << "等待颜色: color=#00FF80, tolerance=3, timeout=2000, onTimeout=0, x=5, y=6"
            << "等待屏幕坐标(X=5, Y=6)处显示颜色 #00FF80，最多 2000 毫秒，超时后停止流程";
        QTest::newRow("wait, go on after") << wait(10, 1)
            << "等待颜色: color=#00FF80, tolerance=3, timeout=10, onTimeout=1, x=5, y=6"
            << "等待屏幕坐标(X=5, Y=6)处显示颜色 #00FF80，最多 10 毫秒，超时后继续执行";
        QTest::newRow("wait without limit") << wait(0, 0)
            << "等待颜色: color=#00FF80, tolerance=3, timeout=0, onTimeout=0, x=5, y=6"
            << "等待屏幕坐标(X=5, Y=6)处显示颜色 #00FF80";
        // clang-format on
    }

    void texts()
    {
        QFETCH(QObject*, object);
        QFETCH(QString, toString);
        QFETCH(QString, description);
        auto* op = qobject_cast<Operation*>(object);
        QVERIFY(op);
        QCOMPARE(op->toString(), toString);
        QCOMPARE(op->description(), description);
    }

    void typeIdentity_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("typeId");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("icon");
        const QString dir = QStringLiteral(":/optree/res/images/optree/");
        // clang-format off
        QTest::newRow("click") << int(Click) << "鼠标" << "mouse_click" << "点击鼠标" << dir + "mouse-click.svg";
        QTest::newRow("move")  << int(Move)  << "鼠标" << "mouse_move"  << "移动鼠标" << dir + "mouse-move.svg";
        QTest::newRow("key")   << int(Key)   << "键盘" << "key_input"   << "输入按键" << dir + "key-input.svg";
        QTest::newRow("text")  << int(Text)  << "键盘" << "text_input"  << "输入文本" << dir + "text-input.svg";
        QTest::newRow("wheel") << int(Wheel) << "鼠标" << "mouse_wheel" << "滚动滚轮" << dir + "mouse-wheel.svg";
        QTest::newRow("loop start") << int(LoopStart) << "流程控制" << "loop_start" << "重复开始" << dir + "loop-start.svg";
        QTest::newRow("loop end")   << int(LoopEnd)   << "流程控制" << "loop_end"   << "重复结束" << dir + "loop-end.svg";
        QTest::newRow("wait color") << int(WaitColor) << "流程控制" << "wait_color" << "等待颜色" << dir + "wait-color.svg";
        // clang-format on
    }

    void typeIdentity()
    {
        QFETCH(int, kind);
        const auto op = make(Kind(kind));
        QTEST(op->category(), "category");
        QTEST(op->typeId(), "typeId");
        QTEST(op->displayName(), "displayName");
        QTEST(op->iconPath(), "icon");
    }

    void serialization_data()
    {
        QTest::addColumn<QObject*>("object");
        QTest::addColumn<QByteArray>("bytes");

        auto* click = new MouseClickOperation(this);
        click->setInterval(50);
        click->setPosition(QPoint(100, 200));
        click->setClickType(1);
        click->setClickButton(2);
        auto* move = new MouseMoveOperation(this);
        move->setPosition(QPoint(-5, 1079));
        auto* key = new KeyboardOperation(this);
        key->setInterval(50);
        key->setKey(QStringLiteral("S"));
        key->setModifiers(Qt::ControlModifier | Qt::ShiftModifier);
        auto* text = new TextInputOperation(this);
        text->setText(QStringLiteral("Hi"));
        auto* emptied = new TextInputOperation(this);
        emptied->setText(QStringLiteral(""));
        auto* wheel = new MouseWheelOperation(this);
        wheel->setInterval(50);
        wheel->setPosition(QPoint(100, 200));
        wheel->setDelta(-360);
        wheel->setHorizontal(1);
        auto* loopStart = new LoopStartOperation(this);
        loopStart->setInterval(50);
        loopStart->setCount(7);
        auto* loopEnd = new LoopEndOperation(this);
        loopEnd->setInterval(300);
        auto* wait = new WaitColorOperation(this);
        wait->setPosition(QPoint(640, 480));
        wait->setColor(0x12ab34);
        wait->setTolerance(255);
        wait->setTimeout(1500);
        wait->setOnTimeout(1);

        // clang-format off
        QTest::newRow("click") << static_cast<QObject*>(click)
            << QByteArray::fromHex("00000032" "00000064" "000000c8" "00000001" "00000002");
        QTest::newRow("move") << static_cast<QObject*>(move)
            << QByteArray::fromHex("00000000" "fffffffb" "00000437");
        QTest::newRow("key") << static_cast<QObject*>(key)
            << QByteArray::fromHex("00000032" "00000000" "00000002" "0053" "06000000");
        QTest::newRow("new key: empty, not null") << static_cast<QObject*>(new KeyboardOperation(this))
            << QByteArray::fromHex("00000000" "00000000" "00000000" "00000000");
        QTest::newRow("text") << static_cast<QObject*>(text)
            << QByteArray::fromHex("00000000" "00000004" "00480069");
        QTest::newRow("new text: null") << static_cast<QObject*>(new TextInputOperation(this))
            << QByteArray::fromHex("00000000" "ffffffff");
        QTest::newRow("emptied text") << static_cast<QObject*>(emptied)
            << QByteArray::fromHex("00000000" "00000000");
        QTest::newRow("wheel") << static_cast<QObject*>(wheel)
            << QByteArray::fromHex("00000032" "00000064" "000000c8" "fffffe98" "00000001");
        QTest::newRow("loop start") << static_cast<QObject*>(loopStart)
            << QByteArray::fromHex("00000032" "00000007");
        QTest::newRow("new loop start") << static_cast<QObject*>(new LoopStartOperation(this))
            << QByteArray::fromHex("00000000" "00000002");
        QTest::newRow("loop end") << static_cast<QObject*>(loopEnd)
            << QByteArray::fromHex("0000012c");
        QTest::newRow("wait color") << static_cast<QObject*>(wait)
            << QByteArray::fromHex("00000000" "00000280" "000001e0" "0012ab34" "000000ff" "000005dc" "00000001");
        // clang-format on
    }

    void serialization()
    {
        QFETCH(QObject*, object);
        QFETCH(QByteArray, bytes);
        auto* op = qobject_cast<Operation*>(object);
        QCOMPARE(serialized(*op).toHex(), bytes.toHex());

        // Reading the hand-written bytes into a fresh object gives the same fields.
        std::unique_ptr<Operation> fresh(op->clone(nullptr));
        fresh->setInterval(12345);
        fresh->setProperty("position", QPoint(7, 7));
        QDataStream in(bytes);
        in.setVersion(kFlowStreamVersion);
        fresh->deserialize(in);
        QCOMPARE(in.status(), QDataStream::Ok);
        QVERIFY(in.atEnd());
        QCOMPARE(serialized(*fresh).toHex(), bytes.toHex());
        QCOMPARE(fresh->toString(), op->toString());
    }

    void truncatedStreamIsReported()
    {
        const QByteArray bytes = QByteArray::fromHex("00000032"
                                                     "00000064"
                                                     "000000c8"
                                                     "0000");
        MouseClickOperation op;
        QDataStream in(bytes);
        in.setVersion(kFlowStreamVersion);
        op.deserialize(in);
        QCOMPARE(in.status(), QDataStream::ReadPastEnd);
    }

    void cloneCopiesEveryField_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("click") << int(Click);
        QTest::newRow("move") << int(Move);
        QTest::newRow("key") << int(Key);
        QTest::newRow("text") << int(Text);
        QTest::newRow("wheel") << int(Wheel);
        QTest::newRow("loop start") << int(LoopStart);
        QTest::newRow("loop end") << int(LoopEnd);
        QTest::newRow("wait color") << int(WaitColor);
    }

    void cloneCopiesEveryField()
    {
        QFETCH(int, kind);
        QObject owner;
        const auto op = make(Kind(kind));
        op->setParent(&owner);
        op->setInterval(321);
        // Every field away from its default, through the property system.
        op->setProperty("position", QPoint(-40, 77));
        op->setProperty("clickType", 1);
        op->setProperty("clickButton", 2);
        op->setProperty("eventType", 2);
        op->setProperty("key", QStringLiteral("F7"));
        op->setProperty("modifiers", int(Qt::AltModifier | Qt::MetaModifier));
        op->setProperty("text", QStringLiteral("copy me"));
        op->setProperty("delta", 480);
        op->setProperty("horizontal", 1);
        op->setProperty("count", 9);
        op->setProperty("color", QStringLiteral("#a0b1c2"));
        op->setProperty("tolerance", 17);
        op->setProperty("timeout", 900);
        op->setProperty("onTimeout", 1);

        std::unique_ptr<Operation> copy(op->clone(nullptr));
        QVERIFY(copy);
        QCOMPARE(copy->parent(), nullptr);
        QCOMPARE(copy->metaObject(), op->metaObject());
        QVERIFY(copy.get() != op.get());
        QCOMPARE(serialized(*copy), serialized(*op));
        QCOMPARE(copy->interval(), 321);

        std::unique_ptr<Operation> owned(op->clone(&owner));
        QCOMPARE(owned->parent(), &owner);
        owned.release(); // owner deletes it
        op->setParent(nullptr);
    }

    void propertiesAndClassInfo()
    {
        KeyboardOperation key;
        QCOMPARE(classInfo(key, "prop_interval"), QStringLiteral("执行间隔（毫秒）"));
        QCOMPARE(classInfo(key, "prop_eventType"), QStringLiteral("按键动作"));
        QCOMPARE(classInfo(key, "editor_eventType"), QStringLiteral("COMBO"));
        QCOMPARE(classInfo(key, "choices_eventType"),
                 QStringLiteral("按下|抬起|敲击（按下+抬起）"));
        QCOMPARE(classInfo(key, "prop_key"), QStringLiteral("按键"));
        QCOMPARE(classInfo(key, "prop_modifiers"), QStringLiteral("修饰键"));
        QCOMPARE(classInfo(key, "editor_modifiers"), QStringLiteral("FLAG"));
        QCOMPARE(classInfo(key, "flagnames_modifiers"), QStringLiteral("Shift|Ctrl|Alt|Win"));

        MouseClickOperation click;
        QCOMPARE(classInfo(click, "prop_position"), QStringLiteral("位置坐标"));
        QCOMPARE(classInfo(click, "prop_clickType"), QStringLiteral("点击类型"));
        QCOMPARE(classInfo(click, "editor_clickType"), QStringLiteral("COMBO"));
        QCOMPARE(classInfo(click, "choices_clickType"), QStringLiteral("单击|双击"));
        QCOMPARE(classInfo(click, "prop_clickButton"), QStringLiteral("点击按键"));
        QCOMPARE(classInfo(click, "editor_clickButton"), QStringLiteral("COMBO"));
        QCOMPARE(classInfo(click, "choices_clickButton"), QStringLiteral("左键|右键|中键"));

        TextInputOperation text;
        QCOMPARE(classInfo(text, "prop_text"), QStringLiteral("输入内容"));

        // The panel's editors keep the new fields in their ranges.
        WaitColorOperation wait;
        QCOMPARE(classInfo(wait, "editor_tolerance"), QStringLiteral("SPINBOX"));
        QCOMPARE(classInfo(wait, "range_tolerance"), QStringLiteral("0-255"));
        QCOMPARE(classInfo(wait, "range_timeout"), QStringLiteral("0-2147483647"));
        QCOMPARE(classInfo(wait, "choices_onTimeout"), QStringLiteral("停止流程|继续执行"));
        QCOMPARE(classInfo(LoopStartOperation(), "range_count"), QStringLiteral("0-2147483647"));
        QCOMPARE(classInfo(MouseWheelOperation(), "choices_horizontal"),
                 QStringLiteral("垂直|水平"));

        // The published properties are exactly the fields, base class first.
        auto names = [](const QObject& o) {
            QStringList list;
            const QMetaObject* meta = o.metaObject();
            for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
                list << QString::fromLatin1(meta->property(i).name());
            return list;
        };
        QCOMPARE(names(click), (QStringList{"interval", "position", "clickType", "clickButton"}));
        QCOMPARE(names(MouseMoveOperation()), (QStringList{"interval", "position"}));
        QCOMPARE(names(key), (QStringList{"interval", "eventType", "key", "modifiers"}));
        QCOMPARE(names(text), (QStringList{"interval", "text"}));
        QCOMPARE(names(MouseWheelOperation()),
                 (QStringList{"interval", "position", "delta", "horizontal"}));
        QCOMPARE(names(LoopStartOperation()), (QStringList{"interval", "count"}));
        QCOMPARE(names(LoopEndOperation()), (QStringList{"interval"}));
        QCOMPARE(names(WaitColorOperation()), (QStringList{"interval", "position", "color",
                                                           "tolerance", "timeout", "onTimeout"}));

        // The designer's flag editor writes plain ints.
        QVERIFY(key.setProperty("modifiers", int(Qt::ShiftModifier | Qt::ControlModifier)));
        QCOMPARE(key.modifiers(), Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(key.property("modifiers").toInt(), int(Qt::ShiftModifier | Qt::ControlModifier));
    }

    void colorText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("with #")          << "#a0B1c2" << "#A0B1C2";
        QTest::newRow("without #")       << " 0000ff " << "#0000FF";
        QTest::newRow("too short")       << "#fff"    << "#123456";
        QTest::newRow("too long")        << "#1234567" << "#123456";
        QTest::newRow("not hexadecimal") << "#12345g" << "#123456";
        QTest::newRow("empty")           << ""        << "#123456";
        // clang-format on
    }

    void colorText()
    {
        QFETCH(QString, text);
        WaitColorOperation op;
        op.setColor(0x123456);
        op.setColorText(text);
        QTEST(op.colorText(), "shown");
        QCOMPARE(op.property("color").toString(), op.colorText());
    }

    void defaultIntervalIsProcessWide()
    {
        QCOMPARE(TextInputOperation().interval(), 0);
        Operation::setDefaultInterval(50);
        for (Kind kind : {Click, Move, Key, Text, Wheel, LoopStart, LoopEnd, WaitColor})
            QCOMPARE(make(kind)->interval(), 50);
        Operation::setDefaultInterval(0);
        QCOMPARE(MouseClickOperation().interval(), 0);
    }

    void runWithoutPause_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("calls");
        QTest::addColumn<int>("timerChanges");
        // clang-format off
        QTest::newRow("0, running")       << 0   << true  << 1 << 0;
        QTest::newRow("-5, running")      << -5  << true  << 1 << 0;
        QTest::newRow("0, stopped")       << 0   << false << 0 << 0;
        QTest::newRow("5000, stopped")    << 5000 << false << 0 << 1;
        // clang-format on
    }

    void runWithoutPause()
    {
        QFETCH(int, interval);
        QFETCH(bool, running);
        QFETCH(int, calls);
        QFETCH(int, timerChanges);
        ScopedRecordingBackend rec;
        AppConfig::runFlag.store(running);
        MouseMoveOperation op;
        op.setInterval(interval);
        QElapsedTimer clock;
        clock.start();
        op.run();
        AppConfig::runFlag.store(false);
        // No sleep at all: a single slice would already take 50 ms.
        QVERIFY2(clock.elapsed() < 40, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(rec->callCount(), calls);
        QCOMPARE(rec->timerBeginCount(), timerChanges);
        QCOMPARE(rec->timerEndCount(), timerChanges);
    }

    void runPausesThenExecutes()
    {
        ScopedRecordingBackend rec;
        RunFlagSet running;
        KeyboardOperation op;
        op.setInterval(120); // slices of 50, 50 and 20 ms
        op.setEventType(KeyboardOperation::Tap);
        op.setKey(QStringLiteral("A"));
        QElapsedTimer clock;
        clock.start();
        op.run();
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(elapsed >= 120 && elapsed < 300, qPrintable(QString::number(elapsed)));
        QCOMPARE(rec->callCount(), 2);
        QCOMPARE(rec->timerBeginCount(), 1);
        QCOMPARE(rec->timerEndCount(), 1);
    }

    void stopDuringLongPauseSendsNothing()
    {
        ScopedRecordingBackend rec;
        AppConfig::runFlag.store(true);
        MouseClickOperation op;
        op.setInterval(10000);
        QElapsedTimer sinceStop;
        qint64 reaction = -1;
        std::thread worker([&] {
            op.run();
            reaction = sinceStop.elapsed();
        });
        QTest::qSleep(120);
        sinceStop.start();
        AppConfig::runFlag.store(false);
        worker.join();
        // One slice of at most 50 ms, plus scheduling slack on a busy machine.
        QVERIFY2(reaction >= 0 && reaction <= 80, qPrintable(QString::number(reaction)));
        QCOMPARE(rec->callCount(), 0);
        QCOMPARE(rec->timerBeginCount(), 1);
        QCOMPARE(rec->timerEndCount(), 1);
    }
};

KLIQORA_TEST_GUILESS_MAIN(TestOperations)
#include "tst_operations.moc"

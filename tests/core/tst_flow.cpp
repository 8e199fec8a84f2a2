#include "appconfig.h"
#include "errorreporter.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "loopendoperation.h"
#include "loopstartoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "mousewheeloperation.h"
#include "operationfactory.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "textinputoperation.h"
#include "uistartup.h"
#include "waitcoloroperation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMetaClassInfo>
#include <QMetaProperty>
#include <QMutex>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>

#include <memory>
#include <thread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

const QString kStamp = QStringLiteral("2026-12-05 09:05:03");

// The QDataStream form of an ASCII text, written out by hand: byte count, then
// each character as a big-endian UTF-16 unit.
QByteArray str(const char* ascii)
{
    const QByteArray text(ascii);
    QByteArray bytes =
        QByteArray::fromHex(QByteArray::number(text.size() * 2, 16).rightJustified(8, '0'));
    for (char c : text)
        bytes += QByteArray(1, '\0') + c;
    return bytes;
}

QByteArray int32(quint32 value)
{
    return QByteArray::fromHex(QByteArray::number(value, 16).rightJustified(8, '0'));
}

const QByteArray kMagic = QByteArray::fromHex("8e62d879");
const QByteArray kNull = QByteArray::fromHex("ffffffff");

// Header of a flow file with the given texts and operation count.
QByteArray header(const char* name, const char* hotkey, quint32 count)
{
    return kMagic + str(name) + str("desc") + str(hotkey) + str("2026-01-02 03:04:05") +
           str("2026-06-07 08:09:10") + int32(count);
}

QByteArray moveOp(int interval, int x, int y)
{
    return str("mouse_move") + int32(quint32(interval)) + int32(quint32(x)) + int32(quint32(y));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Collects the messages of the "kliqora" category while it lives.
class LogCapture
{
public:
    LogCapture()
    {
        s_lines.clear();
        m_previous = qInstallMessageHandler(&LogCapture::handler);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    QStringList lines() const { return s_lines; }
    bool contains(const QString& text) const
    {
        for (const QString& line : s_lines) {
            if (line.contains(text))
                return true;
        }
        return false;
    }

private:
    static void handler(QtMsgType, const QMessageLogContext& context, const QString& msg)
    {
        if (qstrcmp(context.category, "kliqora") == 0)
            s_lines << msg;
    }
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};

// Accepts the next message box as soon as it appears and keeps its title and text.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                titles << box->windowTitle();
                texts << box->text();
                box->accept();
            }
        });
        m_timer.start(10);
    }
    QStringList titles;
    QStringList texts;

private:
    QTimer m_timer;
};

#ifdef Q_OS_UNIX
// Sends what the process writes to standard error into a file while it lives.
class StandardErrorCapture
{
public:
    StandardErrorCapture()
    {
        std::fflush(stderr);
        if (m_file.open()) {
            m_saved = dup(STDERR_FILENO);
            dup2(m_file.handle(), STDERR_FILENO);
        }
    }
    ~StandardErrorCapture() { restore(); }

    QByteArray written()
    {
        restore();
        m_file.seek(0);
        return m_file.readAll();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};
#endif

} // namespace

class TestFlow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        OperationFactory::instance()->registerBuiltinOperations();
    }

    // As in both programs: failures are shown in a message box.
    void init() { UiStartup::installMessageBoxErrorReporter(); }

    void cleanup() { Operation::setDefaultInterval(0); }

    void newFlow()
    {
        const QString before = QDateTime::currentDateTime().toString(Flow::TimeFormat);
        Flow flow;
        const QString after = QDateTime::currentDateTime().toString(Flow::TimeFormat);
        QVERIFY(flow.createTime() == before || flow.createTime() == after);
        QCOMPARE(flow.lastModifiedTime(), flow.createTime());
        QVERIFY(!flow.name().isNull());
        QVERIFY(flow.name().isEmpty());
        QVERIFY(flow.operations().isEmpty());
        QCOMPARE(flow.hotkeyObject(), nullptr);
    }

    void newFlowWritesExactBytesAndReadsBack()
    {
        Flow flow;
        flow.setCreateTime(kStamp);
        flow.setLastModifiedTime(kStamp);
        QVERIFY(flow.save(path(QStringLiteral("new.flw"))));

        // magic, three empty texts, two 19-character stamps (38 bytes), count 0
        const QByteArray stamp =
            QByteArray::fromHex("00000026"
                                "0032003000320036002d00310032002d00300035" // 2026-12-05
                                "0020"                                     // blank
                                "00300039003a00300035003a00300033");       // 09:05:03
        const QByteArray expected = QByteArray::fromHex("8e62d879"
                                                        "00000000"
                                                        "00000000"
                                                        "00000000") +
                                    stamp + stamp + QByteArray::fromHex("00000000");
        QCOMPARE(readFile(path(QStringLiteral("new.flw"))).toHex(), expected.toHex());

        Flow loaded;
        QVERIFY(loaded.load(path(QStringLiteral("new.flw"))));
        QVERIFY(loaded.save(path(QStringLiteral("again.flw"))));
        QCOMPARE(readFile(path(QStringLiteral("again.flw"))).toHex(), expected.toHex());
    }

    void textInputOperationBytes_data()
    {
        QTest::addColumn<int>("defaultInterval");
        QTest::addColumn<QByteArray>("interval");
        QTest::newRow("main program") << 0 << int32(0);
        QTest::newRow("designer") << 50 << int32(50);
    }

    void textInputOperationBytes()
    {
        QFETCH(int, defaultInterval);
        QFETCH(QByteArray, interval);
        Operation::setDefaultInterval(defaultInterval);
        Flow flow;
        flow.operations().append(new TextInputOperation(&flow));
        const QString file = path(QStringLiteral("text.flw"));
        QVERIFY(flow.save(file));
        const QByteArray tail = int32(1) +
                                QByteArray::fromHex("00000014"
                                                    "0074006500780074005f0069006e007000750074") +
                                interval + kNull;
        QVERIFY2(readFile(file).endsWith(tail), readFile(file).toHex().constData());
    }

    void newOperationTypesInAFile()
    {
        // Each new type is written as its id and fields after the count, like the
        // older ones; a file holding them reads back to the same bytes.
        Flow flow;
        flow.setCreateTime(kStamp);
        flow.setLastModifiedTime(kStamp);
        auto* loop = new LoopStartOperation(&flow);
        loop->setCount(0);
        auto* wheel = new MouseWheelOperation(&flow);
        wheel->setPosition(QPoint(3, 4));
        auto* wait = new WaitColorOperation(&flow);
        wait->setColor(0xff0000);
        flow.operations() << loop << wheel << wait << new LoopEndOperation(&flow);
        const QString file = path(QStringLiteral("new-types.flw"));
        QVERIFY(flow.save(file));
        const QByteArray stamp = str("2026-12-05 09:05:03");
        const QByteArray expected =
            kMagic + str("") + str("") + str("") + stamp + stamp + int32(4) + str("loop_start") +
            int32(0) + int32(0) + str("mouse_wheel") + int32(0) + int32(3) + int32(4) +
            int32(quint32(-120)) + int32(0) + str("wait_color") + int32(0) + int32(0) + int32(0) +
            int32(0xff0000) + int32(0) + int32(10000) + int32(0) + str("loop_end") + int32(0);
        QCOMPARE(readFile(file).toHex(), expected.toHex());

        Flow loaded;
        QVERIFY(loaded.load(file));
        QCOMPARE(loaded.operations().size(), 4);
        const QString again = path(QStringLiteral("new-types-again.flw"));
        QVERIFY(loaded.save(again));
        QCOMPARE(readFile(again), readFile(file));
    }

    void loadsHandWrittenFile()
    {
        const QByteArray bytes =
            header("Fill form", "", 3) + moveOp(50, 100, -20) + str("mouse_click") + int32(0) +
            int32(1) + int32(2) + int32(1) + int32(2) //
            + str("key_input") + int32(7) + int32(2) + str("PgDown") + int32(Qt::ControlModifier);
        const QString file = path(QStringLiteral("hand.flw"));
        QVERIFY(writeFile(file, bytes));

        Flow flow;
        LogCapture log;
        QVERIFY(flow.load(file));
        QCOMPARE(flow.name(), QStringLiteral("Fill form"));
        QCOMPARE(flow.description(), QStringLiteral("desc"));
        QCOMPARE(flow.createTime(), QStringLiteral("2026-01-02 03:04:05"));
        QCOMPARE(flow.lastModifiedTime(), QStringLiteral("2026-06-07 08:09:10"));
        QCOMPARE(log.lines(),
                 QStringList{QStringLiteral(
                     "FlowName=Fill form, FlowDesc=desc,FlowHotkey=,"
                     "FlowCreateTime=2026-01-02 03:04:05,FlowModifiedTime=2026-06-07 08:09:10")});

        QCOMPARE(flow.operations().size(), 3);
        auto* move = qobject_cast<MouseMoveOperation*>(flow.operations().at(0));
        auto* click = qobject_cast<MouseClickOperation*>(flow.operations().at(1));
        auto* key = qobject_cast<KeyboardOperation*>(flow.operations().at(2));
        QVERIFY(move && click && key);
        QCOMPARE(move->parent(), &flow);
        QCOMPARE(move->interval(), 50);
        QCOMPARE(move->position(), QPoint(100, -20));
        QCOMPARE(click->position(), QPoint(1, 2));
        QCOMPARE(click->clickType(), 1);
        QCOMPARE(click->clickButton(), 2);
        QCOMPARE(key->interval(), 7);
        QCOMPARE(key->eventType(), 2);
        QCOMPARE(key->key(), QStringLiteral("PgDown"));
        QCOMPARE(key->modifiers(), Qt::ControlModifier);
        QCOMPARE(flow.hotkeyObject(), nullptr);

        // Our writer gives back the same bytes.
        QVERIFY(flow.save(path(QStringLiteral("hand-again.flw"))));
        QCOMPARE(readFile(path(QStringLiteral("hand-again.flw"))).toHex(), bytes.toHex());
    }

    void taskFileIsRefusedAndFlowKept()
    {
        const QString file = path(QStringLiteral("mouse.kqt"));
        QVERIFY(writeFile(file, QByteArray::fromHex("8e62d878") + str("x") + int32(0)));
        Flow flow;
        flow.setName(QStringLiteral("kept"));
        flow.operations().append(new MouseMoveOperation(&flow));

        LogCapture log;
        MessageBoxCatcher boxes;
        QVERIFY(!flow.load(file));
        QCOMPARE(log.lines(), QStringList{QStringLiteral("unknown file Head: 2388842616")});
        QCOMPARE(flow.name(), QStringLiteral("kept"));
        QCOMPARE(flow.operations().size(), 1);
        QTest::qWait(30);
        QVERIFY(boxes.texts.isEmpty());
    }

    void unknownTypeKeepsOperationsBeforeIt()
    {
        const QString file = path(QStringLiteral("unknown.flw"));
        QVERIFY(writeFile(file, header("u", "Ctrl+Alt+F11", 3) + moveOp(0, 1, 2) +
                                    str("mouse_scroll") + int32(0) + moveOp(0, 3, 4)));
        Flow flow;
        LogCapture log;
        QVERIFY(!flow.load(file));
        QVERIFY(log.contains(QStringLiteral("unknown operation type: mouse_scroll")));
        QCOMPARE(flow.name(), QStringLiteral("u"));
        QCOMPARE(flow.operations().size(), 1);
        QCOMPARE(flow.hotkeyObject(), nullptr); // the hotkey is left alone
    }

    void malformedFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("loads");      // 1 true, 0 false, -1 either
        QTest::addColumn<int>("operations"); // -1 any number

        const QByteArray good = header("n", "", 2) + moveOp(0, 1, 2) + moveOp(0, 3, 4);
        QByteArray random(4096, '\0');
        QRandomGenerator generator(20261205);
        for (char& c : random)
            c = char(generator.bounded(256));

        // clang-format off
        QTest::newRow("empty file")               << QByteArray() << 0 << 0;
        QTest::newRow("magic only")               << kMagic << 1 << 0;
        QTest::newRow("cut in the header")        << good.left(20) << 1 << 0;
        QTest::newRow("cut in a type id")         << good.left(good.size() - 30) << 0 << 1;
        QTest::newRow("cut in the last fields")   << good.left(good.size() - 2) << 0 << 1;
        QTest::newRow("huge count")               << header("n", "", 0x7fffffff) + moveOp(0, 1, 2) << 0 << 1;
        QTest::newRow("negative count")           << header("n", "", 0x80000000) << 1 << 0;
        QTest::newRow("huge name length")         << kMagic + int32(0x7ffffffe) + str("abc") << 1 << 0;
        QTest::newRow("odd name length")          << kMagic + int32(3) + QByteArray("abc") << 1 << 0;
        QTest::newRow("huge type id length")      << header("n", "", 1) + int32(0xfffffffe) << 0 << 0;
        QTest::newRow("random bytes")             << random << 0 << 0;
        QTest::newRow("random after the magic")   << kMagic + random << -1 << -1;
        // clang-format on
    }

    void malformedFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, loads);
        QFETCH(int, operations);
        const QString file = path(QStringLiteral("bad.flw"));
        QVERIFY(writeFile(file, bytes));
        Flow flow;
        LogCapture log;
        QElapsedTimer clock;
        clock.start();
        const bool loaded = flow.load(file);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        if (loads >= 0)
            QCOMPARE(loaded, loads == 1);
        if (operations >= 0)
            QCOMPARE(flow.operations().size(), operations);
    }

    void unreadableFileShowsMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.flw");
        QTest::newRow("directory") << QStringLiteral("folder.flw");
    }

    void unreadableFileShowsMessage()
    {
        QFETCH(QString, name);
        QDir(m_dir.path()).mkdir(QStringLiteral("folder.flw"));
        Flow flow;
        flow.setName(QStringLiteral("kept"));
        MessageBoxCatcher boxes;
        LogCapture log;
        QVERIFY(!flow.load(path(name)));
        QCOMPARE(flow.name(), QStringLiteral("kept"));
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts.first().startsWith(QStringLiteral("无法读取文件 ") + path(name) +
                                                QStringLiteral(":\n")),
                 qPrintable(boxes.texts.first()));
        QCOMPARE(log.lines(), boxes.texts);
    }

    void failureWithoutReporterGoesToStandardError()
    {
#ifndef Q_OS_UNIX
        QSKIP("redirects the standard error descriptor");
#else
        ErrorReporter::install(nullptr); // a program without windows
        Flow flow;
        MessageBoxCatcher boxes;
        LogCapture log; // keeps the log line itself off standard error
        StandardErrorCapture standardError;
        QVERIFY(!flow.load(path(QStringLiteral("missing.flw"))));
        const QByteArray written = standardError.written();

        QCOMPARE(log.lines().size(), 1);
        QVERIFY(log.lines().first().startsWith(QStringLiteral("无法读取文件 ")));
        QCOMPARE(written, log.lines().first().toLocal8Bit() + '\n');
        QTest::qWait(30);
        QVERIFY(boxes.texts.isEmpty());
#endif
    }

    void failedSaveShowsMessage_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("folder missing") << QStringLiteral("no/such/folder/x.flw");
        QTest::newRow("path is a directory") << QStringLiteral("folder.flw");
    }

    void failedSaveShowsMessage()
    {
        QFETCH(QString, name);
        QDir(m_dir.path()).mkdir(QStringLiteral("folder.flw"));
        Flow flow;
        MessageBoxCatcher boxes;
        LogCapture log;
        QVERIFY(!flow.save(path(name)));
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(boxes.titles.first(), QStringLiteral("Kliqora妙指灵-键盘鼠标自动化输入工具"));
        const QString text = boxes.texts.first();
        const QString start = QStringLiteral("无法写入文件 ") + path(name) + QStringLiteral(":\n");
        QVERIFY2(text.startsWith(start) && text.endsWith(QLatin1Char('.')) &&
                     text.size() > start.size() + 1,
                 qPrintable(text));
        QCOMPARE(log.lines(), boxes.texts);
        QVERIFY(QFileInfo(path(QStringLiteral("folder.flw"))).isDir());
    }

    void saveThatRunsOutOfSpaceKeepsTheOldFile()
    {
#ifndef Q_OS_UNIX
        QSKIP("uses a file-size limit to stand in for a full disk");
#else
        const QString file = path(QStringLiteral("precious.flw"));
        Flow small;
        small.setName(QStringLiteral("precious"));
        QVERIFY(small.save(file));
        const QByteArray before = readFile(file);

        Flow big;
        auto* text = new TextInputOperation(&big);
        text->setText(QString(200000, QLatin1Char('x')));
        big.operations().append(text);

        // Writes beyond 64 KiB now fail as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &limit);
        MessageBoxCatcher boxes;
        const bool saved_ok = big.save(file);
        setrlimit(RLIMIT_FSIZE, &saved);

        QVERIFY(!saved_ok);
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(readFile(file), before);
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("precious.flw*")}, QDir::Files),
                 QStringList{QStringLiteral("precious.flw")});
#endif
    }

    void copyIsParentlessWithClonedOperations()
    {
        QObject owner;
        Flow flow(&owner);
        flow.setName(QStringLiteral("n"));
        flow.setDescription(QStringLiteral("d"));
        flow.setHotkey(QStringLiteral("Ctrl+F5"));
        flow.setCreateTime(QStringLiteral("2020-01-01 00:00:00"));
        auto* key = new KeyboardOperation(&flow);
        key->setKey(QStringLiteral("A"));
        flow.operations() << key << new MouseMoveOperation(&flow);
        flow.setHotkeyObject(new QHotkey(&flow));

        Flow copy(flow);
        QCOMPARE(copy.parent(), nullptr);
        QCOMPARE(copy.name(), flow.name());
        QCOMPARE(copy.description(), flow.description());
        QCOMPARE(copy.hotkey(), flow.hotkey());
        QCOMPARE(copy.createTime(), flow.createTime());
        QCOMPARE(copy.lastModifiedTime(), flow.lastModifiedTime());
        QCOMPARE(copy.hotkeyObject(), nullptr);
        QCOMPARE(copy.operations().size(), 2);
        QVERIFY(copy.operations().at(0) != key);
        QCOMPARE(copy.operations().at(0)->parent(), nullptr);
        QCOMPARE(copy.operations().at(0)->toString(), key->toString());

        QVERIFY(flow.save(path(QStringLiteral("orig.flw"))));
        QVERIFY(copy.save(path(QStringLiteral("copy.flw"))));
        QCOMPARE(readFile(path(QStringLiteral("copy.flw"))),
                 readFile(path(QStringLiteral("orig.flw"))));
    }

    void hotkeyObjectRoutesActivation()
    {
        Flow flow;
        QSignalSpy spy(&flow, &Flow::sigHotkeyActivated);
        QHotkey first;
        QHotkey second;
        flow.setHotkeyObject(&first);
        flow.setHotkeyObject(&first); // unchanged: no second connection
        QMetaObject::invokeMethod(&first, "activated");
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<Flow*>(), &flow);

        flow.setHotkeyObject(&second);
        QMetaObject::invokeMethod(&first, "activated");
        QCOMPARE(spy.size(), 1);
        QMetaObject::invokeMethod(&second, "activated");
        QCOMPARE(spy.size(), 2);
        flow.setHotkeyObject(nullptr);
    }

    void loadingTwiceReusesTheHotkeyObject()
    {
        const QString file = path(QStringLiteral("hotkey.flw"));
        QVERIFY(writeFile(file, header("h", "Ctrl+Alt+F10", 0)));
        Flow flow;
        QVERIFY(flow.load(file));
        QHotkey* hotkey = flow.hotkeyObject();
        QVERIFY(hotkey);
        QCOMPARE(hotkey->parent(), &flow);
        QCOMPARE(hotkey->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+F10")));

        LogCapture log;
        QVERIFY(flow.load(file));
        QCOMPARE(flow.hotkeyObject(), hotkey);
        QCOMPARE(flow.findChildren<QHotkey*>().size(), 1);
        const QString state =
            hotkey->isRegistered() ? QStringLiteral("successfully") : QStringLiteral("fail");
        QVERIFY(log.contains(QStringLiteral("Hotkey registe ") + state +
                             QStringLiteral(", hotkey is Ctrl+Alt+F10")));

        // A file without a hotkey leaves the object as it is.
        QVERIFY(writeFile(file, header("h", "", 0)));
        QVERIFY(flow.load(file));
        QCOMPARE(flow.hotkeyObject(), hotkey);
    }

    void propertiesAndClassInfo()
    {
        Flow flow;
        const QMetaObject* meta = flow.metaObject();
        auto info = [meta](const char* key) {
            return QString::fromUtf8(meta->classInfo(meta->indexOfClassInfo(key)).value());
        };
        QCOMPARE(info("prop_name"), QStringLiteral("流名称"));
        QCOMPARE(info("prop_description"), QStringLiteral("流描述"));
        QCOMPARE(info("prop_createTime"), QStringLiteral("创建时间"));
        QCOMPARE(info("prop_lastModifiedTime"), QStringLiteral("修改时间"));
        auto writable = [meta](const char* name) {
            return meta->property(meta->indexOfProperty(name)).isWritable();
        };
        QVERIFY(!writable("name"));
        QVERIFY(writable("description"));
        QVERIFY(!writable("createTime"));
        QVERIFY(!writable("lastModifiedTime"));
    }

    void runDoesNothingWhenStopped()
    {
        ScopedRecordingBackend rec;
        AppConfig::runFlag.store(false);
        Flow flow;
        flow.operations() << new MouseMoveOperation(&flow);
        flow.run();
        QCOMPARE(rec->callCount(), 0);
        QCOMPARE(rec->timerBeginCount(), 0);
    }

    void runSendsInOrderAndSkipsEmptySlots()
    {
        ScopedRecordingBackend rec;
        Flow flow;
        for (int x : {1, 2, 3}) {
            auto* move = new MouseMoveOperation(&flow);
            move->setPosition(QPoint(x * 1920 / 65535 + x, 0));
            flow.operations() << move;
        }
        flow.operations().insert(1, nullptr);
        AppConfig::runFlag.store(true);
        flow.run();
        AppConfig::runFlag.store(false);
        const auto batches = rec->batches();
        QCOMPARE(batches.size(), size_t(3));
        QVERIFY(batches[0][0].mouse.dx < batches[1][0].mouse.dx);
        QVERIFY(batches[1][0].mouse.dx < batches[2][0].mouse.dx);

        // The empty slot is not written, and the count says so.
        const QString file = path(QStringLiteral("holes.flw"));
        QVERIFY(flow.save(file));
        Flow loaded;
        QVERIFY(loaded.load(file));
        QCOMPARE(loaded.operations().size(), 3);
    }

    void stopDuringSecondPause()
    {
        ScopedRecordingBackend rec;
        Flow flow;
        for (int interval : {0, 1000, 0}) {
            auto* key = new KeyboardOperation(&flow);
            key->setInterval(interval);
            key->setEventType(KeyboardOperation::Tap);
            key->setKey(QString::number(flow.operations().size()));
            flow.operations() << key;
        }
        AppConfig::runFlag.store(true);
        QElapsedTimer sinceStop;
        qint64 reaction = -1;
        std::thread worker([&] {
            flow.run();
            reaction = sinceStop.elapsed();
        });
        QTest::qSleep(200);
        sinceStop.start();
        AppConfig::runFlag.store(false);
        worker.join();
        QVERIFY2(reaction >= 0 && reaction <= 80, qPrintable(QString::number(reaction)));
        // Only the first operation's key ("0") went out.
        const auto inputs = rec->allInputs();
        QCOMPARE(inputs.size(), size_t(2));
        QCOMPARE(int(inputs[0].keyboard.vk), int('0'));
        QCOMPARE(int(inputs[1].keyboard.vk), int('0'));
    }
};

KLIQORA_TEST_MAIN(TestFlow)
#include "tst_flow.moc"

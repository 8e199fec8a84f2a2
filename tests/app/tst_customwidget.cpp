// The custom flows page offscreen, on a temporary save folder: listing, new flows
// and the designer start, copies, renames, deletes, hotkey texts, runs, and the
// designer's close notices over the local socket.

#include "appconfig.h"
#include "closenotice.h"
#include "dialogs/hotkeyset.h"
#include "dialogs/taskrename.h"
#include "errorreporter.h"
#include "flow.h"
#include "hotkeymanage.h"
#include "loopstartoperation.h"
#include "operationfactory.h"
#include "pages/customtable.h"
#include "pages/customwidget.h"
#include "qhotkey.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Answers every modal dialog the page opens while it lives: the rename and hotkey
// dialogs with the preset texts, message boxes with `boxAnswer` (or OK).
class ModalAnswers : public QObject
{
public:
    ModalAnswers()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswers::answer);
        m_timer.start();
    }

    QString renameTo;
    QString hotkeyText;
    QMessageBox::StandardButton boxAnswer = QMessageBox::Yes;
    QStringList boxes; // "title|text" of each message box seen

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes << box->windowTitle() + QLatin1Char('|') + box->text();
            QAbstractButton* button = box->button(boxAnswer);
            (button ? button : box->button(QMessageBox::Ok))->click();
        } else if (auto* rename = qobject_cast<TaskRename*>(modal)) {
            rename->findChild<QLineEdit*>(QStringLiteral("edtTaskName"))->setText(renameTo);
            rename->accept();
        } else if (auto* hotkey = qobject_cast<HotKeySet*>(modal)) {
            hotkey->findChild<QLineEdit*>(QStringLiteral("edtHotKey"))->setText(hotkeyText);
            hotkey->accept();
        }
    }

    QTimer m_timer;
};

struct FlowSpec
{
    FlowSpec(const QString& name, const QString& hotkey = QString(),
             const QString& description = QString(), int operations = 0, int intervalMs = 0)
        : name(name), hotkey(hotkey), description(description), operations(operations),
          intervalMs(intervalMs)
    {
    }
    QString name;
    QString hotkey;
    QString description;
    int operations;
    int intervalMs; // of each operation (text input of "x")
};

QStringList rowNames(const CustomTable* table)
{
    QStringList names;
    for (int row = 0; row < table->rowCount(); ++row)
        names << table->item(row, CustomTable::NameColumn)->text();
    return names;
}

QString baseName(const QString& path)
{
    return QFileInfo(path).completeBaseName();
}

// Sends a close notice as the designer does, optionally in two parts with a pause
// between them, and disconnects.
bool sendNotice(const QByteArray& bytes, int splitAt = -1)
{
    QLocalSocket socket;
    socket.connectToServer(designerNotifyServerName());
    if (!socket.waitForConnected(1000))
        return false;
    const int first = splitAt < 0 ? bytes.size() : splitAt;
    socket.write(bytes.left(first));
    socket.waitForBytesWritten(1000);
    if (first < bytes.size()) {
        QTest::qWait(150); // the page reads the first part on its own
        socket.write(bytes.mid(first));
        socket.waitForBytesWritten(1000);
    }
    socket.disconnectFromServer();
    return true;
}

} // namespace

class TestCustomWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listing_missingOrEmptyFolder_data();
    void listing_missingOrEmptyFolder();
    void listing_oldestFirstSkipsBroken();
    void newFlow_createsFolderFileAndOpensDesigner();
    void newFlow_designerMissingLeavesRowUsable();
    void convertedFlow_savedListedAndOpened();
    void newFlowPath_neverReusesAnExistingFile();
    void copy_twiceGivesNumberedName();
    void copy_endsWhenEveryNumberIsTaken();
    void rename_data();
    void rename();
    void delete_removesFileRowAndHotkey();
    void delete_failedRemovalPutsTheRowBack();
    void delete_vanishedFileCountsAsDeleted();
    void hotkey_clearAndRefusedKey();
    void run_buttonRunsOnceAndRestoresWindow();
    void flowHotkey_togglesTheRun();
    void run_unmatchedLoopIsRefusedWithAMessage();
    void notice_readUntilDisconnectAndReloads();
    void notice_otherSpellingsIgnored_data();
    void notice_otherSpellingsIgnored();
    void notice_waitsWhileTheFlowRuns();
    void noticeServer_isPerUser();

private:
    QString folder() const
    {
        return QDir(m_save->path()).filePath(QStringLiteral("Kliqora/Custom"));
    }
    QString writeFlow(const QString& fileBase, const FlowSpec& entry, int ageSeconds = 0);
    void createPage();
    QString takeDesignerCall();
    static QString designerCallFor(const QString& path);
    const FlowItem& item(int row) const { return m_page->items().at(row); }

    QTemporaryDir m_runtime;
    std::unique_ptr<QTemporaryDir> m_save;
    QString m_designerLog;
    QString m_fakeDesigner;
    std::unique_ptr<CustomWidget> m_page;
};

void TestCustomWidget::initTestCase()
{
    OperationFactory::instance()->registerBuiltinOperations();
    // The notice server lives in the user's runtime folder: give this test its own.
    QVERIFY(m_runtime.isValid());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void TestCustomWidget::init()
{
    m_save = std::make_unique<QTemporaryDir>();
    AppConfig::instance()->saveFilePath = m_save->path();
    // A stand-in designer that writes its arguments down.
    m_designerLog = m_save->filePath(QStringLiteral("designer-args.txt"));
    m_fakeDesigner = m_save->filePath(QStringLiteral("fake-designer.sh"));
    QFile script(m_fakeDesigner);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + QFile::encodeName(m_designerLog) +
                 ".tmp' && mv '" + QFile::encodeName(m_designerLog) + ".tmp' '" +
                 QFile::encodeName(m_designerLog) + "'\n");
    script.close();
    script.setPermissions(script.permissions() | QFile::ExeOwner);
}

void TestCustomWidget::cleanup()
{
    m_page.reset();
    QCOMPARE(AppConfig::runFlag.load(), false);
    m_save.reset();
}

QString TestCustomWidget::writeFlow(const QString& fileBase, const FlowSpec& entry, int ageSeconds)
{
    QDir().mkpath(folder());
    const QString path = QDir::toNativeSeparators(QDir(folder()).filePath(fileBase + ".flw"));
    Flow flow;
    flow.setName(entry.name);
    flow.setHotkey(entry.hotkey);
    flow.setDescription(entry.description);
    flow.setCreateTime(QStringLiteral("2020-01-02 03:04:05"));
    flow.setLastModifiedTime(QStringLiteral("2020-01-02 03:04:05"));
    for (int i = 0; i < entry.operations; ++i) {
        auto* op = new TextInputOperation(&flow);
        op->setText(QStringLiteral("x"));
        op->setInterval(entry.intervalMs);
        flow.operations().append(op);
    }
    if (!flow.save(path))
        return QString();
    if (ageSeconds > 0) {
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                         QFileDevice::FileModificationTime);
    }
    return path;
}

void TestCustomWidget::createPage()
{
    m_page = std::make_unique<CustomWidget>();
    m_page->setDesignerProgram(m_fakeDesigner);
    m_page->resize(900, 500);
    m_page->show();
    // Flows and the server come with the first turn of the event loop.
    QTRY_VERIFY(m_page->noticeServer() && m_page->noticeServer()->isListening());
}

QString TestCustomWidget::takeDesignerCall()
{
    // The stand-in runs detached: wait for its note, then take it away.
    QFile log(m_designerLog);
    for (int waited = 0; !log.exists() && waited < 5000; waited += 20)
        QTest::qWait(20);
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    const QString text = QString::fromUtf8(log.readAll());
    log.close();
    log.remove();
    return text;
}

QString TestCustomWidget::designerCallFor(const QString& path)
{
    return QStringLiteral("-f\n") + path + QStringLiteral("\n");
}

// ---- listing ---------------------------------------------------------------------

void TestCustomWidget::listing_missingOrEmptyFolder_data()
{
    QTest::addColumn<bool>("folderExists");
    QTest::newRow("missing folder") << false;
    QTest::newRow("empty folder, other files") << true;
}

void TestCustomWidget::listing_missingOrEmptyFolder()
{
    QFETCH(bool, folderExists);
    if (folderExists) {
        QDir().mkpath(folder());
        QFile other(QDir(folder()).filePath(QStringLiteral("notes.txt")));
        QVERIFY(other.open(QIODevice::WriteOnly));
    }
    createPage();
    QCOMPARE(m_page->table()->rowCount(), 0);
    QVERIFY(m_page->items().isEmpty());
    QCOMPARE(QFileInfo::exists(folder()), folderExists); // listing creates nothing
}

void TestCustomWidget::listing_oldestFirstSkipsBroken()
{
    writeFlow(QStringLiteral("c"), {QStringLiteral("Gamma"), QString(), {}, 1}, 300);
    const QString a =
        writeFlow(QStringLiteral("a"), {QStringLiteral("Alpha"), QStringLiteral("Ctrl+F6")}, 100);
    writeFlow(QStringLiteral("b"), {QStringLiteral("Beta"), QString()}, 200);
    const QString broken =
        QDir::toNativeSeparators(QDir(folder()).filePath(QStringLiteral("broken.flw")));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromHex("8e62d878000000"));
    file.close();
    QVERIFY(QFile::link(a, QDir(folder()).filePath(QStringLiteral("link.flw"))));

    QTest::ignoreMessage(QtWarningMsg, qPrintable("failed to load flow file: " + broken));
    createPage();
    QCOMPARE(rowNames(m_page->table()), (QStringList{"Gamma", "Beta", "Alpha"}));
    QCOMPARE(m_page->table()->item(2, CustomTable::HotkeyColumn)->text(),
             QStringLiteral("Ctrl+F6"));
    QCOMPARE(m_page->table()->item(0, CustomTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    QCOMPARE(item(2).filePath, a);
    QCOMPARE(item(0).flow->operations().size(), 1);
    QVERIFY(!item(0).editing);
    // A listed flow's key object is known to the hotkey list (so a run can silence it).
    QVERIFY(item(2).flow->hotkeyObject());
}

// ---- new flows ---------------------------------------------------------------------

void TestCustomWidget::newFlow_createsFolderFileAndOpensDesigner()
{
    createPage();
    QVERIFY(!QFileInfo::exists(folder()));
    m_page->findChild<QPushButton*>(QStringLiteral("btnNew"))->click();

    const QStringList files = QDir(folder()).entryList({QStringLiteral("*.flw")}, QDir::Files);
    QCOMPARE(files.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^ops_\\d{8}_\\d{6}_\\d{3}\\.flw$"))
                 .match(files.first())
                 .hasMatch(),
             qPrintable(files.first()));
    const QString path = QDir::toNativeSeparators(QDir(folder()).filePath(files.first()));
    QCOMPARE(m_page->items().size(), 1);
    QCOMPARE(item(0).filePath, path);
    QVERIFY(item(0).editing);
    QCOMPARE(rowNames(m_page->table()), QStringList{baseName(path)});

    CustomTable* table = m_page->table();
    QVERIFY(table->rowButton(0, CustomTable::RunButton)->isEnabled());
    QVERIFY(!table->rowButton(0, CustomTable::EditButton)->isEnabled());
    QVERIFY(!table->rowButton(0, CustomTable::DeleteButton)->isEnabled());
    QVERIFY(!table->rowButton(0, CustomTable::MoreButton)->isEnabled());

    QCOMPARE(takeDesignerCall(), designerCallFor(path));
    Flow saved;
    QVERIFY(saved.load(path));
    QCOMPARE(saved.name(), baseName(path));
    QCOMPARE(saved.description(), baseName(path));
}

void TestCustomWidget::convertedFlow_savedListedAndOpened()
{
    createPage();
    auto* flow = new Flow;
    flow->setName(QStringLiteral("record_x"));
    flow->setDescription(QStringLiteral("from a recording"));
    flow->operations() << new TextInputOperation(flow);
    m_page->addConvertedFlow(flow);

    QCOMPARE(m_page->items().size(), 1);
    QCOMPARE(item(0).flow, flow);
    QCOMPARE(flow->parent(), m_page.get());
    const QString path = item(0).filePath;
    QVERIFY(QFileInfo(path).fileName().startsWith(QLatin1String("ops_")));
    QCOMPARE(rowNames(m_page->table()), QStringList{QStringLiteral("record_x")});
    QVERIFY(item(0).editing);
    QCOMPARE(takeDesignerCall(), designerCallFor(path));
    Flow saved;
    QVERIFY(saved.load(path));
    QCOMPARE(saved.name(), QStringLiteral("record_x"));
    QCOMPARE(saved.description(), QStringLiteral("from a recording"));
    QCOMPARE(saved.operations().size(), 1);
}

void TestCustomWidget::newFlow_designerMissingLeavesRowUsable()
{
    ModalAnswers answers;
    createPage();
    m_page->setDesignerProgram(m_save->filePath(QStringLiteral("no-such-designer")));
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^Fail to run KliqoraDesigner\\.exe, filePath=.*ops_"));
    m_page->findChild<QPushButton*>(QStringLiteral("btnNew"))->click();
    QCOMPARE(answers.boxes, QStringList{QStringLiteral("错误|无法启动自定义操作设计器")});
    QCOMPARE(m_page->items().size(), 1);
    // No designer holds the file, so nothing would ever give the row back.
    QVERIFY(!item(0).editing);
    QVERIFY(m_page->table()->rowButton(0, CustomTable::EditButton)->isEnabled());
}

void TestCustomWidget::newFlowPath_neverReusesAnExistingFile()
{
    createPage();
    QDir().mkpath(folder());
    // Every name of this second and the next is taken but one: the draw must find it.
    const QDateTime now = QDateTime::currentDateTime();
    const QString freeName =
        QStringLiteral("ops_%1_%2.flw").arg(now.toString("yyyyMMdd_HHmmss"), "517");
    for (const QDateTime& second : {now, now.addSecs(1)}) {
        for (int number = 0; number < 1000; ++number) {
            const QString name = QStringLiteral("ops_%1_%2.flw")
                                     .arg(second.toString("yyyyMMdd_HHmmss"))
                                     .arg(number, 3, 10, QLatin1Char('0'));
            if (name == freeName)
                continue;
            QFile file(QDir(folder()).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    const QString path = m_page->newFlowFilePath();
    if (QFileInfo(path).fileName().contains(now.toString("yyyyMMdd_HHmmss")))
        QCOMPARE(QFileInfo(path).fileName(), freeName);
    QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
    QFile(QDir(folder()).filePath(freeName)).open(QIODevice::WriteOnly);
    // Nothing free left in this second: no name rather than an existing one.
    const QString none = m_page->newFlowFilePath();
    if (!none.isEmpty())
        QVERIFY2(!QFileInfo::exists(none), qPrintable(none));
}

// ---- copy ----------------------------------------------------------------------------

void TestCustomWidget::copy_twiceGivesNumberedName()
{
    writeFlow(QStringLiteral("X"),
              {QStringLiteral("X"), QStringLiteral("Ctrl+F7"), QStringLiteral("desc"), 2});
    createPage();
    const QString before = QDateTime::currentDateTime().toString(Flow::TimeFormat);
    m_page->onCopyFlow(0);
    m_page->onCopyFlow(0);
    m_page->onCopyFlow(7); // outside the list: nothing

    const QStringList names = rowNames(m_page->table());
    QCOMPARE(names.size(), 3);
    QCOMPARE(names.at(1), QStringLiteral("副本_X"));
    const QRegularExpressionMatch numbered =
        QRegularExpression(QStringLiteral("^副本_X_(\\d+)$")).match(names.at(2));
    QVERIFY2(numbered.hasMatch(), qPrintable(names.at(2)));
    QVERIFY(numbered.captured(1).toInt() >= 10 && numbered.captured(1).toInt() <= 98);

    for (int row : {1, 2}) {
        QCOMPARE(baseName(item(row).filePath), names.at(row));
        Flow copy;
        QVERIFY(copy.load(item(row).filePath));
        QCOMPARE(copy.name(), names.at(row));
        QCOMPARE(copy.description(), QStringLiteral("复制自：desc"));
        QCOMPARE(copy.hotkey(), QString());
        QVERIFY(copy.createTime() >= before);
        QCOMPARE(copy.lastModifiedTime(), copy.createTime());
        QCOMPARE(copy.operations().size(), 2);
        QCOMPARE(m_page->table()->item(row, CustomTable::HotkeyColumn)->text(),
                 QStringLiteral("未设置"));
        QVERIFY(!item(row).flow->hotkeyObject());
    }
}

void TestCustomWidget::copy_endsWhenEveryNumberIsTaken()
{
    writeFlow(QStringLiteral("X"), {QStringLiteral("X")});
    createPage();
    QStringList taken{QStringLiteral("副本_X.flw")};
    for (int number = 10; number <= 98; ++number)
        taken << QStringLiteral("副本_X_%1.flw").arg(number);
    for (const QString& name : taken)
        QVERIFY(QFile(QDir(folder()).filePath(name)).open(QIODevice::WriteOnly));

    m_page->onCopyFlow(0);
    QCOMPARE(m_page->items().size(), 2);
    QVERIFY(!taken.contains(QFileInfo(item(1).filePath).fileName()));
    for (const QString& name : taken)
        QCOMPARE(QFileInfo(QDir(folder()).filePath(name)).size(), 0); // none overwritten
}

// ---- rename ----------------------------------------------------------------------------

void TestCustomWidget::rename_data()
{
    QTest::addColumn<QString>("newName");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("renamed");
    QTest::newRow("free name") << "Y2" << QString() << true;
    QTest::newRow("name with dots") << "v1.2" << QString() << true;
    QTest::newRow("taken by another flow") << "Other"
                                           << "重命名失败|任务名称 \"Other\" 已存在。" << false;
    QTest::newRow("unchanged") << "X" << QString() << false;
    QTest::newRow("empty") << "" << QString() << false;
    QTest::newRow("leaves the folder") << "../escape"
                                       << "重命名失败|任务名称 \"../escape\" 无效。" << false;
}

void TestCustomWidget::rename()
{
    QFETCH(QString, newName);
    QFETCH(QString, box);
    QFETCH(bool, renamed);
    const QString oldPath = writeFlow(QStringLiteral("X"), {QStringLiteral("X")}, 20);
    writeFlow(QStringLiteral("Other"), {QStringLiteral("Other")}, 10);
    createPage();
    ModalAnswers answers;
    answers.renameTo = newName;
    m_page->onRenameFlow(0);

    QCOMPARE(answers.boxes, box.isEmpty() ? QStringList() : QStringList{box});
    const QString newPath = QDir::toNativeSeparators(QDir(folder()).filePath(newName + ".flw"));
    if (renamed) {
        QVERIFY(!QFileInfo::exists(oldPath));
        QCOMPARE(item(0).filePath, newPath);
        QCOMPARE(rowNames(m_page->table()).first(), newName);
        QCOMPARE(item(0).flow->name(), newName);
        Flow stored;
        QVERIFY(stored.load(newPath));
        QCOMPARE(stored.name(), newName);
    } else {
        QVERIFY(QFileInfo::exists(oldPath));
        QCOMPARE(item(0).filePath, oldPath);
        QCOMPARE(rowNames(m_page->table()), (QStringList{"X", "Other"}));
        QCOMPARE(QDir(folder()).entryList({"*.flw"}, QDir::Files).size(), 2);
        QVERIFY(!QFileInfo::exists(QDir(m_save->path()).filePath("Kliqora/escape.flw")));
    }
}

// ---- delete ------------------------------------------------------------------------------

void TestCustomWidget::delete_removesFileRowAndHotkey()
{
    const QString a =
        writeFlow(QStringLiteral("A"), {QStringLiteral("A"), QStringLiteral("Ctrl+Alt+F11")}, 20);
    const QString b = writeFlow(QStringLiteral("B"), {QStringLiteral("B")}, 10);
    createPage();
    const QPointer<QHotkey> hotkey = item(0).flow->hotkeyObject();
    QVERIFY(hotkey);
    const int hotkeysBefore = HotkeyManage::instance()->count();
    QAbstractButton* bEdit = m_page->table()->rowButton(1, CustomTable::EditButton);

    ModalAnswers answers;
    m_page->table()->rowButton(0, CustomTable::DeleteButton)->click();
    QCOMPARE(answers.boxes, QStringList{"删除确认|确定要删除录制 \"A\" 吗？"});
    QVERIFY(!QFileInfo::exists(a));
    QCOMPARE(rowNames(m_page->table()), QStringList{"B"});
    QCOMPARE(m_page->items().size(), 1);
    QCOMPARE(item(0).filePath, b);
    QTRY_VERIFY(!hotkey);
    QCOMPARE(HotkeyManage::instance()->count(), hotkeysBefore - 1);

    // The former second row's buttons act on it in its new place.
    bEdit->click();
    QCOMPARE(takeDesignerCall(), designerCallFor(b));
    QVERIFY(item(0).editing);
}

void TestCustomWidget::delete_failedRemovalPutsTheRowBack()
{
    writeFlow(QStringLiteral("A"), {QStringLiteral("A")}, 30);
    const QString b =
        writeFlow(QStringLiteral("B"), {QStringLiteral("B"), QStringLiteral("Ctrl+F12")}, 20);
    writeFlow(QStringLiteral("C"), {QStringLiteral("C")}, 10);
    createPage();
    // The file turns into a folder with content, which cannot be removed as a file.
    QVERIFY(QFile::remove(b));
    QVERIFY(QDir().mkpath(QDir(b).filePath(QStringLiteral("inside"))));

    ModalAnswers answers;
    QTest::ignoreMessage(QtWarningMsg, qPrintable("Failed to delete flow file: " + b));
    m_page->table()->rowButton(1, CustomTable::DeleteButton)->click();
    QCOMPARE(answers.boxes.size(), 2);
    QCOMPARE(answers.boxes.at(1), "删除失败|无法删除文件 " + b + "。");
    QCOMPARE(rowNames(m_page->table()), (QStringList{"A", "B", "C"}));
    QCOMPARE(m_page->table()->item(1, CustomTable::HotkeyColumn)->text(),
             QStringLiteral("Ctrl+F12"));
    QCOMPARE(item(1).filePath, b);
    // The row that came back acts on its own flow.
    m_page->table()->rowButton(1, CustomTable::EditButton)->click();
    QCOMPARE(takeDesignerCall(), designerCallFor(b));
    QVERIFY(item(1).editing && !item(0).editing && !item(2).editing);
}

void TestCustomWidget::delete_vanishedFileCountsAsDeleted()
{
    const QString a = writeFlow(QStringLiteral("A"), {QStringLiteral("A")});
    createPage();
    QVERIFY(QFile::remove(a));
    ModalAnswers answers;
    m_page->table()->rowButton(0, CustomTable::DeleteButton)->click();
    QCOMPARE(answers.boxes.size(), 1); // the question only
    QCOMPARE(m_page->table()->rowCount(), 0);
    QVERIFY(m_page->items().isEmpty());
}

// ---- hotkeys (registration needs an X server: only texts and refusals here) --------------

void TestCustomWidget::hotkey_clearAndRefusedKey()
{
    const QString keyed =
        writeFlow(QStringLiteral("K"), {QStringLiteral("K"), QStringLiteral("Ctrl+F9")}, 20);
    const QString bare = writeFlow(QStringLiteral("N"), {QStringLiteral("N")}, 10);
    createPage();
    ModalAnswers answers;

    // Clearing: "未设置", the file without a key, the key object gone.
    const QPointer<QHotkey> old = item(0).flow->hotkeyObject();
    answers.hotkeyText = QString();
    m_page->onSetFlowHotKey(0);
    QCOMPARE(m_page->table()->item(0, CustomTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    QVERIFY(!item(0).flow->hotkeyObject());
    QTRY_VERIFY(!old);
    Flow stored;
    QVERIFY(stored.load(keyed));
    QCOMPARE(stored.hotkey(), QString());

    // A key the system refuses (no hotkey backend here): the message, nothing stored.
    answers.hotkeyText = QStringLiteral("Ctrl+F10");
    m_page->onSetFlowHotKey(1);
    QCOMPARE(answers.boxes,
             QStringList{"快捷键设置失败|无法注册新快捷键 Ctrl+F10，可能已被占用。"});
    QCOMPARE(item(1).flow->hotkey(), QString());
    QVERIFY(!item(1).flow->hotkeyObject());
    QCOMPARE(m_page->table()->item(1, CustomTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    QVERIFY(stored.load(bare));
    QCOMPARE(stored.hotkey(), QString());
}

// ---- running -------------------------------------------------------------------------------

void TestCustomWidget::run_buttonRunsOnceAndRestoresWindow()
{
    ScopedRecordingBackend backend;
    writeFlow(QStringLiteral("R"), {QStringLiteral("R"), QString(), QString(), 2});
    createPage();
    m_page->table()->rowButton(0, CustomTable::RunButton)->click();
    QVERIFY(m_page->isRunning());
    QVERIFY(!m_page->isVisible());
    QCOMPARE(m_page->currentFlow(), item(0).flow);
    // Back by itself after the run and its pause; two texts of one character each.
    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning() && m_page->isVisible(), 5000);
    QCOMPARE(int(backend->allInputs().size()), 2 * 2);
    QCOMPARE(AppConfig::runFlag.load(), false);
}

void TestCustomWidget::flowHotkey_togglesTheRun()
{
    ScopedRecordingBackend backend;
    writeFlow(QStringLiteral("Slow"), {QStringLiteral("Slow"), QString(), QString(), 1, 3000});
    createPage();
    Flow* flow = item(0).flow;
    emit flow->sigHotkeyActivated(flow); // as its key would
    QVERIFY(m_page->isRunning());
    QTest::qWait(100);
    emit flow->sigHotkeyActivated(flow);
    QVERIFY(!m_page->isRunning());
    QVERIFY(m_page->isVisible());
    QCOMPARE(AppConfig::runFlag.load(), false);
    QCOMPARE(backend->callCount(), 0); // stopped inside the pause: nothing typed
    // And again: a third press starts it anew.
    emit flow->sigHotkeyActivated(flow);
    QVERIFY(m_page->isRunning());
    m_page->stopTask();

    QTest::ignoreMessage(QtWarningMsg, "Activated flow is null.");
    m_page->onFlowHotKeyActivated(nullptr);
    QVERIFY(!m_page->isRunning());
}

void TestCustomWidget::run_unmatchedLoopIsRefusedWithAMessage()
{
    struct Reports : ErrorReporter
    {
        Reports() { ErrorReporter::install(this); }
        ~Reports() override { ErrorReporter::install(nullptr); }
        void showError(const QString& title, const QString& text) override
        {
            shown << title + QLatin1Char('|') + text;
        }
        QStringList shown;
    } reports;
    ScopedRecordingBackend backend;
    writeFlow(QStringLiteral("L"), {QStringLiteral("L"), QString(), QString(), 1});
    createPage();
    Flow* flow = item(0).flow;
    flow->operations().prepend(new LoopStartOperation(flow));
    m_page->table()->rowButton(0, CustomTable::RunButton)->click();
    QVERIFY(!m_page->isRunning());
    QCOMPARE(reports.shown,
             QStringList{QStringLiteral("流程无法运行|第 1 行的“重复开始”没有对应的“重复结束”，"
                                        "流程无法运行。")});
    QCOMPARE(backend->callCount(), 0);
    QCOMPARE(AppConfig::runFlag.load(), false);
}

// ---- designer close notices ------------------------------------------------------------------

void TestCustomWidget::notice_readUntilDisconnectAndReloads()
{
    // "X.flw" is the beginning of "X.flw.flw": a notice cut after its first part
    // must not be taken for the shorter path.
    const QString shortPath = writeFlow(QStringLiteral("X"), {QStringLiteral("X")}, 20);
    const QString longPath = writeFlow(QStringLiteral("X.flw"), {QStringLiteral("XX")}, 10);
    createPage();
    QCOMPARE(item(1).filePath, longPath);
    m_page->onDesignFlow(0);
    m_page->onDesignFlow(1);
    // The designer saved three operations under a new description.
    writeFlow(QStringLiteral("X.flw"),
              {QStringLiteral("XX"), QString(), QStringLiteral("edited"), 3});

    QVERIFY(sendNotice(longPath.toUtf8(), shortPath.toUtf8().size()));
    QTRY_VERIFY(!item(1).editing);
    QVERIFY(item(0).editing);
    QCOMPARE(item(1).flow->operations().size(), 3);
    QCOMPARE(item(1).flow->description(), QStringLiteral("edited"));
    QVERIFY(m_page->table()->rowButton(1, CustomTable::DeleteButton)->isEnabled());
    QVERIFY(!m_page->table()->rowButton(0, CustomTable::DeleteButton)->isEnabled());
}

void TestCustomWidget::notice_otherSpellingsIgnored_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::newRow("letter case") << "/Mixed.flw"
                                 << "/MIXED.flw";
    QTest::newRow("backslashes") << "/"
                                 << "\\";
    QTest::newRow("doubled separator") << "/Mixed.flw"
                                       << "//Mixed.flw";
    QTest::newRow("trailing newline") << ".flw"
                                      << ".flw\n";
}

void TestCustomWidget::notice_otherSpellingsIgnored()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    const QString path = writeFlow(QStringLiteral("Mixed"), {QStringLiteral("Mixed")});
    createPage();
    m_page->onDesignFlow(0);
    QString other = path;
    other.replace(from, to);
    QVERIFY(other != path);
    QVERIFY(sendNotice(other.toUtf8()));
    QTest::qWait(300);
    QVERIFY(item(0).editing);
    QVERIFY(!m_page->table()->rowButton(0, CustomTable::EditButton)->isEnabled());
    // The exact path still clears it afterwards.
    QVERIFY(sendNotice(path.toUtf8()));
    QTRY_VERIFY(!item(0).editing);
}

void TestCustomWidget::notice_waitsWhileTheFlowRuns()
{
    ScopedRecordingBackend backend;
    const QString path =
        writeFlow(QStringLiteral("Busy"), {QStringLiteral("Busy"), QString(), QString(), 1, 1200});
    createPage();
    m_page->onDesignFlow(0);
    m_page->onRunFlow(0);
    QVERIFY(m_page->isRunning());
    const QPointer<Operation> running = item(0).flow->operations().first();

    QVERIFY(sendNotice(path.toUtf8()));
    QTest::qWait(300);
    // Reloading now would delete the operation the worker is pausing in.
    QVERIFY(running);
    QVERIFY(item(0).editing);

    QTRY_VERIFY_WITH_TIMEOUT(!m_page->isRunning(), 5000);
    QTRY_VERIFY(!item(0).editing);
    QVERIFY(m_page->table()->rowButton(0, CustomTable::EditButton)->isEnabled());
    QCOMPARE(int(backend->allInputs().size()), 2); // the run itself went to its end
}

void TestCustomWidget::noticeServer_isPerUser()
{
    createPage();
    const QString full = m_page->noticeServer()->fullServerName();
    QCOMPARE(QFileInfo(full).fileName(), QStringLiteral("DesignerOkNotifyServer217490"));
    QCOMPARE(QFileInfo(full).absolutePath(), QFileInfo(m_runtime.path()).absoluteFilePath());
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QCOMPARE(QFileInfo(full).permissions() & others, QFile::Permissions());
    // A second page (a restarted program) takes the name over from a stale socket.
    m_page.reset();
    createPage();
    QVERIFY(sendNotice(QByteArrayLiteral("/nothing.flw")));
}

KLIQORA_TEST_MAIN(TestCustomWidget)
#include "tst_customwidget.moc"

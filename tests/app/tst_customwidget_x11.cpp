// The custom flows page on a real X server: a flow's own global key starts it and
// a second press stops it, the other keys are silent meanwhile, and setting,
// changing and clearing a flow's key take effect at once.

#include "appconfig.h"
#include "dialogs/hotkeyset.h"
#include "flow.h"
#include "operationfactory.h"
#include "pages/customtable.h"
#include "pages/customwidget.h"
#include "qhotkey.h"
#include "recordingbackend.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QDataStream>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "x11testclient.h" // after Qt

namespace {

// Long enough that a run is still in its first pause when the key comes again.
constexpr int LongPauseMs = 4000;
// How long a key that must do nothing is given to do something.
constexpr int SilenceMs = 400;

// Answers the hotkey dialog with `text` and any message box with OK.
class DialogAnswers : public QObject
{
public:
    explicit DialogAnswers(const QString& text) : hotkeyText(text)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                boxes << box->text();
                box->accept();
            } else if (auto* dialog = qobject_cast<HotKeySet*>(modal)) {
                dialog->findChild<QLineEdit*>(QStringLiteral("edtHotKey"))->setText(hotkeyText);
                dialog->accept();
            }
        });
        m_timer.start();
    }
    QString hotkeyText;
    QStringList boxes;

private:
    QTimer m_timer;
};

// The hotkey text of a flow file, read without loading the flow (a load would try
// to grab the key a second time).
QString storedHotkey(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<unreadable>");
    QDataStream in(&file);
    in.setVersion(Flow::StreamVersion);
    qint32 magic = 0;
    QString name, description, hotkey;
    in >> magic >> name >> description >> hotkey;
    return hotkey;
}

} // namespace

class TestCustomWidgetX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void flowKey_startsAndSecondPressStops();
    void setChangeAndClearKey_takeEffectAtOnce();
    void keyTakenElsewhere_oldKeyKeepsWorking();

private:
    QString writeFlow(const QString& name, const QString& hotkey, int ageSeconds);
    void createPage();
    void press(KeySym key) { m_x11.press({XK_Control_L, key}, 20); }
    int rowOf(const QString& name) const;

    X11TestClient m_x11;
    QTemporaryDir m_runtime;
    std::unique_ptr<QTemporaryDir> m_save;
    std::unique_ptr<ScopedRecordingBackend> m_backend;
    std::unique_ptr<CustomWidget> m_page;
};

void TestCustomWidgetX11::initTestCase()
{
    QVERIFY2(m_x11.display(), "needs an X server");
    OperationFactory::instance()->registerBuiltinOperations();
    // The page's notice server lives in the runtime folder: keep it away from others.
    QVERIFY(m_runtime.isValid());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
}

void TestCustomWidgetX11::init()
{
    m_save = std::make_unique<QTemporaryDir>();
    AppConfig::instance()->saveFilePath = m_save->path();
    // Input goes to the recording backend; the keys themselves are real grabs.
    m_backend = std::make_unique<ScopedRecordingBackend>();
}

void TestCustomWidgetX11::cleanup()
{
    m_page.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_backend.reset();
    QCOMPARE(AppConfig::runFlag.load(), false);
}

QString TestCustomWidgetX11::writeFlow(const QString& name, const QString& hotkey, int ageSeconds)
{
    const QString folder = CustomWidget::flowFolder();
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(name + QStringLiteral(".flw"));
    Flow flow;
    flow.setName(name);
    flow.setHotkey(hotkey);
    auto* op = new TextInputOperation(&flow);
    op->setText(QStringLiteral("k"));
    op->setInterval(LongPauseMs);
    flow.operations().append(op);
    flow.save(path);
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                     QFileDevice::FileModificationTime);
    return path;
}

void TestCustomWidgetX11::createPage()
{
    m_page = std::make_unique<CustomWidget>();
    m_page->setDesignerProgram(QStringLiteral("/nonexistent"));
    m_page->resize(900, 500);
    m_page->show();
    QTRY_VERIFY(m_page->noticeServer());
}

int TestCustomWidgetX11::rowOf(const QString& name) const
{
    for (int row = 0; row < m_page->items().size(); ++row) {
        if (m_page->items().at(row).flow->name() == name)
            return row;
    }
    return -1;
}

void TestCustomWidgetX11::flowKey_startsAndSecondPressStops()
{
    writeFlow(QStringLiteral("Hot"), QStringLiteral("Ctrl+F5"), 20);
    writeFlow(QStringLiteral("Other"), QStringLiteral("Ctrl+F6"), 10);
    createPage();
    QTRY_COMPARE(m_page->items().size(), 2);
    Flow* hot = m_page->items().at(0).flow;
    QVERIFY(hot->hotkeyObject() && hot->hotkeyObject()->isRegistered());
    QVERIFY(m_page->items().at(1).flow->hotkeyObject()->isRegistered());

    press(XK_F5);
    QTRY_VERIFY(m_page->isRunning());
    QCOMPARE(m_page->currentFlow(), hot);
    QVERIFY(!m_page->isVisible());

    // Only the running flow's key is live: the other flow's key does nothing.
    press(XK_F6);
    QTest::qWait(SilenceMs);
    QVERIFY(m_page->isRunning());
    QCOMPARE(m_page->currentFlow(), hot);

    press(XK_F5);
    QTRY_VERIFY(!m_page->isRunning());
    QVERIFY(m_page->isVisible());
    QCOMPARE((*m_backend)->callCount(), 0); // stopped inside its pause

    // Both keys work again; the other flow starts on its own key.
    press(XK_F6);
    QTRY_VERIFY(m_page->isRunning());
    QCOMPARE(m_page->currentFlow(), m_page->items().at(1).flow);
    press(XK_F6);
    QTRY_VERIFY(!m_page->isRunning());
}

void TestCustomWidgetX11::setChangeAndClearKey_takeEffectAtOnce()
{
    const QString path = writeFlow(QStringLiteral("Bare"), QString(), 10);
    createPage();
    QTRY_COMPARE(m_page->items().size(), 1);
    Flow* flow = m_page->items().at(0).flow;
    QVERIFY(!flow->hotkeyObject());

    {
        DialogAnswers answers(QStringLiteral("Ctrl+F7"));
        m_page->onSetFlowHotKey(0);
        QVERIFY(answers.boxes.isEmpty());
    }
    QCOMPARE(m_page->table()->item(0, CustomTable::HotkeyColumn)->text(),
             QStringLiteral("Ctrl+F7"));
    press(XK_F7);
    QTRY_VERIFY(m_page->isRunning());
    press(XK_F7);
    QTRY_VERIFY(!m_page->isRunning());

    {
        DialogAnswers answers(QStringLiteral("Ctrl+F8"));
        m_page->onSetFlowHotKey(0);
        QVERIFY(answers.boxes.isEmpty());
    }
    press(XK_F7); // the old key is free again
    QTest::qWait(SilenceMs);
    QVERIFY(!m_page->isRunning());
    QVERIFY(m_x11.grab(XK_F7, ControlMask)); // another program may take it now
    m_x11.ungrab(XK_F7, ControlMask);
    press(XK_F8);
    QTRY_VERIFY(m_page->isRunning());
    press(XK_F8);
    QTRY_VERIFY(!m_page->isRunning());
    QCOMPARE(storedHotkey(path), QStringLiteral("Ctrl+F8"));

    {
        DialogAnswers answers{QString()};
        m_page->onSetFlowHotKey(0);
    }
    QCOMPARE(m_page->table()->item(0, CustomTable::HotkeyColumn)->text(), QStringLiteral("未设置"));
    QCOMPARE(storedHotkey(path), QString());
    press(XK_F8); // dead at once, without waiting for any deferred deletion
    QTest::qWait(SilenceMs);
    QVERIFY(!m_page->isRunning());
}

void TestCustomWidgetX11::keyTakenElsewhere_oldKeyKeepsWorking()
{
    writeFlow(QStringLiteral("Keyed"), QStringLiteral("Ctrl+F7"), 20);
    writeFlow(QStringLiteral("Bare"), QString(), 10);
    QVERIFY(m_x11.grab(XK_F9, ControlMask)); // held by another program
    createPage();
    QTRY_COMPARE(m_page->items().size(), 2);
    const int keyed = rowOf(QStringLiteral("Keyed"));
    const int bare = rowOf(QStringLiteral("Bare"));
    const QString refused = QStringLiteral("无法注册新快捷键 Ctrl+F9，可能已被占用。");

    {
        DialogAnswers answers(QStringLiteral("Ctrl+F9"));
        m_page->onSetFlowHotKey(keyed);
        QCOMPARE(answers.boxes, QStringList{refused});
    }
    QCOMPARE(m_page->items().at(keyed).flow->hotkey(), QStringLiteral("Ctrl+F7"));
    QCOMPARE(m_page->table()->item(keyed, CustomTable::HotkeyColumn)->text(),
             QStringLiteral("Ctrl+F7"));
    // The key on show still starts the flow.
    press(XK_F7);
    QTRY_VERIFY(m_page->isRunning());
    press(XK_F7);
    QTRY_VERIFY(!m_page->isRunning());

    {
        DialogAnswers answers(QStringLiteral("Ctrl+F9"));
        m_page->onSetFlowHotKey(bare);
        QCOMPARE(answers.boxes, QStringList{refused});
    }
    QVERIFY(!m_page->items().at(bare).flow->hotkeyObject());
    QCOMPARE(m_page->table()->item(bare, CustomTable::HotkeyColumn)->text(),
             QStringLiteral("未设置"));
    m_x11.ungrab(XK_F9, ControlMask);
}

KLIQORA_TEST_MAIN(TestCustomWidgetX11)
#include "tst_customwidget_x11.moc"

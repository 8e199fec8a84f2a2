// The real Kliqora on a real X server with flows in its save folder: a flow's own
// key types the flow into a focused window of this test, a second press stops it,
// and the designer's close notice makes Kliqora reload a flow that changed on disk
// (sent by the real designer when it was built beside Kliqora, and by a plain
// client that speaks the same notice). A flow that ends holding a key keeps it
// down until Kliqora quits.

#include "designernotify.h"
#include "e2eprogram.h"
#include "flow.h"
#include "keyboardoperation.h"
#include "operationfactory.h"
#include "testenvironment.h"
#include "testwindows.h"
#include "textinputoperation.h"
#include "xdotool.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// After Qt: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

namespace {

constexpr int QuitTimeoutMs = 10000;
constexpr int FocusTimeoutMs = 5000;
// The first operation waits this long, so the hotkey's Ctrl is up before it types.
constexpr int FirstPauseMs = 400;
constexpr int SecondPauseMs = 2500;

struct Step
{
    QString text;
    int pauseMs;
};

bool pressKey(const QString& key)
{
    return xdotool({QStringLiteral("key"), key});
}

QString flowFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
        .filePath(QStringLiteral("Kliqora/Custom"));
}

QString writeFlow(const QString& name, const QString& hotkey, const QVector<Step>& steps)
{
    QDir().mkpath(flowFolder());
    const QString path = QDir(flowFolder()).filePath(name + QStringLiteral(".flw"));
    Flow flow;
    flow.setName(name);
    flow.setHotkey(hotkey);
    for (const Step& step : steps) {
        auto* op = new TextInputOperation(&flow);
        op->setText(step.text);
        op->setInterval(step.pauseMs);
        flow.operations().append(op);
    }
    return flow.save(path) ? path : QString();
}

} // namespace

class TestE2eCustom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void flowKeyTypesAndSecondPressStops();
    void heldKeyOutlivesTheFlowUntilQuit();
    void designerCloseNoticeReloadsTheFlow_data();
    void designerCloseNoticeReloadsTheFlow();

private:
    bool startKliqora();
    bool focusEdit();

    QTemporaryDir m_runtime;
    std::unique_ptr<E2eProgram> m_kliqora;
    std::unique_ptr<QLineEdit> m_edit;
};

void TestE2eCustom::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    OperationFactory::instance()->registerBuiltinOperations();
    // Kliqora, the designer and this test meet in one private runtime folder.
    QVERIFY(m_runtime.isValid());
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    m_edit = std::make_unique<QLineEdit>();
    m_edit->setGeometry(1500, 60, 300, 40);
    m_edit->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_edit.get()));
}

void TestE2eCustom::cleanup()
{
    if (m_kliqora && m_kliqora->state() != QProcess::NotRunning)
        m_kliqora->quit(QuitTimeoutMs);
    m_kliqora.reset(); // kills it if it did not quit
    QDir(flowFolder()).removeRecursively();
    m_edit->clear();
}

// Ready once its probe answers: the page has listed the flows and taken their keys.
bool TestE2eCustom::startKliqora()
{
    m_kliqora = std::make_unique<E2eProgram>(QStringLiteral(KLIQORA_PROGRAM));
    return m_kliqora->startAndWaitForWindow();
}

// The program takes the focus whenever its window comes back: give it to the edit.
bool TestE2eCustom::focusEdit()
{
    return focusForTyping(m_edit.get(), FocusTimeoutMs);
}

void TestE2eCustom::flowKeyTypesAndSecondPressStops()
{
    QVERIFY(!writeFlow(QStringLiteral("Typist"), QStringLiteral("Ctrl+F6"),
                       {{QStringLiteral("a"), FirstPauseMs}, {QStringLiteral("b"), SecondPauseMs}})
                 .isEmpty());
    QVERIFY(startKliqora());
    const E2eProgram& kliqora = *m_kliqora;
    QVERIFY(focusEdit());

    QVERIFY(pressKey(QStringLiteral("ctrl+F6")));
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("a"), 3000);
    QVERIFY(!kliqora.hasVisibleWindow()); // hidden while the flow runs

    QVERIFY(pressKey(QStringLiteral("ctrl+F6"))); // inside the second pause: stops it
    QTRY_VERIFY_WITH_TIMEOUT(kliqora.hasVisibleWindow(), 3000);
    QTest::qWait(SecondPauseMs + 500);
    QCOMPARE(m_edit->text(), QStringLiteral("a"));

    // Pressed again it starts anew, runs to its end and gives the window back.
    QVERIFY(focusEdit());
    QVERIFY(pressKey(QStringLiteral("ctrl+F6")));
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("aa"), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!kliqora.hasVisibleWindow(), 1000);
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("aab"), SecondPauseMs + 2000);
    QTRY_VERIFY_WITH_TIMEOUT(kliqora.hasVisibleWindow(), 3000);
}

void TestE2eCustom::heldKeyOutlivesTheFlowUntilQuit()
{
    QDir().mkpath(flowFolder());
    Flow flow;
    flow.setName(QStringLiteral("HoldW"));
    flow.setHotkey(QStringLiteral("F8"));
    auto* hold = new KeyboardOperation(&flow);
    hold->setEventType(KeyboardOperation::Press);
    hold->setKey(QStringLiteral("W"));
    flow.operations().append(hold);
    QVERIFY(flow.save(QDir(flowFolder()).filePath(QStringLiteral("HoldW.flw"))));
    QVERIFY(startKliqora());
    X11TestClient x;
    const auto wIsDown = [&x] {
        char keys[32] = {};
        XQueryKeymap(x.display(), keys);
        const KeyCode code = x.keycode(XK_w);
        return (keys[code / 8] & (1 << (code % 8))) != 0;
    };
    QVERIFY(!wIsDown());

    QVERIFY(pressKey(QStringLiteral("F8")));
    QTRY_VERIFY_WITH_TIMEOUT(wIsDown(), 3000);
    // The flow ends by itself and the window comes back; the key stays down.
    QTRY_VERIFY_WITH_TIMEOUT(m_kliqora->hasVisibleWindow(), 3000);
    QTest::qWait(300);
    const bool keptAfterTheEnd = wIsDown();
    QVERIFY(m_kliqora->quit(QuitTimeoutMs)); // SIGTERM, as a session end
    const bool keptAfterQuit = wIsDown();
    if (keptAfterQuit) {
        XTestFakeKeyEvent(x.display(), x.keycode(XK_w), False, CurrentTime);
        XSync(x.display(), False);
    }
    QVERIFY2(keptAfterTheEnd, "the flow's held key was released when it ended");
    QVERIFY2(!keptAfterQuit, "quitting left the flow's held key down");
}

void TestE2eCustom::designerCloseNoticeReloadsTheFlow_data()
{
    QTest::addColumn<bool>("realDesigner");
    QTest::newRow("designer closed by its window") << true;
    QTest::newRow("notice from a plain client, in two writes") << false;
}

void TestE2eCustom::designerCloseNoticeReloadsTheFlow()
{
    QFETCH(bool, realDesigner);
    const QString designer = QFileInfo(QStringLiteral(KLIQORA_PROGRAM))
                                 .dir()
                                 .filePath(QStringLiteral("KliqoraDesigner"));
    if (realDesigner && !QFileInfo(designer).isExecutable())
        QSKIP("KliqoraDesigner was not built beside Kliqora");
    const QString path =
        writeFlow(QStringLiteral("Edited"), QString(), {{QStringLiteral("old"), FirstPauseMs}});
    QVERIFY(!path.isEmpty());
    QVERIFY(startKliqora());

    std::unique_ptr<E2eProgram> designerProcess;
    if (realDesigner) {
        designerProcess = std::make_unique<E2eProgram>(
            designer, QStringList{QStringLiteral("-f"), QDir::toNativeSeparators(path)});
        QVERIFY(designerProcess->startAndWaitForWindow());
    }

    // While the file is open the flow gains a key and new steps on disk.
    QVERIFY(!writeFlow(QStringLiteral("Edited"), QStringLiteral("Ctrl+F7"),
                       {{QStringLiteral("new"), FirstPauseMs}})
                 .isEmpty());
    QVERIFY(focusEdit());
    QVERIFY(pressKey(QStringLiteral("ctrl+F7"))); // not live before the notice
    QTest::qWait(FirstPauseMs + 600);
    QCOMPARE(m_edit->text(), QString());

    if (designerProcess) {
        const QString window = designerProcess->visibleWindows().value(0);
        QVERIFY(X11TestClient().requestClose(window.toULong()));
        QVERIFY(designerProcess->waitForFinished(15000));
        QCOMPARE(designerProcess->exitStatus(), QProcess::NormalExit);
    } else {
        QLocalSocket socket;
        socket.connectToServer(designerNotifyServerName());
        QVERIFY(socket.waitForConnected(1000));
        const QByteArray bytes = QDir::toNativeSeparators(path).toUtf8();
        // In two writes, as a slow sender might: the disconnect ends the notice.
        socket.write(bytes.left(bytes.size() / 2));
        QVERIFY(socket.waitForBytesWritten(1000));
        QTest::qWait(200);
        socket.write(bytes.mid(bytes.size() / 2));
        QVERIFY(socket.waitForBytesWritten(1000));
        socket.disconnectFromServer();
    }

    // The reloaded flow's row shows its new key once the key is live.
    QVERIFY(m_kliqora->probe().waitFor(
        QStringLiteral("tableCustom/row0/col1"),
        [](const ProbedWidget& cell) { return cell.text == QLatin1String("Ctrl+F7"); }));
    QVERIFY(focusEdit());
    QVERIFY(pressKey(QStringLiteral("ctrl+F7")));
    QTRY_COMPARE_WITH_TIMEOUT(m_edit->text(), QStringLiteral("new"), 3000);
}

KLIQORA_TEST_MAIN(TestE2eCustom)
#include "tst_e2e_custom.moc"

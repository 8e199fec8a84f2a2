// The real KliqoraDesigner on a real X server, driven as a user would: palette items
// dragged into the table with the mouse, the ribbon's save button, F8 for a test run
// whose click lands in a real window, and the window closed as a window manager
// closes it, after which the path arrives at the main program's socket.

#include "clicktarget.h"
#include "designernotify.h"
#include "e2eprogram.h"
#include "flow.h"
#include "mouseclickoperation.h"
#include "operation.h"
#include "operationfactory.h"
#include "testenvironment.h"
#include "xdotool.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

// Last: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

namespace {
const QRect TargetGeometry(1500, 600, 300, 300);
constexpr int WindowWaitMs = 10000;
const QString DesignerTitlePattern = QStringLiteral("^KliqoraDesigner - ");
const QString DesignerProgramName = QStringLiteral("KliqoraDesigner");
// The designer's parts, by name.
const QString PaletteTextInput = QStringLiteral("opTree/text_input");
const QString PaletteMouseMove = QStringLiteral("opTree/mouse_move");
const QString OperationTable = QStringLiteral("opTable");
const QString RibbonSave = QStringLiteral("actionSave");
// The main program's parts, by name.
const QString KliqoraCustomPage = QStringLiteral("btnCustom");
const QString KliqoraNewFlow = QStringLiteral("btnNew");
const QString KliqoraRow0Run = QStringLiteral("tableCustom/row0/btnRun");
const QString KliqoraRow0Edit = QStringLiteral("tableCustom/row0/btnEdit");
// A drag moves in steps, a short pause after each, as a hand would: the drag starts
// and the target sees it arrive.
constexpr int DragSteps = 6;
constexpr int DragStepPauseMs = 80;

// The designer's visible main window, or 0.
unsigned long designerWindow(const E2eProgram& designer)
{
    return designer.visibleWindows(DesignerTitlePattern).value(0).toULong();
}

bool movePointer(const QPoint& p)
{
    const bool moved =
        xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
    QTest::qWait(DragStepPauseMs);
    return moved;
}

// Drags the palette item `from` into the empty lower part of the operation table and
// waits until the table has one row more.
bool dragIntoTable(ProbeClient& designer, const QString& from)
{
    ProbedWidget item, table;
    if (!designer.waitUntilClickable(from, &item) ||
        !designer.waitUntilClickable(OperationTable, &table))
        return false;
    const QPoint start = item.rect.center();
    const QPoint end(table.rect.center().x(), table.rect.bottom() - table.rect.height() / 4);
    if (!movePointer(start) || !xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}))
        return false;
    QTest::qWait(DragStepPauseMs);
    for (int i = 1; i <= DragSteps; ++i) {
        if (!movePointer(start + (end - start) * i / DragSteps))
            return false;
    }
    if (!movePointer(end + QPoint(2, 2)) ||
        !xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}))
        return false;
    return designer.waitFor(OperationTable, [rows = table.rows](const ProbedWidget& now) {
        return now.rows == rows + 1;
    });
}

// The visible designer window of any process, or 0.
unsigned long anyDesignerWindow()
{
    QString out;
    xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
             DesignerTitlePattern},
            &out);
    return out.split(QLatin1Char('\n')).value(0).toULong();
}

QPoint pointerPosition()
{
    QString out;
    xdotool({QStringLiteral("getmouselocation")}, &out); // "x:12 y:34 screen:0 window:..."
    const QRegularExpression position(QStringLiteral("x:(\\d+) y:(\\d+)"));
    const QRegularExpressionMatch match = position.match(out);
    return match.hasMatch() ? QPoint(match.captured(1).toInt(), match.captured(2).toInt())
                            : QPoint(-1, -1);
}

QStringList typeIds(const Flow& flow)
{
    QStringList ids;
    for (const Operation* op : flow.operations())
        ids << op->typeId() + QLatin1Char('/') + QString::number(op->interval());
    return ids;
}
} // namespace

class TestE2eDesigner : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime;
    QLocalServer m_server;
    QByteArray m_received;
    int m_connections = 0;

private slots:
    void initTestCase()
    {
        // A private runtime folder, so the notice socket is this test's own.
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
        QVERIFY(m_server.listen(designerNotifyServerName()));
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            QLocalSocket* socket = m_server.nextPendingConnection();
            ++m_connections;
            connect(socket, &QLocalSocket::readyRead, this,
                    [this, socket] { m_received += socket->readAll(); });
        });
        OperationFactory::instance()->registerBuiltinOperations();
    }

    void dashFAsLastArgumentEndsQuietly()
    {
        QProcess designer;
        designer.start(QStringLiteral(KLIQORA_DESIGNER_PROGRAM), {QStringLiteral("-f")});
        QVERIFY(designer.waitForFinished(WindowWaitMs));
        QCOMPARE(designer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(designer.exitCode(), 0);
        QTest::qWait(200);
        QCOMPARE(m_connections, 0);
    }

    void buildSaveRunAndClose()
    {
        ClickTarget target(TargetGeometry);
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target));

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("my flows/e2e flow.flw"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("my flows")));
        {
            Flow flow;
            flow.setName(QStringLiteral("e2e flow"));
            auto* click = new MouseClickOperation;
            click->setPosition(TargetGeometry.center());
            flow.operations().append(click);
            QVERIFY(flow.save(path));
        }
        const QByteArray saved = [&path] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();

        E2eProgram designer(QStringLiteral(KLIQORA_DESIGNER_PROGRAM), {QStringLiteral("-f"), path});
        designer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QVERIFY(designer.startAndWaitForWindow());
        QVERIFY(designerWindow(designer) != 0);

        QVERIFY(dragIntoTable(designer.probe(), PaletteTextInput));
        QVERIFY(dragIntoTable(designer.probe(), PaletteMouseMove));
        QVERIFY(designer.probe().click(RibbonSave));
        const auto fileChanged = [&path, &saved] {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) && file.readAll() != saved;
        };
        QTRY_VERIFY_WITH_TIMEOUT(fileChanged(), 5000);
        Flow reloaded;
        QVERIFY(reloaded.load(path));
        QCOMPARE(typeIds(reloaded),
                 QStringList({QStringLiteral("mouse_click/0"), QStringLiteral("text_input/50"),
                              QStringLiteral("mouse_move/50")}));
        QCOMPARE(reloaded.name(), QStringLiteral("e2e flow"));

        // F8: the window hides, the click arrives in the target, the window returns.
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("F8")}));
        QTRY_VERIFY_WITH_TIMEOUT(target.presses == 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(designerWindow(designer) != 0, 5000);

        X11TestClient client;
        client.requestClose(designerWindow(designer));
        QVERIFY(designer.waitForFinished(WindowWaitMs));
        QCOMPARE(designer.exitCode(), 0);
        QTRY_COMPARE(m_received, path.toUtf8());
        QCOMPARE(m_connections, 1);
    }

#ifdef KLIQORA_PROGRAM
    // The whole road: the main program makes a flow and opens the real designer on it;
    // the flow built there is saved and the designer closed; the main program reloads
    // the flow (running it moves the pointer, which the empty flow would not) and lets
    // the row be edited again.
    void mainProgramReloadsAfterTheDesignerCloses()
    {
        m_server.close(); // the main program listens on the same per-user name
        E2eProgram kliqora(QStringLiteral(KLIQORA_PROGRAM));
        kliqora.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QVERIFY(kliqora.startAndWaitForWindow());
        ProbeClient& main = kliqora.probe();
        // The designer it starts inherits the probe's folder.
        ProbeClient designerProbe = kliqora.probeOf(DesignerProgramName);

        QVERIFY(main.click(KliqoraCustomPage));
        QVERIFY(main.click(KliqoraNewFlow));
        unsigned long designer = 0;
        QTRY_VERIFY_WITH_TIMEOUT((designer = anyDesignerWindow()) != 0, WindowWaitMs);
        QVERIFY(designerProbe.waitUntilAnswering());
        QVERIFY(dragIntoTable(designerProbe, PaletteMouseMove));
        QVERIFY(designerProbe.click(RibbonSave));
        // Saved: nothing left to save.
        QVERIFY(designerProbe.waitFor(RibbonSave,
                                      [](const ProbedWidget& save) { return !save.enabled; }));
        X11TestClient client;
        client.requestClose(designer);
        QTRY_VERIFY_WITH_TIMEOUT(anyDesignerWindow() == 0, WindowWaitMs);
        // The notice reached the main program: the row can be edited again.
        QVERIFY(main.waitUntilClickable(KliqoraRow0Edit));

        // Run the flow from its row: its one step moves the pointer to (0, 0).
        QVERIFY(main.click(KliqoraRow0Run));
        QTRY_COMPARE_WITH_TIMEOUT(pointerPosition(), QPoint(0, 0), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!kliqora.visibleWindows().isEmpty(), 5000);

        // The row's edit button works again: a second designer opens on the flow.
        QVERIFY(main.click(KliqoraRow0Edit));
        QTRY_VERIFY_WITH_TIMEOUT((designer = anyDesignerWindow()) != 0, WindowWaitMs);
        QVERIFY(designerProbe.waitUntilAnswering());
        client.requestClose(designer);
        QTRY_VERIFY_WITH_TIMEOUT(anyDesignerWindow() == 0, WindowWaitMs);

        QVERIFY(kliqora.quit(WindowWaitMs));
    }
#endif
};

KLIQORA_TEST_MAIN(TestE2eDesigner)
#include "tst_e2e_designer.moc"

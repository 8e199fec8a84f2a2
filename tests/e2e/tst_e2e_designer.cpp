// The real KliqoraDesigner on a real X server, driven as a user would: palette items
// dragged into the table with the mouse, the ribbon's save button, F8 for a test run
// whose click lands in a real window, and the window closed as a window manager
// closes it, after which the path arrives at the main program's socket.

#include "designernotify.h"
#include "e2eprogram.h"
#include "flow.h"
#include "mouseclickoperation.h"
#include "operation.h"
#include "operationfactory.h"
#include "testenvironment.h"
#include "xdotool.h"

#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

// Last: Xlib's macros clash with Qt headers.
#include "x11testclient.h"

namespace {
const QRect TargetGeometry(1500, 600, 300, 300);
// Where the designer's parts are, relative to its window (checked on screenshots of
// the 1366 x 768 window at the top-left corner of a 1920 x 1080 screen).
// clang-format off
const QPoint PaletteTextInput(92, 226);
const QPoint PaletteMouseMove(92, 290);
const QPoint TableEmptyArea(700, 600);
const QPoint RibbonSave(36, 55);
// clang-format on
constexpr int WindowWaitMs = 10000;
const QString DesignerTitlePattern = QStringLiteral("^KliqoraDesigner - ");
// Parts of the main program's window, relative to it (checked on screenshots).
// clang-format off
const QPoint KliqoraCustomPage(50, 326);
const QPoint KliqoraNewFlow(166, 139);
const QPoint KliqoraRow0Run(685, 235);
const QPoint KliqoraRow0Edit(730, 235);
// clang-format on

class ClickTarget : public QWidget
{
public:
    ClickTarget()
    {
        setWindowTitle(QStringLiteral("click target"));
        setGeometry(TargetGeometry);
    }
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* /*event*/) override { ++presses; }
};

// The designer's visible main window, or 0.
unsigned long designerWindow(const E2eProgram& designer)
{
    return designer.visibleWindows(DesignerTitlePattern).value(0).toULong();
}

// A drag with the mouse, moved in steps as a hand would, so the drag starts and the
// target sees it arrive.
void dragWithMouse(const QPoint& from, const QPoint& to)
{
    const auto move = [](const QPoint& p) {
        QVERIFY(
            xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())}));
        QTest::qWait(80);
    };
    move(from);
    QVERIFY(xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}));
    QTest::qWait(80);
    constexpr int steps = 6;
    for (int i = 1; i <= steps; ++i)
        move(from + (to - from) * i / steps);
    move(to + QPoint(2, 2));
    QVERIFY(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
    QTest::qWait(300);
}

void clickAt(const QPoint& p)
{
    QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y()),
                     QStringLiteral("sleep"), QStringLiteral("0.2"), QStringLiteral("click"),
                     QStringLiteral("1")}));
}

// Top-left corner of a window, from xdotool's geometry report.
QPoint windowPosition(unsigned long window)
{
    QString out;
    xdotool({QStringLiteral("getwindowgeometry"), QString::number(window)}, &out);
    const QRegularExpression position(QStringLiteral("Position: (\\d+),(\\d+)"));
    const QRegularExpressionMatch match = position.match(out);
    return match.hasMatch() ? QPoint(match.captured(1).toInt(), match.captured(2).toInt())
                            : QPoint();
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
        ClickTarget target;
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
        designer.start();
        QVERIFY(designer.waitForStarted());
        unsigned long window = 0;
        QTRY_VERIFY_WITH_TIMEOUT((window = designerWindow(designer)) != 0, WindowWaitMs);
        QTest::qWait(500);

        dragWithMouse(PaletteTextInput, TableEmptyArea);
        dragWithMouse(PaletteMouseMove, TableEmptyArea);
        QTest::qWait(200);
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(RibbonSave.x()),
                         QString::number(RibbonSave.y()), QStringLiteral("click"),
                         QStringLiteral("1")}));
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
        kliqora.start();
        QVERIFY(kliqora.waitForStarted());
        unsigned long mainWindow = 0;
        const auto findMain = [&kliqora, &mainWindow] {
            mainWindow = kliqora.visibleWindows().value(0).toULong();
            return mainWindow != 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(findMain(), WindowWaitMs);
        QTest::qWait(1000);
        const QPoint origin = windowPosition(mainWindow);

        clickAt(origin + KliqoraCustomPage);
        QTest::qWait(300);
        clickAt(origin + KliqoraNewFlow);
        unsigned long designer = 0;
        QTRY_VERIFY_WITH_TIMEOUT((designer = anyDesignerWindow()) != 0, WindowWaitMs);
        QTest::qWait(500);
        dragWithMouse(PaletteMouseMove, TableEmptyArea);
        clickAt(RibbonSave);
        QTest::qWait(300);
        X11TestClient client;
        client.requestClose(designer);
        QTRY_VERIFY_WITH_TIMEOUT(anyDesignerWindow() == 0, WindowWaitMs);
        QTest::qWait(500);

        // Run the flow from its row: its one step moves the pointer to (0, 0).
        clickAt(origin + KliqoraRow0Run);
        QTRY_COMPARE_WITH_TIMEOUT(pointerPosition(), QPoint(0, 0), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(findMain(), 5000);
        QTest::qWait(500);

        // The row's edit button works again: a second designer opens on the flow.
        clickAt(origin + KliqoraRow0Edit);
        QTRY_VERIFY_WITH_TIMEOUT((designer = anyDesignerWindow()) != 0, WindowWaitMs);
        QTest::qWait(300);
        client.requestClose(designer);
        QTRY_VERIFY_WITH_TIMEOUT(anyDesignerWindow() == 0, WindowWaitMs);

        QVERIFY(kliqora.quit(WindowWaitMs));
    }
#endif
};

KLIQORA_TEST_MAIN(TestE2eDesigner)
#include "tst_e2e_designer.moc"

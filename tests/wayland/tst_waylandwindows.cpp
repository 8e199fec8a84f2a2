// Windows that place themselves, with Qt on its Wayland platform on headless sway,
// where the compositor decides every window's place: the floating stop button does
// not slide but floats where sway puts it, and a frameless window's drag band moves
// the window through the compositor.

#include "dialogdrop.h"
#include "pages/suspendframe.h"
#include "platform/backend.h"
#include "testenvironment.h"
#include "waylandinput.h"
#include "waylandsession.h"

#include <QAbstractButton>
#include <QtTest>

using platform::Input;
namespace MouseFlag = platform::MouseFlag;
using WaylandInput::sendNow;

namespace {

constexpr int OutputWidth = 1280; // swaysession.sh's output
constexpr int OutputHeight = 800;
constexpr int WindowTimeoutMs = 10000;
constexpr int DragSteps = 10;

Input moveTo(const QPoint& pixel)
{
    return WaylandInput::moveTo(pixel, QSize(OutputWidth, OutputHeight));
}

// The window titled `title` once sway shows it.
WaylandSession::Window shownWindow(const QString& title)
{
    WaylandSession::Window window;
    // Callers check `found`; the wait's own answer says nothing more.
    (void)QTest::qWaitFor(
        [&] {
            window = WaylandSession::windowTitled(title);
            return window.found;
        },
        WindowTimeoutMs);
    return window;
}

} // namespace

class TestWaylandWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stopButtonFloatsWhereTheCompositorPutsIt();
    void dragBandMovesTheWindowThroughTheCompositor();
};

void TestWaylandWindows::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    QCOMPARE(platform::backend().name(), "wayland");
}

void TestWaylandWindows::stopButtonFloatsWhereTheCompositorPutsIt()
{
    SuspendFrame frame;
    frame.show();
    frame.slideIn();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QVERIFY(!frame.isSliding());
    const WaylandSession::Window shown = shownWindow(frame.windowTitle());
    QVERIFY2(shown.found, "sway shows no stop button");
    // A small window of its own, not a tile over half the desktop.
    QVERIFY(shown.floating);
    QCOMPARE(shown.rect.size(), frame.size());
    QVERIFY(QRect(0, 0, OutputWidth, OutputHeight).contains(shown.rect));

    // Its button still stops.
    QSignalSpy clicked(frame.stopButton(), &QAbstractButton::clicked);
    QWidget* stop = frame.stopButton();
    const QPoint button = shown.rect.topLeft() + stop->mapTo(&frame, stop->rect().center());
    sendNow({moveTo(button)});
    QTest::qWait(200); // as a user's pointer, it is there a moment before the press
    sendNow({Input::mouseInput(MouseFlag::LeftDown), Input::mouseInput(MouseFlag::LeftUp)});
    QVERIFY(clicked.wait(WindowTimeoutMs));
}

void TestWaylandWindows::dragBandMovesTheWindowThroughTheCompositor()
{
    DialogDrop dialog;
    dialog.setWindowTitle(QStringLiteral("drag-band-window"));
    dialog.setFixedSize(400, 300);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const WaylandSession::Window before = shownWindow(dialog.windowTitle());
    QVERIFY(before.found && before.floating);

    const QPoint grip = before.rect.topLeft() + QPoint(200, DialogDrop::DragBandHeight / 2);
    const QPoint offset(-150, 120);
    sendNow({moveTo(grip), Input::mouseInput(MouseFlag::LeftDown)});
    QTest::qWait(200); // Qt hands the drag to sway on the press
    for (int step = 1; step <= DragSteps; ++step) {
        sendNow({moveTo(grip + offset * step / DragSteps)});
        QTest::qWait(20);
    }
    sendNow({Input::mouseInput(MouseFlag::LeftUp)});
    QTRY_COMPARE_WITH_TIMEOUT(WaylandSession::windowTitled(dialog.windowTitle()).rect,
                              before.rect.translated(offset), WindowTimeoutMs);
}

KLIQORA_WAYLAND_WIDGETS_TEST_MAIN(TestWaylandWindows)

#include "tst_waylandwindows.moc"

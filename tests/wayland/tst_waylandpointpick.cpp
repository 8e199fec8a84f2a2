// Picking a point on headless sway with Qt on its Wayland platform. sway draws a
// fullscreen window over black, so the see-through layer must float over the output:
// a screenshot during the pick shows the window beneath through it, with the
// coordinate tag drawn inside, and a click lands on its exact global point.

#include "platform/backend.h"
#include "platform/virtualkeys.h"
#include "pointpickoverlay.h"
#include "testenvironment.h"
#include "waylandinput.h"
#include "waylandsession.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using platform::Input;
namespace MouseFlag = platform::MouseFlag;
using WaylandInput::sendNow;
namespace KeyFlag = platform::KeyFlag;

namespace {

constexpr int OutputWidth = 1280; // swaysession.sh's output
constexpr int OutputHeight = 800;
constexpr int TimeoutMs = 10000;
const char LayerTitle[] = "kliqora-point-pick-1";

Input moveTo(const QPoint& pixel)
{
    return WaylandInput::moveTo(pixel, QSize(OutputWidth, OutputHeight));
}

// The whole output as grim sees it; a null image when grim fails.
QImage screenshot(const QString& path)
{
    QProcess grim;
    grim.start(QStringLiteral("grim"), {path});
    if (!grim.waitForFinished(TimeoutMs) || grim.exitCode() != 0)
        return QImage();
    return QImage(path);
}

// A plain red window tiled under the pick.
class RedWindow : public QWidget
{
public:
    RedWindow()
    {
        setWindowTitle(QStringLiteral("red-window-beneath"));
        QPalette red = palette();
        red.setColor(QPalette::Window, Qt::red);
        setPalette(red);
        setAutoFillBackground(true);
    }
};

} // namespace

class TestWaylandPointPick : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void layerFloatsOverTheOutputAndShowsTheDesktop();
    void escapeCancels();

private:
    // Starts a pick and waits until sway floats its layer over the whole output.
    bool startFloating(PointPickOverlay& overlay);
};

void TestWaylandPointPick::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
    QCOMPARE(platform::backend().name(), "wayland");
}

bool TestWaylandPointPick::startFloating(PointPickOverlay& overlay)
{
    overlay.start();
    if (overlay.layers().size() != 1 || !QTest::qWaitForWindowExposed(overlay.layers().first()))
        return false;
    return QTest::qWaitFor(
        [] {
            const WaylandSession::Window layer = WaylandSession::windowTitled(LayerTitle);
            return layer.found && layer.floating &&
                   layer.rect == QRect(0, 0, OutputWidth, OutputHeight);
        },
        TimeoutMs);
}

void TestWaylandPointPick::layerFloatsOverTheOutputAndShowsTheDesktop()
{
    RedWindow beneath;
    beneath.show();
    QVERIFY(QTest::qWaitForWindowExposed(&beneath));
    QTRY_VERIFY_WITH_TIMEOUT(WaylandSession::windowTitled(beneath.windowTitle()).found, TimeoutMs);

    PointPickOverlay overlay;
    QSignalSpy picked(&overlay, &PointPickOverlay::picked);
    QVERIFY2(startFloating(overlay), "sway does not float the layer over the output");

    // The tag follows the pointer, inside the layer.
    const QPoint pointer(900, 600);
    sendNow({moveTo(pointer)});
    QTest::qWait(300); // the layer draws the tag and sway shows that frame

    QTemporaryDir shots;
    const QString shotsDir = qEnvironmentVariable("KLIQORA_TEST_SHOTS", shots.path());
    const QImage shot = screenshot(shotsDir + QStringLiteral("/sway-point-pick.png"));
    QVERIFY2(!shot.isNull(), "grim took no screenshot");
    // The red window shows through the faint shade, not black.
    const QColor desktop = shot.pixelColor(200, 200);
    QVERIFY2(desktop.red() > 150 && desktop.green() < 60 && desktop.blue() < 60,
             qPrintable(desktop.name()));
    // The tag, right below the pointer, is dark.
    const QColor tag = shot.pixelColor(pointer + QPoint(40, 40));
    QVERIFY2(tag.red() < 120, qPrintable(tag.name()));

    const QPoint target(321, 207);
    sendNow({moveTo(target)});
    QTest::qWait(200); // as a user's pointer, it is there a moment before the press
    sendNow({Input::mouseInput(MouseFlag::LeftDown), Input::mouseInput(MouseFlag::LeftUp)});
    QVERIFY(picked.wait(TimeoutMs));
    QCOMPARE(picked.first().first().toPoint(), target);
    QVERIFY(!overlay.isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!WaylandSession::windowTitled(LayerTitle).found, TimeoutMs);
}

void TestWaylandPointPick::escapeCancels()
{
    PointPickOverlay overlay;
    QSignalSpy picked(&overlay, &PointPickOverlay::picked);
    QSignalSpy cancelled(&overlay, &PointPickOverlay::cancelled);
    QVERIFY(startFloating(overlay));
    // The floating layer has the keyboard.
    sendNow({Input::keyInput(platform::Vk::Escape),
             Input::keyInput(platform::Vk::Escape, KeyFlag::KeyUp)});
    QVERIFY(cancelled.wait(TimeoutMs));
    QVERIFY(picked.isEmpty());
    QVERIFY(!overlay.isActive());
}

KLIQORA_WAYLAND_WIDGETS_TEST_MAIN(TestWaylandPointPick)

#include "tst_waylandpointpick.moc"

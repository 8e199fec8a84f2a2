// A point pick on sway with two outputs side by side (1280x800, then 800x600 right of
// it), with Qt on its Wayland platform: a see-through layer floats over each output,
// and a click on the second lands on its global point.

#include "platform/backend.h"
#include "pointpickoverlay.h"
#include "testenvironment.h"
#include "waylandinput.h"
#include "waylandsession.h"

#include <QtTest>

using platform::Input;
namespace MouseFlag = platform::MouseFlag;
using WaylandInput::sendNow;

namespace {

constexpr int LayoutWidth = 1280 + 800; // swaysession.sh's outputs
constexpr int LayoutHeight = 800;
constexpr int TimeoutMs = 10000;

Input moveTo(const QPoint& pixel)
{
    return WaylandInput::moveTo(pixel, QSize(LayoutWidth, LayoutHeight));
}

// Where sway shows the two layers, left one first; empty rectangles while it does not.
QList<QRect> floatingLayers()
{
    QList<QRect> rects;
    for (const char* title : {"kliqora-point-pick-1", "kliqora-point-pick-2"}) {
        const WaylandSession::Window layer = WaylandSession::windowTitled(QLatin1String(title));
        rects << (layer.found && layer.floating ? layer.rect : QRect());
    }
    std::sort(rects.begin(), rects.end(),
              [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
    return rects;
}

// Moves the pointer onto `pixel` (from one pixel aside); whether a layer has it then.
bool pointerEntersLayer(const PointPickOverlay& overlay, const QPoint& pixel)
{
    sendNow({moveTo(pixel + QPoint(1, 0)), moveTo(pixel)});
    QTest::qWait(50);
    const QVector<QWidget*> layers = overlay.layers();
    return std::any_of(layers.begin(), layers.end(),
                       [](const QWidget* layer) { return layer->underMouse(); });
}

} // namespace

class TestWaylandPointPickOutputs : public QObject
{
    Q_OBJECT

private slots:
    void layerOverEachOutputAndClickOnTheSecond();
};

void TestWaylandPointPickOutputs::layerOverEachOutputAndClickOnTheSecond()
{
    QCOMPARE(QGuiApplication::screens().size(), 2);
    PointPickOverlay overlay;
    QSignalSpy picked(&overlay, &PointPickOverlay::picked);
    overlay.start();
    QCOMPARE(overlay.layers().size(), 2);
    for (QWidget* layer : overlay.layers())
        QVERIFY(QTest::qWaitForWindowExposed(layer));
    const QList<QRect> outputs{QRect(0, 0, 1280, 800), QRect(1280, 0, 800, 600)};
    QTRY_COMPARE_WITH_TIMEOUT(floatingLayers(), outputs, TimeoutMs);

    // sway settles the layers a moment after it reports their places: the pointer
    // moves until the layer beneath it has it.
    const QPoint target(1280 + 123, 456);
    QTRY_VERIFY_WITH_TIMEOUT(pointerEntersLayer(overlay, target), TimeoutMs);
    sendNow({Input::mouseInput(MouseFlag::LeftDown), Input::mouseInput(MouseFlag::LeftUp)});
    QVERIFY(picked.wait(TimeoutMs));
    QCOMPARE(picked.first().first().toPoint(), target);
    QVERIFY(!overlay.isActive());
}

KLIQORA_WAYLAND_WIDGETS_TEST_MAIN(TestWaylandPointPickOutputs)

#include "tst_waylandpointpickoutputs.moc"

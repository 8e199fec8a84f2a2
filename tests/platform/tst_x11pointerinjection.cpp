// Mouse records injected through XTest reach a real Qt window on a real X server
// as the events they stand for, and absolute moves land on the exact pixel.
#include "testenvironment.h"
#include "testwindows.h"
#include "x11testhelpers.h"

#include "platform/backend.h"

#include <QCursor>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <QWidget>

using platform::Input;
namespace MouseFlag = platform::MouseFlag;

Q_DECLARE_METATYPE(InputCalls)

namespace {

// How the jobs convert a pixel: 32-bit arithmetic, truncating division.
int32_t toAbsolute(int pixel, int size)
{
    return pixel * 65535 / size;
}

Input absoluteMove(QPoint pixel)
{
    const platform::ScreenSize screen = platform::primaryScreenSize();
    return Input::mouseInput(MouseFlag::Move | MouseFlag::Absolute,
                             toAbsolute(pixel.x(), screen.width),
                             toAbsolute(pixel.y(), screen.height));
}

QString buttonName(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return QStringLiteral("left");
    case Qt::RightButton:
        return QStringLiteral("right");
    case Qt::MiddleButton:
        return QStringLiteral("middle");
    default:
        return QStringLiteral("other");
    }
}

class EventLog : public QWidget
{
public:
    QStringList events;

protected:
    void mousePressEvent(QMouseEvent* e) override { add("press", e->button()); }
    void mouseReleaseEvent(QMouseEvent* e) override { add("release", e->button()); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { add("double", e->button()); }
    void wheelEvent(QWheelEvent* e) override
    {
        if (e->angleDelta().x() != 0)
            events << QStringLiteral("hwheel %1").arg(e->angleDelta().x());
        if (e->angleDelta().y() != 0)
            events << QStringLiteral("wheel %1").arg(e->angleDelta().y());
    }

private:
    void add(const char* what, Qt::MouseButton button)
    {
        events << QLatin1String(what) + QLatin1Char(' ') + buttonName(button);
    }
};

} // namespace

class TestX11PointerInjection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void systemServicesAnswer();
    void absoluteMoveLandsOnThePixel_data();
    void absoluteMoveLandsOnThePixel();
    void relativeMoveShiftsThePointer();
    void pixelColorReadsTheScreen_data();
    void pixelColorReadsTheScreen();
    void clicksAndWheelArriveAsEvents_data();
    void clicksAndWheelArriveAsEvents();

private:
    EventLog m_window;
};

void TestX11PointerInjection::initTestCase()
{
    QCOMPARE(platform::backend().name(), "x11");
    m_window.setGeometry(200, 150, 400, 300);
    QVERIFY(showFocused(&m_window, &m_window));
}

// The screen size spans the whole desktop (every monitor), and the services a
// running job asks for are there on a plain X server.
void TestX11PointerInjection::systemServicesAnswer()
{
    platform::Backend& backend = platform::backend();
    const platform::ScreenSize screen = backend.primaryScreenSize();
    QCOMPARE(QSize(screen.width, screen.height), QGuiApplication::primaryScreen()->virtualSize());
    QVERIFY(backend.beginTimerResolution());
    backend.endTimerResolution();
    QVERIFY(backend.setKeepAwake(true));
    QVERIFY(backend.setKeepAwake(false));
    const platform::Input nothing[] = {platform::Input::mouseInput(0)};
    QCOMPARE(backend.sendInput(nothing, 1), 1u);
    QCOMPARE(backend.sendInput(nothing, 0), 0u);
}

void TestX11PointerInjection::absoluteMoveLandsOnThePixel_data()
{
    QTest::addColumn<QPoint>("pixel");
    const platform::ScreenSize screen = platform::primaryScreenSize();
    QTest::newRow("origin") << QPoint(0, 0);
    QTest::newRow("centre") << QPoint(screen.width / 2, screen.height / 2);
    QTest::newRow("last pixel") << QPoint(screen.width - 1, screen.height - 1);
    QTest::newRow("odd pixel") << QPoint(1233, 777);
}

void TestX11PointerInjection::absoluteMoveLandsOnThePixel()
{
    QFETCH(QPoint, pixel);
    QVERIFY(sendFromWorker({{absoluteMove(pixel)}}));
    platform::CursorPos pos;
    QVERIFY(platform::backend().cursorPos(pos));
    QCOMPARE(QPoint(pos.x, pos.y), pixel);
    QTRY_COMPARE(QCursor::pos(), pixel);
}

void TestX11PointerInjection::pixelColorReadsTheScreen_data()
{
    QTest::addColumn<quint32>("rgb");
    QTest::newRow("red") << 0xff0000u;
    QTest::newRow("odd grey-blue") << 0x3a7bd5u;
    QTest::newRow("white") << 0xffffffu;
}

// Read from the server as a 1x1 image of the root window: what any program shows.
void TestX11PointerInjection::pixelColorReadsTheScreen()
{
    QFETCH(quint32, rgb);
    ColorPatch patch(rgb, QRect(900, 500, 40, 30));
    patch.show();
    QVERIFY(QTest::qWaitForWindowExposed(&patch));
    uint32_t seen = 0;
    QTRY_VERIFY(platform::backend().pixelColor(920, 515, seen) && seen == rgb);
    QVERIFY(platform::backend().pixelColor(939, 529, seen));
    QCOMPARE(seen, rgb);

    const platform::ScreenSize screen = platform::primaryScreenSize();
    QVERIFY(platform::backend().pixelColor(screen.width - 1, screen.height - 1, seen));
    QVERIFY(!platform::backend().pixelColor(screen.width, 0, seen));
    QVERIFY(!platform::backend().pixelColor(-1, 5, seen));
}

void TestX11PointerInjection::relativeMoveShiftsThePointer()
{
    const QPoint start(500, 400);
    // Small steps: larger relative moves are subject to pointer acceleration.
    QVERIFY(sendFromWorker({{absoluteMove(start), Input::mouseInput(MouseFlag::Move, 3, -2)}}));
    platform::CursorPos pos;
    QVERIFY(platform::backend().cursorPos(pos));
    QCOMPARE(QPoint(pos.x, pos.y), start + QPoint(3, -2));
}

void TestX11PointerInjection::clicksAndWheelArriveAsEvents_data()
{
    QTest::addColumn<InputCalls>("calls");
    QTest::addColumn<QStringList>("expected");
    const Input leftDown = Input::mouseInput(MouseFlag::LeftDown);
    const Input leftUp = Input::mouseInput(MouseFlag::LeftUp);
    const Input none;
    QTest::newRow("single left") << InputCalls{{leftDown, leftUp, none, none}}
                                 << QStringList{"press left", "release left"};
    QTest::newRow("double left in one call")
        << InputCalls{{leftDown, leftUp, leftDown, leftUp}}
        << QStringList{"press left", "release left", "double left", "release left"};
    QTest::newRow("right") << InputCalls{{Input::mouseInput(MouseFlag::RightDown),
                                          Input::mouseInput(MouseFlag::RightUp), none, none}}
                           << QStringList{"press right", "release right"};
    QTest::newRow("middle") << InputCalls{{Input::mouseInput(MouseFlag::MiddleDown),
                                           Input::mouseInput(MouseFlag::MiddleUp), none, none}}
                            << QStringList{"press middle", "release middle"};
    QTest::newRow("wheel one notch up")
        << InputCalls{{Input::mouseInput(MouseFlag::Wheel, 0, 0, 120)}} << QStringList{"wheel 120"};
    QTest::newRow("wheel one notch down")
        << InputCalls{{Input::mouseInput(MouseFlag::Wheel, 0, 0, -120)}}
        << QStringList{"wheel -120"};
    QTest::newRow("two half notches make one")
        << InputCalls{{Input::mouseInput(MouseFlag::Wheel, 0, 0, -60)},
                      {Input::mouseInput(MouseFlag::Wheel, 0, 0, -60)}}
        << QStringList{"wheel -120"};
    // Qt's horizontal angle delta is positive for a turn to the left.
    QTest::newRow("wheel one notch right")
        << InputCalls{{Input::mouseInput(MouseFlag::HWheel, 0, 0, 120)}}
        << QStringList{"hwheel -120"};
    QTest::newRow("wheel two notches left")
        << InputCalls{{Input::mouseInput(MouseFlag::HWheel, 0, 0, -240)}}
        << QStringList{"hwheel 120", "hwheel 120"};
}

void TestX11PointerInjection::clicksAndWheelArriveAsEvents()
{
    QFETCH(InputCalls, calls);
    QFETCH(QStringList, expected);
    // Keep the click of one row from pairing with the last click of the row before.
    QTest::qWait(QApplication::doubleClickInterval() + 100);
    const QPoint centre = m_window.mapToGlobal(m_window.rect().center());
    QVERIFY(sendFromWorker({{absoluteMove(centre)}}));
    QTRY_COMPARE(QCursor::pos(), centre);
    m_window.events.clear();

    QVERIFY(sendFromWorker(calls));
    QTRY_COMPARE(m_window.events, expected);
    QTest::qWait(100); // nothing more arrives
    QCOMPARE(m_window.events, expected);
}

KLIQORA_TEST_MAIN(TestX11PointerInjection)
#include "tst_x11pointerinjection.moc"

// The clicker page on a real X server: picking the fixed point through the global
// capture with a real click, which also reaches the window under the pointer, then
// the page hotkey running the clicker at that point.

#include "appconfig.h"
#include "mousetask.h"
#include "pages/mousewidget.h"
#include "qtcompat.h"
#include "testenvironment.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

namespace {

const QRect TargetGeometry(1200, 200, 400, 300);
const QPoint PickPoint(1350, 330);
const QPoint ParkPoint(5, 1070);

class ClickTarget : public QWidget
{
public:
    ClickTarget() { setGeometry(TargetGeometry); }
    QVector<QPoint> presses;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        presses.append(QtCompat::globalPosition(event));
    }
};

// Real input through XTest, as a user's hand would give it.
void xdotool(const QStringList& args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

void movePointer(const QPoint& px)
{
    xdotool({QStringLiteral("mousemove"), QString::number(px.x()), QString::number(px.y())});
}

} // namespace

class TestMouseWidgetX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void pickThenRunAtThePoint_data();
    void pickThenRunAtThePoint();

private:
    std::unique_ptr<ClickTarget> m_target;
};

void TestMouseWidgetX11::initTestCase()
{
    QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    m_target = std::make_unique<ClickTarget>();
    m_target->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_target.get()));
}

void TestMouseWidgetX11::cleanupTestCase()
{
    m_target.reset();
}

void TestMouseWidgetX11::pickThenRunAtThePoint_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("left press") << QStringLiteral("1");
    QTest::newRow("right press") << QStringLiteral("3");
}

void TestMouseWidgetX11::pickThenRunAtThePoint()
{
    QFETCH(QString, button);
    m_target->presses.clear();
    MouseWidget page;
    page.setGeometry(100, 100, 641, 399);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTest::qWait(50);

    QTest::mouseClick(page.findChild<QRadioButton*>(QStringLiteral("rbtnFixedPos")),
                      Qt::LeftButton);
    QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("btnPosSelect")), Qt::LeftButton);
    QVERIFY(page.isPicking());
    QTRY_VERIFY(!page.isVisible());

    movePointer(PickPoint);
    xdotool({QStringLiteral("click"), button});
    QTRY_VERIFY_WITH_TIMEOUT(page.isVisible(), 3000);
    QCOMPARE(page.pickedPoint(), PickPoint);
    // The picking press was not swallowed.
    QTRY_COMPARE(m_target->presses.size(), 1);
    QCOMPARE(m_target->presses.first(), PickPoint);

    // Three clicks at the picked point, started by the page's own global hotkey while
    // the pointer rests elsewhere.
    QTest::mouseClick(page.findChild<QRadioButton*>(QStringLiteral("rbtnStopByRepeatTimes")),
                      Qt::LeftButton);
    page.findChild<QLineEdit*>(QStringLiteral("edtRepeatTimes"))->setText(QStringLiteral("3"));
    page.findChild<QLineEdit*>(QStringLiteral("edtFixedInterval"))->setText(QStringLiteral("20"));
    movePointer(ParkPoint);
    xdotool({QStringLiteral("key"), QStringLiteral("F2")});
    QTRY_VERIFY_WITH_TIMEOUT(page.isRunning(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(m_target->presses.size(), 4, 3000);
    for (const QPoint& press : qAsConst(m_target->presses))
        QCOMPARE(press, PickPoint);
    // It ends by itself and gives the window back.
    QTRY_VERIFY_WITH_TIMEOUT(!page.isRunning() && page.isVisible(), 3000);
    QTest::qWait(200);
    QCOMPARE(m_target->presses.size(), 4);
}

KLIQORA_TEST_MAIN(TestMouseWidgetX11)
#include "tst_mousewidget_x11.moc"

// The coordinate tag on a real X server: it follows the pointer showing its
// position, and a click on it goes to the window underneath.

#include "globalmousewidget.h"
#include "testenvironment.h"

#include <QMouseEvent>
#include <QProcess>
#include <QTimer>
#include <QtTest>

namespace {

class ClickTarget : public QWidget
{
public:
    QVector<QPoint> presses;

protected:
    void mousePressEvent(QMouseEvent* event) override { presses.append(event->globalPos()); }
};

void xdotool(const QStringList& args)
{
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"), args), 0);
}

} // namespace

class TestGlobalMouseWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == QLatin1String("xcb"), "needs an X server");
    }
    void followsThePointer();
    void clickGoesThroughToTheWindowBelow();
};

void TestGlobalMouseWidget::followsThePointer()
{
    GlobalMouseWidget tag;
    tag.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tag));
    QCOMPARE(tag.size(), QSize(80, 50));
    xdotool({QStringLiteral("mousemove"), QStringLiteral("700"), QStringLiteral("400")});
    QTRY_COMPARE(tag.shownPosition(), QPoint(700, 400));
    QTRY_COMPARE(tag.pos(), QPoint(730, 430));
}

void TestGlobalMouseWidget::clickGoesThroughToTheWindowBelow()
{
    ClickTarget target;
    target.setGeometry(300, 300, 400, 300);
    target.show();
    QVERIFY(QTest::qWaitForWindowExposed(&target));

    GlobalMouseWidget tag;
    tag.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tag));
    // Hold the tag still over the spot that will be clicked (it normally keeps away
    // from the pointer, but a fast pointer can land on it).
    tag.findChild<QTimer*>()->stop();
    tag.move(480, 430);
    tag.raise();
    QTest::qWait(100);

    xdotool({QStringLiteral("mousemove"), QStringLiteral("500"), QStringLiteral("450")});
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    QTRY_COMPARE(target.presses.size(), 1);
    QCOMPARE(target.presses.first(), QPoint(500, 450));
}

KLIQORA_TEST_MAIN(TestGlobalMouseWidget)
#include "tst_globalmousewidget.moc"

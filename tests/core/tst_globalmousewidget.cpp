// The coordinate tag on a real X server: it follows the pointer showing its
// position, and a click on it goes to the window underneath.

#include "globalmousewidget.h"
#include "qtcompat.h"
#include "testenvironment.h"

#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QTimer>
#include <QtTest>

namespace {

class ClickTarget : public QWidget
{
public:
    QVector<QPoint> presses;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        presses.append(QtCompat::globalPosition(event));
    }
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
    void physicalPixelsUnderScaling();
};

// This file is built twice: once as is, once run at 150 % (QT_SCALE_FACTOR), where
// Qt's coordinates are logical and the designer's tag shows physical pixels.
#ifdef KLIQORA_SCALED_TEST
constexpr qreal Scale = 1.5;
#else
constexpr qreal Scale = 1.0;
#endif

void TestGlobalMouseWidget::physicalPixelsUnderScaling()
{
    QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), Scale);
    GlobalMouseWidget tag;
    tag.setPhysicalPixels(true);
    tag.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tag));
    // xdotool speaks physical pixels.
    xdotool({QStringLiteral("mousemove"), QStringLiteral("900"), QStringLiteral("600")});
    QTRY_COMPARE(tag.shownPosition(), QPoint(900, 600));
    const QPoint logical(qRound(900 / Scale), qRound(600 / Scale));
    const int offset = qRound(30 / Scale);
    QTRY_COMPARE(tag.pos(), logical + QPoint(offset, offset));
}

void TestGlobalMouseWidget::followsThePointer()
{
    if (Scale != 1.0)
        QSKIP("the main program's tag runs unscaled");
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
    if (Scale != 1.0)
        QSKIP("positions below are unscaled");
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

int main(int argc, char** argv)
{
    TestHome testHome;
    if (Scale != 1.0)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(Scale));
    QApplication app(argc, argv);
    TestGlobalMouseWidget test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_globalmousewidget.moc"

// The programs on a screen of 144 DPI, 1.5 times the usual: the main program keeps
// the screen's own pixels, the designer scales by the nearest whole factor, on Qt 5
// and Qt 6 alike. Built twice: as the main program starts, and with
// KLIQORA_DESIGNER_SCALING as the designer does.
#include "testenvironment.h"
#include "uistartup.h"

#include <QScreen>

namespace {
constexpr char ScreenDpi[] = "144";
#ifdef KLIQORA_DESIGNER_SCALING
constexpr qreal ExpectedRatio = 2.0; // 1.5 rounded
#else
constexpr qreal ExpectedRatio = 1.0;
#endif
} // namespace

class TestScreenScaling : public QObject
{
    Q_OBJECT

private slots:
    void devicePixelRatio()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), ExpectedRatio);
    }

    void windowsCoverTheirSizeTimesTheRatio()
    {
        QWidget window;
        window.resize(200, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.grab().size(), QSize(200, 100) * ExpectedRatio);
    }

    // The designer, started by the main program, must not inherit its choice.
    void startedProgramsChooseTheirOwnScaling()
    {
        QVERIFY(!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING"));
    }
};

int main(int argc, char** argv)
{
    TestHome testHome;
    // The DPI an X session of a high-resolution screen reports to Qt.
    qputenv("QT_FONT_DPI", ScreenDpi);
    qunsetenv("QT_ENABLE_HIGHDPI_SCALING");
    qunsetenv("QT_SCALE_FACTOR");
#ifdef KLIQORA_DESIGNER_SCALING
    UiStartup::useScreenScaling();
#else
    UiStartup::useScreenPixels();
#endif
    QApplication app(argc, argv);
#ifndef KLIQORA_DESIGNER_SCALING
    UiStartup::leaveScalingToStartedPrograms();
#endif
    TestScreenScaling test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_screenscaling.moc"

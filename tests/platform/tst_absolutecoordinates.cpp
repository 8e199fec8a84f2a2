// A pixel converted to the 0..65535 range the way the jobs do it must come back
// as the same pixel, on every screen size, or clicks land one pixel off.
#include "testenvironment.h"

#include "absolutecoordinates.h"

class TestAbsoluteCoordinates : public QObject
{
    Q_OBJECT

private slots:
    void everyPixelRoundTrips_data();
    void everyPixelRoundTrips();
    void outOfRangeValuesLandOnTheEdges_data();
    void outOfRangeValuesLandOnTheEdges();
};

namespace {
// How the jobs convert: 32-bit arithmetic, truncating division.
int32_t toAbsolute(int32_t pixel, int32_t size)
{
    return pixel * 65535 / size;
}
} // namespace

void TestAbsoluteCoordinates::everyPixelRoundTrips_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("1 pixel") << 1;
    QTest::newRow("768") << 768;
    QTest::newRow("1080") << 1080;
    QTest::newRow("1366") << 1366;
    QTest::newRow("1920") << 1920;
    QTest::newRow("2160") << 2160;
    QTest::newRow("3840") << 3840;
    QTest::newRow("5760, three monitors side by side") << 5760;
    QTest::newRow("7680") << 7680;
    QTest::newRow("32767, the largest without overflow") << 32767;
}

void TestAbsoluteCoordinates::everyPixelRoundTrips()
{
    QFETCH(int, size);
    for (int pixel = 0; pixel < size; ++pixel) {
        const int32_t absolute = toAbsolute(pixel, size);
        const int back = platform::absoluteToPixel(absolute, size);
        if (back != pixel) {
            QFAIL(qPrintable(QStringLiteral("pixel %1 of %2 -> %3 -> %4")
                                 .arg(pixel)
                                 .arg(size)
                                 .arg(absolute)
                                 .arg(back)));
        }
    }
}

void TestAbsoluteCoordinates::outOfRangeValuesLandOnTheEdges_data()
{
    QTest::addColumn<int>("absolute");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("pixel");
    QTest::newRow("full range on 1920") << 65535 << 1920 << 1919;
    QTest::newRow("beyond the range") << 70000 << 1920 << 1919;
    QTest::newRow("negative") << -5 << 1080 << 0;
    QTest::newRow("unknown screen size") << 1000 << 0 << 0;
}

void TestAbsoluteCoordinates::outOfRangeValuesLandOnTheEdges()
{
    QFETCH(int, absolute);
    QFETCH(int, size);
    QFETCH(int, pixel);
    QCOMPARE(platform::absoluteToPixel(absolute, size), pixel);
}

KLIQORA_TEST_APPLESS_MAIN(TestAbsoluteCoordinates)
#include "tst_absolutecoordinates.moc"

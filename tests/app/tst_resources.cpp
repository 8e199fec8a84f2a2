// Every image the programs load by resource path must exist and render: a
// missing alias in the .qrc shows up only as an empty button at run time.

#include "testenvironment.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imageRenders_data();
    void imageRenders();
    void applicationIconSizes_data();
    void applicationIconSizes();
};

void TestResources::imageRenders_data()
{
    QTest::addColumn<QString>("path");

    // clang-format off
    const QStringList pairs = {
        QStringLiteral("menu"), QStringLiteral("min"), QStringLiteral("close"),
        QStringLiteral("help"), QStringLiteral("settings"), QStringLiteral("mouse"),
        QStringLiteral("key"), QStringLiteral("record"), QStringLiteral("selfdef"),
        QStringLiteral("run"), QStringLiteral("edit"), QStringLiteral("delete"),
        QStringLiteral("other"), QStringLiteral("copy"),
    };
    const QStringList singles = {
        QStringLiteral(":/images/home.svg"), QStringLiteral(":/images/mainwindow.svg"),
        QStringLiteral(":/images/exit.svg"), QStringLiteral(":/images/new-a.svg"),
        QStringLiteral(":/images/clear.svg"), QStringLiteral(":/images/stop-rec.svg"),
        QStringLiteral(":/optree/res/images/optree/mouse-click.svg"),
        QStringLiteral(":/optree/res/images/optree/mouse-move.svg"),
        QStringLiteral(":/optree/res/images/optree/key-input.svg"),
        QStringLiteral(":/optree/res/images/optree/text-input.svg"),
        QStringLiteral(":/optree/res/images/optree/mouse-wheel.svg"),
        QStringLiteral(":/optree/res/images/optree/loop-start.svg"),
        QStringLiteral(":/optree/res/images/optree/loop-end.svg"),
        QStringLiteral(":/optree/res/images/optree/wait-color.svg"),
        QStringLiteral(":/optable/res/images/optable/copy-d.svg"),
        QStringLiteral(":/optable/res/images/optable/copy-a.svg"),
        QStringLiteral(":/optable/res/images/optable/delete-d.svg"),
        QStringLiteral(":/optable/res/images/optable/delete-a.svg"),
        QStringLiteral(":/optable/res/images/optable/unmatched.svg"),
        // Written without the slash after the colon: resolved against the root.
        QStringLiteral(":res/images/save.svg"), QStringLiteral(":res/images/flowprop.svg"),
        QStringLiteral(":res/images/run.svg"), QStringLiteral(":res/images/defaultlayout.svg"),
        QStringLiteral(":res/images/operation.svg"), QStringLiteral(":res/images/property.svg"),
    };
    // clang-format on
    for (const QString& name : pairs) {
        for (const char* state : {"-d", "-a"}) {
            const QString path =
                QStringLiteral(":/images/") + name + QLatin1String(state) + QStringLiteral(".svg");
            QTest::newRow(qPrintable(path)) << path;
        }
    }
    for (const QString& path : singles)
        QTest::newRow(qPrintable(path)) << path;
}

void TestResources::imageRenders()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" is not a resource")));
    QSvgRenderer renderer(path);
    QVERIFY2(renderer.isValid(), qPrintable(path + QStringLiteral(" does not parse as SVG")));

    // Something visible must be drawn, not just a valid empty document.
    QImage image(renderer.defaultSize(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    QVERIFY2(opaque > 10, qPrintable(path + QStringLiteral(" renders nothing")));
}

void TestResources::applicationIconSizes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("size");
    QTest::newRow("32") << QStringLiteral(":/images/kliqora32.png") << 32;
    QTest::newRow("48") << QStringLiteral(":/images/kliqora48.png") << 48;
    QTest::newRow("256") << QStringLiteral(":/images/kliqora256.png") << 256;
}

void TestResources::applicationIconSizes()
{
    QFETCH(QString, path);
    QFETCH(int, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY(image.hasAlphaChannel());
}

KLIQORA_TEST_MAIN(TestResources)
#include "tst_resources.moc"

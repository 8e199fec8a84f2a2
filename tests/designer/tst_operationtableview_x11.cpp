// Real drags on an X server into the operation table, started and ended with the
// mouse: a row moved by a drag exists once afterwards, a drag that leaves the table
// leaves no drop line behind, and a category of the palette starts no drag.

#include "flow.h"
#include "operationfactory.h"
#include "operationmodel.h"
#include "operationpanelwidget.h"
#include "operationtableview.h"
#include "operationtreewidget.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QHBoxLayout>
#include <QProcess>
#include <QtTest>

namespace {
const QRect WindowGeometry(100, 100, 900, 400);

// Runs an xdotool command line while this process keeps handling events (the drag
// runs in our own event loop).
bool xdotool(const QStringList& args)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), args);
    if (!tool.waitForStarted())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (tool.state() != QProcess::NotRunning && clock.elapsed() < 15000)
        QTest::qWait(20);
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// A press at `from`, a walk through `via` in small steps, a release at the last point.
bool dragAlong(const QVector<QPoint>& points)
{
    QStringList args;
    const auto moveTo = [&args](const QPoint& p) {
        args << QStringLiteral("mousemove") << QString::number(p.x()) << QString::number(p.y())
             << QStringLiteral("sleep") << QStringLiteral("0.1");
    };
    moveTo(points.first());
    args << QStringLiteral("mousedown") << QStringLiteral("1") << QStringLiteral("sleep")
         << QStringLiteral("0.1");
    for (int i = 1; i < points.size(); ++i) {
        const QPoint from = points.at(i - 1);
        const QPoint to = points.at(i);
        constexpr int steps = 5;
        for (int s = 1; s <= steps; ++s)
            moveTo(from + (to - from) * s / steps);
    }
    moveTo(points.last() + QPoint(1, 1));
    args << QStringLiteral("mouseup") << QStringLiteral("1");
    return xdotool(args);
}

struct Window
{
    Window()
    {
        for (int i = 0; i < 3; ++i) {
            auto* op = new TextInputOperation;
            op->setText(QString(QChar(u'a' + i)));
            model.insertOperation(i, op);
        }
        auto* layout = new QHBoxLayout(&widget);
        layout->addWidget(palette);
        layout->addWidget(table);
        table->setModel(&model);
        widget.setGeometry(WindowGeometry);
        widget.show();
    }
    QString order() const
    {
        QString out;
        for (Operation* op : model.flow()->operations())
            out += static_cast<TextInputOperation*>(op)->text();
        return out;
    }
    QPoint global(QWidget* w, const QPoint& p) const { return w->mapToGlobal(p); }
    QPoint rowCentre(int row) const
    {
        return global(table->viewport(), table->visualRect(model.index(row, 1)).center());
    }
    QPoint belowRows() const
    {
        const QRect last = table->visualRect(model.index(model.rowCount() - 1, 1));
        return global(table->viewport(), QPoint(last.center().x(), last.bottom() + 60));
    }
    QPoint paletteItem(QTreeWidgetItem* item) const
    {
        return global(palette->tree()->viewport(), palette->tree()->visualItemRect(item).center());
    }

    OperationModel model;
    QWidget widget;
    OperationPanelWidget* palette = new OperationPanelWidget;
    OperationTableView* table = new OperationTableView;
};
} // namespace

class TestOperationTableViewX11 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { OperationFactory::instance()->registerBuiltinOperations(); }

    void rowDragMovesOnce()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
        QVERIFY(dragAlong({w.rowCentre(0), w.rowCentre(2)}));
        QTRY_COMPARE(w.order(), QStringLiteral("bac"));
        QVERIFY(dragAlong({w.rowCentre(0), w.belowRows()}));
        QTRY_COMPARE(w.order(), QStringLiteral("acb"));
        QTest::qWait(200);
        QCOMPARE(w.model.rowCount(), 3);
        QVERIFY(!w.table->isDragging());
    }

    void dragThatLeavesClearsTheDropLine()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
        QTreeWidgetItem* textItem = w.palette->tree()->topLevelItem(0)->child(1);
        const QPoint palettePoint = w.paletteItem(textItem);
        QVERIFY(dragAlong({palettePoint, w.rowCentre(1), palettePoint + QPoint(0, 120)}));
        QTest::qWait(200);
        QVERIFY(!w.table->isDragging());
        QCOMPARE(w.order(), QStringLiteral("abc"));

        // The palette item dropped on row 1 lands there.
        QVERIFY(dragAlong({palettePoint, w.rowCentre(1)}));
        QTRY_COMPARE(w.model.rowCount(), 4);
        QVERIFY(qobject_cast<TextInputOperation*>(w.model.operationAt(1)));
        QCOMPARE(w.order(), QStringLiteral("abc")); // the new one has no text
        QVERIFY(!w.table->isDragging());
    }

    void categoryStartsNoDrag()
    {
        Window w;
        QVERIFY(QTest::qWaitForWindowExposed(&w.widget));
        QTreeWidgetItem* category = w.palette->tree()->topLevelItem(1);
        QVERIFY(dragAlong({w.paletteItem(category), w.rowCentre(1)}));
        QTest::qWait(300);
        QCOMPARE(w.model.rowCount(), 3);
        QVERIFY(!w.table->isDragging());
    }
};

KLIQORA_TEST_MAIN(TestOperationTableViewX11)
#include "tst_operationtableview_x11.moc"

// The operation table model: shape, payload bytes, drop rules for new operations and
// moved rows, and one change announcement per model notification.

#include "flow.h"
#include "keyboardoperation.h"
#include "mouseclickoperation.h"
#include "operationfactory.h"
#include "operationmodel.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
// Three text operations named "a", "b", "c", so the order can be read back.
void fillAbc(OperationModel& model, int count = 3)
{
    for (int i = 0; i < count; ++i) {
        auto* op = new TextInputOperation;
        op->setText(QString(QChar(u'a' + i)));
        QVERIFY(model.insertOperation(i, op));
    }
}

QString order(const OperationModel& model)
{
    QString out;
    for (Operation* op : model.flow()->operations())
        out += static_cast<TextInputOperation*>(op)->text();
    return out;
}

std::unique_ptr<QMimeData> mime(const QString& format, const QByteArray& bytes)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(format, bytes);
    return data;
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}
} // namespace

class TestOperationModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { OperationFactory::instance()->registerBuiltinOperations(); }

    void emptyFlowShape()
    {
        OperationModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 4);
        const QStringList headers = {QStringLiteral("操作类型"), QStringLiteral("描述"),
                                     QStringLiteral("执行间隔（毫秒）"), QStringLiteral("编辑")};
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(model.mimeTypes(),
                 QStringList({QStringLiteral("application/x-add-operation-to-table"),
                              QStringLiteral("application/x-move-row-in-operation-table")}));
        QCOMPARE(model.flags(QModelIndex()) & Qt::ItemIsDropEnabled, Qt::ItemIsDropEnabled);
        QCOMPARE(model.flags(QModelIndex()) & Qt::ItemIsDragEnabled, Qt::ItemFlags());
    }

    void cellsAndRoles()
    {
        OperationModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        auto* click = new MouseClickOperation;
        click->setInterval(75);
        QVERIFY(model.insertOperation(0, click));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("点击鼠标"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), click->description());
        QCOMPARE(model.data(model.index(0, 2)), QVariant(75));
        QVERIFY(!model.data(model.index(0, 3)).isValid());
        QVERIFY(!model.data(model.index(0, 0), Qt::EditRole).isValid());
        QCOMPARE(model.headerData(0, Qt::Vertical), QVariant(1));
        const Qt::ItemFlags flags = model.flags(model.index(0, 1));
        QVERIFY(flags & Qt::ItemIsDragEnabled);
        QVERIFY(flags & Qt::ItemIsDropEnabled);
        QVERIFY(!(flags & Qt::ItemIsEditable));
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);
        QCOMPARE(model.columnCount(model.index(0, 0)), 0);
    }

    void loopRowsIndentedAndUnmatchedMarked()
    {
        // (No item-model tester here: it takes a removal that re-indents the rows
        // after it for a fault.)
        OperationFactory::instance()->registerBuiltinOperations();
        OperationModel model;
        // [ [ click ] ]  ] : the last end has no start.
        for (const char* typeId :
             {"loop_start", "loop_start", "mouse_click", "loop_end", "loop_end", "loop_end"}) {
            QVERIFY(model.insertOperation(
                model.rowCount(), OperationFactory::instance()->create(QLatin1String(typeId))));
        }
        auto typeText = [&](int row) { return model.data(model.index(row, 0)).toString(); };
        auto marked = [&](int row) {
            return model.data(model.index(row, 0), Qt::ToolTipRole).isValid() &&
                   model.data(model.index(row, 0), Qt::ForegroundRole).isValid() &&
                   model.data(model.index(row, 0), Qt::DecorationRole).isValid();
        };
        QCOMPARE(typeText(0), QStringLiteral("重复开始"));
        QCOMPARE(typeText(1), QStringLiteral("    重复开始"));
        QCOMPARE(typeText(2), QStringLiteral("        点击鼠标"));
        QCOMPARE(typeText(3), QStringLiteral("    重复结束"));
        QCOMPARE(typeText(4), QStringLiteral("重复结束"));
        QCOMPARE(typeText(5), QStringLiteral("重复结束"));
        for (int row = 0; row < 5; ++row)
            QVERIFY2(!marked(row), qPrintable(QString::number(row)));
        QVERIFY(marked(5));
        QCOMPARE(model.data(model.index(5, 0), Qt::ToolTipRole).toString(),
                 QStringLiteral("没有对应的“重复开始”，流程无法运行"));

        // Taking out the first start leaves the other pair matched and this end's
        // partner gone: the marks follow the rows at once, and views hear of it.
        QSignalSpy repaints(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy announcements(&model, &OperationModel::sigDataChanged);
        QVERIFY(model.removeOperation(0));
        QCOMPARE(repaints.size(), 1);
        QCOMPARE(announcements.size(), 1);
        QCOMPARE(typeText(1), QStringLiteral("    点击鼠标"));
        QVERIFY(marked(3));
        QVERIFY(marked(4));
        QVERIFY(!marked(0));
        QCOMPARE(model.data(model.index(1, 1)).toString(), model.operationAt(1)->description());
    }

    // The bytes other code and older builds exchange, written out by hand.
    void payloadBytes()
    {
        OperationModel model;
        fillAbc(model);
        std::unique_ptr<QMimeData> row2(model.mimeData({model.index(2, 1)}));
        QCOMPARE(row2->formats(), QStringList(OperationModel::MoveRowMimeType));
        QCOMPARE(row2->data(OperationModel::MoveRowMimeType), hex("00000002"));
        std::unique_ptr<QMimeData> none(model.mimeData({}));
        QCOMPARE(none->data(OperationModel::MoveRowMimeType), hex("ffffffff"));

        // "mouse_click" then "点击鼠标", each as byte count and UTF-16BE.
        const QByteArray expected = hex("00000016"
                                        "006d006f007500730065005f0063006c00690063006b"
                                        "00000008"
                                        "70b951fb9f206807");
        QCOMPARE(
            OperationModel::addPayload(QStringLiteral("mouse_click"), QStringLiteral("点击鼠标")),
            expected);
    }

    void dropAdd_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("dropRow");
        QTest::addColumn<int>("insertedAt");
        QTest::newRow("empty table") << 0 << -1 << 0;
        QTest::newRow("on row 2 of three") << 3 << 2 << 2;
        QTest::newRow("on row 0") << 3 << 0 << 0;
        QTest::newRow("below the last row") << 3 << 3 << 3;
        QTest::newRow("negative row appends") << 3 << -1 << 3;
    }

    void dropAdd()
    {
        QFETCH(int, rows);
        QFETCH(int, dropRow);
        QFETCH(int, insertedAt);
        OperationModel model;
        fillAbc(model, rows);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        const auto data = mime(
            OperationModel::AddOperationMimeType,
            OperationModel::addPayload(QStringLiteral("key_input"), QStringLiteral("输入按键")));
        QVERIFY(model.dropMimeData(data.get(), Qt::CopyAction, dropRow, 0, QModelIndex()));
        QCOMPARE(model.rowCount(), rows + 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(1).toInt(), insertedAt);
        Operation* op = model.operationAt(insertedAt);
        QVERIFY(qobject_cast<KeyboardOperation*>(op));
        QVERIFY(op->parent()); // owned, not leaked
    }

    // The drop of an unknown type, of foreign data and of an ignore action.
    void dropRefusals()
    {
        OperationModel model;
        fillAbc(model);
        QSignalSpy changed(&model, &OperationModel::sigDataChanged);
        const auto unknown = mime(OperationModel::AddOperationMimeType,
                                  OperationModel::addPayload(QStringLiteral("Mouse_Click"), {}));
        QVERIFY(model.dropMimeData(unknown.get(), Qt::CopyAction, 0, 0, QModelIndex()));
        const auto foreign = mime(QStringLiteral("text/plain"), "mouse_click");
        QVERIFY(!model.dropMimeData(foreign.get(), Qt::CopyAction, 0, 0, QModelIndex()));
        QVERIFY(model.dropMimeData(foreign.get(), Qt::IgnoreAction, 0, 0, QModelIndex()));
        const auto noSource =
            mime(OperationModel::MoveRowMimeType, OperationModel::movePayload(-1));
        QVERIFY(model.dropMimeData(noSource.get(), Qt::MoveAction, 0, 0, QModelIndex()));
        const auto pastEnd = mime(OperationModel::MoveRowMimeType, OperationModel::movePayload(3));
        QVERIFY(model.dropMimeData(pastEnd.get(), Qt::MoveAction, 0, 0, QModelIndex()));
        QCOMPARE(order(model), QStringLiteral("abc"));
        QCOMPARE(changed.count(), 0);
    }

    void dropMove_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("dropRow");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("moves");
        QTest::newRow("0 onto 1: unchanged") << 0 << 1 << "abc" << 0;
        QTest::newRow("0 onto itself") << 0 << 0 << "abc" << 0;
        QTest::newRow("0 onto 2") << 0 << 2 << "bac" << 1;
        QTest::newRow("0 below the last") << 0 << 3 << "bca" << 1;
        QTest::newRow("last onto 0") << 2 << 0 << "cab" << 1;
        QTest::newRow("last below the last") << 2 << 3 << "abc" << 0;
        QTest::newRow("1 onto 0") << 1 << 0 << "bac" << 1;
        QTest::newRow("negative row moves to the end") << 0 << -1 << "bca" << 1;
    }

    // Each move ends with exactly one copy of every row, and a view's clean-up that
    // asks to remove the dragged row afterwards removes nothing.
    void dropMove()
    {
        QFETCH(int, source);
        QFETCH(int, dropRow);
        QFETCH(QString, expected);
        QFETCH(int, moves);
        OperationModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        fillAbc(model);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy changed(&model, &OperationModel::sigDataChanged);
        std::unique_ptr<QMimeData> data(model.mimeData({model.index(source, 0)}));
        QVERIFY(model.dropMimeData(data.get(), Qt::MoveAction, dropRow, 0, QModelIndex()));
        QVERIFY(!model.removeRows(source, 1));
        QCOMPARE(order(model), expected);
        QCOMPARE(moved.count(), moves);
        QCOMPARE(changed.count(), moves);
    }

    // A valid parent index (a drop "on" an item) targets that item's row.
    void dropOnParentUsesItsRow()
    {
        OperationModel model;
        fillAbc(model);
        std::unique_ptr<QMimeData> data(model.mimeData({model.index(0, 0)}));
        QVERIFY(model.dropMimeData(data.get(), Qt::MoveAction, -1, -1, model.index(2, 0)));
        QCOMPARE(order(model), QStringLiteral("bac"));
    }

    void oneAnnouncementPerChange()
    {
        OperationModel model;
        QSignalSpy changed(&model, &OperationModel::sigDataChanged);
        fillAbc(model);
        QCOMPARE(changed.count(), 3);
        QVERIFY(!model.insertOperation(5, nullptr));
        QVERIFY(model.removeOperation(1));
        QCOMPARE(changed.count(), 4);
        QVERIFY(!model.removeOperation(2));
        std::unique_ptr<QMimeData> data(model.mimeData({model.index(1, 0)}));
        QVERIFY(model.dropMimeData(data.get(), Qt::MoveAction, 0, 0, QModelIndex()));
        QCOMPARE(changed.count(), 5);
        // What the property panel sends after an edit.
        emit model.dataChanged(QModelIndex(), QModelIndex(), {});
        QCOMPARE(changed.count(), 6);
        QCOMPARE(order(model), QStringLiteral("ca"));
    }

    void outOfRangeInsertKeepsOwnership()
    {
        OperationModel model;
        TextInputOperation op;
        QVERIFY(!model.insertOperation(1, &op));
        QVERIFY(!model.insertOperation(-1, &op));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(op.parent(), nullptr);
    }
};

KLIQORA_TEST_GUILESS_MAIN(TestOperationModel)
#include "tst_operationmodel.moc"

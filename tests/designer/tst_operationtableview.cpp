// The palette, the operation table and its row buttons, driven through their event
// handlers on the offscreen platform (real drags are covered on an X server).

#include "buttondelegate.h"
#include "flow.h"
#include "operationfactory.h"
#include "operationmodel.h"
#include "operationpanelwidget.h"
#include "operationtableview.h"
#include "operationtreewidget.h"
#include "testenvironment.h"
#include "textinputoperation.h"

#include <QHelpEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QToolTip>
#include <QtTest>

#include <memory>

namespace {
// Drop events reach a view only inside a real drag; here the handler is called.
class DropTableView : public OperationTableView
{
public:
    using OperationTableView::dropEvent;
};

// A table with three text rows "a", "b", "c" and the row buttons in column 3.
struct TableFixture
{
    TableFixture()
    {
        for (int i = 0; i < 3; ++i) {
            auto* op = new TextInputOperation;
            op->setText(QString(QChar(u'a' + i)));
            model.insertOperation(i, op);
        }
        view.setModel(&model);
        view.setItemDelegateForColumn(OperationModel::ColumnEdit, delegate);
        view.resize(600, 300);
        view.show();
        QTest::qWaitForWindowExposed(&view);
    }
    QString order() const
    {
        QString out;
        for (Operation* op : model.flow()->operations())
            out += static_cast<TextInputOperation*>(op)->text();
        return out;
    }
    QRect cell(int row, int column) const { return view.visualRect(model.index(row, column)); }
    QStyleOptionViewItem option(int row, int column) const
    {
        QStyleOptionViewItem opt;
        opt.rect = cell(row, column);
        return opt;
    }
    bool sendToDelegate(QEvent::Type type, int row, const QPoint& pos,
                        Qt::MouseButton button = Qt::NoButton)
    {
        QMouseEvent event(type, pos, view.viewport()->mapToGlobal(pos), button, button,
                          Qt::NoModifier);
        return delegate->editorEvent(&event, &model, option(row, OperationModel::ColumnEdit),
                                     model.index(row, OperationModel::ColumnEdit));
    }

    OperationModel model;
    DropTableView view;
    ButtonDelegate* delegate = new ButtonDelegate(&view);
};

// The pointer a signal carried, without touching the object (it may be gone).
Operation* rawPointer(const QVariant& argument)
{
    return *static_cast<Operation* const*>(argument.constData());
}

void sendDrop(DropTableView& view, const QPoint& pos, const QByteArray& payload,
              const QString& format)
{
    QMimeData data;
    data.setData(format, payload);
    QDropEvent drop(pos, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    view.dropEvent(&drop);
}
} // namespace

class TestOperationTableView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<ButtonDelegate::BtnType>();
        qRegisterMetaType<Operation*>();
        OperationFactory::instance()->registerBuiltinOperations();
    }

    void paletteInFactoryOrder()
    {
        OperationPanelWidget panel;
        QCOMPARE(panel.objectName(), QStringLiteral("OperationPanelWidgetClass"));
        QTreeWidget* tree = panel.tree();
        QCOMPARE(tree->topLevelItemCount(), 3);
        struct Expected
        {
            QString category, name, typeId;
            int parentIndex, childIndex;
        };
        // clang-format off
        const QVector<Expected> expected = {
            {QStringLiteral("键盘"), QStringLiteral("输入按键"), QStringLiteral("key_input"),   0, 0},
            {QStringLiteral("键盘"), QStringLiteral("输入文本"), QStringLiteral("text_input"),  0, 1},
            {QStringLiteral("鼠标"), QStringLiteral("点击鼠标"), QStringLiteral("mouse_click"), 1, 0},
            {QStringLiteral("鼠标"), QStringLiteral("移动鼠标"), QStringLiteral("mouse_move"),  1, 1},
            {QStringLiteral("鼠标"), QStringLiteral("滚动滚轮"), QStringLiteral("mouse_wheel"), 1, 2},
            {QStringLiteral("流程控制"), QStringLiteral("重复开始"), QStringLiteral("loop_start"), 2, 0},
            {QStringLiteral("流程控制"), QStringLiteral("重复结束"), QStringLiteral("loop_end"),   2, 1},
            {QStringLiteral("流程控制"), QStringLiteral("等待颜色"), QStringLiteral("wait_color"), 2, 2},
        };
        const QVector<int> childCounts = {2, 3, 3};
        // clang-format on
        for (const Expected& e : expected) {
            QTreeWidgetItem* category = tree->topLevelItem(e.parentIndex);
            QCOMPARE(category->text(0), e.category);
            QVERIFY(category->isExpanded());
            QCOMPARE(category->childCount(), childCounts.at(e.parentIndex));
            QTreeWidgetItem* item = category->child(e.childIndex);
            QCOMPARE(item->text(0), e.name);
            QCOMPARE(item->data(0, Qt::UserRole).toString(), e.typeId);
            QVERIFY2(!item->icon(0).pixmap(32, 32).isNull(), qPrintable(e.name));

            std::unique_ptr<QMimeData> mime(OperationTreeWidget::mimeDataForItem(item));
            QVERIFY(mime);
            QCOMPARE(mime->data(OperationModel::AddOperationMimeType),
                     OperationModel::addPayload(e.typeId, e.name));
        }
        // A category carries no operation, so dragging it starts nothing.
        QVERIFY(!OperationTreeWidget::mimeDataForItem(tree->topLevelItem(0)));
        QVERIFY(!OperationTreeWidget::mimeDataForItem(nullptr));
        QCOMPARE(tree->dragDropMode(), QAbstractItemView::DragOnly);
    }

    void dropsThroughTheView()
    {
        TableFixture f;
        const QByteArray add = OperationModel::addPayload(QStringLiteral("text_input"), {});
        sendDrop(f.view, f.cell(2, 1).center(), add, OperationModel::AddOperationMimeType);
        QCOMPARE(f.model.rowCount(), 4);
        QVERIFY(static_cast<TextInputOperation*>(f.model.operationAt(2))->text().isEmpty());
        QVERIFY(f.model.removeOperation(2));

        const QPoint belowRows(10, f.cell(2, 1).bottom() + 20);
        sendDrop(f.view, belowRows, OperationModel::movePayload(0),
                 OperationModel::MoveRowMimeType);
        QCOMPARE(f.order(), QStringLiteral("bca"));
        sendDrop(f.view, f.cell(1, 0).center(), OperationModel::movePayload(0),
                 OperationModel::MoveRowMimeType);
        QCOMPARE(f.order(), QStringLiteral("bca")); // onto the row below itself
        QVERIFY(!f.view.isDragging());
    }

    void foreignDragRefused()
    {
        TableFixture f;
        QMimeData data;
        data.setData(OperationModel::AddOperationMimeType, OperationModel::addPayload({}, {}));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QCoreApplication::sendEvent(f.view.viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        QVERIFY(!f.view.isDragging());
    }

    void dropLinePosition()
    {
        TableFixture f;
        QCOMPARE(f.view.dropLineY(f.cell(1, 2).center()), f.cell(1, 0).top() - 1);
        QCOMPARE(f.view.dropLineY(QPoint(5, f.cell(2, 0).bottom() + 40)),
                 f.cell(2, 0).bottom() + 2);
        OperationModel empty;
        f.view.setModel(&empty);
        QCOMPARE(f.view.dropLineY(QPoint(5, 40)), -1);
    }

    void rowButtonHover()
    {
        TableFixture f;
        const QRect cell = f.cell(1, OperationModel::ColumnEdit);
        const QPoint copy = ButtonDelegate::copyButtonRect(cell).center();
        const QPoint del = ButtonDelegate::deleteButtonRect(cell).center();
        QCOMPARE(ButtonDelegate::copyButtonRect(cell),
                 QRect(cell.center().x() - 34, (cell.top() + cell.bottom()) / 2 - 12, 24, 24));
        QCOMPARE(ButtonDelegate::deleteButtonRect(cell).left(), cell.center().x() + 10);

        QVERIFY(f.sendToDelegate(QEvent::MouseMove, 1, copy));
        QCOMPARE(f.delegate->hoverRow(), 1);
        QCOMPARE(f.delegate->hoverType(), ButtonDelegate::BtnCopy);
        QCOMPARE(QToolTip::text(), QStringLiteral("复制本行"));
        QVERIFY(f.sendToDelegate(QEvent::MouseMove, 1, del));
        QCOMPARE(f.delegate->hoverType(), ButtonDelegate::BtnDelete);
        QCOMPARE(QToolTip::text(), QStringLiteral("删除本行"));
        QVERIFY(!f.sendToDelegate(QEvent::MouseMove, 1, QPoint(cell.left() + 1, cell.top() + 1)));
        QCOMPARE(f.delegate->hoverRow(), -1);
        QTRY_VERIFY(!QToolTip::isVisible());

        // Leaving the button column sideways also drops the highlight.
        QVERIFY(f.sendToDelegate(QEvent::MouseMove, 1, copy));
        QTest::mouseMove(f.view.viewport(), f.cell(1, 1).center());
        QMouseEvent move(QEvent::MouseMove, f.cell(1, 1).center(), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(f.view.viewport(), &move);
        QCOMPARE(f.delegate->hoverRow(), -1);
        QCOMPARE(f.view.hoverRow(), 1);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(f.view.viewport(), &leave);
        QCOMPARE(f.view.hoverRow(), -1);
    }

    // Qt asks the cell for its tooltip once the pointer rests; the cell has none,
    // which must not hide the button's own.
    void restingOnAButtonKeepsItsTooltip()
    {
        TableFixture f;
        const QPoint del =
            ButtonDelegate::deleteButtonRect(f.cell(2, OperationModel::ColumnEdit)).center();
        QVERIFY(f.sendToDelegate(QEvent::MouseMove, 2, del));
        QTRY_VERIFY(QToolTip::isVisible());
        QHelpEvent rest(QEvent::ToolTip, del, f.view.viewport()->mapToGlobal(del));
        QCoreApplication::sendEvent(f.view.viewport(), &rest);
        QTest::qWait(50);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("删除本行"));
    }

    void rowButtonClicks_data()
    {
        QTest::addColumn<int>("buttonValue");
        QTest::addColumn<bool>("onDelete");
        QTest::addColumn<int>("emitted");
        QTest::newRow("left on copy") << int(Qt::LeftButton) << false << 1;
        QTest::newRow("left on delete") << int(Qt::LeftButton) << true << 1;
        QTest::newRow("right on copy") << int(Qt::RightButton) << false << 0;
        QTest::newRow("middle on delete") << int(Qt::MiddleButton) << true << 0;
    }

    void rowButtonClicks()
    {
        QFETCH(int, buttonValue);
        const auto button = Qt::MouseButton(buttonValue);
        QFETCH(bool, onDelete);
        QFETCH(int, emitted);
        TableFixture f;
        QSignalSpy clicked(f.delegate, &ButtonDelegate::iconClicked);
        const QRect cell = f.cell(2, OperationModel::ColumnEdit);
        const QPoint pos = onDelete ? ButtonDelegate::deleteButtonRect(cell).center()
                                    : ButtonDelegate::copyButtonRect(cell).center();
        QTest::mouseClick(f.view.viewport(), button, Qt::NoModifier, pos);
        QCOMPARE(clicked.count(), emitted);
        if (emitted) {
            QCOMPARE(clicked.at(0).at(0).toInt(), 2);
            QCOMPARE(clicked.at(0).at(1).value<ButtonDelegate::BtnType>(),
                     onDelete ? ButtonDelegate::BtnDelete : ButtonDelegate::BtnCopy);
            QCOMPARE(f.delegate->hoverRow(), -1);
        }
        // A press selects the row first, whatever the button does.
        QCOMPARE(f.view.selectionModel()->selectedRows().value(0).row(), 2);
    }

    void selectionAnnouncesOperation()
    {
        TableFixture f;
        QSignalSpy selected(&f.view, &OperationTableView::operationSelected);
        f.view.selectRow(1);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(rawPointer(selected.at(0).at(0)), f.model.operationAt(1));
        // After a deletion the last word is about a row that still exists (the
        // view moves the selection on), never about the deleted operation.
        QVERIFY(f.model.removeOperation(1));
        const QModelIndexList rows = f.view.selectionModel()->selectedRows();
        QCOMPARE(rawPointer(selected.last().at(0)),
                 rows.isEmpty() ? nullptr : f.model.operationAt(rows.first().row()));
        while (f.model.rowCount() > 0)
            QVERIFY(f.model.removeOperation(0));
        QCOMPARE(rawPointer(selected.last().at(0)), nullptr);
    }
};

KLIQORA_TEST_MAIN(TestOperationTableView)
#include "tst_operationtableview.moc"

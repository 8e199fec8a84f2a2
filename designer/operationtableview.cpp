#include "operationtableview.h"

#include "buttondelegate.h"
#include "logcategory.h"
#include "operationmodel.h"
#include "qtcompat.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QPainter>

namespace {
constexpr int RowHeight = 30;
constexpr int VerticalHeaderWidth = 30;
const QColor HoverBandColor(0xE6, 0xF7, 0xFF);
const QColor DropLineColor(0, 120, 210, 255);
constexpr int DropLineWidth = 3;
constexpr int DropLineAboveRow = 1;  // the line sits just above the row under the pointer
constexpr int DropLineBelowLast = 2; // or just below the last row

const char* const TableStyleSheet = R"(
QTableWidget { background-color: #FFFFFF; gridline-color: #E6E6E6; border: 1px solid #ccc;
               border-radius: 10px; padding: 4px; }
QTableWidget::item { background-color: #FFFFFF; color: #333333; }
QTableWidget::item:selected { background-color: #E6F7FF; color: #333333; }
QHeaderView::section { background-color: #196EBF; color: #FFFFFF; border: 1px solid #DCDFE6;
                       min-height: 36px; }
)";
} // namespace

OperationTableView::OperationTableView(QWidget* parent) : QTableView(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDragDropOverwriteMode(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::DoubleClicked);
    setMouseTracking(true);
    verticalHeader()->setDefaultSectionSize(RowHeight);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setVisible(true);
    verticalHeader()->setFixedWidth(VerticalHeaderWidth);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    setStyleSheet(QString::fromUtf8(TableStyleSheet));
}

bool OperationTableView::acceptsSource(const QObject* source) const
{
    return source && (source == this || source->inherits("QTreeWidget"));
}

void OperationTableView::setDragging(bool dragging)
{
    m_dragging = dragging;
    viewport()->update();
}

void OperationTableView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptsSource(event->source()))
        return; // left unaccepted: drags from elsewhere are refused
    setDragging(true);
    event->acceptProposedAction();
}

void OperationTableView::dragMoveEvent(QDragMoveEvent* event)
{
    QTableView::dragMoveEvent(event);
    m_dragPos = QtCompat::dropPosition(event);
    viewport()->update();
    if (acceptsSource(event->source()))
        event->acceptProposedAction();
}

void OperationTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    // Without this the drop line would stay painted after a drag passed through.
    QTableView::dragLeaveEvent(event);
    setDragging(false);
}

void OperationTableView::startDrag(Qt::DropActions supportedActions)
{
    QTableView::startDrag(supportedActions);
    // A drag ended anywhere else, or cancelled, leaves no drop line behind.
    setDragging(false);
}

void OperationTableView::dropEvent(QDropEvent* event)
{
    setDragging(false);
    auto* opModel = qobject_cast<OperationModel*>(model());
    if (!opModel) {
        event->ignore();
        return;
    }
    const QModelIndex under = indexAt(QtCompat::dropPosition(event));
    const int row = under.isValid() ? under.row() : opModel->rowCount();
    m_hoverRow = under.row(); // no mouse moves arrive during a drag
    if (opModel->dropMimeData(event->mimeData(), event->proposedAction(), row, 0, QModelIndex()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void OperationTableView::clearButtonHover(const QPoint& pos)
{
    auto* delegate =
        qobject_cast<ButtonDelegate*>(itemDelegateForColumn(OperationModel::ColumnEdit));
    if (delegate && delegate->hoverRow() >= 0 &&
        indexAt(pos).column() != OperationModel::ColumnEdit)
        delegate->clearHover();
}

void OperationTableView::mouseMoveEvent(QMouseEvent* event)
{
    QTableView::mouseMoveEvent(event);
    m_hoverRow = indexAt(event->pos()).row();
    clearButtonHover(event->pos());
    viewport()->update();
}

void OperationTableView::clearHover()
{
    m_hoverRow = -1;
    clearButtonHover(QPoint(-1, -1));
    viewport()->update();
}

void OperationTableView::leaveEvent(QEvent* event)
{
    QTableView::leaveEvent(event);
    clearHover();
}

bool OperationTableView::viewportEvent(QEvent* event)
{
    // The pointer can leave the rows for a header without leaving the view.
    if (event->type() == QEvent::Leave)
        clearHover();
    return QTableView::viewportEvent(event);
}

int OperationTableView::dropLineY(const QPoint& pos) const
{
    const QModelIndex under = indexAt(pos);
    if (under.isValid()) {
        qCDebug(logCategory()) << "index.row = " << under.row();
        return visualRect(under).top() - DropLineAboveRow;
    }
    const int rows = model() ? model()->rowCount() : 0;
    if (rows == 0)
        return -1;
    return visualRect(model()->index(rows - 1, 0)).bottom() + DropLineBelowLast;
}

void OperationTableView::paintHoverBand(QPainter& painter) const
{
    if (!model() || m_hoverRow < 0 || m_hoverRow >= model()->rowCount())
        return;
    const QRect cell = visualRect(model()->index(m_hoverRow, 0));
    const QRect band(QPoint(0, cell.top()), QPoint(viewport()->width() - 1, cell.bottom()));
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(HoverBandColor, Qt::SolidPattern));
    // Tints the white under the text and leaves the dark text itself as it is: a
    // band laid over the row would wash the text out, as if the row were disabled.
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.drawRect(band);
    painter.restore();
}

void OperationTableView::paintDropLine(QPainter& painter) const
{
    if (!m_dragging)
        return;
    const int y = dropLineY(m_dragPos);
    if (y < 0 && !indexAt(m_dragPos).isValid())
        return;
    if (indexAt(m_dragPos).isValid())
        painter.setRenderHint(QPainter::Antialiasing, true);
    QPen pen(DropLineColor, DropLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(pen);
    painter.drawLine(0, y, viewport()->width(), y);
}

void OperationTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    paintHoverBand(painter);
    paintDropLine(painter);
}

void OperationTableView::setModel(QAbstractItemModel* newModel)
{
    if (model())
        disconnect(model(), &QAbstractItemModel::rowsRemoved, this,
                   &OperationTableView::announceSelection);
    QTableView::setModel(newModel);
    // The selection changes while a removed row is still in the list, which would
    // hand out an operation about to be deleted; once it is gone, say so again.
    if (newModel)
        connect(newModel, &QAbstractItemModel::rowsRemoved, this,
                &OperationTableView::announceSelection);
}

void OperationTableView::selectionChanged(const QItemSelection& selected,
                                          const QItemSelection& deselected)
{
    QTableView::selectionChanged(selected, deselected);
    announceSelection();
}

void OperationTableView::announceSelection()
{
    Operation* op = nullptr;
    auto* opModel = qobject_cast<OperationModel*>(model());
    if (selectionModel() && opModel) {
        const QModelIndexList rows = selectionModel()->selectedRows(0);
        if (!rows.isEmpty())
            op = opModel->operationAt(rows.first().row());
    }
    emit operationSelected(op);
}

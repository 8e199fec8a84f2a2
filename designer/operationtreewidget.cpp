#include "operationtreewidget.h"

#include "operationmodel.h"

#include <QDrag>
#include <QHeaderView>
#include <QMimeData>

const QPoint OperationTreeWidget::DragHotSpot(8, 8);

OperationTreeWidget::OperationTreeWidget(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
}

QMimeData* OperationTreeWidget::mimeDataForItem(const QTreeWidgetItem* item)
{
    if (!item || item->childCount() > 0)
        return nullptr; // a category is not an operation
    const QString typeId = item->data(0, Qt::UserRole).toString();
    auto* mime = new QMimeData;
    mime->setData(OperationModel::AddOperationMimeType,
                  OperationModel::addPayload(typeId, item->text(0)));
    return mime;
}

void OperationTreeWidget::startDrag(Qt::DropActions /*supportedActions*/)
{
    QTreeWidgetItem* item = currentItem();
    QMimeData* mime = mimeDataForItem(item);
    if (!mime)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(
        item->icon(0).pixmap(DragPixmapSize, DragPixmapSize, QIcon::Normal, QIcon::Off));
    drag->setHotSpot(DragHotSpot);
    drag->exec(Qt::CopyAction);
}

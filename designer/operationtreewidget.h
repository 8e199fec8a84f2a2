#pragma once
// The palette tree: operation types grouped by category. Dragging a type carries its
// type id to the operation table; the tree itself never accepts drops.

#include <QTreeWidget>

class QMimeData;

class OperationTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    static constexpr int DragPixmapSize = 32;
    static const QPoint DragHotSpot;

    explicit OperationTreeWidget(QWidget* parent = nullptr);

    // The payload a drag of `item` carries; null for a category or no item.
    static QMimeData* mimeDataForItem(const QTreeWidgetItem* item);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};

#pragma once
// The flow's operations as a table: accepts palette drags and its own row drags,
// paints a hover band and a line where a drop would insert, hands drops to the
// OperationModel and announces the selected operation.

#include <QPoint>
#include <QTableView>

class Operation;

class OperationTableView : public QTableView
{
    Q_OBJECT

public:
    explicit OperationTableView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    int hoverRow() const { return m_hoverRow; }
    bool isDragging() const { return m_dragging; }
    // y of the drop line for a drag at `pos` (viewport coordinates); -1 for none.
    int dropLineY(const QPoint& pos) const;

signals:
    void operationSelected(Operation* op);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;

private:
    void announceSelection();
    bool acceptsSource(const QObject* source) const;
    void setDragging(bool dragging);
    void clearButtonHover(const QPoint& pos);
    void clearHover();
    void paintHoverBand(QPainter& painter) const;
    void paintDropLine(QPainter& painter) const;

    int m_hoverRow = -1;
    QPoint m_dragPos;
    bool m_dragging = false;
};

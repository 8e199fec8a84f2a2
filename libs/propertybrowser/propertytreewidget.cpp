#include "propertytreewidget.h"

#include <QMouseEvent>

namespace {
constexpr int valueColumn = 1;
}

PropertyTreeWidget::PropertyTreeWidget(QWidget* parent) : QTreeWidget(parent) {}

void PropertyTreeWidget::mousePressEvent(QMouseEvent* event)
{
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->pos());
    if (index.isValid() && index.column() == valueColumn)
        emit valueCellPressed(itemFromIndex(index));
}

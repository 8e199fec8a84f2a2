#pragma once
// The tree inside QtTreePropertyBrowser: a two-column QTreeWidget that reports a
// left press on the value column, so the browser can hand the click to the editor.

#include <QTreeWidget>

class PropertyTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit PropertyTreeWidget(QWidget* parent = nullptr);

    using QTreeWidget::indexFromItem;
    using QTreeWidget::itemFromIndex;

signals:
    void valueCellPressed(QTreeWidgetItem* item);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

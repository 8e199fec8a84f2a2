#pragma once
// Content of the operation dock: the palette of operation types, filled once from
// the factory's prototypes.

#include <QWidget>

namespace Ui {
class OperationPanelWidgetClass;
}
class OperationTreeWidget;

class OperationPanelWidget : public QWidget
{
    Q_OBJECT

public:
    explicit OperationPanelWidget(QWidget* parent = nullptr);
    ~OperationPanelWidget() override;

    OperationTreeWidget* tree() const;

private:
    void fillPalette();

    Ui::OperationPanelWidgetClass* ui;
};

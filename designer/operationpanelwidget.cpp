#include "operationpanelwidget.h"

#include "designerresources.h"

#include "operation.h"
#include "operationfactory.h"
#include "ui_operationpanelwidget.h"

OperationPanelWidget::OperationPanelWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui::OperationPanelWidgetClass)
{
    initDesignerResources();
    ui->setupUi(this);
    fillPalette();
}

OperationPanelWidget::~OperationPanelWidget()
{
    delete ui;
}

OperationTreeWidget* OperationPanelWidget::tree() const
{
    return ui->opTree;
}

void OperationPanelWidget::fillPalette()
{
    QTreeWidget* tree = ui->opTree;
    tree->clear();
    // QMap order: ascending type id, which puts the keyboard types first.
    const QMap<QString, Operation*> prototypes =
        OperationFactory::instance()->registeredPrototypes();
    for (auto it = prototypes.cbegin(); it != prototypes.cend(); ++it) {
        const Operation* prototype = it.value();
        const QString category = prototype->category();
        QTreeWidgetItem* categoryItem = nullptr;
        for (int i = 0; i < tree->topLevelItemCount() && !categoryItem; ++i) {
            if (tree->topLevelItem(i)->text(0) == category)
                categoryItem = tree->topLevelItem(i);
        }
        if (!categoryItem)
            categoryItem = new QTreeWidgetItem(tree, QStringList(category));
        auto* item = new QTreeWidgetItem(categoryItem, QStringList(prototype->displayName()));
        item->setData(0, Qt::UserRole, prototype->typeId());
        item->setIcon(0, QIcon(prototype->iconPath()));
    }
    tree->expandAll();
}

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

namespace {

// The flow-control group comes last, its entries in the order a user needs them.
const QStringList FlowControlOrder = {QStringLiteral("loop_start"), QStringLiteral("loop_end"),
                                      QStringLiteral("wait_color")};

// Keyboard and mouse types first, by type id; then the flow-control types.
QList<const Operation*> paletteOrder(const QMap<QString, Operation*>& prototypes)
{
    QList<const Operation*> ordered;
    for (auto it = prototypes.cbegin(); it != prototypes.cend(); ++it) {
        if (!FlowControlOrder.contains(it.key()))
            ordered << it.value();
    }
    for (const QString& typeId : FlowControlOrder) {
        if (const Operation* prototype = prototypes.value(typeId, nullptr))
            ordered << prototype;
    }
    return ordered;
}

} // namespace

void OperationPanelWidget::fillPalette()
{
    QTreeWidget* tree = ui->opTree;
    tree->clear();
    const QList<const Operation*> prototypes =
        paletteOrder(OperationFactory::instance()->registeredPrototypes());
    for (const Operation* prototype : prototypes) {
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

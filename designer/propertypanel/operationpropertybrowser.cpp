#include "operationpropertybrowser.h"

#include <QTreeWidget>

OperationPropertyBrowser::OperationPropertyBrowser(QWidget* parent) : QtTreePropertyBrowser(parent)
{
}

void OperationPropertyBrowser::setHeaderLabels(const QString& prop, const QString& value)
{
    if (auto* tree = findChild<QTreeWidget*>())
        tree->setHeaderLabels({prop, value});
}

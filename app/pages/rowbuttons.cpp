#include "rowbuttons.h"

#include <QTableWidget>
#include <QVariant>

void RowButtons::bind(QObject* button, const QTableWidgetItem* keyItem)
{
    button->setProperty(KeyItemProperty, QVariant::fromValue(reinterpret_cast<quintptr>(keyItem)));
}

int RowButtons::rowOf(const QTableWidget* table, const QObject* button, int keyColumn)
{
    if (!table || !button)
        return -1;
    const QVariant value = button->property(KeyItemProperty);
    if (!value.isValid())
        return -1;
    const quintptr address = value.value<quintptr>();
    if (address == 0)
        return -1;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (reinterpret_cast<quintptr>(table->item(row, keyColumn)) == address)
            return row;
    }
    return -1;
}

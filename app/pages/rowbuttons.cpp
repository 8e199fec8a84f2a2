#include "rowbuttons.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QTableWidget>
#include <QVariant>

namespace {
constexpr int CellMarginX = 10;
constexpr int CellMarginY = 5;
} // namespace

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

QWidget* RowButtons::newCell(int spacing)
{
    auto* cell = new QWidget;
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(CellMarginX, CellMarginY, CellMarginX, CellMarginY);
    layout->setSpacing(spacing);
    return cell;
}

void RowButtons::addToCell(QWidget* cell, QAbstractButton* button, const QTableWidgetItem* keyItem)
{
    bind(button, keyItem);
    static_cast<QHBoxLayout*>(cell->layout())->addWidget(button, 0, Qt::AlignCenter);
}

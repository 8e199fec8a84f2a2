#include "tablelook.h"

#include <QHeaderView>
#include <QTableWidget>

namespace {

const QString TableStyle = QStringLiteral(
    "QTableWidget {background-color: white; gridline-color: #E6E6E6; border: 1px solid #ccc; "
    "border-radius: 10px; padding: 4px;}"
    "QTableWidget::item {background-color: white; color: #333333;}"
    "QTableWidget::item:selected {background-color: #E6F7FF; color: #333333;}"
    "QHeaderView::section {background-color: #196EBF; color: white; "
    "border: 1px solid #DCDFE6; min-height: 36px;}"
    "QTableCornerButton::section {background-color: #196EBF; border: 1px solid #DCDFE6;}");

// The row numbers: a readable strip on white, down to the table's bottom.
const QString RowNumberStyle =
    QStringLiteral("QHeaderView {background-color: white; border: none;}"
                   "QHeaderView::section {background-color: white; color: #999999; border: none; "
                   "border-right: 1px solid #E6E6E6; min-height: 0px; min-width: 28px;}");

} // namespace

void TableLook::apply(QTableWidget* table)
{
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    QHeaderView* rows = table->verticalHeader();
    rows->setDefaultAlignment(Qt::AlignCenter);
    rows->setDefaultSectionSize(RowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setStyleSheet(RowNumberStyle);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setStyleSheet(TableStyle);
}

QTableWidgetItem* TableLook::centredItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

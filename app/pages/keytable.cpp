#include "keytable.h"

#include "keydelegate.h"
#include "rowbuttons.h"
#include "spinboxdelegate.h"
#include "tablelook.h"

#include <QHeaderView>
#include <QPushButton>

#include <utility>

namespace {

constexpr int ColumnCount = 4;
constexpr int TimeColumnWidth = 170;
constexpr int ActionColumnWidth = 50;
constexpr int ButtonSpacing = 10;

const QString DeleteButtonStyle = QStringLiteral(
    "QPushButton {border: none; background: transparent; image: url(:/images/%1.svg);}\n"
    "        QPushButton:hover {image: url(:/images/%2.svg);}\n"
    "        QPushButton:pressed {padding: 3px 2px 2px 3px;}");

} // namespace

KeyTable::KeyTable(QWidget* parent) : QTableWidget(parent)
{
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels(
        {tr("按键"), tr("按住时长（毫秒）"), tr("间隔时间（毫秒）"), tr("操作")});
    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(KeyColumn, QHeaderView::Stretch);
    for (int column : {HoldColumn, PauseColumn, ActionColumn})
        header->setSectionResizeMode(column, QHeaderView::Fixed);
    TableLook::apply(this);
    // At least the header's own width, which depends on the language.
    for (auto [column, width] :
         {std::pair{HoldColumn, TimeColumnWidth}, std::pair{PauseColumn, TimeColumnWidth},
          std::pair{ActionColumn, ActionColumnWidth}})
        setColumnWidth(column, qMax(width, header->sectionSizeHint(column)));
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setItemDelegateForColumn(KeyColumn, new KeyDelegate(this));
    setItemDelegateForColumn(HoldColumn, new SpinBoxDelegate(this));
    setItemDelegateForColumn(PauseColumn, new SpinBoxDelegate(this));
}

void KeyTable::addRow()
{
    addRow(QStringLiteral("CTRL+C"), QStringLiteral("0"), QStringLiteral("100"));
}

void KeyTable::addRow(const QString& key, const QString& hold, const QString& pause)
{
    const int row = rowCount();
    insertRow(row);
    auto* keyItem = TableLook::centredItem(key);
    setItem(row, KeyColumn, keyItem);
    setItem(row, HoldColumn, TableLook::centredItem(hold));
    setItem(row, PauseColumn, TableLook::centredItem(pause));
    setCellWidget(row, ActionColumn, makeDeleteCell(keyItem));
}

QWidget* KeyTable::makeDeleteCell(QTableWidgetItem* keyItem)
{
    QWidget* cell = RowButtons::newCell(ButtonSpacing);
    auto* button = new QPushButton(cell);
    button->setObjectName(QStringLiteral("btnDelete"));
    button->setStyleSheet(
        DeleteButtonStyle.arg(QStringLiteral("delete-d"), QStringLiteral("delete-a")));
    button->setToolTip(tr("删除"));
    // The key item moves with its row, so the button still finds its row after rows
    // above it were removed.
    RowButtons::addToCell(cell, button, keyItem);
    connect(button, &QPushButton::clicked, this, &KeyTable::onBtnDeleteClicked);
    return cell;
}

QAbstractButton* KeyTable::deleteButton(int row) const
{
    QWidget* cell = cellWidget(row, ActionColumn);
    return cell ? cell->findChild<QAbstractButton*>() : nullptr;
}

void KeyTable::deleteRow()
{
    const int row = currentRow();
    if (row >= 0)
        removeRow(row);
}

void KeyTable::clearAll()
{
    setRowCount(0);
}

void KeyTable::onBtnDeleteClicked()
{
    const int found = RowButtons::rowOf(this, sender(), KeyColumn);
    if (found >= 0)
        removeRow(found);
}

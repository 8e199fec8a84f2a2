#pragma once
// Buttons inside a table row that must keep acting on their own row after rows
// above them were removed. Each button carries the address of its row's key item
// (property "keyItemPtr"); a click finds the row by looking for that item in the
// table. The address is only compared, never followed, so a button whose item has
// left the table finds no row instead of touching freed memory.

class QObject;
class QTableWidget;
class QTableWidgetItem;

namespace RowButtons {

constexpr char KeyItemProperty[] = "keyItemPtr";

// Ties `button` to the row that holds `keyItem`.
void bind(QObject* button, const QTableWidgetItem* keyItem);

// The current row of the button's key item in `keyColumn`, or -1 when the button
// carries no item or its item is no longer in the table.
int rowOf(const QTableWidget* table, const QObject* button, int keyColumn = 0);

} // namespace RowButtons

#pragma once
// Buttons inside a table row that must keep acting on their own row after rows
// above them were removed. Each button carries the address of its row's key item
// (property "keyItemPtr"); a click finds the row by looking for that item in the
// table. The address is only compared, never followed, so a button whose item has
// left the table finds no row instead of touching freed memory.

class QAbstractButton;
class QObject;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

namespace RowButtons {

constexpr char KeyItemProperty[] = "keyItemPtr";

// Ties `button` to the row that holds `keyItem`.
void bind(QObject* button, const QTableWidgetItem* keyItem);

// The current row of the button's key item in `keyColumn`, or -1 when the button
// carries no item or its item is no longer in the table.
int rowOf(const QTableWidget* table, const QObject* button, int keyColumn = 0);

// An empty cell widget that lays a row's buttons out side by side, `spacing` apart.
QWidget* newCell(int spacing);

// Puts `button` into `cell`, centred, and ties it to the row that holds `keyItem`.
void addToCell(QWidget* cell, QAbstractButton* button, const QTableWidgetItem* keyItem);

} // namespace RowButtons

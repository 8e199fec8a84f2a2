#pragma once
// The look the pages' list tables share: a blue header over a rounded white body,
// centred header texts, rows of one fixed height, one whole row selected at a time.

class QString;
class QTableWidget;
class QTableWidgetItem;

namespace TableLook {

constexpr int RowHeight = 40;

// Gives `table` that look; its columns and edit triggers stay the caller's.
void apply(QTableWidget* table);

// A new cell item whose text is centred.
QTableWidgetItem* centredItem(const QString& text);

} // namespace TableLook

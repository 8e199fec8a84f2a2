#pragma once
// The list of flows on the custom flows page: name, hotkey and a cell of row
// buttons (run, edit, delete, more) per flow. The buttons find their row through
// the row's name item, so they stay right after rows above them were removed.

#include <QTableWidget>

class QAbstractButton;

class CustomTable : public QTableWidget
{
    Q_OBJECT

public:
    enum Column
    {
        NameColumn = 0,
        HotkeyColumn = 1,
        ActionColumn = 2
    };
    enum RowButton
    {
        RunButton = 0,
        EditButton = 1,
        DeleteButton = 2,
        MoreButton = 3
    };

    explicit CustomTable(QWidget* parent = nullptr);

    // Appends a row with its buttons.
    void addRow(const QString& name, const QString& hotkeyText);
    // Puts a row back at `row` (clamped to the table), e.g. after a failed delete.
    void insertFlowRow(int row, const QString& name, const QString& hotkeyText);
    // Rows outside the table are ignored by the three setters.
    void setRowName(int row, const QString& text);
    // An empty text shows "未设置" (not set).
    void setRowHotkey(int row, const QString& text);
    // Enables or disables the edit, delete and more buttons; run stays enabled.
    void setRowEditable(int row, bool editable);

    // The given button of a row (null outside the table).
    QAbstractButton* rowButton(int row, RowButton which) const;
    // The menu of the more button, while it is open (for tests and screenshots).
    static constexpr char MenuObjectName[] = "menuFlowMore";

signals:
    void sigRunFlow(int row);
    void sigDesignFlow(int row);
    void sigDeleteFlow(int row);
    void sigSetFlowHotKey(int row);
    void sigCopyFlow(int row);
    void sigRenameFlow(int row);

public slots:
    void onBtnRunClicked();
    void onBtnDesignClicked();
    void onBtnDeleteClicked();
    void onBtnOtherClicked();

private:
    void fillRow(int row, const QString& name, const QString& hotkeyText);
    QWidget* makeButtonCell(QTableWidgetItem* nameItem);
    int senderRow() const;
};

#pragma once
// The key presser's table: one row per key with its hold time, its pause and a
// delete button.

#include <QTableWidget>

class QAbstractButton;

class KeyTable : public QTableWidget
{
    Q_OBJECT

public:
    enum Column
    {
        KeyColumn = 0,
        HoldColumn = 1,
        PauseColumn = 2,
        ActionColumn = 3
    };

    explicit KeyTable(QWidget* parent = nullptr);

    // The delete button of a row (null when the row has none).
    QAbstractButton* deleteButton(int row) const;

public slots:
    // Appends a row with "CTRL+C", hold "0" and pause "100".
    void addRow();
    void addRow(const QString& key, const QString& hold, const QString& pause);
    void deleteRow();
    void clearAll();
    void onBtnDeleteClicked();

private:
    QWidget* makeDeleteCell(QTableWidgetItem* keyItem);
};

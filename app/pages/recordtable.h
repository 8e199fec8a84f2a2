#pragma once
// The list of recordings: one row per recording with its name, its start/stop
// hotkey ("未设置" when none) and buttons to run, delete and more (rename, copy,
// set the hotkey). Buttons find their row through the row's name item, so they
// stay right after other rows were removed.

#include <QTableWidget>

class QAbstractButton;
class QMenu;

class RecordTable : public QTableWidget
{
    Q_OBJECT

public:
    enum Column
    {
        NameColumn = 0,
        HotkeyColumn = 1,
        ActionColumn = 2
    };
    enum Button
    {
        RunButton = 0,
        DeleteButton = 1,
        OtherButton = 2
    };

    explicit RecordTable(QWidget* parent = nullptr);

    void addRow(const QString& name, const QString& hotkey);
    // Puts a row back at `row` (clamped to the table), e.g. after a failed delete.
    void insertRecordingRow(int row, const QString& name, const QString& hotkey);
    QString rowName(int row) const;
    void setRowName(int row, const QString& name);
    void setRowHotkey(int row, const QString& hotkey);
    // One of the three buttons of a row (null when the row has none).
    QAbstractButton* rowButton(int row, Button which) const;

    // The text a row shows for a recording without hotkey.
    static QString notSetText();

signals:
    void sigDeleteTask(QString name);
    void sigPlayTask(QString name);
    void sigRenameTask(int row);
    void sigCopyTask(int row);
    void sigSetTaskHotKey(int row);
    // "转为流程" in the row's menu; keepAllMoves for the entry that keeps every move.
    void sigConvertTask(int row, bool keepAllMoves);
    // The "more" menu is about to open (tests choose an action through it).
    void sigMenuAboutToShow(QMenu* menu);

public slots:
    void onBtnDeleteClicked();
    void onBtnRunClicked();
    void onBtnOtherClicked();

private:
    QWidget* makeButtonCell(QTableWidgetItem* nameItem);
    int senderRow() const;
};

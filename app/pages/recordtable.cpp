#include "recordtable.h"

#include "appstyle.h"
#include "rowactions.h"
#include "rowbuttons.h"
#include "shownhotkey.h"
#include "tablelook.h"

#include <QHeaderView>
#include <QMenu>
#include <QPushButton>

namespace {

constexpr int ColumnCount = 3;
constexpr int FixedColumnWidth = 200;
constexpr int ButtonSpacing = 5;

struct ButtonSpec
{
    const char* objectName;
    const char* normal;
    const char* hover;
    const char* tooltip;
};

// clang-format off
// In the order of RecordTable::Button.
const ButtonSpec ButtonSpecs[] = {
    {"btnRun",    "run-d",    "run-a",    QT_TRANSLATE_NOOP("RecordTable", "运行")},
    {"btnDelete", "delete-d", "delete-a", QT_TRANSLATE_NOOP("RecordTable", "删除")},
    {"btnOther",  "other-d",  "other-a",  QT_TRANSLATE_NOOP("RecordTable", "更多")},
};
// clang-format on

} // namespace

RecordTable::RecordTable(QWidget* parent) : QTableWidget(parent)
{
    setObjectName(QStringLiteral("tableRecord"));
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("键鼠录制名称"), tr("启停快捷键"), tr("操作")});
    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column : {HotkeyColumn, ActionColumn}) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        setColumnWidth(column, FixedColumnWidth);
    }
    TableLook::apply(this);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QString RecordTable::notSetText()
{
    return tr("未设置");
}

void RecordTable::addRow(const QString& name, const QString& hotkey)
{
    insertRecordingRow(rowCount(), name, hotkey);
}

void RecordTable::insertRecordingRow(int row, const QString& name, const QString& hotkey)
{
    row = qBound(0, row, rowCount());
    insertRow(row);
    auto* nameItem = TableLook::centredItem(name);
    setItem(row, NameColumn, nameItem);
    setItem(row, HotkeyColumn, TableLook::centredItem(shownHotkey(hotkey, notSetText())));
    setCellWidget(row, ActionColumn, makeButtonCell(nameItem));
}

QWidget* RecordTable::makeButtonCell(QTableWidgetItem* nameItem)
{
    QWidget* cell = RowButtons::newCell(ButtonSpacing);
    void (RecordTable::*const handlers[])() = {&RecordTable::onBtnRunClicked,
                                               &RecordTable::onBtnDeleteClicked,
                                               &RecordTable::onBtnOtherClicked};
    for (int i = 0; i < 3; ++i) {
        const ButtonSpec& entry = ButtonSpecs[i];
        auto* button = new QPushButton(cell);
        button->setObjectName(QString::fromLatin1(entry.objectName));
        button->setStyleSheet(AppStyle::imageButtonStyleSheet(
            QString::fromLatin1(entry.normal), QString::fromLatin1(entry.hover), true));
        button->setToolTip(tr(entry.tooltip));
        button->setCursor(Qt::PointingHandCursor);
        RowButtons::addToCell(cell, button, nameItem);
        connect(button, &QPushButton::clicked, this, handlers[i]);
    }
    return cell;
}

QString RecordTable::rowName(int row) const
{
    const QTableWidgetItem* nameItem = item(row, NameColumn);
    return nameItem ? nameItem->text() : QString();
}

void RecordTable::setRowName(int row, const QString& name)
{
    if (QTableWidgetItem* nameItem = item(row, NameColumn))
        nameItem->setText(name);
}

void RecordTable::setRowHotkey(int row, const QString& hotkey)
{
    if (QTableWidgetItem* hotkeyItem = item(row, HotkeyColumn))
        hotkeyItem->setText(shownHotkey(hotkey, notSetText()));
}

QAbstractButton* RecordTable::rowButton(int row, Button which) const
{
    QWidget* cell = cellWidget(row, ActionColumn);
    if (!cell)
        return nullptr;
    const QList<QAbstractButton*> buttons = cell->findChildren<QAbstractButton*>();
    return which < buttons.size() ? buttons.at(which) : nullptr;
}

int RecordTable::senderRow() const
{
    return RowButtons::rowOf(this, sender(), NameColumn);
}

void RecordTable::onBtnRunClicked()
{
    const int row = senderRow();
    if (row >= 0)
        emit sigPlayTask(rowName(row));
}

void RecordTable::onBtnDeleteClicked()
{
    const int row = senderRow();
    if (row < 0)
        return;
    const QString name = rowName(row);
    if (RowActions::confirmAndRemoveRow(this, sender(), NameColumn, name) >= 0)
        emit sigDeleteTask(name);
}

void RecordTable::onBtnOtherClicked()
{
    auto* button = qobject_cast<QWidget*>(sender());
    if (!button || senderRow() < 0)
        return;
    const RowActions::MoreResult chosen = RowActions::execMoreMenu(
        this, button, NameColumn, [this](QMenu* menu) { emit sigMenuAboutToShow(menu); }, true);
    switch (chosen.choice) {
    case RowActions::MoreChoice::Rename:
        emit sigRenameTask(chosen.row);
        break;
    case RowActions::MoreChoice::Copy:
        emit sigCopyTask(chosen.row);
        break;
    case RowActions::MoreChoice::Hotkey:
        emit sigSetTaskHotKey(chosen.row);
        break;
    case RowActions::MoreChoice::ConvertToFlow:
        emit sigConvertTask(chosen.row, false);
        break;
    case RowActions::MoreChoice::ConvertToFlowKeepingMoves:
        emit sigConvertTask(chosen.row, true);
        break;
    case RowActions::MoreChoice::None:
        break;
    }
}

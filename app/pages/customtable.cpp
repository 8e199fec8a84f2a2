#include "customtable.h"

#include "appstyle.h"
#include "rowactions.h"
#include "rowbuttons.h"
#include "shownhotkey.h"
#include "tablelook.h"

#include <QGraphicsOpacityEffect>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>

namespace {

constexpr int ColumnCount = 3;
constexpr int FixedColumnWidth = 200;
constexpr int CellSpacing = 5;
// A locked row's buttons are drawn faded: the picture alone shows no disabled state.
constexpr qreal LockedOpacity = 0.3;
// The button's own tooltip, given back when its row is unlocked.
constexpr char IdleToolTipProperty[] = "idleToolTip";

} // namespace

CustomTable::CustomTable(QWidget* parent) : QTableWidget(parent)
{
    setColumnCount(ColumnCount);
    setHorizontalHeaderLabels({tr("自定义操作名称"), tr("启停快捷键"), tr("操作")});
    QHeaderView* header = horizontalHeader();
    header->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    for (int column : {HotkeyColumn, ActionColumn}) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        setColumnWidth(column, FixedColumnWidth);
    }
    TableLook::apply(this);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void CustomTable::addRow(const QString& name, const QString& hotkeyText)
{
    insertFlowRow(rowCount(), name, hotkeyText);
}

void CustomTable::insertFlowRow(int row, const QString& name, const QString& hotkeyText)
{
    row = qBound(0, row, rowCount());
    insertRow(row);
    fillRow(row, name, hotkeyText);
}

void CustomTable::fillRow(int row, const QString& name, const QString& hotkeyText)
{
    auto* nameItem = TableLook::centredItem(name);
    setItem(row, NameColumn, nameItem);
    setItem(row, HotkeyColumn, TableLook::centredItem(QString()));
    setRowHotkey(row, hotkeyText);
    setCellWidget(row, ActionColumn, makeButtonCell(nameItem));
}

QWidget* CustomTable::makeButtonCell(QTableWidgetItem* nameItem)
{
    struct ButtonSpec
    {
        const char* objectName;
        const char* image;
        QString toolTip;
        void (CustomTable::*slot)();
    };
    // clang-format off
    const ButtonSpec specs[] = {
        {"btnRun",    "run",    tr("运行"), &CustomTable::onBtnRunClicked},
        {"btnEdit",   "edit",   tr("编辑"), &CustomTable::onBtnDesignClicked},
        {"btnDelete", "delete", tr("删除"), &CustomTable::onBtnDeleteClicked},
        {"btnOther",  "other",  tr("更多"), &CustomTable::onBtnOtherClicked},
    };
    // clang-format on

    QWidget* cell = RowButtons::newCell(CellSpacing);
    for (const ButtonSpec& entry : specs) {
        auto* button = new QPushButton(cell);
        button->setObjectName(QLatin1String(entry.objectName));
        const QString image = QLatin1String(entry.image);
        // Same two-state picture as the main window's help button.
        button->setStyleSheet(AppStyle::imageButtonStyleSheet(image + QStringLiteral("-d"),
                                                              image + QStringLiteral("-a"), true));
        button->setToolTip(entry.toolTip);
        button->setProperty(IdleToolTipProperty, entry.toolTip);
        RowButtons::addToCell(cell, button, nameItem);
        connect(button, &QPushButton::clicked, this, entry.slot);
    }
    return cell;
}

void CustomTable::setRowName(int row, const QString& text)
{
    if (QTableWidgetItem* nameItem =
            (row >= 0 && row < rowCount()) ? item(row, NameColumn) : nullptr)
        nameItem->setText(text);
}

void CustomTable::setRowHotkey(int row, const QString& text)
{
    if (row < 0 || row >= rowCount())
        return;
    if (QTableWidgetItem* hotkeyItem = item(row, HotkeyColumn))
        hotkeyItem->setText(shownHotkey(text, tr("未设置")));
}

void CustomTable::setRowEditable(int row, bool editable)
{
    for (RowButton which : {EditButton, DeleteButton, MoreButton}) {
        QAbstractButton* button = rowButton(row, which);
        if (!button)
            continue;
        button->setEnabled(editable);
        // Disabled widgets still show their tooltip: it says why nothing happens.
        button->setToolTip(
            editable ? button->property(IdleToolTipProperty).toString()
                     : tr("这个操作正在设计器中打开：关闭设计器后才能编辑、删除或更改它。"));
        if (editable) {
            button->setGraphicsEffect(nullptr);
        } else {
            auto* faded = new QGraphicsOpacityEffect(button);
            faded->setOpacity(LockedOpacity);
            button->setGraphicsEffect(faded);
        }
    }
}

QAbstractButton* CustomTable::rowButton(int row, RowButton which) const
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    QWidget* cell = cellWidget(row, ActionColumn);
    if (!cell)
        return nullptr;
    const QList<QAbstractButton*> buttons =
        cell->findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    return which < buttons.size() ? buttons.at(which) : nullptr;
}

int CustomTable::senderRow() const
{
    return RowButtons::rowOf(this, sender(), NameColumn);
}

void CustomTable::onBtnRunClicked()
{
    const int row = senderRow();
    if (row >= 0)
        emit sigRunFlow(row);
}

void CustomTable::onBtnDesignClicked()
{
    const int row = senderRow();
    if (row >= 0)
        emit sigDesignFlow(row);
}

void CustomTable::onBtnDeleteClicked()
{
    const int row = senderRow();
    if (row < 0)
        return;
    const int removed =
        RowActions::confirmAndRemoveRow(this, sender(), NameColumn, item(row, NameColumn)->text());
    if (removed >= 0)
        emit sigDeleteFlow(removed);
}

void CustomTable::onBtnOtherClicked()
{
    auto* button = qobject_cast<QWidget*>(sender());
    if (!button || senderRow() < 0)
        return;
    const RowActions::MoreResult chosen =
        RowActions::execMoreMenu(this, button, NameColumn, [](QMenu* menu) {
            menu->setObjectName(QLatin1String(MenuObjectName));
        });
    switch (chosen.choice) {
    case RowActions::MoreChoice::Rename:
        emit sigRenameFlow(chosen.row);
        break;
    case RowActions::MoreChoice::Copy:
        emit sigCopyFlow(chosen.row);
        break;
    case RowActions::MoreChoice::Hotkey:
        emit sigSetFlowHotKey(chosen.row);
        break;
    case RowActions::MoreChoice::ConvertToFlow: // not offered for flows
    case RowActions::MoreChoice::ConvertToFlowKeepingMoves:
    case RowActions::MoreChoice::None:
        break;
    }
}

#include "customtable.h"

#include "appstyle.h"
#include "rowbuttons.h"
#include "tablelook.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

constexpr int ColumnCount = 3;
constexpr int FixedColumnWidth = 200;
constexpr int CellSpacing = 5;

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
        const char* image;
        QString toolTip;
        void (CustomTable::*slot)();
    };
    // clang-format off
    const ButtonSpec specs[] = {
        {"run",    tr("运行"), &CustomTable::onBtnRunClicked},
        {"edit",   tr("编辑"), &CustomTable::onBtnDesignClicked},
        {"delete", tr("删除"), &CustomTable::onBtnDeleteClicked},
        {"other",  tr("更多"), &CustomTable::onBtnOtherClicked},
    };
    // clang-format on

    QWidget* cell = RowButtons::newCell(CellSpacing);
    for (const ButtonSpec& entry : specs) {
        auto* button = new QPushButton(cell);
        const QString image = QLatin1String(entry.image);
        // Same two-state picture as the main window's help button.
        button->setStyleSheet(AppStyle::imageButtonStyleSheet(image + QStringLiteral("-d"),
                                                              image + QStringLiteral("-a"), true));
        button->setToolTip(entry.toolTip);
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
        hotkeyItem->setText(text.isEmpty() ? tr("未设置") : text);
}

void CustomTable::setRowEditable(int row, bool editable)
{
    for (RowButton which : {EditButton, DeleteButton, MoreButton}) {
        if (QAbstractButton* button = rowButton(row, which))
            button->setEnabled(editable);
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
    const QPointer<QObject> button = sender();
    const int row = senderRow();
    if (row < 0)
        return;
    const QString name = item(row, NameColumn)->text();
    const auto answer =
        QMessageBox::question(this, tr("删除确认"), tr("确定要删除录制 \"%1\" 吗？").arg(name),
                              QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    // The box ran an event loop: find the row again rather than trusting the old number.
    const int current = RowButtons::rowOf(this, button.data(), NameColumn);
    if (current < 0)
        return;
    removeRow(current);
    emit sigDeleteFlow(current);
}

void CustomTable::onBtnOtherClicked()
{
    const QPointer<QWidget> button = qobject_cast<QWidget*>(sender());
    if (!button || senderRow() < 0)
        return;
    QMenu menu(this);
    menu.setObjectName(QLatin1String(MenuObjectName));
    AppStyle::setupRoundedMenu(&menu);
    QAction* rename = menu.addAction(tr("重命名"));
    QAction* copy = menu.addAction(tr("创建副本"));
    QAction* hotkey = menu.addAction(tr("设置快捷键"));
    QAction* chosen = menu.exec(button->mapToGlobal(QPoint(button->width() / 2, button->height())));
    if (!chosen || !button)
        return;
    const int row = RowButtons::rowOf(this, button.data(), NameColumn);
    if (row < 0)
        return;
    if (chosen == rename)
        emit sigRenameFlow(row);
    else if (chosen == copy)
        emit sigCopyFlow(row);
    else if (chosen == hotkey)
        emit sigSetFlowHotKey(row);
}

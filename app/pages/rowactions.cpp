#include "rowactions.h"

#include "appstyle.h"
#include "rowbuttons.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTableWidget>

namespace {
// Each text is marked where it is used, so that lupdate finds it.
QString text(const char* source)
{
    return QCoreApplication::translate("RowActions", source);
}
} // namespace

int RowActions::confirmAndRemoveRow(QTableWidget* table, QObject* button, int keyColumn,
                                    const QString& name)
{
    const QPointer<QObject> guard = button;
    const auto answer = QMessageBox::question(
        table, text(QT_TRANSLATE_NOOP("RowActions", "删除确认")),
        text(QT_TRANSLATE_NOOP("RowActions", "确定要删除录制 \"%1\" 吗？")).arg(name),
        QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return -1;
    const int row = RowButtons::rowOf(table, guard.data(), keyColumn);
    if (row >= 0)
        table->removeRow(row);
    return row;
}

RowActions::MoreResult RowActions::execMoreMenu(QTableWidget* table, QWidget* button, int keyColumn,
                                                const std::function<void(QMenu*)>& beforeShow,
                                                bool offerConversion)
{
    const QPointer<QWidget> guard = button;
    QMenu menu(table);
    AppStyle::setupRoundedMenu(&menu);
    const QAction* rename = menu.addAction(text(QT_TRANSLATE_NOOP("RowActions", "重命名")));
    const QAction* copy = menu.addAction(text(QT_TRANSLATE_NOOP("RowActions", "创建副本")));
    const QAction* hotkey = menu.addAction(text(QT_TRANSLATE_NOOP("RowActions", "设置快捷键")));
    QAction* convert = nullptr;
    const QAction* convertAll = nullptr;
    if (offerConversion) {
        menu.addSeparator();
        convert = menu.addAction(text(QT_TRANSLATE_NOOP("RowActions", "转为流程")));
        convertAll =
            menu.addAction(text(QT_TRANSLATE_NOOP("RowActions", "转为流程（保留全部移动）")));
        convert->setObjectName(QStringLiteral("actionConvertToFlow"));
    }
    if (beforeShow)
        beforeShow(&menu);
    const QAction* chosen =
        menu.exec(button->mapToGlobal(QPoint(button->width() / 2, button->height())));
    MoreResult result;
    result.row = RowButtons::rowOf(table, guard.data(), keyColumn);
    if (!chosen || result.row < 0)
        return result;
    if (chosen == rename)
        result.choice = MoreChoice::Rename;
    else if (chosen == copy)
        result.choice = MoreChoice::Copy;
    else if (chosen == hotkey)
        result.choice = MoreChoice::Hotkey;
    else if (chosen == convert)
        result.choice = MoreChoice::ConvertToFlow;
    else if (chosen == convertAll)
        result.choice = MoreChoice::ConvertToFlowKeepingMoves;
    return result;
}

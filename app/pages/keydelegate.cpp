#include "keydelegate.h"

#include "appstyle.h"
#include "shortcutedit.h"

namespace {
constexpr int EditorInset = 4;
} // namespace

KeyDelegate::KeyDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* KeyDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                   const QModelIndex&) const
{
    auto* editor = new ShortcutEdit(parent);
    editor->setStyleSheet(AppStyle::lineEditStyleSheet());
    editor->setAlignment(Qt::AlignCenter);
    return editor;
}

void KeyDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty())
        static_cast<ShortcutEdit*>(editor)->setText(text);
}

void KeyDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                               const QModelIndex& index) const
{
    model->setData(index, static_cast<ShortcutEdit*>(editor)->text(), Qt::EditRole);
}

void KeyDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                       const QModelIndex&) const
{
    editor->setGeometry(option.rect.adjusted(EditorInset, EditorInset, -EditorInset, -EditorInset));
}

#include "spinboxdelegate.h"

#include <QSpinBox>

namespace {
const QString SpinBoxStyle =
    QStringLiteral("QSpinBox {border: 1px solid #ccc; border-radius: 4px; padding: 4px; "
                   "background-color: white;}");
constexpr int EditorInset = 4;
} // namespace

SpinBoxDelegate::SpinBoxDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

QWidget* SpinBoxDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex&) const
{
    auto* editor = new QSpinBox(parent);
    editor->setStyleSheet(SpinBoxStyle);
    editor->setAlignment(Qt::AlignCenter);
    editor->setRange(0, MaxValue);
    return editor;
}

void SpinBoxDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    static_cast<QSpinBox*>(editor)->setValue(index.data(Qt::EditRole).toInt());
}

void SpinBoxDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const
{
    auto* spinBox = static_cast<QSpinBox*>(editor);
    spinBox->interpretText();
    model->setData(index, spinBox->value(), Qt::EditRole);
}

void SpinBoxDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const
{
    editor->setGeometry(option.rect.adjusted(EditorInset, EditorInset, -EditorInset, -EditorInset));
}

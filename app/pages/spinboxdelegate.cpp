#include "spinboxdelegate.h"

#include <QSpinBox>

namespace {
// With a border of its own the box no longer draws its arrows: they are given too.
const QString SpinBoxStyle = QStringLiteral(
    "QSpinBox {border: 1px solid #ccc; border-radius: 4px; padding: 4px; "
    "background-color: white;}"
    "QSpinBox::up-button {subcontrol-origin: border; subcontrol-position: top right; "
    "width: 18px; border: none;}"
    "QSpinBox::down-button {subcontrol-origin: border; subcontrol-position: bottom right; "
    "width: 18px; border: none;}"
    "QSpinBox::up-arrow {image: url(:/images/spin-up.svg); width: 10px; height: 6px;}"
    "QSpinBox::down-arrow {image: url(:/images/spin-down.svg); width: 10px; height: 6px;}");
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

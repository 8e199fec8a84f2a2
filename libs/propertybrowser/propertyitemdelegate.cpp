#include "propertyitemdelegate.h"

#include <QPainter>

namespace {
constexpr int minimumRowHeight = 24; // room for a spin box or combo box
const QColor gridColor(0xe1, 0xe4, 0xe8);
const QColor headingColor(0xf0, 0xf2, 0xf5);
} // namespace

PropertyItemDelegate::PropertyItemDelegate(EditorCreator creator, QObject* parent)
    : QStyledItemDelegate(parent), m_creator(std::move(creator))
{
}

QWidget* PropertyItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                            const QModelIndex& index) const
{
    return m_creator ? m_creator(index, parent) : nullptr;
}

void PropertyItemDelegate::setEditorData(QWidget*, const QModelIndex&) const {}

void PropertyItemDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {}

void PropertyItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    if (index.data(headingRole).toBool())
        painter->fillRect(option.rect, headingColor);
    QStyledItemDelegate::paint(painter, option, index);

    painter->save();
    painter->setPen(gridColor);
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    if (index.column() == 0)
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->restore();
}

// Editors get every key, Tab, Escape and Return included: a key-capture editor must
// be able to record them, and there is nothing to commit or revert anyway.
bool PropertyItemDelegate::eventFilter(QObject*, QEvent*)
{
    return false;
}

QSize PropertyItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(qMax(size.height(), minimumRowHeight));
    return size;
}

#include "buttondelegate.h"

#include "designerresources.h"

#include "operationmodel.h"
#include "qtcompat.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
constexpr int ButtonSize = 24;
constexpr int CopyOffsetX = -34;   // from the cell's centre
constexpr int DeleteOffsetX = 10;  // from the cell's centre
constexpr int ButtonOffsetY = -12; // from the cell's middle line
const QSize CellSizeHint(100, 36);

int cellMiddleY(const QRect& cell)
{
    return (cell.top() + cell.bottom()) / 2;
}

QPixmap loadPixmap(const QString& path)
{
    return QPixmap(path);
}
} // namespace

ButtonDelegate::ButtonDelegate(QObject* parent) : QStyledItemDelegate(parent)
{
    initDesignerResources();
    // clang-format off
    m_normalPixmaps[BtnCopy]   = loadPixmap(QStringLiteral(":/optable/res/images/optable/copy-d.svg"));
    m_normalPixmaps[BtnDelete] = loadPixmap(QStringLiteral(":/optable/res/images/optable/delete-d.svg"));
    m_hoverPixmaps[BtnCopy]    = loadPixmap(QStringLiteral(":/optable/res/images/optable/copy-a.svg"));
    m_hoverPixmaps[BtnDelete]  = loadPixmap(QStringLiteral(":/optable/res/images/optable/delete-a.svg"));
    // clang-format on
}

QRect ButtonDelegate::copyButtonRect(const QRect& cell)
{
    return QRect(cell.center().x() + CopyOffsetX, cellMiddleY(cell) + ButtonOffsetY, ButtonSize,
                 ButtonSize);
}

QRect ButtonDelegate::deleteButtonRect(const QRect& cell)
{
    return QRect(cell.center().x() + DeleteOffsetX, cellMiddleY(cell) + ButtonOffsetY, ButtonSize,
                 ButtonSize);
}

const QPixmap& ButtonDelegate::pixmapFor(int row, BtnType type) const
{
    const bool hovered = row == m_hoverRow && type == m_hoverType;
    return *(hovered ? m_hoverPixmaps : m_normalPixmaps).constFind(type);
}

void ButtonDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != OperationModel::ColumnEdit)
        return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawPixmap(copyButtonRect(option.rect), pixmapFor(index.row(), BtnCopy));
    painter->drawPixmap(deleteButtonRect(option.rect), pixmapFor(index.row(), BtnDelete));
    painter->restore();
}

QSize ButtonDelegate::sizeHint(const QStyleOptionViewItem& /*option*/,
                               const QModelIndex& /*index*/) const
{
    return CellSizeHint;
}

void ButtonDelegate::clearHover()
{
    m_hoverRow = -1;
    QToolTip::hideText();
}

QString ButtonDelegate::toolTipOf(BtnType type)
{
    return type == BtnCopy ? tr("复制本行") : tr("删除本行");
}

bool ButtonDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                               const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event->type() == QEvent::ToolTip && index.column() == OperationModel::ColumnEdit) {
        const bool inCopy = copyButtonRect(option.rect).contains(event->pos());
        if (inCopy || deleteButtonRect(option.rect).contains(event->pos())) {
            QToolTip::showText(event->globalPos(), toolTipOf(inCopy ? BtnCopy : BtnDelete), view);
            return true;
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

bool ButtonDelegate::editorEvent(QEvent* event, QAbstractItemModel* /*model*/,
                                 const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const QEvent::Type kind = event->type();
    const bool mouseEvent = kind == QEvent::MouseMove || kind == QEvent::MouseButtonPress ||
                            kind == QEvent::MouseButtonRelease ||
                            kind == QEvent::MouseButtonDblClick;
    if (!mouseEvent || index.column() != OperationModel::ColumnEdit)
        return false;

    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool inCopy = copyButtonRect(option.rect).contains(mouse->pos());
    const bool inDelete = deleteButtonRect(option.rect).contains(mouse->pos());
    if (!inCopy && !inDelete) {
        clearHover();
        return false;
    }
    const BtnType type = inCopy ? BtnCopy : BtnDelete;

    if (kind == QEvent::MouseMove) {
        m_hoverRow = index.row();
        m_hoverType = type;
        QToolTip::showText(QtCompat::globalPosition(mouse), toolTipOf(type));
        return true;
    }
    if (kind == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        const int row = index.row();
        clearHover();
        emit iconClicked(row, type);
        return true;
    }
    return false;
}

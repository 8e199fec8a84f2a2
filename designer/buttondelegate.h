#pragma once
// Paints a copy and a delete button in each cell of the table's edit column and
// reports left clicks on them; the picture under the pointer is highlighted and
// explained by a tool tip.

#include <QMap>
#include <QPixmap>
#include <QStyledItemDelegate>

class ButtonDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum BtnType
    {
        BtnCopy = 0,
        BtnDelete = 1
    };
    Q_ENUM(BtnType)

    explicit ButtonDelegate(QObject* parent = nullptr);

    // Button rectangles inside a cell rectangle.
    static QRect copyButtonRect(const QRect& cell);
    static QRect deleteButtonRect(const QRect& cell);

    int hoverRow() const { return m_hoverRow; }
    BtnType hoverType() const { return m_hoverType; }
    // Drops the highlight and the tool tip; the view calls it when the pointer leaves
    // the button column by a way this delegate does not see.
    void clearHover();

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // A pointer resting on a button keeps its tooltip (the cell itself has none,
    // which would hide it).
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

signals:
    void iconClicked(int row, ButtonDelegate::BtnType type);

private:
    const QPixmap& pixmapFor(int row, BtnType type) const;
    static QString toolTipOf(BtnType type);

    QMap<BtnType, QPixmap> m_normalPixmaps;
    QMap<BtnType, QPixmap> m_hoverPixmaps;
    int m_hoverRow = -1;
    BtnType m_hoverType = BtnCopy;
};

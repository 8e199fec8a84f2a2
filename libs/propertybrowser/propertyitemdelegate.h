#pragma once
// Paints property rows (thin grid lines, check boxes for bool values, shaded
// headings) and asks the browser for the value column's editor. Editors write
// into their manager themselves, so the delegate never copies data to or from them.

#include <QStyledItemDelegate>

#include <functional>

class PropertyItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using EditorCreator = std::function<QWidget*(const QModelIndex&, QWidget*)>;

    PropertyItemDelegate(EditorCreator creator, QObject* parent);

    // Item data role holding true on heading rows without value.
    static constexpr int headingRole = Qt::UserRole + 1;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* editor, QEvent* event) override;

private:
    EditorCreator m_creator;
};

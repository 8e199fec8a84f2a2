#pragma once
// Edits a key cell of the key table with a ShortcutEdit: the user presses the key.

#include <QStyledItemDelegate>

class KeyDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit KeyDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

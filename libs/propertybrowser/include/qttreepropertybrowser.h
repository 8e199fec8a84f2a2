#pragma once
// Shows properties as a two-column tree ("Property" and "Value"). Clicking a row
// opens its editor in the value column (one editor at a time, made by the
// factory registered for the property's manager); disabled rows get none.
// Rows follow the properties live: names, values, enabled state, child rows
// added or removed. Each row keeps its expanded state while its children change;
// new rows start expanded. The tree is a QTreeWidget child of the browser.

#include "qtabstracteditorfactory.h"
#include "qtbrowseritem.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class PropertyTreeWidget;
class QTreeWidgetItem;
class QtAbstractPropertyManager;
class QtProperty;

class QtTreePropertyBrowser : public QWidget
{
    Q_OBJECT

public:
    explicit QtTreePropertyBrowser(QWidget* parent = nullptr);
    ~QtTreePropertyBrowser() override;

    // Appends a top-level row (with its child rows). Null if the property is already
    // a top-level row of this browser.
    QtBrowserItem* addProperty(QtProperty* property);
    // Inserts after afterProperty (a top-level property; null inserts first).
    QtBrowserItem* insertProperty(QtProperty* property, QtProperty* afterProperty);
    void removeProperty(QtProperty* property);
    // The top-level properties in display order.
    QList<QtProperty*> properties() const;
    // Removes every row; the properties themselves stay with their manager.
    void clear();

    QList<QtBrowserItem*> topLevelItems() const { return m_topLevelItems; }
    QtBrowserItem* topLevelItem(QtProperty* property) const;
    QList<QtBrowserItem*> items(QtProperty* property) const { return m_itemsOf.value(property); }

    QtBrowserItem* currentItem() const;
    // Makes the row current, which opens its editor.
    void setCurrentItem(QtBrowserItem* item);
    // Makes the row current and gives its editor the keyboard focus.
    void editItem(QtBrowserItem* item);
    // The open editor, or null (an addition of ours, handy for tests and tools).
    QWidget* currentEditor() const { return m_editor; }

    bool isExpanded(QtBrowserItem* item) const;
    void setExpanded(QtBrowserItem* item, bool expanded);

    // Width of the name column.
    int splitterPosition() const;
    void setSplitterPosition(int position);
    int indentation() const;
    void setIndentation(int indentation);
    bool isHeaderVisible() const;
    void setHeaderVisible(bool visible);
    bool alternatingRowColors() const;
    void setAlternatingRowColors(bool enable);

    // Registers the editor factory for every property of the manager. The browser
    // neither owns the factory nor the manager; either may be deleted first.
    template <class PropertyManager>
    void setFactoryForManager(PropertyManager* manager,
                              QtAbstractEditorFactory<PropertyManager>* factory)
    {
        setFactory(manager, factory);
    }
    void unsetFactoryForManager(QtAbstractPropertyManager* manager);

signals:
    void currentItemChanged(QtBrowserItem* item);
    void expanded(QtBrowserItem* item);
    void collapsed(QtBrowserItem* item);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setFactory(QtAbstractPropertyManager* manager, QtAbstractEditorFactoryBase* factory);
    void watchManager(QtAbstractPropertyManager* manager);

    QtBrowserItem* createItem(QtProperty* property, QtBrowserItem* parent, int position);
    void deleteItem(QtBrowserItem* item);
    void updateItem(QtBrowserItem* item);
    bool isEffectivelyEnabled(const QtBrowserItem* item) const;
    QtBrowserItem* itemOf(const QTreeWidgetItem* treeItem) const;
    QtBrowserItem* itemOf(const QModelIndex& index) const;

    void onPropertyInserted(QtProperty* property, QtProperty* parent, QtProperty* after);
    void onPropertyRemoved(QtProperty* property, QtProperty* parent);
    void onPropertyChanged(QtProperty* property);
    void onPropertyDestroyed(QtProperty* property);
    void onCurrentTreeItemChanged(QTreeWidgetItem* current);
    void onValueCellPressed(QTreeWidgetItem* treeItem);

    void openEditor(QtBrowserItem* item);
    void closeEditor();
    QWidget* createEditorFor(const QModelIndex& index, QWidget* parent);

    PropertyTreeWidget* m_tree = nullptr;
    QList<QtBrowserItem*> m_topLevelItems;
    QHash<QtProperty*, QList<QtBrowserItem*>> m_itemsOf;
    QHash<const QTreeWidgetItem*, QtBrowserItem*> m_itemOfTreeItem;
    QHash<QtAbstractPropertyManager*, QPointer<QtAbstractEditorFactoryBase>> m_factories;
    QList<QtAbstractPropertyManager*> m_watchedManagers;

    QtBrowserItem* m_editorItem = nullptr;
    QPointer<QWidget> m_editor;
    bool m_splitterSetByUser = false;
    bool m_settingSplitter = false;
};

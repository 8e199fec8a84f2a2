#include "qttreepropertybrowser.h"

#include "propertyitemdelegate.h"
#include "propertytreewidget.h"
#include "qtabstractpropertymanager.h"
#include "qtproperty.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {
constexpr int nameColumn = 0;
constexpr int valueColumn = 1;
constexpr double defaultSplitterRatio = 0.5;
} // namespace

QtTreePropertyBrowser::QtTreePropertyBrowser(QWidget* parent) : QWidget(parent)
{
    m_tree = new PropertyTreeWidget(this);
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({tr("Property"), tr("Value")});
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setAllColumnsShowFocus(true);
    m_tree->setItemDelegate(new PropertyItemDelegate(
        [this](const QModelIndex& index, QWidget* editorParent) {
            return createEditorFor(index, editorParent);
        },
        m_tree));
    m_tree->header()->setSectionsMovable(false);
    m_tree->header()->setSectionResizeMode(nameColumn, QHeaderView::Interactive);
    m_tree->header()->setStretchLastSection(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { onCurrentTreeItemChanged(current); });
    connect(m_tree, &PropertyTreeWidget::valueCellPressed, this,
            &QtTreePropertyBrowser::onValueCellPressed);
    connect(m_tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* treeItem) {
        QtBrowserItem* item = itemOf(treeItem);
        if (item && !item->m_expanded) {
            item->m_expanded = true;
            emit expanded(item);
        }
    });
    connect(m_tree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* treeItem) {
        QtBrowserItem* item = itemOf(treeItem);
        // A row that merely lost its last child keeps its state for the next ones.
        if (item && item->m_expanded && treeItem->childCount() > 0) {
            item->m_expanded = false;
            emit collapsed(item);
        }
    });
    connect(m_tree->header(), &QHeaderView::sectionResized, this, [this](int logicalIndex) {
        if (logicalIndex == nameColumn && !m_settingSplitter)
            m_splitterSetByUser = true;
    });
}

QtTreePropertyBrowser::~QtTreePropertyBrowser()
{
    m_tree->disconnect(this);
    clear();
}

QtBrowserItem* QtTreePropertyBrowser::addProperty(QtProperty* property)
{
    return insertProperty(property,
                          m_topLevelItems.isEmpty() ? nullptr : m_topLevelItems.last()->m_property);
}

QtBrowserItem* QtTreePropertyBrowser::insertProperty(QtProperty* property,
                                                     QtProperty* afterProperty)
{
    if (!property || topLevelItem(property))
        return nullptr;
    int position = 0;
    if (afterProperty) {
        QtBrowserItem* after = topLevelItem(afterProperty);
        position = after ? m_topLevelItems.indexOf(after) + 1 : m_topLevelItems.size();
    }
    return createItem(property, nullptr, position);
}

void QtTreePropertyBrowser::removeProperty(QtProperty* property)
{
    if (QtBrowserItem* item = topLevelItem(property))
        deleteItem(item);
}

QList<QtProperty*> QtTreePropertyBrowser::properties() const
{
    QList<QtProperty*> result;
    for (const QtBrowserItem* item : m_topLevelItems)
        result.append(item->m_property);
    return result;
}

void QtTreePropertyBrowser::clear()
{
    closeEditor();
    while (!m_topLevelItems.isEmpty())
        deleteItem(m_topLevelItems.last());
}

QtBrowserItem* QtTreePropertyBrowser::topLevelItem(QtProperty* property) const
{
    for (QtBrowserItem* item : m_topLevelItems) {
        if (item->m_property == property)
            return item;
    }
    return nullptr;
}

QtBrowserItem* QtTreePropertyBrowser::currentItem() const
{
    return itemOf(m_tree->currentItem());
}

void QtTreePropertyBrowser::setCurrentItem(QtBrowserItem* item)
{
    if (item && item->m_browser != this)
        return;
    m_tree->setCurrentItem(item ? item->m_treeItem : nullptr);
}

void QtTreePropertyBrowser::editItem(QtBrowserItem* item)
{
    setCurrentItem(item);
    if (m_editor && m_editorItem == item)
        m_editor->setFocus(Qt::OtherFocusReason);
}

bool QtTreePropertyBrowser::isExpanded(QtBrowserItem* item) const
{
    return item && item->m_expanded;
}

void QtTreePropertyBrowser::setExpanded(QtBrowserItem* item, bool expanded)
{
    if (!item || item->m_browser != this)
        return;
    item->m_treeItem->setExpanded(expanded);
    item->m_expanded = expanded;
}

int QtTreePropertyBrowser::splitterPosition() const
{
    return m_tree->header()->sectionSize(nameColumn);
}

void QtTreePropertyBrowser::setSplitterPosition(int position)
{
    m_splitterSetByUser = true;
    m_settingSplitter = true;
    m_tree->header()->resizeSection(nameColumn, position);
    m_settingSplitter = false;
}

int QtTreePropertyBrowser::indentation() const
{
    return m_tree->indentation();
}

void QtTreePropertyBrowser::setIndentation(int indentation)
{
    m_tree->setIndentation(indentation);
}

bool QtTreePropertyBrowser::isHeaderVisible() const
{
    return !m_tree->header()->isHidden();
}

void QtTreePropertyBrowser::setHeaderVisible(bool visible)
{
    m_tree->header()->setVisible(visible);
}

bool QtTreePropertyBrowser::alternatingRowColors() const
{
    return m_tree->alternatingRowColors();
}

void QtTreePropertyBrowser::setAlternatingRowColors(bool enable)
{
    m_tree->setAlternatingRowColors(enable);
}

void QtTreePropertyBrowser::unsetFactoryForManager(QtAbstractPropertyManager* manager)
{
    setFactory(manager, nullptr);
}

void QtTreePropertyBrowser::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_splitterSetByUser)
        return;
    m_settingSplitter = true;
    m_tree->header()->resizeSection(nameColumn, int(width() * defaultSplitterRatio));
    m_settingSplitter = false;
}

void QtTreePropertyBrowser::setFactory(QtAbstractPropertyManager* manager,
                                       QtAbstractEditorFactoryBase* factory)
{
    if (!manager)
        return;
    if (factory)
        m_factories.insert(manager, factory);
    else
        m_factories.remove(manager);
    watchManager(manager);
    // An open editor of that manager is replaced by one of the new factory.
    QtBrowserItem* item = m_editorItem;
    if (item && item->m_property->propertyManager() == manager) {
        closeEditor();
        openEditor(item);
    }
}

void QtTreePropertyBrowser::watchManager(QtAbstractPropertyManager* manager)
{
    if (!manager || m_watchedManagers.contains(manager))
        return;
    m_watchedManagers.append(manager);
    connect(manager, &QtAbstractPropertyManager::propertyInserted, this,
            &QtTreePropertyBrowser::onPropertyInserted);
    connect(manager, &QtAbstractPropertyManager::propertyRemoved, this,
            &QtTreePropertyBrowser::onPropertyRemoved);
    connect(manager, &QtAbstractPropertyManager::propertyChanged, this,
            &QtTreePropertyBrowser::onPropertyChanged);
    connect(manager, &QtAbstractPropertyManager::propertyDestroyed, this,
            &QtTreePropertyBrowser::onPropertyDestroyed);
    connect(manager, &QObject::destroyed, this, [this, manager] {
        m_watchedManagers.removeAll(manager);
        m_factories.remove(manager);
    });
}

QtBrowserItem* QtTreePropertyBrowser::createItem(QtProperty* property, QtBrowserItem* parent,
                                                 int position)
{
    auto* item = new QtBrowserItem(this, property, parent);
    item->m_treeItem = new QTreeWidgetItem;
    m_itemOfTreeItem.insert(item->m_treeItem, item);
    m_itemsOf[property].append(item);
    if (parent) {
        parent->m_children.insert(position, item);
        parent->m_treeItem->insertChild(position, item->m_treeItem);
    } else {
        m_topLevelItems.insert(position, item);
        m_tree->insertTopLevelItem(position, item->m_treeItem);
    }
    watchManager(property->propertyManager());
    updateItem(item);

    const QList<QtProperty*> children = property->subProperties();
    for (int i = 0; i < children.size(); ++i)
        createItem(children.at(i), item, i);
    // Expansion applies only once the row is in the tree; the parent's state is
    // applied again because a row without children cannot be expanded.
    item->m_treeItem->setExpanded(item->m_expanded);
    if (parent)
        parent->m_treeItem->setExpanded(parent->m_expanded);
    return item;
}

void QtTreePropertyBrowser::deleteItem(QtBrowserItem* item)
{
    while (!item->m_children.isEmpty())
        deleteItem(item->m_children.last());
    if (item == m_editorItem)
        closeEditor();
    if (m_tree->currentItem() == item->m_treeItem)
        m_tree->setCurrentItem(nullptr);

    if (item->m_parent)
        item->m_parent->m_children.removeOne(item);
    else
        m_topLevelItems.removeOne(item);
    auto it = m_itemsOf.find(item->m_property);
    if (it != m_itemsOf.end()) {
        it->removeOne(item);
        if (it->isEmpty())
            m_itemsOf.erase(it);
    }
    m_itemOfTreeItem.remove(item->m_treeItem);
    delete item->m_treeItem;
    delete item;
}

void QtTreePropertyBrowser::updateItem(QtBrowserItem* item)
{
    const QtProperty* property = item->m_property;
    QTreeWidgetItem* treeItem = item->m_treeItem;
    treeItem->setText(nameColumn, property->propertyName());
    treeItem->setText(valueColumn, property->displayText());
    treeItem->setIcon(valueColumn, property->valueIcon());
    const QString toolTip = property->toolTip();
    treeItem->setToolTip(nameColumn, toolTip.isEmpty() ? property->propertyName() : toolTip);
    treeItem->setToolTip(valueColumn, toolTip.isEmpty() ? property->valueText() : toolTip);
    const bool heading = !property->hasValue();
    treeItem->setData(nameColumn, PropertyItemDelegate::headingRole, heading);
    treeItem->setData(valueColumn, PropertyItemDelegate::headingRole, heading);

    const bool enabled = isEffectivelyEnabled(item);
    const Qt::ItemFlags flags =
        enabled ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::ItemFlags();
    if (treeItem->flags() != flags) {
        treeItem->setFlags(flags);
        if (!enabled && item == m_editorItem)
            closeEditor();
        // Children are greyed with their parent.
        for (QtBrowserItem* child : qAsConst(item->m_children))
            updateItem(child);
    }
}

bool QtTreePropertyBrowser::isEffectivelyEnabled(const QtBrowserItem* item) const
{
    for (; item; item = item->m_parent) {
        if (!item->m_property->isEnabled())
            return false;
    }
    return true;
}

QtBrowserItem* QtTreePropertyBrowser::itemOf(const QTreeWidgetItem* treeItem) const
{
    return treeItem ? m_itemOfTreeItem.value(treeItem) : nullptr;
}

QtBrowserItem* QtTreePropertyBrowser::itemOf(const QModelIndex& index) const
{
    return itemOf(m_tree->itemFromIndex(index));
}

void QtTreePropertyBrowser::onPropertyInserted(QtProperty* property, QtProperty* parent,
                                               QtProperty* after)
{
    if (!parent)
        return;
    const QList<QtBrowserItem*> parentItems = m_itemsOf.value(parent);
    for (QtBrowserItem* parentItem : parentItems) {
        int position = 0;
        if (after) {
            position = parentItem->m_children.size();
            for (int i = 0; i < parentItem->m_children.size(); ++i) {
                if (parentItem->m_children.at(i)->m_property == after)
                    position = i + 1;
            }
        }
        createItem(property, parentItem, position);
    }
}

void QtTreePropertyBrowser::onPropertyRemoved(QtProperty* property, QtProperty* parent)
{
    const QList<QtBrowserItem*> parentItems = m_itemsOf.value(parent);
    for (QtBrowserItem* parentItem : parentItems) {
        const QList<QtBrowserItem*> children = parentItem->m_children;
        for (QtBrowserItem* child : children) {
            if (child->m_property == property)
                deleteItem(child);
        }
    }
}

void QtTreePropertyBrowser::onPropertyChanged(QtProperty* property)
{
    const QList<QtBrowserItem*> items = m_itemsOf.value(property);
    for (QtBrowserItem* item : items)
        updateItem(item);
}

void QtTreePropertyBrowser::onPropertyDestroyed(QtProperty* property)
{
    while (m_itemsOf.contains(property))
        deleteItem(m_itemsOf.value(property).constFirst());
}

void QtTreePropertyBrowser::onCurrentTreeItemChanged(QTreeWidgetItem* current)
{
    QtBrowserItem* item = itemOf(current);
    if (item != m_editorItem) {
        closeEditor();
        if (item && isEffectivelyEnabled(item))
            openEditor(item);
    }
    emit currentItemChanged(item);
}

void QtTreePropertyBrowser::onValueCellPressed(QTreeWidgetItem* treeItem)
{
    QtBrowserItem* item = itemOf(treeItem);
    if (!item || item != m_editorItem || !m_editor)
        return;
    // The press that opened the editor also does what a press on it would do: a
    // check box toggles, a drop-down list opens, anything else takes the focus.
    m_editor->setFocus(Qt::MouseFocusReason);
    if (auto* checkBox = qobject_cast<QCheckBox*>(m_editor.data()))
        checkBox->toggle();
    else if (auto* comboBox = qobject_cast<QComboBox*>(m_editor.data()))
        comboBox->showPopup();
}

void QtTreePropertyBrowser::openEditor(QtBrowserItem* item)
{
    m_editorItem = item;
    m_tree->openPersistentEditor(item->m_treeItem, valueColumn);
}

void QtTreePropertyBrowser::closeEditor()
{
    if (QWidget* editor = m_editor.data()) {
        m_editor = nullptr;
        // The editor is deleted later; until then it must not write to a property
        // that may be gone by then.
        editor->blockSignals(true);
        editor->hide();
    }
    if (QtBrowserItem* item = m_editorItem) {
        m_editorItem = nullptr;
        m_tree->closePersistentEditor(item->m_treeItem, valueColumn);
    }
}

QWidget* QtTreePropertyBrowser::createEditorFor(const QModelIndex& index, QWidget* parent)
{
    QtBrowserItem* item = itemOf(index);
    if (!item)
        return nullptr;
    QtAbstractEditorFactoryBase* factory =
        m_factories.value(item->m_property->propertyManager()).data();
    if (!factory)
        return nullptr;
    QWidget* editor = factory->createEditor(item->m_property, parent);
    if (!editor)
        return nullptr;
    // The editor covers the value text while it is open.
    editor->setAutoFillBackground(true);
    m_editor = editor;
    return editor;
}

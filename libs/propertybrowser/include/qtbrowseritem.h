#pragma once
// One appearance of a property in a browser. A property shown at several places
// (top level and as a child, or in two browsers) has one item per place.

#include <QList>

class QtProperty;
class QtTreePropertyBrowser;
class QTreeWidgetItem;

class QtBrowserItem
{
public:
    QtProperty* property() const { return m_property; }
    QtBrowserItem* parent() const { return m_parent; }
    QList<QtBrowserItem*> children() const { return m_children; }
    QtTreePropertyBrowser* browser() const { return m_browser; }

private:
    friend class QtTreePropertyBrowser;
    QtBrowserItem(QtTreePropertyBrowser* browser, QtProperty* property, QtBrowserItem* parent)
        : m_browser(browser), m_property(property), m_parent(parent)
    {
    }
    ~QtBrowserItem() = default;

    QtTreePropertyBrowser* m_browser;
    QtProperty* m_property;
    QtBrowserItem* m_parent;
    QList<QtBrowserItem*> m_children;
    QTreeWidgetItem* m_treeItem = nullptr;
    bool m_expanded = true;
};

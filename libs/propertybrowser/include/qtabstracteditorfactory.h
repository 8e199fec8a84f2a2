#pragma once
// Editor factories: a browser asks the factory registered for a property's
// manager to create the widget that edits the property in the value column.
//
// Custom editors: derive from the factory of the manager (e.g. QtVariantEditorFactory)
// and override the protected createEditor(manager, property, parent); return your
// own widget for the properties you want and call the base class for the rest. The
// widget writes back with manager->setValue(property, ...). The browser owns the
// editor and deletes it (after disconnecting every signal the editor sends) before
// the property leaves the browser, so connections from the editor that capture the
// property never reach a deleted property.

#include "qtproperty.h"

#include <QObject>

class QWidget;

class QtAbstractEditorFactoryBase : public QObject
{
    Q_OBJECT

public:
    // An editor for the property as a child of parent, or null when it has none.
    virtual QWidget* createEditor(QtProperty* property, QWidget* parent) = 0;

protected:
    explicit QtAbstractEditorFactoryBase(QObject* parent = nullptr) : QObject(parent) {}
};

template <class PropertyManager> class QtAbstractEditorFactory : public QtAbstractEditorFactoryBase
{
public:
    explicit QtAbstractEditorFactory(QObject* parent = nullptr)
        : QtAbstractEditorFactoryBase(parent)
    {
    }

    QWidget* createEditor(QtProperty* property, QWidget* parent) override
    {
        auto* manager = qobject_cast<PropertyManager*>(property->propertyManager());
        return manager ? createEditor(manager, property, parent) : nullptr;
    }

protected:
    virtual QWidget* createEditor(PropertyManager* manager, QtProperty* property,
                                  QWidget* parent) = 0;
};

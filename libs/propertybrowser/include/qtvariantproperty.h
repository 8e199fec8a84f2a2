#pragma once
// A property whose value and attributes are QVariants, made by
// QtVariantPropertyManager. Including this header brings the whole variant
// family (property, manager, editor factory), as callers of the original expect.

#include "qtproperty.h"

#include <QVariant>

class QtVariantPropertyManager;

class QtVariantProperty : public QtProperty
{
public:
    ~QtVariantProperty() override;

    QVariant value() const;
    QVariant attributeValue(const QString& attribute) const;
    // The QVariant type of value(): enum and flag rows hold an int.
    int valueType() const;
    // The type asked for in addProperty(), e.g. QVariantPropertyManager::enumTypeId().
    int propertyType() const;

    void setValue(const QVariant& value);
    void setAttribute(const QString& attribute, const QVariant& value);

protected:
    explicit QtVariantProperty(QtVariantPropertyManager* manager);

private:
    friend class QtVariantPropertyManager;
    QtVariantPropertyManager* m_variantManager;
};

#include "qtvarianteditorfactory.h"
#include "qtvariantpropertymanager.h"

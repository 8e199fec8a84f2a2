#pragma once
// Creates QtVariantProperty rows of a few value types and keeps their values and
// attributes:
//   QMetaType::Int       spin box; attributes "minimum", "maximum", "singleStep";
//                        values are clamped into [minimum, maximum]
//   QMetaType::Bool      check box
//   QMetaType::QString   line edit
//   QMetaType::QPoint    child rows "X" and "Y" (ints) that stay in step with the point
//   enumTypeId()         int index into the attribute "enumNames" (QStringList), -1 when
//                        there are no names; out-of-range values are refused
//   flagTypeId()         int bit set over the attribute "flagNames" (QStringList), one
//                        bool child row per name (lowest bit first); values with bits
//                        beyond the names are refused
//   groupTypeId()        a heading without value, for grouping child rows
// Every row whose value changes gets propertyChanged and valueChanged once; when a
// child row changes its parent's value, the child is announced before the parent.

#include "qtabstractpropertymanager.h"

#include <QHash>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

class QtVariantProperty;

class QtVariantPropertyManager : public QtAbstractPropertyManager
{
    Q_OBJECT

public:
    explicit QtVariantPropertyManager(QObject* parent = nullptr);
    ~QtVariantPropertyManager() override;

    static int enumTypeId();
    static int flagTypeId();
    static int groupTypeId();

    // Null when the type is not one of the supported ones.
    virtual QtVariantProperty* addProperty(int propertyType, const QString& name = QString());
    virtual bool isPropertyTypeSupported(int propertyType) const;

    // Null for properties of another manager.
    QtVariantProperty* variantProperty(const QtProperty* property) const;

    QVariant value(const QtProperty* property) const;
    int valueType(const QtProperty* property) const;
    int valueType(int propertyType) const;
    int propertyType(const QtProperty* property) const;

    QVariant attributeValue(const QtProperty* property, const QString& attribute) const;
    QStringList attributes(int propertyType) const;
    int attributeType(int propertyType, const QString& attribute) const;

public slots:
    // Values that cannot be converted to the row's value type are ignored.
    virtual void setValue(QtProperty* property, const QVariant& value);
    // Unknown attributes and values of the wrong type are ignored.
    virtual void setAttribute(QtProperty* property, const QString& attribute,
                              const QVariant& value);

signals:
    void valueChanged(QtProperty* property, const QVariant& value);
    void attributeChanged(QtProperty* property, const QString& attribute, const QVariant& value);

protected:
    bool hasValue(const QtProperty* property) const override;
    QString valueText(const QtProperty* property) const override;
    // A bool row shows a check box and no words.
    QString displayText(const QtProperty* property) const override;
    QIcon valueIcon(const QtProperty* property) const override;
    void uninitializeProperty(QtProperty* property) override;

private:
    struct Data
    {
        int type = 0;
        QVariant value;
        QVariantMap attributes;
        QList<QtProperty*> ownedRows; // x/y of a point, one bool per flag
        QtProperty* owner = nullptr;  // set on such an owned row
        int ownedIndex = -1;          // its coordinate (0 x, 1 y) or bit number
    };

    QtVariantProperty* createProperty(int propertyType, const QString& name);
    void addOwnedRow(QtProperty* owner, int propertyType, const QString& name, int index,
                     const QVariant& value);
    QVariant acceptedValue(const Data& data, const QVariant& value) const;
    void store(QtProperty* property, const QVariant& value, QList<QtProperty*>* changed);
    void syncOwnedRows(const Data& data, QList<QtProperty*>* changed);
    void syncOwner(const Data& rowData, QList<QtProperty*>* changed);
    void announce(const QList<QtProperty*>& changed);
    void rebuildFlagRows(QtProperty* property, const QStringList& names, int value);
    void revalidate(QtProperty* property);

    QHash<const QtProperty*, Data> m_data;
};

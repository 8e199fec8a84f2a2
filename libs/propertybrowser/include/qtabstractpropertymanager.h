#pragma once
// Base of the property managers: creates and owns properties and announces
// changes of their structure to the browsers that show them.

#include <QIcon>
#include <QList>
#include <QObject>
#include <QSet>

class QtProperty;

class QtAbstractPropertyManager : public QObject
{
    Q_OBJECT

public:
    explicit QtAbstractPropertyManager(QObject* parent = nullptr);
    // Derived managers delete their properties in their own destructor (clear()).
    ~QtAbstractPropertyManager() override;

    // Every property of this manager, child rows it made included.
    QSet<QtProperty*> properties() const;
    // Deletes every property of this manager; browsers drop their rows.
    void clear() const;

signals:
    void propertyInserted(QtProperty* property, QtProperty* parent, QtProperty* after);
    void propertyChanged(QtProperty* property);
    void propertyRemoved(QtProperty* property, QtProperty* parent);
    void propertyDestroyed(QtProperty* property);

protected:
    virtual bool hasValue(const QtProperty* property) const;
    virtual QString valueText(const QtProperty* property) const;
    virtual QString displayText(const QtProperty* property) const;
    virtual QIcon valueIcon(const QtProperty* property) const;
    // Called first thing while a property is being deleted; its own child rows may go here.
    virtual void uninitializeProperty(QtProperty* property);

    // Takes a freshly created property into the manager's care.
    void registerProperty(QtProperty* property);

private:
    friend class QtProperty;
    void propertyAboutToBeDestroyed(QtProperty* property);
    void propertyDestroyedNow(QtProperty* property);

    QList<QtProperty*> m_properties; // creation order, so clear() removes parents first
};

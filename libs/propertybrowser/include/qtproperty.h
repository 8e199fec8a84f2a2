#pragma once
// One row of a property browser: a name, enabled state and child rows. Values
// live in the manager that created the property. Keeps the public class name
// and the API subset of the Qt Solutions property browser that Kliqora uses.

#include <QIcon>
#include <QList>
#include <QMetaType>
#include <QString>

class QtAbstractPropertyManager;

class QtProperty
{
public:
    // Deleting a property removes it from its parents and from every browser.
    virtual ~QtProperty();
    QtProperty(const QtProperty&) = delete;
    QtProperty& operator=(const QtProperty&) = delete;

    QtAbstractPropertyManager* propertyManager() const { return m_manager; }

    QString propertyName() const { return m_name; }
    void setPropertyName(const QString& name);
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip);
    // A disabled row (and everything below it) is shown greyed and gets no editor.
    // Values can still be set through the manager.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    bool hasValue() const;
    QString valueText() const;
    // What a browser shows in the value column: text and icon (a bool shows a check box).
    QString displayText() const;
    QIcon valueIcon() const;

    QList<QtProperty*> subProperties() const { return m_subProperties; }
    // Appends a child row. Adding the property itself, one of its ancestors or a
    // present child is refused.
    void addSubProperty(QtProperty* property);
    // Inserts after `afterProperty`; null inserts first.
    void insertSubProperty(QtProperty* property, QtProperty* afterProperty);
    void removeSubProperty(QtProperty* property);

protected:
    explicit QtProperty(QtAbstractPropertyManager* manager);
    void propertyChanged();

private:
    bool isDescendantOf(const QtProperty* other) const;

    QtAbstractPropertyManager* m_manager;
    QString m_name;
    QString m_toolTip;
    bool m_enabled = true;
    QList<QtProperty*> m_subProperties;
    QList<QtProperty*> m_parents;
};

// Lets signals carrying rows go through queued connections and QSignalSpy.
Q_DECLARE_METATYPE(QtProperty*)

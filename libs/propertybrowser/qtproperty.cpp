#include "qtproperty.h"

#include "qtabstractpropertymanager.h"

QtProperty::QtProperty(QtAbstractPropertyManager* manager) : m_manager(manager) {}

QtProperty::~QtProperty()
{
    // Rows the manager made for this property go first, while the parent is still shown.
    m_manager->propertyAboutToBeDestroyed(this);

    const QList<QtProperty*> parents = m_parents;
    for (QtProperty* parent : parents)
        parent->removeSubProperty(this);
    for (QtProperty* child : qAsConst(m_subProperties))
        child->m_parents.removeAll(this);
    m_subProperties.clear();

    m_manager->propertyDestroyedNow(this);
}

void QtProperty::setPropertyName(const QString& name)
{
    if (m_name == name)
        return;
    m_name = name;
    propertyChanged();
}

void QtProperty::setToolTip(const QString& toolTip)
{
    if (m_toolTip == toolTip)
        return;
    m_toolTip = toolTip;
    propertyChanged();
}

void QtProperty::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    propertyChanged();
}

bool QtProperty::hasValue() const
{
    return m_manager->hasValue(this);
}

QString QtProperty::valueText() const
{
    return m_manager->valueText(this);
}

QString QtProperty::displayText() const
{
    return m_manager->displayText(this);
}

QIcon QtProperty::valueIcon() const
{
    return m_manager->valueIcon(this);
}

void QtProperty::addSubProperty(QtProperty* property)
{
    insertSubProperty(property, m_subProperties.isEmpty() ? nullptr : m_subProperties.last());
}

void QtProperty::insertSubProperty(QtProperty* property, QtProperty* afterProperty)
{
    if (!property || property == this || m_subProperties.contains(property) ||
        isDescendantOf(property))
        return;
    const int afterIndex = afterProperty ? m_subProperties.indexOf(afterProperty) : -1;
    if (afterProperty && afterIndex < 0)
        afterProperty = m_subProperties.isEmpty() ? nullptr : m_subProperties.last();
    const int insertAt = afterProperty ? m_subProperties.indexOf(afterProperty) + 1 : 0;
    m_subProperties.insert(insertAt, property);
    property->m_parents.append(this);
    emit m_manager->propertyInserted(property, this, afterProperty);
}

void QtProperty::removeSubProperty(QtProperty* property)
{
    if (!m_subProperties.removeOne(property))
        return;
    property->m_parents.removeAll(this);
    emit m_manager->propertyRemoved(property, this);
}

void QtProperty::propertyChanged()
{
    emit m_manager->propertyChanged(this);
}

bool QtProperty::isDescendantOf(const QtProperty* other) const
{
    for (const QtProperty* child : other->m_subProperties) {
        if (child == this || isDescendantOf(child))
            return true;
    }
    return false;
}

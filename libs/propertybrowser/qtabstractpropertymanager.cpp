#include "qtabstractpropertymanager.h"

#include "qtproperty.h"

QtAbstractPropertyManager::QtAbstractPropertyManager(QObject* parent) : QObject(parent) {}

QtAbstractPropertyManager::~QtAbstractPropertyManager()
{
    clear();
}

QSet<QtProperty*> QtAbstractPropertyManager::properties() const
{
    return QSet<QtProperty*>(m_properties.cbegin(), m_properties.cend());
}

void QtAbstractPropertyManager::clear() const
{
    while (!m_properties.isEmpty())
        delete m_properties.first();
}

bool QtAbstractPropertyManager::hasValue(const QtProperty*) const
{
    return true;
}

QString QtAbstractPropertyManager::valueText(const QtProperty*) const
{
    return QString();
}

QString QtAbstractPropertyManager::displayText(const QtProperty* property) const
{
    return valueText(property);
}

QIcon QtAbstractPropertyManager::valueIcon(const QtProperty*) const
{
    return QIcon();
}

void QtAbstractPropertyManager::uninitializeProperty(QtProperty*) {}

void QtAbstractPropertyManager::registerProperty(QtProperty* property)
{
    if (property && !m_properties.contains(property))
        m_properties.append(property);
}

void QtAbstractPropertyManager::propertyAboutToBeDestroyed(QtProperty* property)
{
    uninitializeProperty(property);
}

void QtAbstractPropertyManager::propertyDestroyedNow(QtProperty* property)
{
    m_properties.removeOne(property);
    emit propertyDestroyed(property);
}

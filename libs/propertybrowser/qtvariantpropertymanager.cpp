#include "qtvariantpropertymanager.h"

#include "qtcompat.h"
#include "qtvariantproperty.h"

#include <QApplication>
#include <QPainter>
#include <QPoint>
#include <QStyle>
#include <QStyleOptionButton>

#include <limits>

namespace {

// Distinct meta-type ids for the row kinds that have no value type of their own.
struct QtEnumPropertyType
{
};
struct QtFlagPropertyType
{
};
struct QtGroupPropertyType
{
};

const QString minimumAttribute = QStringLiteral("minimum");
const QString maximumAttribute = QStringLiteral("maximum");
const QString singleStepAttribute = QStringLiteral("singleStep");
const QString enumNamesAttribute = QStringLiteral("enumNames");
const QString flagNamesAttribute = QStringLiteral("flagNames");

constexpr int maxFlagBits = 31; // an int value has room for 31 non-negative bits
constexpr int xIndex = 0;
constexpr int yIndex = 1;

int flagMask(int nameCount)
{
    return nameCount >= maxFlagBits ? std::numeric_limits<int>::max() : (1 << nameCount) - 1;
}

// The application style's check box (no widgets without a QApplication).
QIcon checkBoxIcon(bool checked)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QIcon();
    const QStyle* style = QApplication::style();
    QStyleOptionButton option;
    option.state = QStyle::State_Enabled | (checked ? QStyle::State_On : QStyle::State_Off);
    option.rect = QRect(0, 0, style->pixelMetric(QStyle::PM_IndicatorWidth),
                        style->pixelMetric(QStyle::PM_IndicatorHeight));
    QPixmap pixmap(option.rect.size());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    painter.end();
    return QIcon(pixmap);
}

// The value a new row of one of the plain types (bool, string, point) starts with.
QVariant initialValue(int propertyType)
{
    if (propertyType == QMetaType::Bool)
        return false;
    if (propertyType == QMetaType::QPoint)
        return QPoint();
    return QString();
}

} // namespace

Q_DECLARE_METATYPE(QtEnumPropertyType)
Q_DECLARE_METATYPE(QtFlagPropertyType)
Q_DECLARE_METATYPE(QtGroupPropertyType)

QtVariantPropertyManager::QtVariantPropertyManager(QObject* parent)
    : QtAbstractPropertyManager(parent)
{
    qRegisterMetaType<QtProperty*>();
}

QtVariantPropertyManager::~QtVariantPropertyManager()
{
    clear();
}

int QtVariantPropertyManager::enumTypeId()
{
    return qMetaTypeId<QtEnumPropertyType>();
}

int QtVariantPropertyManager::flagTypeId()
{
    return qMetaTypeId<QtFlagPropertyType>();
}

int QtVariantPropertyManager::groupTypeId()
{
    return qMetaTypeId<QtGroupPropertyType>();
}

bool QtVariantPropertyManager::isPropertyTypeSupported(int propertyType) const
{
    switch (propertyType) {
    case QMetaType::Int:
    case QMetaType::Bool:
    case QMetaType::QString:
    case QMetaType::QPoint:
        return true;
    default:
        return propertyType == enumTypeId() || propertyType == flagTypeId() ||
               propertyType == groupTypeId();
    }
}

QtVariantProperty* QtVariantPropertyManager::addProperty(int propertyType, const QString& name)
{
    if (!isPropertyTypeSupported(propertyType))
        return nullptr;
    QtVariantProperty* property = createProperty(propertyType, name);
    if (propertyType == QMetaType::QPoint) {
        addOwnedRow(property, QMetaType::Int, tr("X"), xIndex, 0);
        addOwnedRow(property, QMetaType::Int, tr("Y"), yIndex, 0);
    }
    return property;
}

QtVariantProperty* QtVariantPropertyManager::createProperty(int propertyType, const QString& name)
{
    auto* property = new QtVariantProperty(this);
    property->setPropertyName(name);
    Data data;
    data.type = propertyType;
    if (propertyType == QMetaType::Int) {
        data.value = 0;
        data.attributes.insert(minimumAttribute, std::numeric_limits<int>::min());
        data.attributes.insert(maximumAttribute, std::numeric_limits<int>::max());
        data.attributes.insert(singleStepAttribute, 1);
    } else if (propertyType == enumTypeId()) {
        data.value = -1;
        data.attributes.insert(enumNamesAttribute, QStringList());
    } else if (propertyType == flagTypeId()) {
        data.value = 0;
        data.attributes.insert(flagNamesAttribute, QStringList());
    } else if (propertyType != groupTypeId()) {
        data.value = initialValue(propertyType);
    }
    m_data.insert(property, data);
    registerProperty(property);
    return property;
}

void QtVariantPropertyManager::addOwnedRow(QtProperty* owner, int propertyType, const QString& name,
                                           int index, const QVariant& value)
{
    QtVariantProperty* row = createProperty(propertyType, name);
    Data& rowData = m_data[row];
    rowData.owner = owner;
    rowData.ownedIndex = index;
    rowData.value = value;
    m_data[owner].ownedRows.append(row);
    owner->addSubProperty(row);
}

QtVariantProperty* QtVariantPropertyManager::variantProperty(const QtProperty* property) const
{
    if (!m_data.contains(property))
        return nullptr;
    return static_cast<QtVariantProperty*>(const_cast<QtProperty*>(property));
}

QVariant QtVariantPropertyManager::value(const QtProperty* property) const
{
    return m_data.value(property).value;
}

int QtVariantPropertyManager::valueType(const QtProperty* property) const
{
    const auto it = m_data.constFind(property);
    return it == m_data.cend() ? int(QMetaType::UnknownType) : valueType(it->type);
}

int QtVariantPropertyManager::valueType(int propertyType) const
{
    if (propertyType == enumTypeId() || propertyType == flagTypeId())
        return QMetaType::Int;
    if (propertyType == groupTypeId() || !isPropertyTypeSupported(propertyType))
        return QMetaType::UnknownType;
    return propertyType;
}

int QtVariantPropertyManager::propertyType(const QtProperty* property) const
{
    const auto it = m_data.constFind(property);
    return it == m_data.cend() ? int(QMetaType::UnknownType) : it->type;
}

QVariant QtVariantPropertyManager::attributeValue(const QtProperty* property,
                                                  const QString& attribute) const
{
    return m_data.value(property).attributes.value(attribute);
}

QStringList QtVariantPropertyManager::attributes(int propertyType) const
{
    if (propertyType == QMetaType::Int)
        return {minimumAttribute, maximumAttribute, singleStepAttribute};
    if (propertyType == enumTypeId())
        return {enumNamesAttribute};
    if (propertyType == flagTypeId())
        return {flagNamesAttribute};
    return {};
}

int QtVariantPropertyManager::attributeType(int propertyType, const QString& attribute) const
{
    if (!attributes(propertyType).contains(attribute))
        return QMetaType::UnknownType;
    return propertyType == QMetaType::Int ? int(QMetaType::Int) : int(QMetaType::QStringList);
}

QVariant QtVariantPropertyManager::acceptedValue(const Data& data, const QVariant& value) const
{
    const int type = valueType(data.type);
    QVariant converted = value;
    if (type == QMetaType::UnknownType || !QtCompat::convertVariant(converted, type))
        return QVariant();
    if (data.type == QMetaType::Int) {
        const int minimum = data.attributes.value(minimumAttribute).toInt();
        const int maximum = data.attributes.value(maximumAttribute).toInt();
        return qBound(minimum, converted.toInt(), maximum);
    }
    if (data.type == enumTypeId()) {
        const int count = data.attributes.value(enumNamesAttribute).toStringList().size();
        const int index = converted.toInt();
        return index >= 0 && index < count ? converted : QVariant();
    }
    if (data.type == flagTypeId()) {
        const int count = data.attributes.value(flagNamesAttribute).toStringList().size();
        const int bits = converted.toInt();
        return bits >= 0 && (bits & ~flagMask(count)) == 0 ? converted : QVariant();
    }
    return converted;
}

void QtVariantPropertyManager::setValue(QtProperty* property, const QVariant& value)
{
    const auto it = m_data.constFind(property);
    if (it == m_data.cend())
        return;
    const QVariant accepted = acceptedValue(*it, value);
    if (!accepted.isValid() || accepted == it->value)
        return;
    QList<QtProperty*> changed;
    store(property, accepted, &changed);
    announce(changed);
}

void QtVariantPropertyManager::store(QtProperty* property, const QVariant& value,
                                     QList<QtProperty*>* changed)
{
    Data& data = m_data[property];
    data.value = value;
    syncOwnedRows(data, changed);
    changed->append(property);
    if (data.owner)
        syncOwner(data, changed);
}

void QtVariantPropertyManager::syncOwnedRows(const Data& data, QList<QtProperty*>* changed)
{
    for (QtProperty* row : data.ownedRows) {
        Data& rowData = m_data[row];
        QVariant wanted;
        if (data.type == QMetaType::QPoint) {
            const QPoint point = data.value.toPoint();
            wanted = rowData.ownedIndex == xIndex ? point.x() : point.y();
        } else {
            wanted = bool(data.value.toInt() & (1 << rowData.ownedIndex));
        }
        if (rowData.value != wanted) {
            rowData.value = wanted;
            changed->append(row);
        }
    }
}

void QtVariantPropertyManager::syncOwner(const Data& rowData, QList<QtProperty*>* changed)
{
    Data& ownerData = m_data[rowData.owner];
    QVariant wanted;
    if (ownerData.type == QMetaType::QPoint) {
        QPoint point = ownerData.value.toPoint();
        (rowData.ownedIndex == xIndex ? point.rx() : point.ry()) = rowData.value.toInt();
        wanted = point;
    } else {
        const int bit = 1 << rowData.ownedIndex;
        const int bits = ownerData.value.toInt();
        wanted = rowData.value.toBool() ? (bits | bit) : (bits & ~bit);
    }
    if (ownerData.value != wanted) {
        ownerData.value = wanted;
        changed->append(rowData.owner);
    }
}

void QtVariantPropertyManager::announce(const QList<QtProperty*>& changed)
{
    for (QtProperty* property : changed) {
        // A slot may have deleted a row announced later in the list.
        const auto it = m_data.constFind(property);
        if (it == m_data.cend())
            continue;
        const QVariant current = it->value;
        emit propertyChanged(property);
        emit valueChanged(property, current);
    }
}

void QtVariantPropertyManager::setAttribute(QtProperty* property, const QString& attribute,
                                            const QVariant& value)
{
    const auto it = m_data.find(property);
    if (it == m_data.end())
        return;
    const int type = attributeType(it->type, attribute);
    QVariant converted = value;
    if (type == QMetaType::UnknownType || !QtCompat::convertVariant(converted, type) ||
        it->attributes.value(attribute) == converted)
        return;

    it->attributes.insert(attribute, converted);
    QStringList changedAttributes{attribute};
    // A range never ends up inverted: the other bound follows.
    const int bound = converted.toInt();
    if (attribute == minimumAttribute && it->attributes.value(maximumAttribute).toInt() < bound) {
        it->attributes.insert(maximumAttribute, bound);
        changedAttributes << maximumAttribute;
    } else if (attribute == maximumAttribute &&
               it->attributes.value(minimumAttribute).toInt() > bound) {
        it->attributes.insert(minimumAttribute, bound);
        changedAttributes << minimumAttribute;
    }

    for (const QString& name : qAsConst(changedAttributes))
        emit attributeChanged(property, name, attributeValue(property, name));
    revalidate(property);
}

// After an attribute change, brings the value back into what the attributes allow.
void QtVariantPropertyManager::revalidate(QtProperty* property)
{
    const Data data = m_data.value(property);
    QVariant fixed = data.value;
    if (data.type == QMetaType::Int) {
        fixed = acceptedValue(data, data.value);
    } else if (data.type == enumTypeId()) {
        const int count = data.attributes.value(enumNamesAttribute).toStringList().size();
        const int index = data.value.toInt();
        fixed = index >= 0 && index < count ? index : (count > 0 ? 0 : -1);
    } else if (data.type == flagTypeId()) {
        const QStringList names = data.attributes.value(flagNamesAttribute).toStringList();
        fixed = data.value.toInt() & flagMask(names.size());
        rebuildFlagRows(property, names, fixed.toInt());
    }

    if (fixed == data.value) {
        // The shown text may depend on the attribute (enum and flag names).
        emit propertyChanged(property);
        return;
    }
    QList<QtProperty*> changed;
    store(property, fixed, &changed);
    announce(changed);
}

void QtVariantPropertyManager::rebuildFlagRows(QtProperty* property, const QStringList& names,
                                               int value)
{
    const QList<QtProperty*> oldRows = m_data.value(property).ownedRows;
    for (QtProperty* row : oldRows)
        delete row; // removes itself from ownedRows and from the parent
    for (int i = 0; i < names.size() && i < maxFlagBits; ++i)
        addOwnedRow(property, QMetaType::Bool, names.at(i), i, bool(value & (1 << i)));
}

bool QtVariantPropertyManager::hasValue(const QtProperty* property) const
{
    return propertyType(property) != groupTypeId();
}

QString QtVariantPropertyManager::valueText(const QtProperty* property) const
{
    const auto it = m_data.constFind(property);
    if (it == m_data.cend())
        return QString();
    const Data& data = *it;
    switch (data.type) {
    case QMetaType::Bool:
        return data.value.toBool() ? tr("True") : tr("False");
    case QMetaType::QPoint: {
        const QPoint point = data.value.toPoint();
        return QStringLiteral("(%1, %2)").arg(point.x()).arg(point.y());
    }
    default:
        break;
    }
    if (data.type == enumTypeId())
        return data.attributes.value(enumNamesAttribute).toStringList().value(data.value.toInt());
    if (data.type == flagTypeId()) {
        const QStringList names = data.attributes.value(flagNamesAttribute).toStringList();
        QStringList set;
        for (int i = 0; i < names.size() && i < maxFlagBits; ++i) {
            if (data.value.toInt() & (1 << i))
                set << names.at(i);
        }
        return set.join(QLatin1Char('|'));
    }
    if (data.type == groupTypeId())
        return QString();
    return data.value.toString();
}

QString QtVariantPropertyManager::displayText(const QtProperty* property) const
{
    return propertyType(property) == QMetaType::Bool ? QString() : valueText(property);
}

QIcon QtVariantPropertyManager::valueIcon(const QtProperty* property) const
{
    if (propertyType(property) != QMetaType::Bool)
        return QIcon();
    return checkBoxIcon(value(property).toBool());
}

void QtVariantPropertyManager::uninitializeProperty(QtProperty* property)
{
    const Data data = m_data.take(property);
    if (data.owner) {
        const auto ownerIt = m_data.find(data.owner);
        if (ownerIt != m_data.end())
            ownerIt->ownedRows.removeAll(property);
    }
    for (QtProperty* row : data.ownedRows)
        delete row;
}

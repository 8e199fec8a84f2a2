#include "kliqorapropertybrowser.h"

#include "operationeditorfactory.h"
#include "operationpropertybrowser.h"

#include <qtvariantproperty.h>

#include <QCoreApplication>
#include <QVBoxLayout>

#include <array>

namespace {

const QLatin1String ObjectNameProperty("objectName");
const QLatin1String ComboEditor("COMBO");
const QLatin1String FlagEditor("FLAG");
const QLatin1String SpinBoxEditor("SPINBOX");
const QLatin1Char ListSeparator('|');
const QLatin1Char RangeSeparator('-');
// The property that takes the colour under a picked point.
constexpr char ColorProperty[] = "color";

// Bit i of a FLAG row's value stands for entry i, matching "Shift|Ctrl|Alt|Win".
// clang-format off
constexpr std::array<Qt::KeyboardModifier, 4> FlagModifiers{{
    Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier,
}};
// clang-format on

// The class information in the language shown. Labels and choices are marked for
// translation where they are declared (QT_TR_NOOP), so they are translated in the
// context of the class that declares them, which may be a base class of `meta`.
QString classInfo(const QMetaObject* meta, const char* prefix, const QByteArray& name)
{
    const int index = meta->indexOfClassInfo(QByteArray(prefix + name).constData());
    if (index < 0)
        return QString();
    const QMetaObject* owner = meta;
    while (index < owner->classInfoOffset())
        owner = owner->superClass();
    return QCoreApplication::translate(owner->className(), meta->classInfo(index).value());
}

bool isModifiersProperty(const QMetaProperty& property)
{
    return property.userType() == qMetaTypeId<Qt::KeyboardModifiers>() ||
           qstrcmp(property.typeName(), "Qt::KeyboardModifiers") == 0;
}

Qt::KeyboardModifiers toModifiers(const QVariant& value)
{
    if (value.userType() == qMetaTypeId<Qt::KeyboardModifiers>())
        return value.value<Qt::KeyboardModifiers>();
    return Qt::KeyboardModifiers(value.toInt());
}

int modifiersToFlagBits(Qt::KeyboardModifiers modifiers)
{
    int bits = 0;
    for (int i = 0; i < int(FlagModifiers.size()); ++i) {
        if (modifiers.testFlag(FlagModifiers[i]))
            bits |= 1 << i;
    }
    return bits;
}

Qt::KeyboardModifiers flagBitsToModifiers(int bits)
{
    Qt::KeyboardModifiers modifiers;
    for (int i = 0; i < int(FlagModifiers.size()); ++i) {
        if (bits & (1 << i))
            modifiers |= FlagModifiers[i];
    }
    return modifiers;
}

} // namespace

KliqoraPropertyBrowser::KliqoraPropertyBrowser(QWidget* parent)
    : QWidget(parent), m_tree(new OperationPropertyBrowser(this)),
      m_manager(new QtVariantPropertyManager(this)), m_factory(new OperationEditorFactory(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tree);
    m_tree->setFactoryForManager(m_manager, m_factory);
    m_tree->setHeaderLabels(tr("属性"), tr("值"));
    connect(m_manager, &QtVariantPropertyManager::valueChanged, this,
            &KliqoraPropertyBrowser::onValueChanged);
    connect(m_factory, &OperationEditorFactory::colorPicked, this,
            &KliqoraPropertyBrowser::onColorPicked);
}

KliqoraPropertyBrowser::~KliqoraPropertyBrowser()
{
    if (m_object)
        disconnect(m_object, nullptr, this, nullptr);
}

void KliqoraPropertyBrowser::clearProperties()
{
    if (m_object)
        disconnect(m_object, &QObject::destroyed, this, nullptr);
    m_object = nullptr;
    m_rows.clear();
    m_manager->clear(); // deleting the rows removes them from the tree
}

void KliqoraPropertyBrowser::loadObject(QObject* object)
{
    if (!object)
        return;
    m_object = object;
    // Rows of a deleted object would only show stale values: empty the panel.
    connect(object, &QObject::destroyed, this, &KliqoraPropertyBrowser::onObjectDestroyed);

    const QMetaObject* meta = object->metaObject();
    m_factory->setPicksColor(meta->indexOfProperty(ColorProperty) >= 0);
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isReadable() || ObjectNameProperty == property.name())
            continue;
        QtVariantProperty* row = createRow(meta, property, property.read(object));
        if (!row)
            continue;
        row->setEnabled(property.isWritable());
        m_tree->addProperty(row);
        // Only now: setting the value above must not be taken for an edit.
        m_rows.insert(row, property);
    }
}

QtVariantProperty* KliqoraPropertyBrowser::createRow(const QMetaObject* meta,
                                                     const QMetaProperty& property,
                                                     const QVariant& value)
{
    const QByteArray name(property.name());
    QString label = classInfo(meta, "prop_", name);
    if (label.isEmpty())
        label = QString::fromLatin1(name);
    const QString editor = classInfo(meta, "editor_", name);

    QtVariantProperty* row = nullptr;
    if (editor == ComboEditor) {
        row = m_manager->addProperty(QtVariantPropertyManager::enumTypeId(), label);
        row->setAttribute(QStringLiteral("enumNames"),
                          classInfo(meta, "choices_", name).split(ListSeparator));
        row->setValue(value.toInt());
    } else if (editor == FlagEditor) {
        row = m_manager->addProperty(QtVariantPropertyManager::flagTypeId(), label);
        row->setAttribute(QStringLiteral("flagNames"),
                          classInfo(meta, "flagnames_", name).split(ListSeparator));
        row->setValue(modifiersToFlagBits(toModifiers(value)));
    } else if (editor == SpinBoxEditor) {
        row = m_manager->addProperty(QMetaType::Int, label);
        const QStringList bounds = classInfo(meta, "range_", name).split(RangeSeparator);
        if (bounds.size() == 2) { // anything else is malformed: no bounds
            row->setAttribute(QStringLiteral("minimum"), bounds.at(0).toInt());
            row->setAttribute(QStringLiteral("maximum"), bounds.at(1).toInt());
        }
        row->setValue(value.toInt());
    } else {
        // Null for a type the manager cannot show: such a property gets no row.
        row = m_manager->addProperty(property.userType(), label);
        if (row)
            row->setValue(value);
    }
    return row;
}

void KliqoraPropertyBrowser::onValueChanged(QtProperty* prop, const QVariant& value)
{
    // Child rows (x and y of a point, single flags) are not in the map: their change
    // also arrives for the parent row, which writes the whole value once.
    if (!m_object || !m_rows.contains(prop))
        return;
    const QMetaProperty property = m_rows.value(prop);
    if (property.isReadable() && property.isWritable()) {
        QVariant written = value;
        if (isModifiersProperty(property))
            written = int(flagBitsToModifiers(value.toInt()));
        property.write(m_object, written);
        // A setter may refuse a text (a colour that is no colour): show what it kept.
        const QVariant kept = property.read(m_object);
        if (kept.userType() == QMetaType::QString && kept != written)
            static_cast<QtVariantProperty*>(prop)->setValue(kept);
    }
    emit sigValueChanged(QModelIndex(), QModelIndex(), QVector<int>());
}

void KliqoraPropertyBrowser::onColorPicked(quint32 rgb)
{
    const QString text = QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        if (qstrcmp(it.value().name(), ColorProperty) == 0)
            static_cast<QtVariantProperty*>(it.key())->setValue(text); // written as an edit
    }
}

void KliqoraPropertyBrowser::onObjectDestroyed()
{
    m_object = nullptr;
    m_rows.clear();
    m_manager->clear();
}

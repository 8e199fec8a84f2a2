#include "qtvarianteditorfactory.h"

#include "qtvariantpropertymanager.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

// Runs `update` on the editor whenever the manager reports a new value for the
// property. The connection ends with the editor; updates never echo back.
template <class Editor, class Update>
void followValue(QtVariantPropertyManager* manager, QtProperty* property, Editor* editor,
                 Update update)
{
    QObject::connect(manager, &QtVariantPropertyManager::valueChanged, editor,
                     [property, editor, update](QtProperty* changed, const QVariant& value) {
                         if (changed != property)
                             return;
                         const QSignalBlocker blocker(editor);
                         update(value);
                     });
}

template <class Editor, class Update>
void followAttributes(QtVariantPropertyManager* manager, QtProperty* property, Editor* editor,
                      Update update)
{
    QObject::connect(
        manager, &QtVariantPropertyManager::attributeChanged, editor,
        [property, editor, update](QtProperty* changed, const QString&, const QVariant&) {
            if (changed != property)
                return;
            const QSignalBlocker blocker(editor);
            update();
        });
}

void applyRange(QSpinBox* spinBox, QtVariantPropertyManager* manager, QtProperty* property)
{
    spinBox->setRange(manager->attributeValue(property, QStringLiteral("minimum")).toInt(),
                      manager->attributeValue(property, QStringLiteral("maximum")).toInt());
    spinBox->setSingleStep(manager->attributeValue(property, QStringLiteral("singleStep")).toInt());
    spinBox->setValue(manager->value(property).toInt());
}

void applyEnumNames(QComboBox* comboBox, QtVariantPropertyManager* manager, QtProperty* property)
{
    comboBox->clear();
    comboBox->addItems(
        manager->attributeValue(property, QStringLiteral("enumNames")).toStringList());
    comboBox->setCurrentIndex(manager->value(property).toInt());
}

} // namespace

QtVariantEditorFactory::QtVariantEditorFactory(QObject* parent)
    : QtAbstractEditorFactory<QtVariantPropertyManager>(parent)
{
}

QtVariantEditorFactory::~QtVariantEditorFactory() = default;

QWidget* QtVariantEditorFactory::createEditor(QtVariantPropertyManager* manager,
                                              QtProperty* property, QWidget* parent)
{
    const int type = manager->propertyType(property);
    switch (type) {
    case QMetaType::Int:
        return createSpinBox(manager, property, parent);
    case QMetaType::Bool:
        return createCheckBox(manager, property, parent);
    case QMetaType::QString:
        return createLineEdit(manager, property, parent);
    default:
        break;
    }
    if (type == QtVariantPropertyManager::enumTypeId())
        return createComboBox(manager, property, parent);
    return nullptr;
}

QWidget* QtVariantEditorFactory::createSpinBox(QtVariantPropertyManager* manager,
                                               QtProperty* property, QWidget* parent)
{
    auto* spinBox = new QSpinBox(parent);
    spinBox->setFrame(false);
    applyRange(spinBox, manager, property);
    QObject::connect(spinBox, QOverload<int>::of(&QSpinBox::valueChanged), manager,
                     [manager, property](int value) { manager->setValue(property, value); });
    followValue(manager, property, spinBox,
                [spinBox](const QVariant& value) { spinBox->setValue(value.toInt()); });
    followAttributes(manager, property, spinBox,
                     [spinBox, manager, property] { applyRange(spinBox, manager, property); });
    return spinBox;
}

QWidget* QtVariantEditorFactory::createCheckBox(QtVariantPropertyManager* manager,
                                                QtProperty* property, QWidget* parent)
{
    auto* checkBox = new QCheckBox(parent);
    checkBox->setChecked(manager->value(property).toBool());
    QObject::connect(checkBox, &QCheckBox::toggled, manager,
                     [manager, property](bool checked) { manager->setValue(property, checked); });
    followValue(manager, property, checkBox,
                [checkBox](const QVariant& value) { checkBox->setChecked(value.toBool()); });
    return checkBox;
}

QWidget* QtVariantEditorFactory::createLineEdit(QtVariantPropertyManager* manager,
                                                QtProperty* property, QWidget* parent)
{
    auto* lineEdit = new QLineEdit(parent);
    lineEdit->setFrame(false);
    lineEdit->setText(manager->value(property).toString());
    QObject::connect(
        lineEdit, &QLineEdit::textEdited, manager,
        [manager, property](const QString& text) { manager->setValue(property, text); });
    followValue(manager, property, lineEdit, [lineEdit](const QVariant& value) {
        // Only a different text is set, so the cursor stays put while typing.
        if (lineEdit->text() != value.toString())
            lineEdit->setText(value.toString());
    });
    return lineEdit;
}

QWidget* QtVariantEditorFactory::createComboBox(QtVariantPropertyManager* manager,
                                                QtProperty* property, QWidget* parent)
{
    auto* comboBox = new QComboBox(parent);
    applyEnumNames(comboBox, manager, property);
    QObject::connect(comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), manager,
                     [manager, property](int index) {
                         if (index >= 0)
                             manager->setValue(property, index);
                     });
    followValue(manager, property, comboBox,
                [comboBox](const QVariant& value) { comboBox->setCurrentIndex(value.toInt()); });
    followAttributes(manager, property, comboBox, [comboBox, manager, property] {
        applyEnumNames(comboBox, manager, property);
    });
    return comboBox;
}

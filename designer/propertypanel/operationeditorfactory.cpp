#include "operationeditorfactory.h"

#include "keyboardoperation.h"
#include "keyinputwidget.h"
#include "pointselectwidget.h"

#include <qtvariantproperty.h>

OperationEditorFactory::OperationEditorFactory(QObject* parent) : QtVariantEditorFactory(parent) {}

QWidget* OperationEditorFactory::createEditor(QtVariantPropertyManager* manager,
                                              QtProperty* property, QWidget* parent)
{
    // These editors show the value they start with; a new one is made for each edit.
    if (manager->propertyType(property) == QMetaType::QPoint) {
        auto* editor = new PointSelectWidget(parent);
        editor->setPoint(manager->value(property).toPoint());
        editor->setPicksColor(m_picksColor);
        connect(editor, &PointSelectWidget::colorPicked, this,
                &OperationEditorFactory::colorPicked);
        connect(editor, &PointSelectWidget::valueChanged, editor,
                [manager, property](const QPoint& point) { manager->setValue(property, point); });
        return editor;
    }
    if (property->propertyName() == KeyboardOperation::tr("按键")) {
        auto* editor = new KeyInputWidget(parent);
        editor->setAttribute(Qt::WA_InputMethodEnabled, false);
        editor->setText(manager->value(property).toString());
        connect(editor, &KeyInputWidget::valueChanged, editor,
                [manager, property](const QString& key) { manager->setValue(property, key); });
        return editor;
    }
    return QtVariantEditorFactory::createEditor(manager, property, parent);
}

#pragma once
// Standard editors for QtVariantPropertyManager rows: QSpinBox (int, honouring
// "minimum", "maximum" and "singleStep"), QCheckBox (bool, and each flag child
// row), QLineEdit (string), QComboBox (enum). Point, flag and group rows are
// edited through their child rows and get no editor of their own. Editors write
// every change straight into the manager and follow value and attribute changes
// made elsewhere while they are open.

#include "qtabstracteditorfactory.h"

#include "qtvariantpropertymanager.h" // the template base casts to it, so users need the full type

class QtVariantEditorFactory : public QtAbstractEditorFactory<QtVariantPropertyManager>
{
    Q_OBJECT

public:
    explicit QtVariantEditorFactory(QObject* parent = nullptr);
    ~QtVariantEditorFactory() override;

    using QtAbstractEditorFactory<QtVariantPropertyManager>::createEditor;

protected:
    QWidget* createEditor(QtVariantPropertyManager* manager, QtProperty* property,
                          QWidget* parent) override;

private:
    static QWidget* createSpinBox(QtVariantPropertyManager* manager, QtProperty* property,
                                  QWidget* parent);
    static QWidget* createCheckBox(QtVariantPropertyManager* manager, QtProperty* property,
                                   QWidget* parent);
    static QWidget* createLineEdit(QtVariantPropertyManager* manager, QtProperty* property,
                                   QWidget* parent);
    static QWidget* createComboBox(QtVariantPropertyManager* manager, QtProperty* property,
                                   QWidget* parent);
};

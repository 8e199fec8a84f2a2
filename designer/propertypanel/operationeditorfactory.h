#pragma once
// Editors of the designer's property rows: a point row is picked on the screen
// (PointSelectWidget), the "按键" row captures one key (KeyInputWidget), every
// other row gets the library's standard editor.

#include <qtvarianteditorfactory.h>
#include <qtvariantpropertymanager.h> // the factory template needs the full type

class OperationEditorFactory : public QtVariantEditorFactory
{
    Q_OBJECT

public:
    explicit OperationEditorFactory(QObject* parent = nullptr);

protected:
    QWidget* createEditor(QtVariantPropertyManager* manager, QtProperty* property,
                          QWidget* parent) override;
};

#pragma once
// Editors of the designer's property rows: a point row is picked on the screen
// (PointSelectWidget, with the colour there when asked), the "按键" row captures one key
// (KeyInputWidget), every other row gets the library's standard editor.

#include <qtvarianteditorfactory.h>
#include <qtvariantpropertymanager.h> // the factory template needs the full type

class OperationEditorFactory : public QtVariantEditorFactory
{
    Q_OBJECT

public:
    explicit OperationEditorFactory(QObject* parent = nullptr);

    // Point editors made from now on also pick the colour under the pointer.
    void setPicksColor(bool on) { m_picksColor = on; }

signals:
    // A point editor picked a point and read this colour (0xRRGGBB) there.
    void colorPicked(quint32 rgb);

protected:
    QWidget* createEditor(QtVariantPropertyManager* manager, QtProperty* property,
                          QWidget* parent) override;

private:
    bool m_picksColor = false;
};

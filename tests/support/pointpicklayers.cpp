#include "pointpicklayers.h"

#include <QApplication>
#include <QWidget>

QList<QWidget*> visiblePointPickLayers()
{
    QList<QWidget*> layers;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String("pointPickLayer") && top->isVisible())
            layers.append(top);
    }
    return layers;
}

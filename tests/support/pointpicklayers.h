#pragma once
// The see-through layers of a point pick without global capture, as a test finds them.

#include <QList>

class QWidget;

// The point-pick layers on screen, one per screen while a pick runs.
QList<QWidget*> visiblePointPickLayers();

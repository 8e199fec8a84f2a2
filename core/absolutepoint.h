#pragma once
// Conversion of a primary-screen pixel to the 0..65535 range of absolute mouse
// records, with the screen size read at every call (resolution changes count).

#include <QPoint>

// x * 65535 / width and y * 65535 / height, truncated toward zero. (0, 0) when the
// screen size is unknown, instead of dividing by zero.
QPoint toAbsolutePoint(const QPoint& px);

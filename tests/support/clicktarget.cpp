#include "clicktarget.h"

ClickTarget::ClickTarget(const QRect& geometry)
{
    setWindowTitle(QStringLiteral("click target"));
    setGeometry(geometry);
}

void ClickTarget::mousePressEvent(QMouseEvent* /*event*/)
{
    ++presses;
}

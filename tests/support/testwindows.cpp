#include "testwindows.h"

#include "waituntil.h"
#include "xdotool.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWindow>

bool focusForTyping(QWidget* widget, int timeoutMs)
{
    widget->raise();
    widget->activateWindow();
    xdotool({QStringLiteral("windowfocus"), QString::number(widget->window()->winId())});
    widget->setFocus();
    return waitUntil(
        [widget] {
            return widget->hasFocus() &&
                   QGuiApplication::focusWindow() == widget->window()->windowHandle();
        },
        timeoutMs);
}

ColorPatch::ColorPatch(QRgb rgb, const QRect& geometry)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor(rgb));
    setPalette(colors);
    setGeometry(geometry);
}

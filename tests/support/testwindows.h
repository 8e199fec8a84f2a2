#pragma once
// Windows a test shows on its X server: one that takes the keys a program under test
// types, and a plain patch of one colour for what reads the screen.

#include <QRect>
#include <QRgb>
#include <QWidget>

// Raises `widget`, gives it the keyboard focus and waits until Qt reports it, at most
// `timeoutMs`. Without a window manager Qt's own focus request may be ignored (its
// time stamp is older than another program's last activation); xdotool's is not.
bool focusForTyping(QWidget* widget, int timeoutMs = 5000);

// A frameless window filled with one colour that never takes the focus, so the window
// that has it keeps receiving what is typed.
class ColorPatch : public QWidget
{
public:
    ColorPatch(QRgb rgb, const QRect& geometry);
};

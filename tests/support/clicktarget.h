#pragma once
// A window of an end-to-end test that counts the button presses reaching it: where
// a program under test clicks, the test sees whether and how often it did.

#include <QRect>
#include <QWidget>

class ClickTarget : public QWidget
{
public:
    explicit ClickTarget(const QRect& geometry);

    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

#pragma once
// The small dark tag that follows the mouse pointer while the user picks a screen
// point, showing the pointer's screen coordinates. It never takes a click.

#include <QPoint>
#include <QWidget>

class QTimer;

class GlobalMouseWidget : public QWidget
{
    Q_OBJECT

public:
    explicit GlobalMouseWidget(QWidget* parent = nullptr);

    // Off (the main program): logical coordinates, placed 30 pixels right of and below
    // the pointer. On (the designer, which runs with high-DPI scaling): the position in
    // physical pixels of the screen under the pointer, and the offset scaled to match.
    void setPhysicalPixels(bool on);
    // The coordinates shown.
    QPoint shownPosition() const { return m_pos; }

public slots:
    void updateGlobalMousePos();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint m_pos;
    QTimer* m_timer;
    bool m_physicalPixels = false;
};

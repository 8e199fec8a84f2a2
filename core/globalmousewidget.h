#pragma once
// The small dark tag that follows the mouse pointer while the user picks a screen
// point, showing the pointer's screen coordinates (and, when asked, the colour of the
// pixel under the pointer). It never takes a click.

#include <QPoint>
#include <QWidget>

#include <cstdint>

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
    // Also shows the colour of the screen pixel under the pointer, read through the
    // platform layer at every move ("?" where the screen cannot be read).
    void setShowsColor(bool on);
    // The colour shown as 0xRRGGBB; false when none is (off, or unreadable).
    bool shownColor(uint32_t& rgb) const;

public slots:
    void updateGlobalMousePos();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPoint m_pos;
    QTimer* m_timer;
    bool m_physicalPixels = false;
    bool m_showsColor = false;
    bool m_colorKnown = false;
    uint32_t m_color = 0;
};

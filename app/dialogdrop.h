#pragma once
// A frameless, translucent dialog that paints its own rounded light-grey body with
// a soft shadow around it, can be dragged by its top band and ignores Escape.

#include <QDialog>
#include <QPixmap>

class DialogDrop : public QDialog
{
    Q_OBJECT

public:
    explicit DialogDrop(QWidget* parent = nullptr);
    ~DialogDrop() override;

    // Width of the transparent band around the body that holds the shadow.
    static constexpr int ShadowMargin = 10;
    static constexpr int CornerRadius = 10;
    // Presses in the top rows (widget coordinates 0 to DragBandHeight) drag the window.
    static constexpr int DragBandHeight = 50;

    // Whether the window system blends translucent windows. Without a compositing
    // manager on X11, transparent pixels show black: the dialog then clips itself to
    // its body instead of painting a shadow.
    bool shadowShown() const { return m_shadowShown; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildShadowPixmap();
    void updateClipping();
    QRect bodyRect() const;

    bool m_dragging = false;
    QPoint m_dragOffset;
    QPixmap m_shadowPixmap;
    bool m_shadowValid = false;
    bool m_shadowShown = true;
};

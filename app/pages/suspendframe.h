#pragma once
// The small floating stop button shown while a recording runs: frameless, always
// on top, slides in from the middle of the desktop to its lower right corner and
// can be dragged with the left button. Where the compositor places windows it
// stays where the compositor put it, and the drag is the compositor's.

#include <QPoint>
#include <QWidget>

#include <memory>

class QAbstractButton;
class QTimer;

namespace Ui {
class SuspendFrameClass;
}

class SuspendFrame : public QWidget
{
    Q_OBJECT

public:
    explicit SuspendFrame(QWidget* parent = nullptr);
    ~SuspendFrame() override;

    QAbstractButton* stopButton() const;
    // Places the frame in the middle of the desktop and starts moving it to the
    // lower right corner, a fiftieth of the way every 10 ms (not where the compositor
    // places windows).
    void slideIn();
    bool isSliding() const;

    // Distance kept from the desktop's right and bottom edges at the end of the slide.
    static constexpr int EdgeMargin = 50;
    static constexpr int SlideSteps = 50;
    static constexpr int SlideTickMs = 10;

public slots:
    void onMove();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect desktop() const;
    int lastX() const;

    std::unique_ptr<Ui::SuspendFrameClass> ui;
    QTimer* m_timer;
    QPoint m_step;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

#pragma once
// Shows a screen point as "x, y" and picks a new one: "..." hides the main window,
// a coordinate tag follows the pointer, and the next left or right button press
// anywhere on the screen sets the point (in physical pixels) and brings the window
// back. Escape ends a pick without a new point. Where no program may watch the
// global mouse (Wayland) the press lands on a see-through layer of our own instead.

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <memory>

class GlobalMouseWidget;
class PointPickOverlay;
class QLineEdit;
class QMainWindow;
class QPushButton;

namespace platform {
class InputCapture;
struct CapturedKey;
struct CapturedMouse;
} // namespace platform

class PointSelectWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PointSelectWidget(QWidget* parent = nullptr);
    // A pick still running is cancelled and the window comes back.
    ~PointSelectWidget() override;

    QPoint point() const { return m_point; }
    void setPoint(const QPoint& point);
    bool isPicking() const;
    // A pick also takes the colour of the pixel under the pointer: the tag shows it
    // while picking, and colorPicked() reports it with the point.
    void setPicksColor(bool on) { m_picksColor = on; }

    // The widget whose pick is running in this process, or null.
    static PointSelectWidget* activePicker();

signals:
    void valueChanged(const QPoint& point);
    // Just before valueChanged(), when the pick takes colours and the screen was read.
    void colorPicked(quint32 rgb);

public slots:
    void onSelect();

private:
    void startOverlayPick();
    void onOverlayPicked(const QPoint& point);
    void onPickMouse(const platform::CapturedMouse& event);
    void onPickKey(const platform::CapturedKey& event);
    void endPick();
    QMainWindow* mainWindow() const;
    void hideMainWindow();
    void restoreMainWindow();
    void warnCaptureFailed();

    QLineEdit* m_edit;
    QPushButton* m_button;
    QPoint m_point;
    bool m_picksColor = false;
    QPointer<GlobalMouseWidget> m_tag;
    std::unique_ptr<platform::InputCapture> m_capture;
    std::unique_ptr<platform::InputCapture> m_finishedCapture; // stopped
    PointPickOverlay* m_overlay = nullptr; // where the session offers no capture
    QPointer<QMainWindow> m_hiddenWindow;
};

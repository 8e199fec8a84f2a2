#pragma once
// The mouse clicker page: the clicker's settings, its start/stop hotkey (F2 by
// default), picking the fixed click point on the screen, and "mouse.kqt".

#include "taskwidget.h"

#include <QPoint>
#include <QPointer>

#include <memory>

class DebouncedSave;
class GlobalMouseWidget;
class MouseTask;
class PointPickOverlay;
class QButtonGroup;

namespace platform {
class InputCapture;
struct CapturedKey;
struct CapturedMouse;
} // namespace platform

namespace Ui {
class MouseWidgetClass;
}

class MouseWidget : public TaskWidget
{
    Q_OBJECT

public:
    explicit MouseWidget(QWidget* parent = nullptr);
    ~MouseWidget() override;

    MouseTask* task() const { return m_task; }
    QHotkey* hotkey() const { return m_hotkey; }
    QPoint pickedPoint() const { return m_pickedPoint; }
    bool isPicking() const;

    // Writes "mouse.kqt" with the settings as the controls show them (a moment
    // after each change, and at quit).
    void saveTask();
    // Reads "mouse.kqt" and, when it holds a clicker task, shows it (done at start-up).
    void loadTask();

    static QString buttonText(const QString& hotkey);

public slots:
    void onBtnPosSelectClicked();
    void onHotKeySetClicked();
    void onDoClick();
    void onPosFlagChanged();
    void onIntervalFlagChanged();
    void onStopFlagChanged();

protected:
    void initUi() override;
    void initConnections() override;
    void runTask() override;
    bool prepareStart() override;

private:
    void applyStyles();
    void applyValidators();
    void watchSettings();
    // The task from the controls.
    void fillTask();
    void showTask();
    void applyLoadedHotkey(const QString& hotkey);
    void onPickMouse(const platform::CapturedMouse& event);
    void onPickKey(const platform::CapturedKey& event);
    void startOverlayPick();
    void onPicked(const QPoint& point);
    void endPick();
    void showPickedPoint();

    std::unique_ptr<Ui::MouseWidgetClass> ui;
    MouseTask* m_task;
    QPoint m_pickedPoint;
    QPointer<GlobalMouseWidget> m_tag;
    std::unique_ptr<platform::InputCapture> m_capture;        // the pick in progress
    std::unique_ptr<platform::InputCapture> m_stoppedCapture; // the last pick's, stopped
    PointPickOverlay* m_overlay = nullptr;                    // where the session offers no capture
    QButtonGroup* m_keyGroup = nullptr;
    QButtonGroup* m_clickGroup = nullptr;
    QButtonGroup* m_posGroup = nullptr;
    QButtonGroup* m_intervalGroup = nullptr;
    QButtonGroup* m_stopGroup = nullptr;
    DebouncedSave* m_save;
};

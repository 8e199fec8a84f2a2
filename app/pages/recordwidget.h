#pragma once
// The record and replay page: records the user's mouse and keyboard actions through
// the global capture (started and stopped with a button, F4 or the floating stop
// button), keeps each recording in a file of its own under "Kliqora/Record", and
// lists the recordings with their own hotkeys to replay, delete, rename, copy them
// and change their hotkeys.

#include "filerowactions.h"
#include "flow.h" // complete for the signal that hands one over
#include "hotkeymanage.h"
#include "taskwidget.h"

#include <QList>
#include <QStringList>

#include <memory>

class AutoRecordTask;
class QAbstractButton;
class RecordTable;
class SuspendFrame;

namespace platform {
class InputCapture;
} // namespace platform

namespace Ui {
class RecordWidgetClass;
}

class RecordWidget : public TaskWidget
{
    Q_OBJECT

public:
    explicit RecordWidget(QWidget* parent = nullptr);
    ~RecordWidget() override;

    bool isRecording() const { return m_recording; }
    // False where the system lets no program watch the whole desktop's input (Wayland):
    // the record button is then disabled and says why; replay still works.
    bool canRecord() const { return m_canRecord; }
    RecordTable* table() const;
    QAbstractButton* recordButton() const;
    QHotkey* hotkey() const { return m_hotkey; }
    SuspendFrame* suspendFrame() const { return m_suspendFrame; }
    const QList<AutoRecordTask*>& tasks() const { return m_tasks; }
    const QStringList& paths() const { return m_paths; }
    // The recording being recorded, or null.
    AutoRecordTask* recordingTask() const { return m_recordingTask.get(); }
    // The recording the page's job replays (or replayed last), or null.
    AutoRecordTask* replayTask() const { return m_replayTask; }

    // Reads the record folder (once) and the settings; runs from a zero-delay timer.
    void loadRecords();
    // Writes the settings group (done at quit).
    void saveSettings() const;

    static QString buttonText(const QString& hotkey);
    // Why the record button is disabled where recording is impossible.
    static QString recordingUnavailableText();
    // The replay speed chosen on the page (1: as recorded).
    double replaySpeed() const;
    // "record_<yyyyMMdd_HHmmss>_<000..999>.kqt" in the record folder, never an existing file.
    static QString newRecordPath();

public slots:
    // Settings are written, and a recording still running is stopped and kept.
    void onAboutToQuit();
    void onBtnRecordClicked();
    void onHotKeySetClicked();
    void onDeleteTask(const QString& fileName);
    void onPlayTask(const QString& fileName);
    void onRenameTask(int row);
    void onCopyTask(int row);
    void onTaskHotKeySet(int row);
    void onTaskHotKeyActivated(AutoRecordTask* task);
    // Turns the recording of the row into a new flow (see sigConvertedToFlow).
    void onConvertTask(int row, bool keepAllMoves);

signals:
    // A recording became this flow; the receiver takes it over (the custom flows page
    // saves it as a new flow and opens it in the designer).
    void sigConvertedToFlow(Flow* flow);

protected:
    void initUi() override;
    void initConnections() override;
    void runTask() override;
    bool prepareStart() override;

private:
    void loadFolder();
    void showRecordingUnavailable();
    void readSettings();
    void selectReplaySpeed(double speed);
    bool anyActionChosen() const;
    void startRecording();
    void stopRecording(bool restoreWindow = true);
    void startCapture();
    void stopCapture();
    void saveRecording(std::unique_ptr<AutoRecordTask> task);
    void addRecording(AutoRecordTask* task, const QString& path);
    // The recording's name in its row, for the hotkey dialog's "held by".
    HotkeyManage::JobName recordingName(AutoRecordTask* task) const;
    int indexOfName(const QString& name) const;
    void startReplay(AutoRecordTask* task);
    bool rewriteTask(int index);
    void showWriteFailure(const QString& error);
    void setTaskHotkey(int index, const QString& text);
    void clearTaskHotkey(int index);

    std::unique_ptr<Ui::RecordWidgetClass> ui;
    FileRowActions m_fileRows;
    std::unique_ptr<AutoRecordTask> m_recordingTask;
    QList<AutoRecordTask*> m_tasks; // owned; the path of each at the same index
    QStringList m_paths;
    AutoRecordTask* m_replayTask = nullptr;
    SuspendFrame* m_suspendFrame = nullptr;
    std::unique_ptr<platform::InputCapture> m_capture;
    bool m_loaded = false;
    bool m_recording = false;
    bool m_canRecord = true;
};

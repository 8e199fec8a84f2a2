#pragma once
// The key presser page: the table of keys, how the list is repeated, the start/stop
// hotkey (F3 by default), and "keyboard.kqt".

#include "taskwidget.h"

#include <atomic>
#include <memory>

class DebouncedSave;
class KeyBoardTaskList;
class KeyTable;
class QButtonGroup;

namespace Ui {
class KeyBoardWidgetClass;
}

class KeyBoardWidget : public TaskWidget
{
    Q_OBJECT

public:
    explicit KeyBoardWidget(QWidget* parent = nullptr);
    ~KeyBoardWidget() override;

    KeyBoardTaskList* taskList() const { return m_taskList; }
    KeyTable* table() const;
    QHotkey* hotkey() const { return m_hotkey; }

    // Writes "keyboard.kqt" with the table and stop mode as the page shows them (a
    // moment after each change, and at quit).
    void saveTask();
    // Reads "keyboard.kqt" and shows it; without a file an empty table (at start-up).
    void loadTask();

    static QString buttonText(const QString& hotkey);

public slots:
    void onStopFlagChanged();
    void onHotKeySetClicked();
    void onBtnPressKeyClicked();

protected:
    void initUi() override;
    void initConnections() override;
    void runTask() override;
    bool prepareStart() override;

private:
    void watchSettings();
    void refuseStart(const QString& text);
    void fillTaskList();
    void applyLoadedHotkey(const QString& hotkey);
    void showTaskList();
    void waitForHotkeyRelease();

    std::unique_ptr<Ui::KeyBoardWidgetClass> ui;
    KeyBoardTaskList* m_taskList;
    QButtonGroup* m_stopGroup = nullptr;
    DebouncedSave* m_save;
    // The page hotkey is physically down (set on activation, cleared on its release).
    std::atomic<bool> m_hotkeyHeld{false};
};

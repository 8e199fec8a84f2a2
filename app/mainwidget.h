#pragma once
// The main window: title bar, left navigation between the four job pages, status
// bar with the version and the website link. Frameless, drawn by DialogDrop.

#include "dialogdrop.h"

#include <QStringList>
#include <QSystemTrayIcon>
#include <QVector>

class CustomWidget;
class KeyBoardWidget;
class MouseWidget;
class QPushButton;
class RecordWidget;
class TaskWidget;

namespace platform {
enum class InputReach;
}

namespace Ui {
class MainWidgetClass;
}

class MainWidget : public DialogDrop
{
    Q_OBJECT

public:
    explicit MainWidget(QWidget* parent = nullptr);
    // Stops a running job before the pages go.
    ~MainWidget() override;

    void initUi();
    void initConnections();

    // Version shown in the status bar and compared by the update check.
    static const QString CurrentVersion;
    static const QString HomePageUrl;
    static const QString HelpPageUrl;

    MouseWidget* mouseWidget() const { return m_mouseWidget; }
    KeyBoardWidget* keyBoardWidget() const { return m_keyBoardWidget; }
    RecordWidget* recordWidget() const { return m_recordWidget; }
    CustomWidget* customWidget() const { return m_customWidget; }
    QVector<TaskWidget*> pages() const;

    // Ends a running job (flag cleared, worker joined) without showing the window
    // and lets go of what any job left pressed (a flow that ended holding a key);
    // every way of quitting passes here before the event loop ends.
    void stopRunningJobs();

    // Tells the user, in a line above the pages and once in the log, when jobs'
    // input cannot reach every program of the session; nothing when it can.
    void showInputReach(platform::InputReach reach);

public slots:
    void onBtnMenuClicked();
    void onBtnSettingsClicked();
    void onBtnCloseClicked();
    void onShowMainWidget();
    void onTrayActived(QSystemTrayIcon::ActivationReason reason);
    void onTrayExitApp();
    void onSetUpdateInfo(qint32 version);

protected:
    // Whether "hide to the tray" leaves the user a way back. Without a system tray
    // the window is minimised instead of hidden.
    virtual bool canHideToTray() const;

private:
    void selectPage(int index);
    void showAbout();
    void quitApplication();
    // Tells the user once about the keys the desktop refused in this round of events.
    void warnRefusedHotkey(const QString& keyText);

    Ui::MainWidgetClass* ui;
    MouseWidget* m_mouseWidget = nullptr;
    KeyBoardWidget* m_keyBoardWidget = nullptr;
    RecordWidget* m_recordWidget = nullptr;
    CustomWidget* m_customWidget = nullptr;
    QVector<QPushButton*> m_pageButtons;
    QStringList m_refusedHotkeys; // not yet told
};

#pragma once
// The tray icon of the main program with its two-entry menu.

#include <QSystemTrayIcon>

#include <memory>

class QMenu;

class SystemTray : public QSystemTrayIcon
{
    Q_OBJECT

public:
    explicit SystemTray(QObject* parent = nullptr);
    ~SystemTray() override;

    QMenu* menu() const { return m_menu.get(); }

signals:
    void sig_showMainWidget();
    void sig_closeApp();

private:
    // A QSystemTrayIcon does not own its context menu.
    std::unique_ptr<QMenu> m_menu;
};

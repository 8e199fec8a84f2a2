#include "systemtray.h"

#include "appstyle.h"

#include <QIcon>
#include <QMenu>

namespace {
constexpr int menuWidth = 250;
} // namespace

SystemTray::SystemTray(QObject* parent) : QSystemTrayIcon(parent), m_menu(std::make_unique<QMenu>())
{
    AppStyle::initResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/kliqora32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/images/kliqora48.png"), QSize(48, 48));
    icon.addFile(QStringLiteral(":/images/kliqora256.png"), QSize(256, 256));
    setIcon(icon);
    setToolTip(tr("Kliqora妙指灵-键盘鼠标自动化输入工具"));

    AppStyle::setupRoundedMenu(m_menu.get());
    m_menu->setFixedWidth(menuWidth);

    QAction* show =
        m_menu->addAction(QIcon(QStringLiteral(":/images/mainwindow.svg")), tr("打开主界面"));
    connect(show, &QAction::triggered, this, &SystemTray::sig_showMainWidget);
    m_menu->addSeparator();
    QAction* exit =
        m_menu->addAction(QIcon(QStringLiteral(":/images/exit.svg")), tr("退出Kliqora妙指灵"));
    connect(exit, &QAction::triggered, this, &SystemTray::sig_closeApp);
    setContextMenu(m_menu.get());
}

SystemTray::~SystemTray() = default;

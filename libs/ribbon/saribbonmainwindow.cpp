#include "saribbonmainwindow.h"

#include "saribbonbar.h"

SARibbonMainWindow::SARibbonMainWindow(QWidget* parent, RibbonStyles styles, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), m_styles(styles)
{
    if (!styles.testFlag(UseRibbonBar))
        return;
    m_ribbonBar = new SARibbonBar(this);
    m_ribbonBar->setMinimizable(styles.testFlag(Minimizable));
    m_ribbonBar->setPanelTitlesVisible(styles.testFlag(PanelTitles));
    // The menu widget sits above tool bars and docks, where a menu bar would be.
    setMenuWidget(m_ribbonBar);
}

SARibbonMainWindow::~SARibbonMainWindow() = default;

SARibbonBar* SARibbonMainWindow::ribbonBar() const
{
    return m_ribbonBar;
}

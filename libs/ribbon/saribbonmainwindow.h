#pragma once
// A main window whose menu-bar area holds a ribbon bar. Keeps the public class
// name and the API subset of the SARibbon library that Kliqora uses.

#include <QMainWindow>

class SARibbonBar;

class SARibbonMainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // clang-format off
    enum RibbonStyleFlag {
        UseRibbonBar = 0x1,   // the menu-bar area is a ribbon bar (otherwise ribbonBar() is null)
        Minimizable  = 0x2,   // a double click on a category tab folds the panels away and back
        PanelTitles  = 0x4,   // each panel shows its title under its actions
    };
    // clang-format on
    Q_DECLARE_FLAGS(RibbonStyles, RibbonStyleFlag)
    Q_FLAG(RibbonStyles)

    static constexpr RibbonStyles DefaultStyles = RibbonStyles(UseRibbonBar | PanelTitles);

    explicit SARibbonMainWindow(QWidget* parent = nullptr, RibbonStyles styles = DefaultStyles,
                                Qt::WindowFlags flags = {});
    ~SARibbonMainWindow() override;

    // The ribbon bar in the menu-bar area; null when UseRibbonBar is not set.
    SARibbonBar* ribbonBar() const;
    RibbonStyles ribbonStyles() const { return m_styles; }

private:
    SARibbonBar* m_ribbonBar = nullptr;
    RibbonStyles m_styles;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SARibbonMainWindow::RibbonStyles)

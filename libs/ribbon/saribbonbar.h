#pragma once
// The ribbon: a row of category tabs above the page of the current category.

#include <QFrame>
#include <QList>

class QStackedWidget;
class QTabBar;
class SARibbonCategory;

class SARibbonBar : public QFrame
{
    Q_OBJECT

public:
    explicit SARibbonBar(QWidget* parent = nullptr);
    ~SARibbonBar() override;

    // Appends a category tab; the first category added becomes the current one.
    SARibbonCategory* addCategoryPage(const QString& title);
    void addCategoryPage(SARibbonCategory* category);

    QList<SARibbonCategory*> categoryPages() const;
    // The first category with that title, or null.
    SARibbonCategory* categoryByName(const QString& title) const;

    int currentIndex() const;
    void setCurrentIndex(int index);

    // Folded: only the tabs show; clicking a tab unfolds the panels again.
    bool isMinimized() const { return m_minimized; }
    void setMinimized(bool minimized);
    bool isMinimizable() const { return m_minimizable; }
    void setMinimizable(bool minimizable);

    bool panelTitlesVisible() const { return m_panelTitlesVisible; }
    void setPanelTitlesVisible(bool visible);

    QTabBar* tabBar() const { return m_tabBar; }

signals:
    void currentRibbonTabChanged(int index);

private:
    void onTabBarDoubleClicked(int index);
    void onTabBarClicked(int index);
    void onCategoryTitleChanged(SARibbonCategory* category);

    QTabBar* m_tabBar = nullptr;
    QStackedWidget* m_stack = nullptr;
    bool m_minimized = false;
    bool m_minimizable = false;
    bool m_panelTitlesVisible = true;
};

#include "saribbonbar.h"

#include "saribboncategory.h"

#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

// A light theme: white page, pale tab strip, thin grey separators, a blue hover.
const char* const ribbonStyleSheet = R"(
SARibbonBar { background: #f3f4f6; border: none; border-bottom: 1px solid #d4d7dc; }
SARibbonBar QTabBar { background: transparent; }
SARibbonBar QTabBar::tab {
    background: transparent; color: #333333; padding: 4px 16px; margin: 0px;
    border: 1px solid transparent; border-bottom: none;
}
SARibbonBar QTabBar::tab:hover { color: #1f5fbf; }
SARibbonBar QTabBar::tab:selected {
    background: #ffffff; color: #1f5fbf; border: 1px solid #d4d7dc; border-bottom: none;
}
SARibbonCategory { background: #ffffff; border-top: 1px solid #d4d7dc; }
SARibbonPannel { background: transparent; }
SARibbonPannel QLabel#pannelTitle { color: #6b6f76; }
SARibbonPannel QToolButton {
    border: 1px solid transparent; border-radius: 3px; padding: 2px; color: #222222;
    background: transparent;
}
SARibbonPannel QToolButton:hover { background: #e5effb; border-color: #b9d3f3; }
SARibbonPannel QToolButton:pressed { background: #cfe1f7; border-color: #8fb6e8; }
SARibbonPannel QToolButton:disabled { color: #a5a8ad; }
SARibbonCategory QFrame#pannelSeparator { color: #dcdfe3; }
)";

// Large buttons need the icon, two short text lines and the panel title.
constexpr int stackHeightWithTitles = 92;
constexpr int stackHeightWithoutTitles = 74;

} // namespace

SARibbonBar::SARibbonBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("SARibbonBar"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QString::fromLatin1(ribbonStyleSheet));

    m_tabBar = new QTabBar(this);
    m_tabBar->setObjectName(QStringLiteral("ribbonTabBar"));
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    m_tabBar->setFocusPolicy(Qt::NoFocus);
    m_stack = new QStackedWidget(this);
    m_stack->setFixedHeight(stackHeightWithTitles);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(0);
    auto* tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(6, 0, 6, 0);
    tabRow->addWidget(m_tabBar);
    tabRow->addStretch(1);
    layout->addLayout(tabRow);
    layout->addWidget(m_stack);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    connect(m_tabBar, &QTabBar::currentChanged, this, [this](int index) {
        m_stack->setCurrentIndex(index);
        emit currentRibbonTabChanged(index);
    });
    connect(m_tabBar, &QTabBar::tabBarDoubleClicked, this, &SARibbonBar::onTabBarDoubleClicked);
    connect(m_tabBar, &QTabBar::tabBarClicked, this, &SARibbonBar::onTabBarClicked);
}

SARibbonBar::~SARibbonBar() = default;

SARibbonCategory* SARibbonBar::addCategoryPage(const QString& title)
{
    auto* category = new SARibbonCategory(title);
    addCategoryPage(category);
    return category;
}

void SARibbonBar::addCategoryPage(SARibbonCategory* category)
{
    if (!category || m_stack->indexOf(category) >= 0)
        return;
    category->setPanelTitlesVisible(m_panelTitlesVisible);
    m_stack->addWidget(category);
    m_tabBar->addTab(category->categoryName());
    connect(category, &SARibbonCategory::categoryNameChanged, this,
            [this, category] { onCategoryTitleChanged(category); });
}

QList<SARibbonCategory*> SARibbonBar::categoryPages() const
{
    QList<SARibbonCategory*> pages;
    for (int i = 0; i < m_stack->count(); ++i)
        pages.append(static_cast<SARibbonCategory*>(m_stack->widget(i)));
    return pages;
}

SARibbonCategory* SARibbonBar::categoryByName(const QString& title) const
{
    const auto pages = categoryPages();
    for (SARibbonCategory* page : pages) {
        if (page->categoryName() == title)
            return page;
    }
    return nullptr;
}

int SARibbonBar::currentIndex() const
{
    return m_tabBar->currentIndex();
}

void SARibbonBar::setCurrentIndex(int index)
{
    m_tabBar->setCurrentIndex(index);
}

void SARibbonBar::setMinimized(bool minimized)
{
    if (m_minimized == minimized)
        return;
    m_minimized = minimized;
    m_stack->setVisible(!minimized);
}

void SARibbonBar::setMinimizable(bool minimizable)
{
    m_minimizable = minimizable;
    if (!minimizable)
        setMinimized(false);
}

void SARibbonBar::setPanelTitlesVisible(bool visible)
{
    m_panelTitlesVisible = visible;
    m_stack->setFixedHeight(visible ? stackHeightWithTitles : stackHeightWithoutTitles);
    const auto pages = categoryPages();
    for (SARibbonCategory* page : pages)
        page->setPanelTitlesVisible(visible);
}

void SARibbonBar::onTabBarDoubleClicked(int index)
{
    if (m_minimizable && index >= 0)
        setMinimized(!m_minimized);
}

void SARibbonBar::onTabBarClicked(int index)
{
    // A folded ribbon opens again when the user picks a category.
    if (m_minimized && index >= 0 && index != m_tabBar->currentIndex())
        setMinimized(false);
}

void SARibbonBar::onCategoryTitleChanged(SARibbonCategory* category)
{
    const int index = m_stack->indexOf(category);
    if (index >= 0)
        m_tabBar->setTabText(index, category->categoryName());
}

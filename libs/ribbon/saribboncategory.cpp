#include "saribboncategory.h"

#include "saribbonpannel.h"

#include <QFrame>
#include <QHBoxLayout>

namespace {
constexpr int pageMargin = 4;
constexpr int separatorMargin = 6;
} // namespace

SARibbonCategory::SARibbonCategory(const QString& name, QWidget* parent)
    : QWidget(parent), m_name(name)
{
    setAttribute(Qt::WA_StyledBackground, true);
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(pageMargin, pageMargin, pageMargin, 0);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
}

SARibbonCategory::~SARibbonCategory() = default;

void SARibbonCategory::setCategoryName(const QString& name)
{
    if (m_name == name)
        return;
    m_name = name;
    emit categoryNameChanged(name);
}

SARibbonPannel* SARibbonCategory::addPannel(const QString& title)
{
    auto* pannel = new SARibbonPannel(title, this);
    pannel->setTitleVisible(m_panelTitlesVisible);

    // Panels go before the trailing stretch; each one is followed by its separator.
    const int insertAt = m_layout->count() - 1;
    m_layout->insertWidget(insertAt, pannel);
    auto* separator = new QFrame(this);
    separator->setObjectName(QStringLiteral("pannelSeparator"));
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Plain);
    separator->setContentsMargins(0, separatorMargin, 0, separatorMargin);
    m_layout->insertWidget(insertAt + 1, separator);

    m_pannels.append(pannel);
    return pannel;
}

SARibbonPannel* SARibbonCategory::pannelByName(const QString& title) const
{
    for (SARibbonPannel* pannel : m_pannels) {
        if (pannel->pannelName() == title)
            return pannel;
    }
    return nullptr;
}

void SARibbonCategory::setPanelTitlesVisible(bool visible)
{
    m_panelTitlesVisible = visible;
    for (SARibbonPannel* pannel : qAsConst(m_pannels))
        pannel->setTitleVisible(visible);
}

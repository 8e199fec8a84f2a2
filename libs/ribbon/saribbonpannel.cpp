#include "saribbonpannel.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int largeIconSize = 32;
constexpr int largeButtonMinWidth = 56;
constexpr int buttonSpacing = 2;
constexpr int pannelMargin = 4;
} // namespace

SARibbonPannel::SARibbonPannel(const QString& name, QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_StyledBackground, true);
    m_buttons = new QHBoxLayout;
    m_buttons->setContentsMargins(0, 0, 0, 0);
    m_buttons->setSpacing(buttonSpacing);

    m_title = new QLabel(name, this);
    m_title->setObjectName(QStringLiteral("pannelTitle"));
    m_title->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(pannelMargin, 0, pannelMargin, 2);
    layout->setSpacing(0);
    layout->addLayout(m_buttons);
    layout->addStretch(1);
    layout->addWidget(m_title);
}

SARibbonPannel::~SARibbonPannel() = default;

QString SARibbonPannel::pannelName() const
{
    return m_title->text();
}

void SARibbonPannel::setPannelName(const QString& name)
{
    m_title->setText(name);
}

QToolButton* SARibbonPannel::addLargeAction(QAction* action)
{
    if (!action)
        return nullptr;
    if (QToolButton* existing = buttonForAction(action))
        return existing;
    auto* button = new QToolButton(this);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(largeIconSize, largeIconSize));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumWidth(largeButtonMinWidth);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    button->setDefaultAction(action);
    m_buttons->addWidget(button);
    addAction(action);
    return button;
}

QAction* SARibbonPannel::addLargeAction(const QIcon& icon, const QString& text)
{
    auto* action = new QAction(icon, text, this);
    addLargeAction(action);
    return action;
}

void SARibbonPannel::addSeparator()
{
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("pannelSeparator"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    m_buttons->addWidget(line);
}

QToolButton* SARibbonPannel::buttonForAction(QAction* action) const
{
    const auto buttons = findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    for (QToolButton* button : buttons) {
        if (button->defaultAction() == action)
            return button;
    }
    return nullptr;
}

bool SARibbonPannel::isTitleVisible() const
{
    return !m_title->isHidden();
}

void SARibbonPannel::setTitleVisible(bool visible)
{
    m_title->setVisible(visible);
}

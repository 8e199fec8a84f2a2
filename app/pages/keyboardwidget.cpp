#include "keyboardwidget.h"

KeyBoardWidget::KeyBoardWidget(QWidget* parent) : TaskWidget(parent)
{
    initUi();
    initConnections();
}

KeyBoardWidget::~KeyBoardWidget() = default;

void KeyBoardWidget::initUi()
{
    setObjectName(QStringLiteral("KeyBoardWidget"));
}

void KeyBoardWidget::initConnections() {}

void KeyBoardWidget::runTask()
{
    emit sigTaskFinished();
}

bool KeyBoardWidget::prepareStart()
{
    return false; // no job yet
}

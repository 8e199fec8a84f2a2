#include "customwidget.h"

CustomWidget::CustomWidget(QWidget* parent) : TaskWidget(parent)
{
    initUi();
    initConnections();
}

CustomWidget::~CustomWidget() = default;

void CustomWidget::initUi()
{
    setObjectName(QStringLiteral("CustomWidget"));
}

void CustomWidget::initConnections() {}

void CustomWidget::runTask()
{
    emit sigTaskFinished();
}

bool CustomWidget::prepareStart()
{
    return false; // no job yet
}

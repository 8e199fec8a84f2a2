#include "recordwidget.h"

RecordWidget::RecordWidget(QWidget* parent) : TaskWidget(parent)
{
    initUi();
    initConnections();
}

RecordWidget::~RecordWidget() = default;

void RecordWidget::initUi()
{
    setObjectName(QStringLiteral("RecordWidget"));
}

void RecordWidget::initConnections() {}

void RecordWidget::runTask()
{
    emit sigTaskFinished();
}

bool RecordWidget::prepareStart()
{
    return false; // no job yet
}

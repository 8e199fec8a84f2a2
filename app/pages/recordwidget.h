#pragma once
// The record and replay page.

#include "taskwidget.h"

class RecordWidget : public TaskWidget
{
    Q_OBJECT

public:
    explicit RecordWidget(QWidget* parent = nullptr);
    ~RecordWidget() override;

protected:
    void initUi() override;
    void initConnections() override;
    void runTask() override;
    bool prepareStart() override;
};

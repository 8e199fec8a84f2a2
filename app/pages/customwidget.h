#pragma once
// The custom flows page.

#include "taskwidget.h"

class CustomWidget : public TaskWidget
{
    Q_OBJECT

public:
    explicit CustomWidget(QWidget* parent = nullptr);
    ~CustomWidget() override;

protected:
    void initUi() override;
    void initConnections() override;
    void runTask() override;
    bool prepareStart() override;
};

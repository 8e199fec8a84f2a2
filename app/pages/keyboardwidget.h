#pragma once
// The key presser page.

#include "taskwidget.h"

class KeyBoardWidget : public TaskWidget
{
    Q_OBJECT

public:
    explicit KeyBoardWidget(QWidget* parent = nullptr);
    ~KeyBoardWidget() override;

protected:
    void initUi() override;
    void initConnections() override;
    void runTask() override;
    bool prepareStart() override;
};

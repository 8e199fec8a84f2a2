#pragma once
// A titled group of actions on a ribbon page; the title sits under the buttons.

#include <QWidget>

class QAction;
class QHBoxLayout;
class QLabel;
class QToolButton;

class SARibbonPannel : public QWidget
{
    Q_OBJECT

public:
    explicit SARibbonPannel(const QString& name = QString(), QWidget* parent = nullptr);
    ~SARibbonPannel() override;

    QString pannelName() const;
    void setPannelName(const QString& name);

    // A big button for the action: icon above text. The button follows the
    // action's text, icon, tool tip, enabled and checked state. The action is also
    // added to the panel, so its shortcut works inside the window.
    QToolButton* addLargeAction(QAction* action);
    // Convenience: creates the action as a child of the panel.
    QAction* addLargeAction(const QIcon& icon, const QString& text);
    void addSeparator();

    // The button showing the action, or null.
    QToolButton* buttonForAction(QAction* action) const;

    bool isTitleVisible() const;
    void setTitleVisible(bool visible);

private:
    QHBoxLayout* m_buttons = nullptr;
    QLabel* m_title = nullptr;
};

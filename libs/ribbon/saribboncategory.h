#pragma once
// One tab page of the ribbon: panels side by side, separated by thin lines.

#include <QList>
#include <QWidget>

class QHBoxLayout;
class SARibbonPannel;

class SARibbonCategory : public QWidget
{
    Q_OBJECT

public:
    explicit SARibbonCategory(const QString& name = QString(), QWidget* parent = nullptr);
    ~SARibbonCategory() override;

    QString categoryName() const { return m_name; }
    void setCategoryName(const QString& name);

    // Appends a panel to the right of the existing ones.
    SARibbonPannel* addPannel(const QString& title);
    QList<SARibbonPannel*> pannelList() const { return m_pannels; }
    // The first panel with that title, or null.
    SARibbonPannel* pannelByName(const QString& title) const;

    void setPanelTitlesVisible(bool visible);

signals:
    void categoryNameChanged(const QString& name);

private:
    QString m_name;
    QHBoxLayout* m_layout = nullptr;
    QList<SARibbonPannel*> m_pannels;
    bool m_panelTitlesVisible = true;
};

#pragma once
// The designer's main window: a ribbon, the operation table in the middle, the
// palette dock on the left and the property dock on the right. Knows whether the
// flow differs from its file, saves it, asks before closing, and runs the flow
// once for testing on a worker thread while the window is hidden.

#include <saribbonmainwindow.h>

namespace Ui {
class KliqoraDesignerClass;
}
class ButtonDelegate;
class JobRunner;
class OperationModel;
class OperationPanelWidget;
class OperationTableView;
class PropertyPanelWidget;
class QDockWidget;
class QHotkey;

class KliqoraDesigner : public SARibbonMainWindow
{
    Q_OBJECT

public:
    // Builds the window for `filePath` (kept exactly as given) and loads the flow.
    explicit KliqoraDesigner(const QString& filePath, QWidget* parent = nullptr);
    ~KliqoraDesigner() override;

    // The global start/stop key of the test run; false when the key is taken.
    bool registerRunHotkey();

    OperationModel* model() const { return m_model; }
    OperationTableView* tableView() const;
    ButtonDelegate* buttonDelegate() const { return m_buttonDelegate; }
    PropertyPanelWidget* propertyPanel() const { return m_propertyPanel; }
    OperationPanelWidget* operationPanel() const { return m_operationPanel; }
    QDockWidget* propertyDock() const { return m_propertyDock; }
    QDockWidget* operationDock() const { return m_operationDock; }
    QAction* saveAction() const { return m_saveAction; }
    QAction* runAction() const { return m_runAction; }
    QHotkey* runHotkey() const { return m_runHotkey; }
    bool isModified() const { return m_modified; }
    bool isRunning() const { return m_running; }

public slots:
    void onBtnRunClicked();
    void onBtnSaveClicked();
    void onModelDataChanged();
    // The test run ended by itself: the window comes back.
    void onStopFlowRuning();
    void onShowFlowInfo();
    void onRowButtonClicked(int row, int type);
    void restoreDefaultLayout();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createDocks();
    void createRibbon();
    void setupTable();
    void connectPanels();
    QAction* addRibbonAction(class SARibbonPannel* pannel, const QString& objectName,
                             const QString& icon, const QString& text);
    static void toggleDock(QDockWidget* dock);
    bool save();
    void startRun();
    void stopRun();

    Ui::KliqoraDesignerClass* ui;
    OperationModel* m_model;
    ButtonDelegate* m_buttonDelegate = nullptr;
    QDockWidget* m_propertyDock = nullptr;
    QDockWidget* m_operationDock = nullptr;
    PropertyPanelWidget* m_propertyPanel = nullptr;
    OperationPanelWidget* m_operationPanel = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_runAction = nullptr;
    QHotkey* m_runHotkey = nullptr;

    JobRunner* m_runner;
    bool m_running = false;
    bool m_modified = false;
};

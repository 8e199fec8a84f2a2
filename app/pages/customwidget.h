#pragma once
// The custom flows page: lists the flow files of the save folder, runs a flow on its
// run button or its own global hotkey, copies, renames and deletes flows, and hands
// a flow to the designer program for editing. While the designer has a flow open,
// that flow's row offers only "run"; the designer reports its close through a local
// socket (the UTF-8 file path, no framing, ended by the disconnect), after which
// the flow is reloaded and its row enabled again.

#include "filerowactions.h"
#include "hotkeymanage.h"
#include "taskwidget.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class CloseNoticeServer;
class CustomTable;
class Flow;
class QTimer;

namespace Ui {
class CustomWidgetClass;
}

// One listed flow; row i of the table always shows item i.
struct FlowItem
{
    Flow* flow = nullptr; // owned by the page
    QString filePath;     // absolute, native separators
    bool editing = false; // open in the designer
};

class CustomWidget : public TaskWidget
{
    Q_OBJECT

public:
    explicit CustomWidget(QWidget* parent = nullptr);
    ~CustomWidget() override;

    // "<save folder or documents>/Kliqora/Custom", native separators; not created.
    static QString flowFolder();
    // The designer program beside this one.
    static QString defaultDesignerProgram();

    const QList<FlowItem>& items() const { return m_items; }
    CustomTable* table() const;
    Flow* currentFlow() const { return m_currentFlow.load(); }
    // The listening notice server (null before the first event-loop turn).
    CloseNoticeServer* noticeServer() const { return m_noticeServer; }

    QString designerProgram() const { return m_designerProgram; }
    void setDesignerProgram(const QString& program) { m_designerProgram = program; }

    // (Re)lists the flow files, oldest-modified first; files that fail to load are
    // skipped. Refused while a flow of this page runs.
    void loadFlows();
    // A free "ops_<yyyyMMdd_HHmmss>_<000..999>.flw" in the flow folder (created when
    // missing); empty when no free name is left for this second.
    static QString newFlowFilePath();
    // Saves a new empty flow named after its file and lists it; its path, or empty.
    QString createFlowFile();
    // Saves `flow` (owned by the page) as a new file of the folder and lists it; the
    // path, or empty (the flow deleted) when it could not be saved.
    QString saveAsNewFlow(Flow* flow);
    // Opens the flow of the last row in the designer.
    void designLastFlow();
    // Starts the designer detached on `filePath`; false (after telling the user) when
    // it cannot be started.
    bool openDesigner(const QString& filePath);
    // Listens for the designer's close notices under the per-user name.
    bool startNoticeServer();

public slots:
    void onBtnNewClicked();
    // A flow made elsewhere (a converted recording): saved as a new flow of the
    // folder, listed and opened in the designer. The page takes it over.
    void addConvertedFlow(Flow* flow);
    void onRunFlow(int row);
    void onDesignFlow(int row);
    void onDeleteFlow(int row);
    void onSetFlowHotKey(int row);
    void onCopyFlow(int row);
    void onRenameFlow(int row);
    void onFlowHotKeyActivated(Flow* flow);
    // The designer closed `path`: clear the editing mark and reload the flow.
    void onDesignerClosed(const QString& path);

protected:
    void initUi() override;
    void initConnections() override;
    void runTask() override;
    bool prepareStart() override;

private:
    void addFlowItem(Flow* flow, const QString& path);
    // The flow's name, for the hotkey dialog's "held by".
    static HotkeyManage::JobName flowName(Flow* flow);
    void clearItems();
    bool validRow(int row) const;
    void setEditing(int row, bool editing);
    void startFlow(Flow* flow);
    void applyNotice(int row);
    void applyPendingNotices();
    // The files of the listed flows, in row order.
    QStringList filePaths() const;
    void showHotkeyFailure(const QString& hotkey);
    void changeHotkey(FlowItem& item, int row, const QString& oldText, const QString& newText);
    void createHotkey(FlowItem& item, int row, const QString& newText);
    void clearHotkey(FlowItem& item, int row, const QString& oldText);

    std::unique_ptr<Ui::CustomWidgetClass> ui;
    FileRowActions m_fileRows;
    QList<FlowItem> m_items;
    // Read by the worker at its start; written on the GUI thread only between runs.
    std::atomic<Flow*> m_currentFlow{nullptr};
    CloseNoticeServer* m_noticeServer = nullptr;
    // Notices for the flow that is running: its reload waits until the run is over.
    QStringList m_pendingNotices;
    QTimer* m_noticeRetry = nullptr;
    QString m_designerProgram;
};

#include "kliqoradesigner.h"

#include "buttondelegate.h"
#include "designerresources.h"
#include "flow.h"
#include "jobrunner.h"
#include "logcategory.h"
#include "operation.h"
#include "operationfactory.h"
#include "operationmodel.h"
#include "operationpanelwidget.h"
#include "operationtableview.h"
#include "platform/backend.h"
#include "propertypanel/kliqorapropertybrowser.h"
#include "propertypanel/propertypanelwidget.h"
#include "ui_kliqoradesigner.h"

#include <qhotkey.h>
#include <saribbonbar.h>
#include <saribboncategory.h>
#include <saribbonpannel.h>

#include <QCloseEvent>
#include <QDockWidget>
#include <QHeaderView>
#include <QMessageBox>

namespace {
const QSize WindowSize(1366, 768);
constexpr int DockMinimumWidth = 200;
// clang-format off
constexpr int TypeColumnWidth     = 100;
constexpr int TypeCellMargin      = 12;
constexpr int IntervalColumnWidth = 110;
constexpr int EditColumnWidth     = 100;
// clang-format on
const QString RunHotkeyText = QStringLiteral("F8");

// The type column is at least wide enough for every operation's name one loop level
// deep, in the language shown (the English names are longer).
int typeColumnWidth(const QWidget* table)
{
    const QFontMetrics metrics = table->fontMetrics();
    const QString indent(OperationModel::IndentPerLevel, QLatin1Char(' '));
    int widest = TypeColumnWidth;
    for (const Operation* op : OperationFactory::instance()->registeredPrototypes())
        widest =
            qMax(widest, metrics.horizontalAdvance(indent + op->displayName()) + TypeCellMargin);
    return widest;
}

} // namespace

KliqoraDesigner::KliqoraDesigner(const QString& filePath, QWidget* parent)
    : SARibbonMainWindow(parent, SARibbonMainWindow::RibbonStyles(5)),
      ui(new Ui::KliqoraDesignerClass), m_model(new OperationModel(this)),
      m_runner(new JobRunner(this))
{
    initDesignerResources();
    ui->setupUi(this);
    m_model->setFilePath(filePath);
    setWindowTitle(QStringLiteral("KliqoraDesigner") + QStringLiteral(" - ") + filePath);
    resize(WindowSize);
    createDocks();
    createRibbon();
    setupTable();
    connectPanels();
    connect(m_runner, &JobRunner::finished, this, &KliqoraDesigner::onStopFlowRuning);
}

KliqoraDesigner::~KliqoraDesigner()
{
    m_runner->stop(); // the run ends at its next look at the run flag
    // A test run that ended by itself keeps what it pressed until the designer goes.
    platform::releaseHeldInput();
    delete ui;
}

OperationTableView* KliqoraDesigner::tableView() const
{
    return ui->opTable;
}

void KliqoraDesigner::createDocks()
{
    const auto makeDock = [this](const QString& title) {
        auto* dock = new QDockWidget(title, this);
        dock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
        dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                          QDockWidget::DockWidgetFloatable);
        dock->setMinimumWidth(DockMinimumWidth);
        return dock;
    };
    m_propertyDock = makeDock(tr("属性设置"));
    m_propertyDock->setObjectName(QStringLiteral("propertyDock"));
    m_propertyPanel = new PropertyPanelWidget(m_propertyDock);
    m_propertyDock->setWidget(m_propertyPanel);
    addDockWidget(Qt::RightDockWidgetArea, m_propertyDock);

    m_operationDock = makeDock(tr("操作选择"));
    m_operationDock->setObjectName(QStringLiteral("operationDock"));
    m_operationPanel = new OperationPanelWidget(m_operationDock);
    m_operationDock->setWidget(m_operationPanel);
    addDockWidget(Qt::LeftDockWidgetArea, m_operationDock);
}

QAction* KliqoraDesigner::addRibbonAction(SARibbonPannel* pannel, const QString& objectName,
                                          const QString& icon, const QString& text)
{
    auto* action = new QAction(QIcon(icon), text, this);
    action->setObjectName(objectName);
    pannel->addLargeAction(action);
    return action;
}

void KliqoraDesigner::createRibbon()
{
    SARibbonBar* bar = ribbonBar();
    SARibbonCategory* home = bar->addCategoryPage(tr("开始"));
    SARibbonPannel* filePannel = home->addPannel(tr("文件"));
    m_saveAction = addRibbonAction(filePannel, QStringLiteral("actionSave"),
                                   QStringLiteral(":res/images/save.svg"), tr("保存"));
    m_saveAction->setEnabled(false);
    connect(m_saveAction, &QAction::triggered, this, &KliqoraDesigner::onBtnSaveClicked);
    QAction* info = addRibbonAction(filePannel, QStringLiteral("actionFlowInfo"),
                                    QStringLiteral(":res/images/flowprop.svg"), tr("基本信息"));
    connect(info, &QAction::triggered, this, &KliqoraDesigner::onShowFlowInfo);

    SARibbonPannel* debugPannel = home->addPannel(tr("调试"));
    m_runAction = addRibbonAction(debugPannel, QStringLiteral("actionRun"),
                                  QStringLiteral(":res/images/run.svg"), tr("启/停[F8]"));
    connect(m_runAction, &QAction::triggered, this, &KliqoraDesigner::onBtnRunClicked);

    SARibbonCategory* view = bar->addCategoryPage(tr("视图"));
    SARibbonPannel* layoutPannel = view->addPannel(tr("界面布局"));
    QAction* defaultLayout =
        addRibbonAction(layoutPannel, QStringLiteral("actionDefaultLayout"),
                        QStringLiteral(":res/images/defaultlayout.svg"), tr("默认布局"));
    connect(defaultLayout, &QAction::triggered, this, &KliqoraDesigner::restoreDefaultLayout);
    QAction* operationWindow =
        addRibbonAction(layoutPannel, QStringLiteral("actionOperationWindow"),
                        QStringLiteral(":res/images/operation.svg"), tr("操作窗口"));
    connect(operationWindow, &QAction::triggered, this, [this] { toggleDock(m_operationDock); });
    QAction* propertyWindow =
        addRibbonAction(layoutPannel, QStringLiteral("actionPropertyWindow"),
                        QStringLiteral(":res/images/property.svg"), tr("属性窗口"));
    connect(propertyWindow, &QAction::triggered, this, [this] { toggleDock(m_propertyDock); });
}

void KliqoraDesigner::setupTable()
{
    const QString path = m_model->filePath();
    if (!path.isEmpty())
        m_model->flow()->load(path); // a missing file leaves an empty flow to build on
    // Connected only after loading, so that loading never counts as a change.
    connect(m_model, &OperationModel::sigDataChanged, this, &KliqoraDesigner::onModelDataChanged);

    OperationTableView* table = ui->opTable;
    table->setModel(m_model);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(OperationModel::ColumnDescription, QHeaderView::Stretch);
    const int columns = m_model->columnCount();
    if (columns > OperationModel::ColumnType)
        table->setColumnWidth(OperationModel::ColumnType, typeColumnWidth(table));
    if (columns > OperationModel::ColumnInterval)
        table->setColumnWidth(OperationModel::ColumnInterval, IntervalColumnWidth);
    if (columns > OperationModel::ColumnEdit)
        table->setColumnWidth(OperationModel::ColumnEdit, EditColumnWidth);

    m_buttonDelegate = new ButtonDelegate(table);
    table->setItemDelegateForColumn(OperationModel::ColumnEdit, m_buttonDelegate);
    connect(m_buttonDelegate, &ButtonDelegate::iconClicked, this,
            [this](int row, ButtonDelegate::BtnType type) { onRowButtonClicked(row, type); });
}

void KliqoraDesigner::connectPanels()
{
    connect(ui->opTable, &OperationTableView::operationSelected, m_propertyPanel,
            [this](Operation* op) { m_propertyPanel->showObject(op); });
    connect(m_propertyPanel->propertyBrowser(), &KliqoraPropertyBrowser::sigValueChanged, m_model,
            &QAbstractItemModel::dataChanged);
}

bool KliqoraDesigner::registerRunHotkey()
{
    if (!m_runHotkey)
        m_runHotkey = new QHotkey(QKeySequence(RunHotkeyText), true, this);
    if (!m_runHotkey->isRegistered()) {
        qCWarning(logCategory()).noquote()
            << "KliqoraDesigner run hotkey registe fail, hotkey is" << RunHotkeyText;
        return false;
    }
    connect(m_runHotkey, &QHotkey::activated, this, &KliqoraDesigner::onBtnRunClicked,
            Qt::UniqueConnection);
    qCWarning(logCategory()).noquote()
        << "KliqoraDesigner run hotkey registe successfully, hotkey is" << RunHotkeyText;
    return true;
}

void KliqoraDesigner::toggleDock(QDockWidget* dock)
{
    dock->setVisible(!dock->isVisible());
}

void KliqoraDesigner::restoreDefaultLayout()
{
    const auto redock = [this](QDockWidget* dock, Qt::DockWidgetArea area) {
        dock->hide();
        removeDockWidget(dock);
        dock->setFloating(false);
        addDockWidget(area, dock);
        // A dock taken out while floating comes back floating; dock it for real.
        if (dock->isFloating())
            dock->setFloating(false);
        dock->show();
    };
    redock(m_propertyDock, Qt::RightDockWidgetArea);
    redock(m_operationDock, Qt::LeftDockWidgetArea);
}

void KliqoraDesigner::onModelDataChanged()
{
    m_saveAction->setEnabled(true);
    m_modified = true;
}

bool KliqoraDesigner::save()
{
    const QString path = m_model->filePath();
    if (path.isEmpty() || !m_model->flow()->save(path))
        return false; // the flow reports its own errors
    m_saveAction->setEnabled(false);
    m_modified = false;
    return true;
}

void KliqoraDesigner::onBtnSaveClicked()
{
    save();
}

void KliqoraDesigner::onShowFlowInfo()
{
    m_propertyPanel->showObject(m_model->flow());
    if (m_propertyDock->isHidden())
        m_propertyDock->show();
}

void KliqoraDesigner::onRowButtonClicked(int row, int type)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    if (type == ButtonDelegate::BtnCopy) {
        Operation* copy = m_model->operationAt(row)->clone(nullptr);
        if (!m_model->insertOperation(row + 1, copy))
            delete copy;
    } else if (type == ButtonDelegate::BtnDelete) {
        m_model->removeOperation(row);
    }
}

void KliqoraDesigner::closeEvent(QCloseEvent* event)
{
    if (!m_modified) {
        event->accept();
        return;
    }
    QMessageBox box(QMessageBox::Question, tr("文件未保存"), tr("当前操作流已修改，是否保存更改？"),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::NoButton);
    switch (box.exec()) {
    case QMessageBox::Save:
        if (save())
            event->accept();
        else
            event->ignore();
        break;
    case QMessageBox::Discard:
        event->accept();
        break;
    default:
        event->ignore();
        break;
    }
}

void KliqoraDesigner::onBtnRunClicked()
{
    if (m_running) {
        stopRun();
        return;
    }
    startRun();
}

void KliqoraDesigner::startRun()
{
    if (!m_model->flow()->checkRunnable())
        return;
    hide();
    m_running = true;
    // The run works on a copy taken now: the rows the user edits are never read by
    // the worker, and the copy goes with the run.
    auto flow = std::make_shared<Flow>(*m_model->flow());
    const bool started = m_runner->start([flow] { flow->run(); });
    if (!started)
        qCWarning(logCategory()) << "A job runs already: the test run does not start";
}

void KliqoraDesigner::onStopFlowRuning()
{
    m_running = false;
    show();
}

void KliqoraDesigner::stopRun()
{
    m_runner->stop();
    m_running = false;
    show();
}

#include "customwidget.h"
#include "ui_customwidget.h"

#include "appconfig.h"
#include "appstyle.h"
#include "closenotice.h"
#include "copyname.h"
#include "customtable.h"
#include "dialogs/hotkeyset.h"
#include "filerowactions.h"
#include "flow.h"
#include "hotkeymanage.h"
#include "logcategory.h"
#include "qhotkey.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QKeySequence>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

namespace {

const QString FlowSubFolder = QStringLiteral("Kliqora/Custom");
const QString FlowFilePattern = QStringLiteral("*.flw");
const QString NewFlowNameFormat = QStringLiteral("ops_%1_%2.flw");
const QString NewFlowTimeFormat = QStringLiteral("yyyyMMdd_HHmmss");
constexpr int NewFlowNumberCount = 1000; // 000 to 999
constexpr int NewFlowNumberDigits = 3;
const QString CopyPrefix = QStringLiteral("副本_");
const QString DesignerFileArgument = QStringLiteral("-f");
const QString TitleFontFamily = QStringLiteral("Microsoft YaHei UI");
constexpr int TitleFontPointSize = 12;
constexpr int NewIconSize = 24;
constexpr int NoticeRetryMs = 100;

#ifdef Q_OS_WIN
const QString DesignerProgramName = QStringLiteral("KliqoraDesigner.exe");
#else
const QString DesignerProgramName = QStringLiteral("KliqoraDesigner");
#endif

QString nowText()
{
    return QDateTime::currentDateTime().toString(Flow::TimeFormat);
}

} // namespace

CustomWidget::CustomWidget(QWidget* parent)
    : TaskWidget(parent), ui(std::make_unique<Ui::CustomWidgetClass>()), m_fileRows(this),
      m_designerProgram(defaultDesignerProgram())
{
    initUi();
    initConnections();
    QTimer::singleShot(0, this, [this] {
        loadFlows();
        startNoticeServer();
    });
}

CustomWidget::~CustomWidget()
{
    // The worker runs one of this page's flows: end it while the flows exist.
    stopTaskForExit();
    clearItems();
}

QString CustomWidget::flowFolder()
{
    QString base = AppConfig::instance()->saveFilePath;
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir::toNativeSeparators(QDir::cleanPath(QDir(base).filePath(FlowSubFolder)));
}

QString CustomWidget::defaultDesignerProgram()
{
    return QDir::toNativeSeparators(
        QDir(QCoreApplication::applicationDirPath()).filePath(DesignerProgramName));
}

CustomTable* CustomWidget::table() const
{
    return ui->tableCustom;
}

void CustomWidget::initUi()
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("CustomWidget"));
    ui->lblTitle->setText(tr("自定义操作"));
    ui->lblTitle->setFont(QFont(TitleFontFamily, TitleFontPointSize));
    ui->btnNew->setText(tr("新建操作"));
    ui->btnNew->setIcon(QIcon(QStringLiteral(":/images/new-a.svg")));
    ui->btnNew->setIconSize(QSize(NewIconSize, NewIconSize));
    ui->btnNew->setStyleSheet(AppStyle::pushButtonStyleSheet());
}

void CustomWidget::initConnections()
{
    connect(ui->btnNew, &QPushButton::clicked, this, &CustomWidget::onBtnNewClicked);
    CustomTable* table = ui->tableCustom;
    connect(table, &CustomTable::sigRunFlow, this, &CustomWidget::onRunFlow);
    connect(table, &CustomTable::sigDesignFlow, this, &CustomWidget::onDesignFlow);
    connect(table, &CustomTable::sigDeleteFlow, this, &CustomWidget::onDeleteFlow);
    connect(table, &CustomTable::sigSetFlowHotKey, this, &CustomWidget::onSetFlowHotKey);
    connect(table, &CustomTable::sigCopyFlow, this, &CustomWidget::onCopyFlow);
    connect(table, &CustomTable::sigRenameFlow, this, &CustomWidget::onRenameFlow);

    m_noticeRetry = new QTimer(this);
    m_noticeRetry->setInterval(NoticeRetryMs);
    connect(m_noticeRetry, &QTimer::timeout, this, &CustomWidget::applyPendingNotices);
}

void CustomWidget::runTask()
{
    if (Flow* flow = m_currentFlow.load())
        flow->run();
}

bool CustomWidget::prepareStart()
{
    const Flow* flow = m_currentFlow.load();
    return !flow || flow->checkRunnable();
}

bool CustomWidget::validRow(int row) const
{
    return row >= 0 && row < m_items.size();
}

// ---- listing -------------------------------------------------------------------

void CustomWidget::loadFlows()
{
    if (m_running) {
        qCWarning(logCategory()) << "Flows are not listed again while one runs";
        return;
    }
    clearItems();
    const QDir dir(flowFolder());
    if (!dir.exists())
        return;
    const QFileInfoList files = dir.entryInfoList({FlowFilePattern}, QDir::Files | QDir::NoSymLinks,
                                                  QDir::Time | QDir::Reversed);
    for (const QFileInfo& file : files) {
        const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
        auto* flow = new Flow(this);
        if (flow->load(path)) {
            addFlowItem(flow, path);
        } else {
            qCWarning(logCategory()).noquote() << "failed to load flow file:" << path;
            delete flow;
        }
    }
}

void CustomWidget::addFlowItem(Flow* flow, const QString& path)
{
    m_items.append(FlowItem{flow, path, false});
    ui->tableCustom->addRow(flow->name(), flow->hotkey());
    connect(flow, &Flow::sigHotkeyActivated, this, &CustomWidget::onFlowHotKeyActivated);
    HotkeyManage::instance()->addHotkey(flow->hotkeyObject(), flowName(flow));
}

HotkeyManage::JobName CustomWidget::flowName(Flow* flow)
{
    return [flow = QPointer<Flow>(flow)] { return flow ? flow->name() : QString(); };
}

void CustomWidget::clearItems()
{
    for (const FlowItem& item : qAsConst(m_items)) {
        if (QHotkey* hotkey = item.flow->hotkeyObject()) {
            item.flow->setHotkeyObject(nullptr);
            HotkeyManage::instance()->removeHotkey(hotkey);
        }
        delete item.flow;
    }
    m_items.clear();
    m_pendingNotices.clear();
    m_currentFlow.store(nullptr);
    ui->tableCustom->setRowCount(0);
}

// ---- new and edit ----------------------------------------------------------------

QString CustomWidget::newFlowFilePath()
{
    const QDir dir(AppConfig::taskFolder(FlowSubFolder));
    const QString stamp = QDateTime::currentDateTime().toString(NewFlowTimeFormat);
    const auto pathFor = [&](int number) {
        return QDir::toNativeSeparators(dir.filePath(NewFlowNameFormat.arg(
            stamp, QStringLiteral("%1").arg(number, NewFlowNumberDigits, 10, QLatin1Char('0')))));
    };
    const QString drawn = pathFor(int(QRandomGenerator::global()->bounded(NewFlowNumberCount)));
    if (!QFileInfo::exists(drawn))
        return drawn;
    // Two new flows in one second may draw the same number: never save over a flow.
    QStringList free;
    for (int number = 0; number < NewFlowNumberCount; ++number) {
        const QString candidate = pathFor(number);
        if (!QFileInfo::exists(candidate))
            free.append(candidate);
    }
    if (free.isEmpty())
        return QString();
    return free.at(int(QRandomGenerator::global()->bounded(free.size())));
}

QString CustomWidget::saveAsNewFlow(Flow* flow)
{
    const QString path = newFlowFilePath();
    if (path.isEmpty()) {
        qCWarning(logCategory()) << "No free name for a new flow file in" << flowFolder();
        delete flow;
        return QString();
    }
    if (flow->name().isEmpty()) {
        const QString baseName = QFileInfo(path).completeBaseName();
        flow->setName(baseName);
        flow->setDescription(baseName);
    }
    if (!flow->save(path)) {
        qCWarning(logCategory()).noquote() << "failed to save flow file:" << path;
        delete flow;
        return QString();
    }
    addFlowItem(flow, path);
    return path;
}

QString CustomWidget::createFlowFile()
{
    return saveAsNewFlow(new Flow(this));
}

void CustomWidget::designLastFlow()
{
    const int row = m_items.size() - 1;
    setEditing(row, true);
    if (!openDesigner(m_items.at(row).filePath))
        setEditing(row, false); // nothing holds the file: the row stays usable
}

void CustomWidget::onBtnNewClicked()
{
    if (!createFlowFile().isEmpty())
        designLastFlow();
}

void CustomWidget::addConvertedFlow(Flow* flow)
{
    flow->setParent(this);
    if (!saveAsNewFlow(flow).isEmpty())
        designLastFlow();
}

void CustomWidget::onDesignFlow(int row)
{
    if (!validRow(row))
        return;
    setEditing(row, true);
    if (!openDesigner(m_items.at(row).filePath))
        setEditing(row, false);
}

void CustomWidget::setEditing(int row, bool editing)
{
    m_items[row].editing = editing;
    ui->tableCustom->setRowEditable(row, !editing);
}

bool CustomWidget::openDesigner(const QString& filePath)
{
    if (QProcess::startDetached(m_designerProgram, {DesignerFileArgument, filePath})) {
        qCInfo(logCategory()).noquote()
            << "Successfully run KliqoraDesigner.exe, filePath=" + filePath;
        return true;
    }
    qCWarning(logCategory()).noquote() << "Fail to run KliqoraDesigner.exe, filePath=" + filePath;
    QMessageBox::warning(this, tr("错误"), tr("无法启动自定义操作设计器"), QMessageBox::Ok);
    return false;
}

// ---- running ---------------------------------------------------------------------

void CustomWidget::startFlow(Flow* flow)
{
    m_currentFlow.store(flow);
    m_activeHotkey = flow->hotkeyObject();
    startTask();
}

void CustomWidget::onRunFlow(int row)
{
    if (validRow(row) && m_items.at(row).flow)
        startFlow(m_items.at(row).flow);
    else
        qCWarning(logCategory()).noquote() << "Flow not exist, row= " + QString::number(row);
}

void CustomWidget::onFlowHotKeyActivated(Flow* flow)
{
    if (m_running)
        stopTask();
    else if (flow)
        startFlow(flow);
    else
        qCWarning(logCategory()) << "Activated flow is null.";
}

// ---- delete, rename, copy ----------------------------------------------------------

void CustomWidget::onDeleteFlow(int row)
{
    if (!validRow(row))
        return;
    const FlowItem item = m_items.at(row);
    // A file that is already gone counts as deleted: keeping its row would only
    // offer a flow that cannot be stored any more.
    if (!m_fileRows.remove(item.filePath)) {
        qCWarning(logCategory()).noquote() << "Failed to delete flow file: " + item.filePath;
        // The row left the table before the file was tried: put it back, so that row
        // and item stay paired.
        ui->tableCustom->insertFlowRow(row, item.flow->name(), item.flow->hotkey());
        ui->tableCustom->setRowEditable(row, !item.editing);
        return;
    }
    qCInfo(logCategory()).noquote() << "Successfully deleted flow file: " + item.filePath;
    m_items.removeAt(row);
    m_pendingNotices.removeAll(item.filePath);
    if (m_currentFlow.load() == item.flow)
        m_currentFlow.store(nullptr);
    if (QHotkey* hotkey = item.flow->hotkeyObject()) {
        item.flow->setHotkeyObject(nullptr);
        HotkeyManage::instance()->removeHotkey(hotkey);
    }
    delete item.flow;
}

QStringList CustomWidget::filePaths() const
{
    QStringList paths;
    for (const FlowItem& item : m_items)
        paths << item.filePath;
    return paths;
}

void CustomWidget::onRenameFlow(int row)
{
    if (!validRow(row))
        return;
    const QString oldPath = m_items.at(row).filePath;
    const QString newName = m_fileRows.askNewName(oldPath);
    // The dialog runs an event loop: the row must still hold the same file.
    if (!validRow(row) || m_items.at(row).filePath != oldPath)
        return;
    const QString newPath = m_fileRows.rename(oldPath, newName, filePaths());
    if (newPath.isEmpty())
        return;
    FlowItem& item = m_items[row];
    item.filePath = newPath;
    ui->tableCustom->setRowName(row, newName);
    item.flow->setName(newName);
    item.flow->save(newPath);
}

void CustomWidget::onCopyFlow(int row)
{
    if (!validRow(row))
        return;
    const FlowItem& source = m_items.at(row);
    if (!source.flow) {
        qCWarning(logCategory()).noquote()
            << "Failed to get flow object at row: " + QString::number(row);
        return;
    }
    const QString path = CopyName::copyPath(source.filePath, CopyPrefix);

    Flow copy(*source.flow);
    copy.setName(QFileInfo(path).completeBaseName());
    copy.setDescription(tr("复制自：") + source.flow->description());
    copy.setHotkey(QString());
    copy.setHotkeyObject(nullptr);
    const QString now = nowText();
    copy.setCreateTime(now);
    copy.setLastModifiedTime(now);
    if (!copy.save(path)) {
        m_fileRows.reportCopyFailure(FileRowActions::CopyFailure::NotWritten, path);
        return;
    }

    auto* loaded = new Flow(this);
    if (!loaded->load(path)) {
        delete loaded;
        m_fileRows.reportCopyFailure(FileRowActions::CopyFailure::NotLoaded, path);
        return;
    }
    addFlowItem(loaded, path);
}

// ---- hotkeys -----------------------------------------------------------------------

void CustomWidget::showHotkeyFailure(const QString& hotkey)
{
    qCWarning(logCategory()).noquote() << "Cannot register flow hotkey " + hotkey;
    QMessageBox::warning(this, tr("快捷键设置失败"),
                         tr("无法注册新快捷键 %1，可能已被占用。").arg(hotkey));
}

void CustomWidget::onSetFlowHotKey(int row)
{
    if (!validRow(row) || !m_items.at(row).flow)
        return;
    const QString oldText = m_items.at(row).flow->hotkey();
    HotKeySet dialog(this);
    dialog.setHotkeyText(oldText);
    dialog.setJob(JobSpec{JobSpec::Kind::Flow, m_items.at(row).flow->name()});
    if (dialog.exec() != QDialog::Accepted || !validRow(row))
        return;
    const QString newText = dialog.hotkeyText();
    FlowItem& item = m_items[row];
    if (newText.isEmpty())
        clearHotkey(item, row, oldText);
    else if (oldText.isEmpty() || !item.flow->hotkeyObject())
        createHotkey(item, row, newText);
    else if (newText != oldText)
        changeHotkey(item, row, oldText, newText);
}

void CustomWidget::changeHotkey(FlowItem& item, int row, const QString& oldText,
                                const QString& newText)
{
    QHotkey* hotkey = item.flow->hotkeyObject();
    hotkey->setRegistered(false);
    hotkey->setShortcut(QKeySequence(newText), false);
    hotkey->setRegistered(true);
    if (!hotkey->isRegistered()) {
        // The row and the file still name the old key: make it work again rather
        // than leave a key on show that does nothing.
        hotkey->setShortcut(QKeySequence(oldText), false);
        hotkey->setRegistered(true);
        showHotkeyFailure(newText);
        return;
    }
    item.flow->setHotkey(newText);
    ui->tableCustom->setRowHotkey(row, newText);
    item.flow->save(item.filePath);
}

void CustomWidget::createHotkey(FlowItem& item, int row, const QString& newText)
{
    auto* hotkey = new QHotkey(QKeySequence(newText), true, this);
    if (!hotkey->isRegistered()) {
        showHotkeyFailure(newText);
        hotkey->deleteLater();
        return;
    }
    if (QHotkey* stale = item.flow->hotkeyObject()) {
        item.flow->setHotkeyObject(nullptr);
        HotkeyManage::instance()->removeHotkey(stale);
    }
    item.flow->setHotkeyObject(hotkey);
    item.flow->setHotkey(newText);
    ui->tableCustom->setRowHotkey(row, newText);
    HotkeyManage::instance()->addHotkey(hotkey, flowName(item.flow));
    item.flow->save(item.filePath);
}

void CustomWidget::clearHotkey(FlowItem& item, int row, const QString& oldText)
{
    item.flow->setHotkey(QString());
    ui->tableCustom->setRowHotkey(row, QString());
    item.flow->save(item.filePath);
    QHotkey* hotkey = item.flow->hotkeyObject();
    if (!oldText.isEmpty() && hotkey) {
        item.flow->setHotkeyObject(nullptr);
        HotkeyManage::instance()->removeHotkey(hotkey); // unregistered at once
    }
}

// ---- designer close notices ----------------------------------------------------------

bool CustomWidget::startNoticeServer()
{
    if (!m_noticeServer) {
        m_noticeServer = new CloseNoticeServer(this);
        connect(m_noticeServer, &CloseNoticeServer::noticeReceived, this,
                &CustomWidget::onDesignerClosed);
    }
    return m_noticeServer->listen();
}

void CustomWidget::onDesignerClosed(const QString& path)
{
    qCInfo(logCategory()).noquote()
        << "KliqoraDesigner is closed, clear the file edit flag, filename:" << path;
    const auto found = std::find_if(m_items.cbegin(), m_items.cend(),
                                    [&](const FlowItem& item) { return item.filePath == path; });
    if (found == m_items.cend())
        return; // exact match only: another case or separator names another file
    const int row = int(found - m_items.cbegin());
    // Reloading replaces the operations the worker is walking through: wait for the end.
    if (m_running && found->flow == m_currentFlow.load()) {
        if (!m_pendingNotices.contains(path))
            m_pendingNotices.append(path);
        m_noticeRetry->start();
        return;
    }
    applyNotice(row);
}

void CustomWidget::applyPendingNotices()
{
    if (m_running)
        return;
    m_noticeRetry->stop();
    const QStringList pending = m_pendingNotices;
    m_pendingNotices.clear();
    for (const QString& path : pending)
        onDesignerClosed(path);
}

void CustomWidget::applyNotice(int row)
{
    FlowItem& item = m_items[row];
    item.editing = false;
    item.flow->load(item.filePath); // its own messages tell about a failure
    ui->tableCustom->setRowName(row, item.flow->name());
    ui->tableCustom->setRowHotkey(row, item.flow->hotkey());
    ui->tableCustom->setRowEditable(row, true);
    // A key set while the file was open becomes live.
    HotkeyManage::instance()->addHotkey(item.flow->hotkeyObject(), flowName(item.flow));
}

#include "flow.h"

#include "appconfig.h"
#include "errorreporter.h"
#include "flowengine.h"
#include "logcategory.h"
#include "loopstructure.h"
#include "operation.h"
#include "operationfactory.h"

#include <QDataStream>
#include <QDateTime>
#include <QFile>
#include <QKeySequence>
#include <QSaveFile>

const QString Flow::TimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

namespace {

// Shown for a file that cannot be opened or written, and logged with the same text.
void reportFileError(const QString& action, const QString& fileName, const QString& reason)
{
    const QString text = action + Flow::tr(" %1:\n%2.").arg(fileName, reason);
    qCWarning(logCategory).noquote() << text;
    ErrorReporter::report(Flow::tr("Kliqora妙指灵-键盘鼠标自动化输入工具"), text);
}

void prepareStream(QDataStream& stream)
{
    stream.setVersion(Flow::StreamVersion);
    stream.setByteOrder(QDataStream::BigEndian);
}

} // namespace

Flow::Flow(QObject* parent)
    : QObject(parent), m_createTime(QDateTime::currentDateTime().toString(TimeFormat)),
      m_lastModifiedTime(m_createTime)
{
}

Flow::Flow(const Flow& other)
    : QObject(nullptr), m_name(other.m_name), m_description(other.m_description),
      m_hotkey(other.m_hotkey), m_createTime(other.m_createTime),
      m_lastModifiedTime(other.m_lastModifiedTime)
{
    for (const Operation* op : other.m_operations)
        m_operations.append(op ? op->clone(nullptr) : nullptr);
}

Flow::~Flow()
{
    deleteOperations();
}

void Flow::deleteOperations()
{
    qDeleteAll(m_operations);
    m_operations.clear();
}

void Flow::setHotkeyObject(QHotkey* hotkey)
{
    if (hotkey == m_hotkeyObject)
        return;
    if (m_hotkeyObject)
        disconnect(m_hotkeyObject, &QHotkey::activated, this, &Flow::onHotkeyActivated);
    m_hotkeyObject = hotkey;
    if (m_hotkeyObject)
        m_hotkeyObject->setDescription(m_name);
    if (m_hotkeyObject)
        connect(m_hotkeyObject, &QHotkey::activated, this, &Flow::onHotkeyActivated);
}

void Flow::onHotkeyActivated()
{
    emit sigHotkeyActivated(this);
}

bool Flow::save(const QString& path)
{
    // QSaveFile writes beside the target and renames over it on commit: a full disk
    // or a crash mid-save never leaves a half-written flow in place of the old one.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        reportFileError(tr("无法写入文件"), path, file.errorString());
        return false;
    }

    QDataStream out(&file);
    prepareStream(out);
    // An empty slot in the list has nothing to write; the count covers what is written.
    const qint32 count = qint32(m_operations.size() - m_operations.count(nullptr));
    out << qint32(FlowFileMagic) << m_name << m_description << m_hotkey << m_createTime
        << m_lastModifiedTime << count;
    for (const Operation* op : qAsConst(m_operations)) {
        if (!op)
            continue;
        out << op->typeId();
        op->serialize(out);
    }

    // The reason is read at once: after a failed write, commit() replaces it.
    if (out.status() != QDataStream::Ok) {
        reportFileError(tr("无法写入文件"), path, file.errorString());
        return false; // the temporary file is discarded, the target untouched
    }
    if (!file.commit()) {
        reportFileError(tr("无法写入文件"), path, file.errorString());
        return false;
    }
    return true;
}

bool Flow::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reportFileError(tr("无法读取文件"), path, file.errorString());
        return false;
    }

    QDataStream in(&file);
    prepareStream(in);
    qint32 magic = 0;
    in >> magic;
    if (quint32(magic) != FlowFileMagic) {
        qCWarning(logCategory) << "unknown file Head:" << quint32(magic);
        return false;
    }

    deleteOperations();
    in >> m_name >> m_description >> m_hotkey >> m_createTime >> m_lastModifiedTime;
    qCDebug(logCategory).noquote()
        << QStringLiteral("FlowName=%1, FlowDesc=%2,FlowHotkey=%3,FlowCreateTime=%4,"
                          "FlowModifiedTime=%5")
               .arg(m_name, m_description, m_hotkey, m_createTime, m_lastModifiedTime);

    // A file cut before the count reads as a flow without operations. Every operation
    // needs at least its type id, so a count beyond what the stream holds ends at the
    // first missing id and never loops on an exhausted stream.
    qint32 count = 0;
    in >> count;
    for (qint32 i = 0; i < count; ++i) {
        QString typeId;
        in >> typeId;
        Operation* op = OperationFactory::instance()->create(typeId, this);
        if (!op) {
            qCWarning(logCategory).noquote() << "unknown operation type:" << typeId;
            return false;
        }
        op->deserialize(in);
        if (in.status() != QDataStream::Ok) {
            // Cut inside the operation's fields: its values are not in the file.
            qCWarning(logCategory).noquote() << "truncated operation in flow file:" << typeId;
            delete op;
            return false;
        }
        m_operations.append(op);
    }

    applyHotkey();
    return true;
}

void Flow::applyHotkey()
{
    if (m_hotkey.isEmpty())
        return;
    const QKeySequence sequence(m_hotkey, QKeySequence::NativeText);
    if (m_hotkeyObject) {
        m_hotkeyObject->setRegistered(false);
        m_hotkeyObject->setShortcut(sequence, false);
        m_hotkeyObject->setRegistered(true);
        if (m_hotkeyObject->isRegistered())
            qCWarning(logCategory).noquote()
                << "Hotkey registe successfully, hotkey is" << m_hotkey;
        else
            qCWarning(logCategory).noquote() << "Hotkey registe fail, hotkey is" << m_hotkey;
        return;
    }
    setHotkeyObject(new QHotkey(sequence, true, this));
}

bool Flow::checkRunnable() const
{
    const LoopStructure loops(m_operations);
    if (loops.isSound())
        return true;
    qCWarning(logCategory).noquote() << "The flow does not run:" << loops.problemInEnglish();
    ErrorReporter::report(tr("流程无法运行"), loops.problem());
    return false;
}

FlowRunEnd Flow::run()
{
    return runOperations(m_operations);
}

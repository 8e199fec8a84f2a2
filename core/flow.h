#pragma once
// A user-built automation: name, description, optional global hotkey, two time
// stamps and the ordered operations it owns, stored as one .flw file.

#include "flowengine.h"

#include <qhotkey.h>

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class Operation;

class Flow : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name)
    Q_PROPERTY(QString description READ description WRITE setDescription)
    Q_PROPERTY(QString createTime READ createTime)
    Q_PROPERTY(QString lastModifiedTime READ lastModifiedTime)
    Q_CLASSINFO("prop_name", QT_TR_NOOP("流名称"))
    Q_CLASSINFO("prop_description", QT_TR_NOOP("流描述"))
    Q_CLASSINFO("prop_createTime", QT_TR_NOOP("创建时间"))
    Q_CLASSINFO("prop_lastModifiedTime", QT_TR_NOOP("修改时间"))

public:
    // First four bytes of every flow file (task files use 0x8E62D878).
    static constexpr quint32 FlowFileMagic = 0x8E62D879;
    static constexpr int StreamVersion = 19; // the Qt 5.13 to 5.15 format
    static const QString TimeFormat;         // "yyyy-MM-dd hh:mm:ss"

    // An empty flow whose two time stamps are now.
    explicit Flow(QObject* parent = nullptr);
    // Parentless copy: same texts and time stamps, clones of the operations, no hotkey object.
    Flow(const Flow& other);
    Flow& operator=(const Flow&) = delete;
    ~Flow() override;

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    QString description() const { return m_description; }
    void setDescription(const QString& description) { m_description = description; }
    QString hotkey() const { return m_hotkey; }
    void setHotkey(const QString& hotkey) { m_hotkey = hotkey; }
    QString createTime() const { return m_createTime; }
    void setCreateTime(const QString& time) { m_createTime = time; }
    QString lastModifiedTime() const { return m_lastModifiedTime; }
    void setLastModifiedTime(const QString& time) { m_lastModifiedTime = time; }

    // The steps in execution order; the flow owns (and deletes) every entry.
    QList<Operation*>& operations() { return m_operations; }
    const QList<Operation*>& operations() const { return m_operations; }

    QHotkey* hotkeyObject() const { return m_hotkeyObject; }
    // Routes the object's activated() to sigHotkeyActivated; never deletes the old one.
    void setHotkeyObject(QHotkey* hotkey);

    // Replaces this flow by the file's content; false (with a message box for a file
    // that cannot be opened, a log line otherwise) when the file is refused.
    bool load(const QString& path);
    // Writes the flow through a temporary file that replaces the target only when
    // complete, so a failed save leaves an existing file intact.
    bool save(const QString& path);

    // Runs the flow once, its loops repeated, while AppConfig::runFlag stays set;
    // refuses (running nothing) a flow whose loop markers do not pair up.
    FlowRunEnd run();
    // Whether run() would run the flow; when not, reports why through the error
    // reporter (a message box in the programs, standard error elsewhere).
    bool checkRunnable() const;

signals:
    void sigHotkeyActivated(Flow* flow);

public slots:
    void onHotkeyActivated();

private:
    void deleteOperations();
    void applyHotkey();

    QList<Operation*> m_operations;
    QString m_name = QLatin1String("");
    QString m_description = QLatin1String("");
    QString m_hotkey = QLatin1String("");
    QPointer<QHotkey> m_hotkeyObject;
    QString m_createTime;
    QString m_lastModifiedTime;
};

#include "portalhotkeybackend.h"

#include "../hotkeylog.h"
#include "../hotkeyregistry.h"
#include "../keysymhotkey.h"
#include "portalreply.h"
#include "portaltrigger.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QVector>

#include <algorithm>

#include <atomic>

namespace {

const QString Service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString Path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Interface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString SessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString RegistryInterface = QStringLiteral("org.freedesktop.host.portal.Registry");
const QString ConnectionName = QStringLiteral("kliqora-global-shortcuts");
// Asking a portal that is not running may start it: allow for that, not for a hang.
constexpr int CallTimeoutMs = 3000;

// One shortcut of BindShortcuts, D-Bus "(sa{sv})".
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

namespace {

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QString newSessionToken()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("kliqora_hotkeys_session%1").arg(++counter);
}

// The session handle of CreateSession's results: an object path, or a string from
// portals that send it as one.
QString sessionHandle(const QVariantMap& results)
{
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    if (handle.canConvert<QDBusObjectPath>())
        return handle.value<QDBusObjectPath>().path();
    return handle.toString();
}

// The shortcuts of a Response or a ShortcutsChanged signal, D-Bus "a(sa{sv})".
QList<PortalShortcut> readShortcuts(const QVariant& value)
{
    QList<PortalShortcut> shortcuts;
    if (value.canConvert<QDBusArgument>())
        value.value<QDBusArgument>() >> shortcuts;
    return shortcuts;
}

// Tells the portal which program this connection is (the name of its desktop entry):
// recent portals bind global shortcuts only for a program they can name, and an
// unsandboxed one must say it before its first portal call. Older portals lack the
// registry, which is no failure.
void registerApplication(QDBusConnection& bus)
{
    const QString appId = QGuiApplication::desktopFileName();
    if (appId.isEmpty())
        return;
    QDBusMessage registration = QDBusMessage::createMethodCall(Service, Path, RegistryInterface,
                                                               QStringLiteral("Register"));
    registration << appId << QVariantMap();
    const QDBusMessage reply = bus.call(registration, QDBus::Block, CallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        qCDebug(hotkeyLog()) << "The desktop portal took no application id:"
                             << reply.errorMessage();
}

} // namespace

std::unique_ptr<PortalHotkeyBackend> PortalHotkeyBackend::create()
{
    // A connection of its own: the registration must come first on it, and the portal
    // ends the session with the connection.
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, ConnectionName);
    if (!bus.isConnected())
        return nullptr;
    registerApplication(bus);
    QDBusMessage get = QDBusMessage::createMethodCall(
        Service, Path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << Interface << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, CallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        QDBusConnection::disconnectFromBus(ConnectionName);
        return nullptr;
    }
    const uint version = reply.arguments().first().value<QDBusVariant>().variant().toUInt();
    qCDebug(hotkeyLog()) << "GlobalShortcuts portal version" << version;
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    std::unique_ptr<PortalHotkeyBackend> backend(new PortalHotkeyBackend(bus));
    if (!backend->listen("Activated", SLOT(onActivated(QDBusMessage))) ||
        !backend->listen("Deactivated", SLOT(onDeactivated(QDBusMessage))) ||
        !backend->listen("ShortcutsChanged", SLOT(onShortcutsChanged(QDBusMessage))))
        return nullptr;
    return backend;
}

PortalHotkeyBackend::PortalHotkeyBackend(QDBusConnection bus) : m_bus(std::move(bus))
{
    m_bindTimer.setSingleShot(true);
    m_bindTimer.setInterval(0);
    connect(&m_bindTimer, &QTimer::timeout, this, &PortalHotkeyBackend::bindAll);
}

PortalHotkeyBackend::~PortalHotkeyBackend()
{
    closeSession();
    QDBusConnection::disconnectFromBus(ConnectionName);
}

bool PortalHotkeyBackend::listen(const char* signal, const char* slot)
{
    return m_bus.connect(Service, Path, Interface, QLatin1String(signal), this, slot);
}

bool PortalHotkeyBackend::toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out)
{
    return toKeysymHotkey(key, modifiers, out);
}

bool PortalHotkeyBackend::grab(const NativeHotkey& hotkey)
{
    if (m_keys.count(hotkey))
        return false;
    m_keys[hotkey] = QString();
    bindLater();
    return true;
}

void PortalHotkeyBackend::ungrab(const NativeHotkey& hotkey)
{
    if (m_keys.erase(hotkey))
        bindLater();
}

void PortalHotkeyBackend::describe(const NativeHotkey& hotkey, const QString& description)
{
    const auto it = m_keys.find(hotkey);
    if (it == m_keys.end() || it->second == description)
        return;
    it->second = description;
    bindLater();
}

void PortalHotkeyBackend::bindLater()
{
    m_bindTimer.start();
}

void PortalHotkeyBackend::bindAll()
{
    const quint64 round = ++m_round;
    closeSession();
    if (m_keys.empty())
        return;
    QDBusMessage create =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("CreateSession"));
    PortalReply::make(m_bus, create, {{QStringLiteral("session_handle_token"), newSessionToken()}},
                      this, [this, round](uint response, const QVariantMap& results) {
                          onSessionCreated(round, response, results);
                      });
}

void PortalHotkeyBackend::onSessionCreated(quint64 round, uint response, const QVariantMap& results)
{
    const QString session = sessionHandle(results);
    if (round != m_round) {
        // A newer round began meanwhile: this session is not needed.
        if (response == PortalReply::Success && !session.isEmpty())
            m_bus.send(QDBusMessage::createMethodCall(Service, session, SessionInterface,
                                                      QStringLiteral("Close")));
        return;
    }
    if (response != PortalReply::Success || session.isEmpty()) {
        qCWarning(hotkeyLog()) << "The desktop portal made no GlobalShortcuts session";
        onBound(round, PortalReply::Failed, {});
        return;
    }
    m_session = session;
    QList<PortalShortcut> shortcuts;
    for (const auto& key : m_keys) {
        const QString trigger = portalTrigger(key.first);
        QVariantMap properties{{QStringLiteral("preferred_trigger"), trigger}};
        properties.insert(QStringLiteral("description"),
                          key.second.isEmpty() ? trigger : key.second);
        shortcuts.append({trigger, properties});
    }
    QDBusMessage bind =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("BindShortcuts"));
    bind << QVariant::fromValue(QDBusObjectPath(session)) << QVariant::fromValue(shortcuts)
         << QString(); // no parent window: the keys belong to no window
    PortalReply::make(m_bus, bind, {}, this, [this, round](uint answer, const QVariantMap& bound) {
        onBound(round, answer, bound);
    });
}

void PortalHotkeyBackend::onBound(quint64 round, uint response, const QVariantMap& results)
{
    if (round != m_round)
        return;
    if (response != PortalReply::Success) {
        qCWarning(hotkeyLog()) << "The desktop bound no global shortcut, answer" << response;
        refuseUnbound(QVariant(), true);
        return;
    }
    refuseUnbound(results.value(QStringLiteral("shortcuts")), true);
}

void PortalHotkeyBackend::refuseUnbound(const QVariant& shortcuts, bool complete)
{
    const QList<PortalShortcut> bound = readShortcuts(shortcuts);
    QVector<NativeHotkey> refused;
    for (const auto& key : m_keys) {
        const QString id = portalTrigger(key.first);
        const auto it = std::find_if(bound.begin(), bound.end(),
                                     [&](const PortalShortcut& s) { return s.id == id; });
        if (it == bound.end() && !complete)
            continue; // not among the changed ones
        const QString trigger =
            it == bound.end()
                ? QString()
                : it->properties.value(QStringLiteral("trigger_description")).toString();
        if (!triggerNames(trigger, key.first)) {
            qCInfo(hotkeyLog()) << "The desktop binds" << id << "to"
                                << (trigger.isEmpty() ? QStringLiteral("no key") : trigger);
            refused.append(key.first);
        }
    }
    // Forgotten here first, so that the registry's ungrab changes nothing more.
    for (const NativeHotkey& hotkey : qAsConst(refused))
        m_keys.erase(hotkey);
    for (const NativeHotkey& hotkey : qAsConst(refused))
        HotkeyRegistry::instance().refused(hotkey);
}

void PortalHotkeyBackend::closeSession()
{
    if (m_session.isEmpty())
        return;
    m_bus.send(QDBusMessage::createMethodCall(Service, m_session, SessionInterface,
                                              QStringLiteral("Close")));
    m_session.clear();
}

bool PortalHotkeyBackend::isOurSession(const QList<QVariant>& arguments) const
{
    return arguments.size() >= 2 && !m_session.isEmpty() &&
           arguments.at(0).value<QDBusObjectPath>().path() == m_session;
}

bool PortalHotkeyBackend::keyOf(const QDBusMessage& signal, NativeHotkey* out) const
{
    if (!isOurSession(signal.arguments()))
        return false;
    const QString id = signal.arguments().at(1).toString();
    for (const auto& key : m_keys) {
        if (portalTrigger(key.first) == id) {
            *out = key.first;
            return true;
        }
    }
    return false;
}

void PortalHotkeyBackend::onActivated(const QDBusMessage& signal)
{
    NativeHotkey hotkey;
    if (keyOf(signal, &hotkey))
        HotkeyRegistry::instance().pressed(hotkey);
}

void PortalHotkeyBackend::onDeactivated(const QDBusMessage& signal)
{
    NativeHotkey hotkey;
    if (keyOf(signal, &hotkey))
        HotkeyRegistry::instance().released(hotkey);
}

void PortalHotkeyBackend::onShortcutsChanged(const QDBusMessage& signal)
{
    if (isOurSession(signal.arguments()))
        refuseUnbound(signal.arguments().at(1), false);
}

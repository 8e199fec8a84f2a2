#include "swayhotkeybackend.h"

#include "../hotkeylog.h"
#include "../hotkeyregistry.h"
#include "../keysymhotkey.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The flags of both bindings of a key: a held key does not fire again and again,
// and no warning is shown should the binding replace an earlier one of ours.
const QString PressFlags = QStringLiteral("--no-warn --no-repeat");
const QString ReleaseFlags = QStringLiteral("--no-warn --release");
const QString ReleaseSuffix = QStringLiteral(" release");

} // namespace

std::unique_ptr<SwayHotkeyBackend> SwayHotkeyBackend::create()
{
    const QString socket = qEnvironmentVariable("SWAYSOCK");
    if (socket.isEmpty())
        return nullptr;
    auto commands = std::make_unique<SwayIpc>(socket);
    auto events = std::make_unique<SwayIpc>(socket);
    if (!commands->isConnected() || !events->isConnected())
        return nullptr;
    const QJsonObject config =
        QJsonDocument::fromJson(commands->request(SwayIpc::GetConfig, QByteArray())).object();
    std::unique_ptr<SwayHotkeyBackend> backend(new SwayHotkeyBackend(
        std::move(commands), std::move(events),
        configuredSwayCombos(config.value(QLatin1String("config")).toString())));
    SwayHotkeyBackend* self = backend.get();
    if (!self->m_events->subscribe(
            QByteArrayLiteral("[\"binding\"]"),
            [self](quint32 type, const QByteArray& payload) { self->onEvent(type, payload); }))
        return nullptr;
    return backend;
}

SwayHotkeyBackend::SwayHotkeyBackend(std::unique_ptr<SwayIpc> commands,
                                     std::unique_ptr<SwayIpc> events,
                                     std::set<SwayCombo> configured)
    : m_commands(std::move(commands)), m_events(std::move(events)),
      m_configured(std::move(configured)),
      m_tag(QStringLiteral("kliqora-hotkey %1").arg(QCoreApplication::applicationPid()))
{
}

SwayHotkeyBackend::~SwayHotkeyBackend()
{
    const auto bound = m_bound;
    for (const auto& entry : bound)
        ungrab(entry.first);
}

bool SwayHotkeyBackend::toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out)
{
    return toKeysymHotkey(key, modifiers, out);
}

bool SwayHotkeyBackend::grab(const NativeHotkey& hotkey)
{
    if (m_bound.count(hotkey))
        return false;
    SwayCombo combo;
    combo.keysym = hotkey.key;
    combo.modifiers = hotkey.modifiers;
    if (m_configured.count(combo)) {
        qCDebug(hotkeyLog()) << "The sway configuration binds" << swayComboText(combo);
        return false;
    }
    const QString text = swayComboText(combo);
    const QString id = m_tag + QLatin1Char(' ') + text;
    if (!run(QStringLiteral("bindsym %1 %2 nop %3").arg(PressFlags, text, id)))
        return false;
    if (!run(QStringLiteral("bindsym %1 %2 nop %3%4").arg(ReleaseFlags, text, id, ReleaseSuffix)))
        qCDebug(hotkeyLog()) << "sway took no release binding for" << text;
    m_bound[hotkey] = text;
    return true;
}

void SwayHotkeyBackend::ungrab(const NativeHotkey& hotkey)
{
    const auto it = m_bound.find(hotkey);
    if (it == m_bound.end())
        return;
    run(QStringLiteral("unbindsym %1").arg(it->second));
    run(QStringLiteral("unbindsym --release %1").arg(it->second));
    m_bound.erase(it);
}

bool SwayHotkeyBackend::run(const QString& command)
{
    const QByteArray reply = m_commands->request(SwayIpc::RunCommand, command.toUtf8());
    const QJsonArray results = QJsonDocument::fromJson(reply).array();
    const bool success =
        !results.isEmpty() && results.first().toObject().value(QLatin1String("success")).toBool();
    if (!success)
        qCWarning(hotkeyLog()) << "sway refused" << command << reply;
    return success;
}

void SwayHotkeyBackend::onEvent(quint32 type, const QByteArray& payload)
{
    if (type != SwayIpc::BindingEvent)
        return;
    const QString command = QJsonDocument::fromJson(payload)
                                .object()
                                .value(QLatin1String("binding"))
                                .toObject()
                                .value(QLatin1String("command"))
                                .toString();
    const QString prefix = QStringLiteral("nop ") + m_tag + QLatin1Char(' ');
    if (!command.startsWith(prefix))
        return; // someone else's binding
    QString text = command.mid(prefix.size());
    const bool release = text.endsWith(ReleaseSuffix);
    if (release)
        text.chop(ReleaseSuffix.size());
    for (const auto& entry : m_bound) {
        if (entry.second != text)
            continue;
        if (release)
            HotkeyRegistry::instance().released(entry.first);
        else
            HotkeyRegistry::instance().pressed(entry.first);
        return;
    }
}

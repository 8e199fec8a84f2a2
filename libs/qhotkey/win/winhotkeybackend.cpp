#include "winhotkeybackend.h"

#include "../hotkeyregistry.h"
#include "win32hotkeys.h"

#include <QCoreApplication>
#include <QGuiApplication>

static_assert(win32hotkeys::QtShiftModifier == Qt::ShiftModifier, "Qt modifier value");
static_assert(win32hotkeys::QtControlModifier == Qt::ControlModifier, "Qt modifier value");
static_assert(win32hotkeys::QtAltModifier == Qt::AltModifier, "Qt modifier value");
static_assert(win32hotkeys::QtMetaModifier == Qt::MetaModifier, "Qt modifier value");
static_assert(win32hotkeys::QtKeypadModifier == Qt::KeypadModifier, "Qt modifier value");

namespace {
// RegisterHotKey ids of applications must stay below this.
constexpr int lastApplicationId = 0xBFFF;
} // namespace

std::unique_ptr<HotkeyBackend> createPlatformHotkeyBackend()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ||
        QGuiApplication::platformName() != QLatin1String("windows"))
        return nullptr;
    return std::make_unique<WinHotkeyBackend>();
}

WinHotkeyBackend::WinHotkeyBackend()
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WinHotkeyBackend::~WinHotkeyBackend()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    for (const auto& registered : m_ids)
        win32hotkeys::unregisterHotkey(registered.second);
}

bool WinHotkeyBackend::toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out)
{
    win32hotkeys::VirtualHotkey virtualKey;
    if (!win32hotkeys::translate(int(key), uint32_t(modifiers), &virtualKey))
        return false;
    out->key = virtualKey.vk;
    out->modifiers = virtualKey.modifiers;
    return true;
}

bool WinHotkeyBackend::grab(const NativeHotkey& hotkey)
{
    if (m_ids.count(hotkey) || m_nextId > lastApplicationId)
        return false;
    const int id = m_nextId;
    if (!win32hotkeys::registerHotkey(id, {hotkey.key, hotkey.modifiers}))
        return false;
    ++m_nextId;
    m_ids[hotkey] = id;
    return true;
}

void WinHotkeyBackend::ungrab(const NativeHotkey& hotkey)
{
    const auto it = m_ids.find(hotkey);
    if (it == m_ids.end())
        return;
    win32hotkeys::unregisterHotkey(it->second);
    m_ids.erase(it);
}

bool WinHotkeyBackend::nativeEventFilter(const QByteArray& eventType, void* message,
                                         QtCompat::NativeEventResult*)
{
    if (eventType != "windows_generic_MSG")
        return false;
    const int id = win32hotkeys::hotkeyId(message);
    if (id < 0)
        return false;
    for (const auto& registered : m_ids) {
        if (registered.second == id) {
            HotkeyRegistry::instance().pressed(registered.first);
            return true;
        }
    }
    return false;
}

// Qt first: Xlib's macros (None, CursorShape, KeyPress) clash with Qt headers.
#include "../hotkeylog.h"
#include "../hotkeyregistry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <QX11Info>

#include "x11errortrap.h"
#include "x11hotkeybackend.h"
#include "x11qtkeys.h"

#include <X11/XKBlib.h>
#include <xcb/xcb.h>

namespace {

// The modifier bits of a key event state; group and button bits are ignored.
constexpr unsigned coreModifierMask =
    ShiftMask | LockMask | ControlMask | Mod1Mask | Mod2Mask | Mod3Mask | Mod4Mask | Mod5Mask;
constexpr unsigned char sentEventFlag = 0x80;
// Sub-types of the XKB extension event that announce a new key mapping.
constexpr uint8_t xkbNewKeyboardNotify = 0;
constexpr uint8_t xkbMapNotify = 1;
// The press of an auto-repeat is sent together with its release but may be read
// from the connection a little later.
constexpr int releaseSettleMs = 20;

} // namespace

std::unique_ptr<HotkeyBackend> createX11HotkeyBackend()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !QX11Info::isPlatformX11())
        return nullptr;
    Display* display = QX11Info::display();
    if (!display)
        return nullptr;
    return std::make_unique<X11HotkeyBackend>(display);
}

X11HotkeyBackend::X11HotkeyBackend(Display* display)
    : m_display(display), m_root(DefaultRootWindow(display)), m_keymap(display)
{
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(m_display, &opcode, &m_xkbEventBase, &errorBase, &major, &minor))
        m_xkbEventBase = -1;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotkeyBackend::~X11HotkeyBackend()
{
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    const auto grabs = m_grabs;
    for (const auto& grabbed : grabs)
        ungrab(grabbed.first);
}

bool X11HotkeyBackend::toNative(Qt::Key key, Qt::KeyboardModifiers modifiers, NativeHotkey* out)
{
    const KeySym keysym = qtKeyToKeysym(key, modifiers.testFlag(Qt::KeypadModifier));
    const KeyCode keycode = keysym == NoSymbol ? 0 : m_keymap.keycodeFor(keysym);
    if (!keycode)
        return false;
    unsigned mask = 0;
    if (modifiers.testFlag(Qt::ShiftModifier))
        mask |= ShiftMask;
    if (modifiers.testFlag(Qt::ControlModifier))
        mask |= ControlMask;
    if (modifiers.testFlag(Qt::AltModifier))
        mask |= m_keymap.altMask();
    if (modifiers.testFlag(Qt::MetaModifier))
        mask |= m_keymap.superMask();
    out->key = keycode;
    out->modifiers = mask;
    return true;
}

std::vector<unsigned> X11HotkeyBackend::lockCombinations() const
{
    // Every subset of the lock modifiers, so the key fires whatever locks are on.
    std::vector<unsigned> combos{0};
    const unsigned locks = m_keymap.lockMasks();
    for (unsigned bit = 1; bit <= locks; bit <<= 1) {
        if (!(locks & bit))
            continue;
        const size_t count = combos.size();
        for (size_t i = 0; i < count; ++i)
            combos.push_back(combos[i] | bit);
    }
    return combos;
}

bool X11HotkeyBackend::grab(const NativeHotkey& hotkey)
{
    if (m_grabs.count(hotkey))
        return false;
    const std::vector<unsigned> combos = lockCombinations();
    X11ErrorTrap trap(m_display);
    for (unsigned combo : combos) {
        // owner_events False: the key comes to the root window even while one of
        // our own windows has the focus, where Qt would take it as typing.
        XGrabKey(m_display, int(hotkey.key), hotkey.modifiers | combo, m_root, False, GrabModeAsync,
                 GrabModeAsync);
    }
    if (trap.sync()) {
        // BadAccess: another client holds the key under at least one lock state.
        qCDebug(hotkeyLog()) << "XGrabKey failed with X error" << trap.lastError();
        ungrabCombinations(hotkey, combos);
        return false;
    }
    m_grabs[hotkey] = combos;
    return true;
}

void X11HotkeyBackend::ungrab(const NativeHotkey& hotkey)
{
    const auto it = m_grabs.find(hotkey);
    if (it == m_grabs.end())
        return;
    const std::vector<unsigned> combos = it->second;
    m_grabs.erase(it);
    X11ErrorTrap trap(m_display);
    ungrabCombinations(hotkey, combos);
    trap.sync();
    m_keyStates.erase(hotkey.key);
}

void X11HotkeyBackend::ungrabCombinations(const NativeHotkey& hotkey,
                                          const std::vector<unsigned>& combos)
{
    // Ungrabbing only ever releases this client's own grabs.
    for (unsigned combo : combos)
        XUngrabKey(m_display, int(hotkey.key), hotkey.modifiers | combo, m_root);
}

unsigned X11HotkeyBackend::relevantModifiers(unsigned state) const
{
    return state & coreModifierMask & ~m_keymap.lockMasks();
}

bool X11HotkeyBackend::isGrabbed(const NativeHotkey& hotkey) const
{
    return m_grabs.count(hotkey) != 0;
}

bool X11HotkeyBackend::nativeEventFilter(const QByteArray& eventType, void* message, long*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & ~sentEventFlag;
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
        const auto* key = static_cast<const xcb_key_press_event_t*>(message);
        if (key->event != m_root)
            return false;
        return type == XCB_KEY_PRESS ? onKeyPress(key->detail, key->state, key->time)
                                     : onKeyRelease(key->detail, key->state, key->time);
    }
    if (type == XCB_MAPPING_NOTIFY) {
        const auto* mapping = static_cast<const xcb_mapping_notify_event_t*>(message);
        if (mapping->request != XCB_MAPPING_POINTER)
            scheduleKeymapReload();
    } else if (m_xkbEventBase >= 0 && type == m_xkbEventBase) {
        // The XKB event's sub-type is the byte after the response type.
        const uint8_t xkbType = event->pad0;
        if (xkbType == xkbNewKeyboardNotify || xkbType == xkbMapNotify)
            scheduleKeymapReload();
    }
    return false; // Qt must see mapping changes too
}

bool X11HotkeyBackend::onKeyPress(unsigned keycode, unsigned state, unsigned long time)
{
    const NativeHotkey hotkey{keycode, relevantModifiers(state)};
    if (!isGrabbed(hotkey))
        return false;
    KeyState& key = m_keyStates[keycode];
    // Auto-repeat arrives as repeated presses, or (Qt keeps the server's classic
    // repeat) as a release and a press that carry the same time stamp. Either
    // way it is not a new press of the key.
    const bool repeat = key.down || (key.released && key.releaseTime == time);
    key.down = true;
    key.releasePending = false;
    if (!repeat)
        HotkeyRegistry::instance().pressed(hotkey);
    return true;
}

bool X11HotkeyBackend::onKeyRelease(unsigned keycode, unsigned state, unsigned long time)
{
    // Only keys whose press was ours have a state; their release is ours too.
    const auto it = m_keyStates.find(keycode);
    if (it == m_keyStates.end() || !it->second.down)
        return false;
    KeyState& key = it->second;
    key.down = false;
    key.released = true;
    key.releasePending = true;
    key.releaseTime = time;
    // A repeat's press follows its release at once: only a release that no press
    // follows within a moment is the real one.
    const NativeHotkey hotkey{keycode, relevantModifiers(state)};
    QTimer::singleShot(releaseSettleMs, &m_timerContext, [this, hotkey, time] {
        const auto state = m_keyStates.find(hotkey.key);
        if (state == m_keyStates.end() || !state->second.releasePending ||
            state->second.releaseTime != time)
            return;
        state->second.releasePending = false;
        if (isGrabbed(hotkey))
            HotkeyRegistry::instance().released(hotkey);
    });
    return true;
}

void X11HotkeyBackend::scheduleKeymapReload()
{
    // Typing unusual characters remaps a spare key many times in a row: reload once.
    if (m_reloadPending)
        return;
    m_reloadPending = true;
    QTimer::singleShot(0, &m_timerContext, [this] {
        m_reloadPending = false;
        const unsigned oldLocks = m_keymap.lockMasks();
        m_keymap.reload();
        const bool locksChanged = m_keymap.lockMasks() != oldLocks;
        if (locksChanged) {
            // Grabs made under the old lock modifiers are all stale.
            const auto grabs = m_grabs;
            for (const auto& grabbed : grabs)
                ungrab(grabbed.first);
        }
        HotkeyRegistry::instance().keymapChanged(locksChanged);
    });
}

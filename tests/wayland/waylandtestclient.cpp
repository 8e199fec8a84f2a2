// A small Wayland program for the tests: shows one fullscreen window and prints
// every pointer and keyboard event it receives, one line each, on stdout:
//
//   ready <width> <height>                 the window is shown (configured and drawn)
//   focus                                  the keyboard focus arrived
//   motion <x> <y>                         surface coordinates
//   button <code> <pressed|released> <x> <y>
//   axis <vertical|horizontal> <value> <discrete steps>
//   key <pressed|released> <keycode> <keysym name> <text>   text in UTF-8, may be empty
//   modifiers <depressed> <locked>
//
// It runs until killed.

#include "xdg-shell-client-protocol.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr uint32_t kCompositorVersion = 4;
constexpr uint32_t kShmVersion = 1;
constexpr uint32_t kWmBaseVersion = 1;
// Version 5 announces discrete wheel steps.
constexpr uint32_t kSeatVersion = 5;
constexpr uint32_t kWhite = 0xFFFFFFFF;
// Until the compositor makes the window fullscreen (when it is first shown).
constexpr int kFirstWidth = 320;
constexpr int kFirstHeight = 240;

struct Client
{
    wl_display* display = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wl_seat* seat = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    int width = kFirstWidth;
    int height = kFirstHeight;
    bool sized = false; // the compositor chose the size
    bool shown = false;
    double x = 0;
    double y = 0;
    int pendingDiscrete[2] = {0, 0};
    xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
};

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    putchar('\n');
    fflush(stdout);
}

wl_buffer* whiteBuffer(Client& c)
{
    const int stride = c.width * 4;
    const size_t size = size_t(stride) * size_t(c.height);
    const int fd = memfd_create("test-client", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, off_t(size)) != 0)
        return nullptr;
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    auto* words = static_cast<uint32_t*>(pixels);
    for (size_t i = 0; i < size / 4; ++i)
        words[i] = kWhite;
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(c.shm, fd, int32_t(size));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, c.width, c.height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

// --- pointer ---

void pointerEnter(void* data, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y)
{
    auto& c = *static_cast<Client*>(data);
    c.x = wl_fixed_to_double(x);
    c.y = wl_fixed_to_double(y);
    say("motion %g %g", c.x, c.y);
}
void pointerLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void pointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    auto& c = *static_cast<Client*>(data);
    c.x = wl_fixed_to_double(x);
    c.y = wl_fixed_to_double(y);
    say("motion %g %g", c.x, c.y);
}
void pointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state)
{
    auto& c = *static_cast<Client*>(data);
    say("button %u %s %g %g", button,
        state == WL_POINTER_BUTTON_STATE_PRESSED ? "pressed" : "released", c.x, c.y);
}
void pointerAxis(void* data, wl_pointer*, uint32_t, uint32_t axis, wl_fixed_t value)
{
    auto& c = *static_cast<Client*>(data);
    const int index = axis == WL_POINTER_AXIS_HORIZONTAL_SCROLL ? 1 : 0;
    say("axis %s %g %d", index ? "horizontal" : "vertical", wl_fixed_to_double(value),
        c.pendingDiscrete[index]);
    c.pendingDiscrete[index] = 0;
}
void pointerFrame(void*, wl_pointer*) {}
void pointerAxisSource(void*, wl_pointer*, uint32_t) {}
void pointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void pointerAxisDiscrete(void* data, wl_pointer*, uint32_t axis, int32_t discrete)
{
    // Sent before the axis event it belongs to.
    auto& c = *static_cast<Client*>(data);
    c.pendingDiscrete[axis == WL_POINTER_AXIS_HORIZONTAL_SCROLL ? 1 : 0] = discrete;
}
const wl_pointer_listener kPointerListener = {
    pointerEnter, pointerLeave,      pointerMotion,   pointerButton,       pointerAxis,
    pointerFrame, pointerAxisSource, pointerAxisStop, pointerAxisDiscrete, nullptr};

// --- keyboard ---

void keyboardKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size)
{
    auto& c = *static_cast<Client*>(data);
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED)
        return;
    xkb_keymap* keymap =
        xkb_keymap_new_from_string(c.xkb, static_cast<const char*>(text), XKB_KEYMAP_FORMAT_TEXT_V1,
                                   XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (!keymap) {
        say("error keymap does not compile");
        return;
    }
    xkb_state_unref(c.state);
    xkb_keymap_unref(c.keymap);
    c.keymap = keymap;
    c.state = xkb_state_new(keymap);
}
void keyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*)
{
    say("focus");
}
void keyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*)
{
    say("unfocus");
}
void keyboardKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state)
{
    auto& c = *static_cast<Client*>(data);
    const bool pressed = state == WL_KEYBOARD_KEY_STATE_PRESSED;
    char name[64] = "none";
    char text[64] = "";
    if (c.state) {
        const xkb_keycode_t code = key + 8;
        xkb_keysym_get_name(xkb_state_key_get_one_sym(c.state, code), name, sizeof name);
        if (pressed)
            xkb_state_key_get_utf8(c.state, code, text, sizeof text);
    }
    say("key %s %u %s %s", pressed ? "pressed" : "released", key, name, text);
}
void keyboardModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                       uint32_t locked, uint32_t group)
{
    auto& c = *static_cast<Client*>(data);
    if (c.state)
        xkb_state_update_mask(c.state, depressed, latched, locked, 0, 0, group);
    say("modifiers %u %u", depressed, locked);
}
void keyboardRepeat(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {keyboardKeymap, keyboardEnter,     keyboardLeave,
                                                keyboardKey,    keyboardModifiers, keyboardRepeat};

// --- seat, shell, registry ---

void seatCapabilities(void* data, wl_seat* seat, uint32_t capabilities)
{
    auto& c = *static_cast<Client*>(data);
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) && !c.pointer) {
        c.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(c.pointer, &kPointerListener, &c);
    }
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) && !c.keyboard) {
        c.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(c.keyboard, &kKeyboardListener, &c);
    }
}
void seatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {seatCapabilities, seatName};

void wmPing(void*, xdg_wm_base* wmBase, uint32_t serial)
{
    xdg_wm_base_pong(wmBase, serial);
}
const xdg_wm_base_listener kWmBaseListener = {wmPing};

void toplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
{
    auto& c = *static_cast<Client*>(data);
    if (width > 0 && height > 0) {
        c.width = width;
        c.height = height;
        c.sized = true;
    }
}
void toplevelClose(void*, xdg_toplevel*) {}
const xdg_toplevel_listener kToplevelListener = {toplevelConfigure, toplevelClose, nullptr,
                                                 nullptr};

void surfaceConfigure(void* data, xdg_surface* surface, uint32_t serial)
{
    auto& c = *static_cast<Client*>(data);
    xdg_surface_ack_configure(surface, serial);
    wl_buffer* buffer = whiteBuffer(c);
    wl_surface_attach(c.surface, buffer, 0, 0);
    wl_surface_damage(c.surface, 0, 0, c.width, c.height);
    wl_surface_commit(c.surface);
    if (c.sized && !c.shown) {
        c.shown = true;
        say("ready %d %d", c.width, c.height);
    }
}
const xdg_surface_listener kXdgSurfaceListener = {surfaceConfigure};

void registryGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                    uint32_t version)
{
    auto& c = *static_cast<Client*>(data);
    auto bind = [&](const wl_interface& type, uint32_t wanted) {
        return wl_registry_bind(registry, name, &type, version < wanted ? version : wanted);
    };
    if (strcmp(interface, wl_compositor_interface.name) == 0) {
        c.compositor =
            static_cast<wl_compositor*>(bind(wl_compositor_interface, kCompositorVersion));
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        c.shm = static_cast<wl_shm*>(bind(wl_shm_interface, kShmVersion));
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        c.wmBase = static_cast<xdg_wm_base*>(bind(xdg_wm_base_interface, kWmBaseVersion));
        xdg_wm_base_add_listener(c.wmBase, &kWmBaseListener, &c);
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && !c.seat) {
        c.seat = static_cast<wl_seat*>(bind(wl_seat_interface, kSeatVersion));
        wl_seat_add_listener(c.seat, &kSeatListener, &c);
    }
}
void registryRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {registryGlobal, registryRemove};

} // namespace

int main()
{
    Client c;
    c.display = wl_display_connect(nullptr);
    if (!c.display) {
        fprintf(stderr, "no Wayland compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(c.display);
    wl_registry_add_listener(registry, &kRegistryListener, &c);
    wl_display_roundtrip(c.display);
    if (!c.compositor || !c.shm || !c.wmBase || !c.seat) {
        fprintf(stderr, "the compositor lacks a needed global\n");
        return 1;
    }
    c.surface = wl_compositor_create_surface(c.compositor);
    c.xdgSurface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
    xdg_surface_add_listener(c.xdgSurface, &kXdgSurfaceListener, &c);
    c.toplevel = xdg_surface_get_toplevel(c.xdgSurface);
    xdg_toplevel_add_listener(c.toplevel, &kToplevelListener, &c);
    xdg_toplevel_set_title(c.toplevel, "wayland test client");
    xdg_toplevel_set_app_id(c.toplevel, "kliqora-test-client");
    xdg_toplevel_set_fullscreen(c.toplevel, nullptr);
    wl_surface_commit(c.surface);
    while (wl_display_dispatch(c.display) >= 0) {
    }
    return 0;
}

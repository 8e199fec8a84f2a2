// kliqora-bench-observer: notes every button and key event the X server delivers.
//
// Two views of the same input:
//  - a window covering the screen that selects button and key events and has the
//    focus; each event is stamped with the steady clock as it is read (the clock is
//    CLOCK_MONOTONIC, shared with the driver process) and carries its server time.
//    Key presses are decoded to characters with the map current at that moment,
//    as any client would;
//  - an XRecord context on its own connections and thread, which sees every device
//    event (also the ones grabbed by another client, such as a hotkey). RECORD data
//    can reach its client in batches, so only the server time of those is used.
//
// Commands on stdin, one per line: "mark" forgets what was seen so far, takes the
// focus and the top of the stack back (a program under test may have shown its own
// window) and answers "ok", "dump PATH"
// writes what was seen since the last mark and answers "ok", "quit" ends.
// "ready" is printed once the window is mapped and focused and recording runs.
//
// Output lines: source(W|R) kind(BP|BR|KP|KR) detail serverMs steadyNs codepoint
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/Xutil.h>
#include <X11/extensions/record.h>
#include <X11/keysym.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// XRecord holds data until the server next flushes some client's output; a round
// trip on the control connection this often keeps it flowing.
constexpr int PumpIntervalMs = 4;

struct Seen
{
    char source;
    int type;
    unsigned detail;
    unsigned long serverMs;
    int64_t steadyNs;
    uint32_t codepoint;
};

int64_t steadyNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

const char* kindName(int type)
{
    switch (type) {
    case ButtonPress:
        return "BP";
    case ButtonRelease:
        return "BR";
    case KeyPress:
        return "KP";
    default:
        return "KR";
    }
}

// The character a key press types, from its keysym; 0 for keys that type none.
uint32_t keysymToCodepoint(KeySym sym)
{
    if ((sym >= 0x20 && sym <= 0x7e) || (sym >= 0xa0 && sym <= 0xff))
        return uint32_t(sym);
    if ((sym & 0xff000000) == 0x01000000)
        return uint32_t(sym & 0x00ffffff);
    if (sym == XK_Return || sym == XK_KP_Enter)
        return '\n';
    if (sym == XK_Tab)
        return '\t';
    return 0;
}

// Xlib loads its keyboard map, and asks to hear of changes to it, at the first key
// it looks up. A client that does so only when the first keys arrive may already
// have read a mapping change behind them, which it then never takes in: the keys
// bound by that change decode to nothing (seen in about one run in five). Toolkits
// load their map at start; so does the observer.
void loadKeyboardMap(Display* dpy)
{
    XKeyEvent probe{};
    probe.display = dpy;
    probe.keycode = 38; // any keycode
    XLookupKeysym(&probe, 0);
}

uint32_t decode(XKeyEvent* key)
{
    const int level = (key->state & ShiftMask) ? 1 : 0;
    KeySym sym = XLookupKeysym(key, level);
    if (sym == NoSymbol && level == 1)
        sym = XLookupKeysym(key, 0);
    return keysymToCodepoint(sym);
}

std::mutex g_mutex;
std::vector<Seen> g_seen;

void note(const Seen& seen)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_seen.push_back(seen);
}

void onRecord(XPointer, XRecordInterceptData* data)
{
    if (data->category == XRecordFromServer && data->data_len * 4 >= 8) {
        const unsigned char* bytes = data->data;
        const int type = bytes[0] & 0x7f;
        if (type >= KeyPress && type <= ButtonRelease) {
            uint32_t time = 0;
            std::memcpy(&time, bytes + 4, sizeof time);
            note({'R', type, bytes[1], time, steadyNs(), 0});
        }
    }
    XRecordFreeData(data);
}

// Notes the window's events that have reached this client.
void readEvents(Display* dpy)
{
    while (XPending(dpy)) {
        XEvent ev;
        XNextEvent(dpy, &ev);
        const int64_t now = steadyNs();
        if (ev.type == MappingNotify) {
            XRefreshKeyboardMapping(&ev.xmapping);
        } else if (ev.type == ButtonPress || ev.type == ButtonRelease) {
            note({'W', ev.type, ev.xbutton.button, ev.xbutton.time, now, 0});
        } else if (ev.type == KeyPress || ev.type == KeyRelease) {
            const uint32_t cp = ev.type == KeyPress ? decode(&ev.xkey) : 0;
            note({'W', ev.type, ev.xkey.keycode, ev.xkey.time, now, cp});
        }
    }
}

bool dump(const std::string& path)
{
    FILE* out = std::fopen(path.c_str(), "w");
    if (!out)
        return false;
    std::lock_guard<std::mutex> lock(g_mutex);
    for (const Seen& s : g_seen)
        std::fprintf(out, "%c %s %u %lu %lld %u\n", s.source, kindName(s.type), s.detail,
                     s.serverMs, static_cast<long long>(s.steadyNs), s.codepoint);
    std::fclose(out);
    g_seen.clear();
    return true;
}

// Handles the commands waiting on stdin; false on "quit" or end of input.
bool readCommands(Display* dpy, Window win, std::string& pending)
{
    char buf[4096];
    const ssize_t n = read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0)
        return false;
    pending.append(buf, size_t(n));
    size_t eol;
    while ((eol = pending.find('\n')) != std::string::npos) {
        const std::string line = pending.substr(0, eol);
        pending.erase(0, eol + 1);
        if (line == "quit")
            return false;
        if (line == "mark") {
            XRaiseWindow(dpy, win);
            XSetInputFocus(dpy, win, RevertToParent, CurrentTime);
            XSync(dpy, False);
            {
                std::lock_guard<std::mutex> lock(g_mutex);
                g_seen.clear();
            }
            // Answered so the driver sends nothing before the slate is clean.
            std::printf("ok\n");
            std::fflush(stdout);
        } else if (line.rfind("dump ", 0) == 0) {
            // Stdin and the server can be readable at once (a starved observer wakes
            // to both): what the server sent before this round trip counts too.
            XSync(dpy, False);
            readEvents(dpy);
            std::printf(dump(line.substr(5)) ? "ok\n" : "failed\n");
            std::fflush(stdout);
        }
    }
    return true;
}

Window createWindow(Display* dpy)
{
    const int screen = DefaultScreen(dpy);
    XSetWindowAttributes attrs{};
    attrs.override_redirect = True;
    attrs.background_pixel = BlackPixel(dpy, screen);
    attrs.event_mask =
        ButtonPressMask | ButtonReleaseMask | KeyPressMask | KeyReleaseMask | StructureNotifyMask;
    const Window win =
        XCreateWindow(dpy, RootWindow(dpy, screen), 0, 0, unsigned(DisplayWidth(dpy, screen)),
                      unsigned(DisplayHeight(dpy, screen)), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attrs);
    XStoreName(dpy, win, "kliqora bench observer");
    XMapRaised(dpy, win);
    XEvent ev;
    do
        XNextEvent(dpy, &ev);
    while (ev.type != MapNotify);
    XSetInputFocus(dpy, win, RevertToParent, CurrentTime);
    XSync(dpy, False);
    return win;
}

} // namespace

int main()
{
    Display* dpy = XOpenDisplay(nullptr);
    Display* control = XOpenDisplay(nullptr);
    Display* data = XOpenDisplay(nullptr);
    if (!dpy || !control || !data) {
        std::fprintf(stderr, "observer: cannot open the display\n");
        return 1;
    }
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(control, &major, &minor)) {
        std::fprintf(stderr, "observer: no RECORD extension\n");
        return 1;
    }
    XRecordRange* range = XRecordAllocRange();
    range->device_events.first = KeyPress;
    range->device_events.last = ButtonRelease;
    XRecordClientSpec clients = XRecordAllClients;
    const XRecordContext context = XRecordCreateContext(control, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(control, False);
    std::thread recorder([&] { XRecordEnableContext(data, context, onRecord, nullptr); });

    const Window win = createWindow(dpy);
    loadKeyboardMap(dpy);
    std::printf("ready\n");
    std::fflush(stdout);

    std::string pending;
    pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    bool running = true;
    while (running) {
        readEvents(dpy);
        if (poll(fds, 2, PumpIntervalMs) > 0 && (fds[1].revents & (POLLIN | POLLHUP)))
            running = readCommands(dpy, win, pending);
        XSync(control, False);
    }

    XRecordDisableContext(control, context);
    XSync(control, False);
    recorder.join();
    XRecordFreeContext(control, context);
    XDestroyWindow(dpy, win);
    XCloseDisplay(data);
    XCloseDisplay(control);
    XCloseDisplay(dpy);
    return 0;
}

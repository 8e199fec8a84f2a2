#include "x11errorcatcher.h"

#include <mutex>
#include <vector>

namespace platform::x11 {
namespace {

// Xlib has one process-wide error handler. Ours is installed once and never
// removed (another library may have chained itself behind it); it routes each
// error to the innermost catcher of its connection or to the previous handler.
// Never destroyed: the process's backend is a static that may still catch errors
// while other statics are torn down at exit.
std::mutex& registryMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

std::vector<X11ErrorCatcher*>& registry()
{
    static auto* catchers = new std::vector<X11ErrorCatcher*>;
    return *catchers;
}

XErrorHandler g_previousHandler = nullptr;

} // namespace

int handleXError(Display* display, XErrorEvent* event)
{
    {
        std::lock_guard<std::mutex> lock(registryMutex());
        for (auto it = registry().rbegin(); it != registry().rend(); ++it) {
            if ((*it)->m_display == display) {
                if ((*it)->m_errorCode == 0)
                    (*it)->m_errorCode = event->error_code;
                return 0;
            }
        }
    }
    return g_previousHandler ? g_previousHandler(display, event) : 0;
}

X11ErrorCatcher::X11ErrorCatcher(Display* display) : m_display(display)
{
    static std::once_flag installed;
    std::call_once(installed, [] { g_previousHandler = XSetErrorHandler(&handleXError); });
    std::lock_guard<std::mutex> lock(registryMutex());
    registry().push_back(this);
}

X11ErrorCatcher::~X11ErrorCatcher()
{
    // Errors of requests still in flight must not reach the default handler; after a
    // sync() with nothing sent since, none are in flight.
    if (NextRequest(m_display) != m_requestAfterSync)
        XSync(m_display, False);
    std::lock_guard<std::mutex> lock(registryMutex());
    auto& catchers = registry();
    for (auto it = catchers.begin(); it != catchers.end(); ++it) {
        if (*it == this) {
            catchers.erase(it);
            break;
        }
    }
}

int X11ErrorCatcher::takeErrorCode()
{
    std::lock_guard<std::mutex> lock(registryMutex());
    const int code = m_errorCode;
    m_errorCode = 0;
    return code;
}

bool X11ErrorCatcher::sync()
{
    XSync(m_display, False);
    m_requestAfterSync = NextRequest(m_display);
    return m_errorCode == 0;
}

} // namespace platform::x11

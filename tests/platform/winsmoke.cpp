// A small Windows program over the platform layer: linking it proves every
// backend function resolves against the Win32 libraries. Run under Wine or on
// Windows, it prints what the backend reports without injecting anything.
#include "platform/backend.h"

#include <cstdio>

int main()
{
    platform::Backend& backend = platform::backend();
    const platform::ScreenSize screen = backend.primaryScreenSize();
    platform::CursorPos pos;
    const bool hasCursor = backend.cursorPos(pos);
    const bool timer = backend.beginTimerResolution();
    if (timer)
        backend.endTimerResolution();
    std::printf("backend %s, screen %dx%d, cursor %s (%d, %d), timer resolution %s\n",
                backend.name(), screen.width, screen.height, hasCursor ? "known" : "unknown", pos.x,
                pos.y, timer ? "ok" : "refused");
    return 0;
}

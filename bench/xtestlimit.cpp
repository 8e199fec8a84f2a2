/* kliqora-bench-limit: the tightest XTest clicker there is, as a yardstick for what
 * an X server accepts and what a sleeping thread can hold on this machine.
 *
 *   kliqora-bench-limit CLICKS [BATCH] [INTERVAL_MS]
 *   kliqora-bench-limit --at T1_MS T2_MS ...
 *
 * Presses and releases button 1 CLICKS times where the pointer is and waits for the
 * server to have taken in the last click. Without an interval it flushes the
 * connection once every BATCH clicks (default 50) and does nothing else between the
 * requests. With an interval each click goes out at its own time on a timetable
 * from the start (clock_nanosleep to an absolute time on the steady clock), flushed
 * at once: the wake-ups of a bare sleeping loop, nothing more.
 *
 * With --at it presses and releases in turn, each at its own time in milliseconds
 * from the start (a recording's timetable), slept to and flushed the same way.
 */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

void click(Display* dpy)
{
    XTestFakeButtonEvent(dpy, 1, True, CurrentTime);
    XTestFakeButtonEvent(dpy, 1, False, CurrentTime);
}

void sleepUntil(const timespec& deadline)
{
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

timespec plusNs(timespec t, long long ns)
{
    const long long total = t.tv_nsec + ns;
    t.tv_sec += time_t(total / 1000000000);
    t.tv_nsec = long(total % 1000000000);
    return t;
}

// Press, release, press, ... each at its offset from the start.
void replay(Display* dpy, int count, char** offsetsMs)
{
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (int i = 0; i < count; ++i) {
        sleepUntil(plusNs(start, std::strtoll(offsetsMs[i], nullptr, 10) * 1000000LL));
        XTestFakeButtonEvent(dpy, 1, i % 2 == 0 ? True : False, CurrentTime);
        XFlush(dpy);
    }
}

void clickLoop(Display* dpy, long clicks, long batch, long intervalMs)
{
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (long i = 1; i <= clicks; ++i) {
        if (intervalMs > 0) {
            sleepUntil(plusNs(start, (i - 1) * intervalMs * 1000000LL));
            click(dpy);
            XFlush(dpy);
        } else {
            click(dpy);
            if (i % batch == 0)
                XFlush(dpy);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    const bool timetable = argc > 2 && std::strcmp(argv[1], "--at") == 0;
    if (argc < 2) {
        std::fprintf(stderr, "usage: kliqora-bench-limit CLICKS [BATCH] [INTERVAL_MS]\n"
                             "       kliqora-bench-limit --at T1_MS T2_MS ...\n");
        return 2;
    }
    const long clicks = timetable ? 0 : std::strtol(argv[1], nullptr, 10);
    const long batch = argc > 2 && !timetable ? std::strtol(argv[2], nullptr, 10) : 50;
    const long intervalMs = argc > 3 && !timetable ? std::strtol(argv[3], nullptr, 10) : 0;
    if (!timetable && (clicks <= 0 || batch <= 0 || intervalMs < 0)) {
        std::fprintf(stderr, "kliqora-bench-limit: CLICKS and BATCH must be positive\n");
        return 2;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "kliqora-bench-limit: cannot open the display\n");
        return 1;
    }
    if (timetable)
        replay(dpy, argc - 2, argv + 2);
    else
        clickLoop(dpy, clicks, batch, intervalMs);
    XSync(dpy, False);
    XCloseDisplay(dpy);
    return 0;
}

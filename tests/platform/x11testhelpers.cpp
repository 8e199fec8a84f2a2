#include "x11testhelpers.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <atomic>
#include <memory>
#include <thread>

#include <X11/Xlib.h>

namespace {

constexpr int kWorkerTimeoutMs = 60000;

struct DisplayCloser
{
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

} // namespace

bool sendFromWorker(const InputCalls& calls)
{
    std::atomic<bool> done{false};
    std::atomic<bool> whole{true};
    std::thread worker([&] {
        for (const std::vector<platform::Input>& call : calls) {
            const unsigned count = static_cast<unsigned>(call.size());
            if (platform::sendInput(call.data(), count) != count)
                whole = false;
        }
        done = true;
    });
    const bool finished = QTest::qWaitFor([&] { return done.load(); }, kWorkerTimeoutMs);
    worker.join();
    return finished && whole;
}

QVector<quint64> keyboardMapping()
{
    QVector<quint64> result;
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display)
        return result;
    int min = 0;
    int max = 0;
    XDisplayKeycodes(display.get(), &min, &max);
    int perKeycode = 0;
    KeySym* keysyms =
        XGetKeyboardMapping(display.get(), static_cast<KeyCode>(min), max - min + 1, &perKeycode);
    for (int i = 0; i < (max - min + 1) * perKeycode; ++i)
        result.append(keysyms[i]);
    XFree(keysyms);
    return result;
}

QVector<int> keysDown()
{
    QVector<int> result;
    DisplayPtr display(XOpenDisplay(nullptr));
    if (!display)
        return result;
    constexpr int kKeymapBytes = 32;
    char keys[kKeymapBytes] = {};
    XQueryKeymap(display.get(), keys);
    for (int keycode = 0; keycode < kKeymapBytes * 8; ++keycode) {
        if (keys[keycode / 8] & (1 << (keycode % 8)))
            result.append(keycode);
    }
    return result;
}

bool showFocused(QWidget* window, QWidget* focus)
{
    window->show();
    window->raise();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    focus->setFocus();
    return QTest::qWaitFor([focus] { return focus->hasFocus(); });
}

#pragma once
// A second X client for tests: presses keys through XTest as a user would, and
// holds key grabs of its own as another program would. Header-only; a test that
// includes it links X11::X11 and X11::Xtst.

#include <QString>
#include <QTest>
#include <QVector>

#include <memory>

// After Qt: Xlib's macros clash with Qt headers.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

class X11TestClient
{
public:
    X11TestClient() : m_display(XOpenDisplay(nullptr)) {}
    Display* display() const { return m_display.get(); }

    KeyCode keycode(KeySym keysym) const { return XKeysymToKeycode(display(), keysym); }

    // Presses the keys in order and releases them in reverse, holding them for holdMs.
    void press(const QVector<KeySym>& keysyms, int holdMs = 0)
    {
        for (KeySym keysym : keysyms)
            XTestFakeKeyEvent(display(), keycode(keysym), True, CurrentTime);
        XFlush(display());
        if (holdMs > 0)
            QTest::qWait(holdMs);
        for (int i = keysyms.size() - 1; i >= 0; --i)
            XTestFakeKeyEvent(display(), keycode(keysyms.at(i)), False, CurrentTime);
        XSync(display(), False);
    }

    // True when the server granted the grab to this client.
    bool grab(KeySym keysym, unsigned modifiers)
    {
        failed() = false;
        XErrorHandler previous = XSetErrorHandler(&X11TestClient::onError);
        XGrabKey(display(), keycode(keysym), modifiers, DefaultRootWindow(display()), True,
                 GrabModeAsync, GrabModeAsync);
        XSync(display(), False);
        XSetErrorHandler(previous);
        return !failed();
    }

    void ungrab(KeySym keysym, unsigned modifiers)
    {
        XUngrabKey(display(), keycode(keysym), modifiers, DefaultRootWindow(display()));
        XSync(display(), False);
    }

    // Sets CapsLock and NumLock exactly as in `mask` (LockMask, lockMask(XK_Num_Lock)).
    void setLocks(unsigned mask)
    {
        const unsigned all = lockMask(XK_Num_Lock) | LockMask;
        XkbLockModifiers(display(), XkbUseCoreKbd, all, mask);
        XSync(display(), False);
    }

    // Sets the locks named in `names` ("caps", "num", both or neither), the others off.
    void setNamedLocks(const QString& names)
    {
        unsigned mask = 0;
        if (names.contains(QLatin1String("caps")))
            mask |= LockMask;
        if (names.contains(QLatin1String("num")))
            mask |= lockMask(XK_Num_Lock);
        setLocks(mask);
    }

    unsigned lockMask(KeySym keysym) const { return XkbKeysymToModifiers(display(), keysym); }

    // Asks `window` to close as a window manager's close button would; true when the
    // message was sent.
    bool requestClose(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display(), "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = long(XInternAtom(display(), "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        const Status sent = XSendEvent(display(), window, False, NoEventMask, &event);
        XSync(display(), False);
        return sent != 0;
    }

private:
    struct DisplayCloser
    {
        void operator()(Display* display) const { XCloseDisplay(display); }
    };

    static bool& failed()
    {
        static bool value = false;
        return value;
    }
    static int onError(Display*, XErrorEvent*)
    {
        failed() = true;
        return 0;
    }

    std::unique_ptr<Display, DisplayCloser> m_display;
};

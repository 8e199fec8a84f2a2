#include "xlibtextreceiver.h"

#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xkbcommon/xkbcommon.h>

namespace {

constexpr int kReadIntervalMs = 2;

} // namespace

XlibTextReceiver::XlibTextReceiver() : m_display(XOpenDisplay(nullptr))
{
    if (!m_display)
        return;
    m_window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 750, 200, 300, 150, 0,
                                   0, WhitePixel(m_display, DefaultScreen(m_display)));
    XSelectInput(m_display, m_window, KeyPressMask | StructureNotifyMask | FocusChangeMask);
    QObject::connect(&m_reader, &QTimer::timeout, [this] { readEvents(); });
    m_reader.start(kReadIntervalMs);
}

XlibTextReceiver::~XlibTextReceiver()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool XlibTextReceiver::focus()
{
    if (!m_display)
        return false;
    XMapRaised(m_display, m_window);
    XSync(m_display, False);
    return QTest::qWaitFor([this] {
        XSetInputFocus(m_display, m_window, RevertToParent, CurrentTime);
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(m_display, &focused, &revert);
        return focused == m_window;
    });
}

QString XlibTextReceiver::text()
{
    readEvents();
    return m_text;
}

void XlibTextReceiver::readEvents()
{
    if (!m_display)
        return;
    while (XPending(m_display)) {
        XEvent event;
        XNextEvent(m_display, &event);
        if (event.type == MappingNotify) {
            XRefreshKeyboardMapping(&event.xmapping);
        } else if (event.type == KeyPress) {
            KeySym keysym = NoSymbol;
            char latin1[8];
            XLookupString(&event.xkey, latin1, sizeof latin1, &keysym, nullptr);
            const char32_t codepoint = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(keysym));
            if (codepoint >= 0x20)
                m_text += QString::fromUcs4(&codepoint, 1);
        }
    }
}

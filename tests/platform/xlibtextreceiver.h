#pragma once
// A plain Xlib client that receives typed text, as programs without a toolkit do:
// its own connection and window, key presses decoded with XLookupString (which
// honours Shift, Caps Lock and NumLock by the server's key types) and the mapping
// relearned on each MappingNotify.

#include <QString>
#include <QTimer>

#include <memory>

struct _XDisplay;

class XlibTextReceiver
{
public:
    XlibTextReceiver();
    ~XlibTextReceiver();

    // Shows the window and gives it the keyboard focus; false when it could not.
    bool focus();
    void clear() { m_text.clear(); }
    // The text typed so far, after reading every event that has arrived.
    QString text();

private:
    void readEvents();

    _XDisplay* m_display = nullptr;
    unsigned long m_window = 0;
    QString m_text;
    QTimer m_reader; // reads as the key events come, not after later mapping changes
};

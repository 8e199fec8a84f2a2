#include "keyinputwidget.h"

#include "keynames.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace {

struct KeyText
{
    int key;
    const char* name;
};

// Keys whose portable Qt name is not the vocabulary's name for the same key.
// clang-format off
constexpr KeyText RenamedKeys[] = {
    {Qt::Key_Menu, "Apps"},                 // "Menu" is the vocabulary's Alt
    {Qt::Key_Backtab, "Tab"},               // Shift+Tab: the key is Tab
    {Qt::Key_VolumeUp, "VolumeUp"}, {Qt::Key_VolumeDown, "VolumeDown"},
    {Qt::Key_VolumeMute, "Mute"},
    {Qt::Key_MediaNext, "MediaNext"}, {Qt::Key_MediaPrevious, "MediaPrev"},
    {Qt::Key_MediaStop, "MediaStop"}, {Qt::Key_MediaPlay, "MediaPlay"},
    {Qt::Key_MediaTogglePlayPause, "MediaPlay"},
    {Qt::Key_Back, "BrowserBack"}, {Qt::Key_Forward, "BrowserFwd"},
    {Qt::Key_Refresh, "BrowserRefresh"}, {Qt::Key_HomePage, "BrowserHome"},
};

// The number block: the vocabulary has its own names for these keys.
constexpr KeyText KeypadKeys[] = {
    {Qt::Key_0, "Num0"}, {Qt::Key_1, "Num1"}, {Qt::Key_2, "Num2"}, {Qt::Key_3, "Num3"},
    {Qt::Key_4, "Num4"}, {Qt::Key_5, "Num5"}, {Qt::Key_6, "Num6"}, {Qt::Key_7, "Num7"},
    {Qt::Key_8, "Num8"}, {Qt::Key_9, "Num9"},
    {Qt::Key_Asterisk, "NumpadStar"}, {Qt::Key_Plus, "NumpadPlus"},
    {Qt::Key_Minus, "NumpadMinus"}, {Qt::Key_Period, "NumpadDot"},
    {Qt::Key_Slash, "NumpadSlash"}, {Qt::Key_Enter, "NumpadEnter"},
};
// clang-format on

// Shift on the digit row gives the symbol; the key is the digit (US layout, as the
// vocabulary's shifted punctuation names assume).
const QLatin1String ShiftedDigits(")!@#$%^&*(");

QString lookUp(const KeyText* begin, const KeyText* end, int key)
{
    for (const KeyText* entry = begin; entry != end; ++entry) {
        if (entry->key == key)
            return QString::fromLatin1(entry->name);
    }
    return QString();
}

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta ||
           key == Qt::Key_Alt;
}

} // namespace

KeyInputWidget::KeyInputWidget(QWidget* parent) : QLineEdit(parent)
{
    // Read-only keeps paste (menu, middle click) and drops from changing the text
    // behind the stored value's back; key presses still arrive here.
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
}

QString KeyInputWidget::keyName(const QKeyEvent* event)
{
    const int key = event->key();
    if (isModifierKey(key) || key == Qt::Key_unknown || key == 0)
        return QString();

    QString name;
    if (event->modifiers().testFlag(Qt::KeypadModifier))
        name = lookUp(std::begin(KeypadKeys), std::end(KeypadKeys), key);
    if (name.isEmpty())
        name = lookUp(std::begin(RenamedKeys), std::end(RenamedKeys), key);
    if (name.isEmpty() && key < 0x80 && ShiftedDigits.contains(QLatin1Char(char(key))))
        name = QString::number(ShiftedDigits.indexOf(QLatin1Char(char(key))));
    if (name.isEmpty())
        name = QKeySequence(key).toString(QKeySequence::PortableText);
    // A name the operation could not send would silently do nothing when run.
    return keyNameToVk(name) != 0 ? name : QString();
}

bool KeyInputWidget::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // The key is being captured here, not meant for a shortcut of the window.
        if (!keyName(static_cast<QKeyEvent*>(event)).isEmpty()) {
            event->accept();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        // Tab would otherwise move the focus before keyPressEvent sees it.
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    return QLineEdit::event(event);
}

void KeyInputWidget::keyPressEvent(QKeyEvent* event)
{
    event->accept();
    const QString name = keyName(event);
    if (name.isEmpty())
        return;
    setText(name);
    emit valueChanged(name);
}

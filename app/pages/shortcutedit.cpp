#include "shortcutedit.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace {

struct KeyName
{
    int key;
    const char* name;
};

// clang-format off
constexpr KeyName KeyNames[] = {
    {Qt::Key_Space, "SPACE"},   {Qt::Key_Escape, "ESC"},        {Qt::Key_Tab, "TAB"},
    {Qt::Key_Backspace, "BACKSPACE"}, {Qt::Key_Return, "RETURN"}, {Qt::Key_Enter, "ENTER"},
    {Qt::Key_Delete, "DELETE"}, {Qt::Key_Left, "LEFT"},         {Qt::Key_Up, "UP"},
    {Qt::Key_Right, "RIGHT"},   {Qt::Key_Down, "DOWN"},
};
// clang-format on

constexpr int FunctionKeyCount = 12;

bool isModifierOnly(int key)
{
    return key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt ||
           key == Qt::Key_Meta || key == Qt::Key_unknown;
}

QString keyName(int key)
{
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + FunctionKeyCount)
        return QStringLiteral("F%1").arg(key - Qt::Key_F1 + 1);
    for (const KeyName& entry : KeyNames)
        if (entry.key == key)
            return QString::fromLatin1(entry.name);
    return QKeySequence(key).toString(QKeySequence::PortableText).toUpper();
}

} // namespace

ShortcutEdit::ShortcutEdit(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
}

QString ShortcutEdit::combinationText(int key, Qt::KeyboardModifiers modifiers)
{
    if (isModifierOnly(key))
        return QString();
    QStringList parts;
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("CTRL");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("ALT");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("SHIFT");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("WIN");
    // Shift+Tab arrives as Backtab: it is still the Tab key.
    const QString name = keyName(key == Qt::Key_Backtab ? int(Qt::Key_Tab) : key);
    if (!name.isEmpty())
        parts << name;
    return parts.join(QLatin1Char('+'));
}

bool ShortcutEdit::event(QEvent* event)
{
    // Tab would move the focus before keyPressEvent sees it; here it is a key to record.
    if (event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->key() == Qt::Key_Tab || keyEvent->key() == Qt::Key_Backtab) {
            keyPressEvent(keyEvent);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void ShortcutEdit::keyPressEvent(QKeyEvent* event)
{
    const QString text = combinationText(event->key(), event->modifiers());
    if (text.isEmpty())
        return; // a modifier alone: keep the current combination
    setText(text);
    event->accept();
}

#pragma once
// A read-only line edit that shows the key combination pressed in it, such as
// "CTRL+C" or "SHIFT+F5"; modifier keys alone change nothing.

#include <QLineEdit>

class ShortcutEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit ShortcutEdit(QWidget* parent = nullptr);

    // The text for a key with the modifiers held; empty for a modifier alone.
    static QString combinationText(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

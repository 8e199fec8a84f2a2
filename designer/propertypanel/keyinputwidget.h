#pragma once
// Captures one key: each press (other than a modifier alone) replaces the text with
// the key's name as the key-name vocabulary spells it ("A", "F5", "Space", "Esc"),
// without modifiers. Typing never inserts characters.

#include <QLineEdit>

class KeyInputWidget : public QLineEdit
{
    Q_OBJECT

public:
    explicit KeyInputWidget(QWidget* parent = nullptr);

    // The name stored for the key event, or an empty string when the event does not
    // name a key that can be sent (a modifier alone, an unknown key).
    static QString keyName(const QKeyEvent* event);

signals:
    void valueChanged(const QString& key);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

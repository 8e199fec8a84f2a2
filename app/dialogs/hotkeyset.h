#pragma once
// Lets the user press a new start/stop hotkey. While the dialog is visible every
// global hotkey is silenced, so typing the new key starts or stops nothing.
//
// On a desktop that keeps global keys to itself (hotkeysLeftToDesktop()) no key can be
// chosen: the dialog says so and shows the job's command line to bind in the desktop's
// own settings instead, and always closes as rejected (nothing changed).

#include "commandline/jobspec.h"

#include <QDialog>

#include <memory>

namespace Ui {
class HotKeySetClass;
}

class DesktopShortcutHint;

class HotKeySet : public QDialog
{
    Q_OBJECT

public:
    explicit HotKeySet(QWidget* parent = nullptr);
    ~HotKeySet() override;

    // The current key text (possibly empty) shown when the dialog opens.
    void setHotkeyText(const QString& text);
    // The captured key after exec(); empty means "no hotkey".
    QString hotkeyText() const;
    // The job the key is for, whose command the dialog shows where the desktop binds keys.
    void setJob(const JobSpec& job);

    // The text a key press is captured as ("Ctrl+Shift+S", "F2"); empty when the
    // press does not name a key (a modifier alone, an unknown key).
    static QString keyText(int key, Qt::KeyboardModifiers modifiers);

    // Why `text` cannot be a new hotkey (a bare typing key, a key another job of
    // this program holds); empty when it can.
    static QString refusal(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onBtnClearClicked();
    void onBtnOkClicked();

private:
    void setHotkeysBlocked(bool block);
    void showDesktopShortcutHint();

    std::unique_ptr<Ui::HotKeySetClass> ui;
    DesktopShortcutHint* m_desktopHint = nullptr; // only where the desktop binds keys
    bool m_blocking = false;
    QString m_presetText;
};

#pragma once
// What the hotkey dialog shows on a desktop that keeps global keys to itself (GNOME
// on Wayland): that programs cannot take keys there, and the command line to bind to
// a key in the desktop's own keyboard settings, with a button that copies it.

#include "commandline/jobspec.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

class DesktopShortcutHint : public QWidget
{
    Q_OBJECT

public:
    explicit DesktopShortcutHint(QWidget* parent = nullptr);

    // The job whose command is shown.
    void setJob(const JobSpec& job);
    QString command() const;

private:
    void copyCommand();

    QLabel* m_text;
    QLineEdit* m_command;
    QPushButton* m_copy;
};

#pragma once
// Look shared by the small dialogs of the main program.

#include <QDialog>
#include <QString>

namespace DialogStyle {

inline QString lineEditStyleSheet()
{
    return QStringLiteral("QLineEdit {border: 1px solid #ccc; border-radius: 4px; padding: 4px; "
                          "background-color: white;}");
}

// The small dialogs offer no "What's This?" button in their title bar.
inline void removeContextHelpButton(QDialog* dialog)
{
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

} // namespace DialogStyle

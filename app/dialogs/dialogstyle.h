#pragma once
// Look shared by the small dialogs of the main program.

#include "appstyle.h"

#include <QDialog>
#include <QString>

namespace DialogStyle {

inline QString lineEditStyleSheet()
{
    return AppStyle::lineEditStyleSheet();
}

// The small dialogs offer no "What's This?" button in their title bar.
inline void removeContextHelpButton(QDialog* dialog)
{
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
}

} // namespace DialogStyle

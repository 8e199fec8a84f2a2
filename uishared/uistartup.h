#pragma once
// Start-up steps both programs take before their first window: the UI font, Qt's
// own translation of its standard texts and how failures reach the user.

class QCoreApplication;
class QString;
class QTranslator;

namespace UiStartup {

// Before the application object. The main program works in the screen's own pixels,
// like the positions it picks and sends: no scaling by the screen's DPI, which Qt 5
// did only when asked and Qt 6 does by default. A user's QT_ENABLE_HIGHDPI_SCALING
// still decides; QT_SCALE_FACTOR still applies.
void useScreenPixels();

// After the application object: the programs this one starts (the designer) choose
// their own scaling again, as if useScreenPixels() had not run.
void leaveScalingToStartedPrograms();

// Before the application object. The designer scales with the screen's DPI (Qt 6
// always does; Qt 5 is asked to), by the nearest whole factor on both.
void useScreenScaling();

// Sets the application font to the Windows UI face at `pointSize`. Where that face
// is missing it resolves to a Simplified Chinese font that is there, so the Chinese
// texts render in one face.
void setApplicationFont(int pointSize);

// Loads Qt's Simplified Chinese translation into `translator` and installs it.
// False when no translation was found (standard buttons then stay in English).
bool installQtTranslator(QCoreApplication& app, QTranslator& translator);

// Application style sheet rules that keep the buttons of message boxes and dialog
// button boxes free of icons, as in both programs' own dialogs (some desktop
// styles add them).
QString plainDialogButtonsStyleSheet();

// Shows the failures the shared code reports (a flow file that cannot be read or
// written) in a warning box, for the rest of the program's run.
void installMessageBoxErrorReporter();

} // namespace UiStartup

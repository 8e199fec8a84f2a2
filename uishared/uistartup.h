#pragma once
// Start-up steps both programs take before their first window: the UI font, the
// language of the texts and how failures reach the user.

class QCoreApplication;
class QString;

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

// After the settings are read: installs the translations of the language the
// "Language" setting chooses (see uilanguage.h), for the whole run. A change of
// the setting applies at the next start. False when Qt's own translation of its
// standard texts was not found (they then stay in English).
bool installTranslations(QCoreApplication& app);

// Application style sheet rules that keep the buttons of message boxes and dialog
// button boxes free of icons, as in both programs' own dialogs (some desktop
// styles add them).
QString plainDialogButtonsStyleSheet();

// Shows the failures the shared code reports (a flow file that cannot be read or
// written) in a warning box, for the rest of the program's run.
void installMessageBoxErrorReporter();

} // namespace UiStartup

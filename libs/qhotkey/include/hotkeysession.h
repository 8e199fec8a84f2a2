#pragma once
// Whether this session leaves global keys to the desktop's own keyboard settings: a
// Wayland desktop that lets programs bind keys neither through sway's IPC nor through
// the GlobalShortcuts portal (GNOME). A user there binds a command line to a key in
// those settings instead. KLIQORA_HOTKEYS=desktop makes any session behave so (no key
// is registered), to try that out elsewhere.

bool hotkeysLeftToDesktop();

// Whether KLIQORA_HOTKEYS=desktop is set.
bool hotkeysForcedToDesktop();

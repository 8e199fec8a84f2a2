#pragma once
// How the pages show a job's key. Where the desktop keeps global keys to itself
// (hotkeysLeftToDesktop()) a key of ours would not work, so none is shown: the pages
// say that the key is the desktop's, and the hotkey dialog shows the command to bind.

#include <QString>

// `key`, or `none` when it is empty; where the desktop binds keys, a word saying so.
QString shownHotkey(const QString& key, const QString& none = QString());

// Why no key of ours is shown, for a page's start button; empty where keys work.
QString desktopShortcutToolTip();

#pragma once
// Helpers of the X11 injection tests: sending from a worker thread as the jobs
// do, and looking at the X server's keyboard directly.

#include "platform/backend.h"

#include <QVector>

#include <vector>

using InputCalls = std::vector<std::vector<platform::Input>>;

// Sends each batch with platform::sendInput on a worker thread while this thread
// keeps handling events; true when every batch was injected whole.
bool sendFromWorker(const InputCalls& calls);

// Every keysym of every keycode of the core keyboard mapping.
QVector<quint64> keyboardMapping();

// The keycodes the server considers held down.
QVector<int> keysDown();

// Shows `window`, activates it and gives `focus` the keyboard focus; false when
// the window did not become active.
class QWidget;
bool showFocused(QWidget* window, QWidget* focus);

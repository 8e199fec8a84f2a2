#pragma once
// Turns a recording into flow operations, so a recording can be edited step by step
// in the designer: pointer moves, clicks, wheel turns and key presses and releases,
// each after the gap recorded before it. The pointer paths between actions are
// thinned to the points that shape them unless every move is asked for.

#include <QString>

class AutoRecordTask;
class Flow;

struct RecordingConversion
{
    // Keep every recorded move instead of the thinned path.
    bool keepAllMoves = false;
    // A dropped move lies within this many pixels of the thinned path.
    int pathTolerancePx = 3;
};

struct ConversionSummary
{
    int operations = 0;
    int droppedMoves = 0;
    // A button held while the pointer moved becomes a click where it was pressed.
    int dragsAsClicks = 0;
    // Keys no key name stands for are left out.
    int keysLeftOut = 0;
};

// Appends the recording's events to `flow` as operations it owns.
ConversionSummary convertRecording(const AutoRecordTask& recording, Flow& flow,
                                   const RecordingConversion& options = {});

// The description a converted flow gets, naming the recording it came from.
QString convertedFlowDescription(const QString& recordingName);

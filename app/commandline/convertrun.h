#pragma once
// --convert RECORDING FLOW.flw: a recording turned into a new flow file, so that it can
// be edited step by step in the designer, without any window.

#include "commandlinerequest.h"

// Converts and returns the exit status: 0 when the flow file was written, 2 (with
// the reason on stderr) for a file that is no whole recording or a flow file that
// exists already or cannot be written. An existing file is never overwritten.
int convertWithoutWindow(const ConvertOptions& options);

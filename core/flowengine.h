#pragma once
// Runs a flat list of operations as one flow run: each operation after its own
// pause, the parts between matching loop markers repeated, until the end of the list,
// a stop (AppConfig::runFlag cleared) or an operation that ends the flow. Loops are
// followed with a stack of open rounds, never by copying or recursing.

#include <QList>

class Operation;

enum class FlowRunEnd
{
    Finished,         // the last operation ran
    Stopped,          // the run flag was cleared
    EndedByOperation, // an operation ended the flow (a colour that did not show)
    RefusedUnmatched  // a loop start or end without its partner: nothing ran
};

FlowRunEnd runOperations(const QList<Operation*>& operations);

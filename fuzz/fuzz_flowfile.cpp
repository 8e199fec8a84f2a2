// Flow files (.flw) as the main program and the designer load them. A file that
// loads must also survive what both programs do next: describe every operation,
// copy the flow, match its loop markers, and save it so that the saved file loads to
// the same bytes again.

#include "flow.h"
#include "fuzzsupport.h"
#include "loopstructure.h"
#include "operation.h"
#include "operationfactory.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    OperationFactory::instance()->registerBuiltinOperations();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Flow flow;
    if (!flow.load(fuzz::writeInput(data, size)))
        return 0;
    for (const Operation* op : flow.operations()) {
        (void)op->description();
        (void)op->toString();
    }
    const LoopStructure loops(flow.operations());
    for (int row = 0; row < flow.operations().size(); ++row) {
        const int partner = loops.partner(row);
        if (partner >= 0 && loops.partner(partner) != row)
            fuzz::fail("loop markers matched one way only");
    }
    (void)loops.problem();
    const Flow copy(flow);
    if (copy.operations().size() != flow.operations().size())
        fuzz::fail("copy lost operations");

    const QString first = fuzz::scratchPath(QStringLiteral("saved1.flw"));
    const QString second = fuzz::scratchPath(QStringLiteral("saved2.flw"));
    if (!flow.save(first))
        fuzz::fail("a loaded flow cannot be saved");
    Flow reloaded;
    if (!reloaded.load(first))
        fuzz::fail("a saved flow does not load");
    if (!reloaded.save(second) || fuzz::readAll(first) != fuzz::readAll(second))
        fuzz::fail("save and load do not round-trip");
    return 0;
}

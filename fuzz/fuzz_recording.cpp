// Recording files ("record_*.kqt"). A recording that loads must save and load back
// to the same bytes.

#include "autorecordtask.h"
#include "fuzzsupport.h"

#include <memory>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<AutoRecordTask> task(
        AutoRecordTask::load(fuzz::writeInput(data, size, QStringLiteral("record_fuzz.kqt"))));
    if (!task)
        return 0;
    (void)task->toString();
    const QString first = fuzz::scratchPath(QStringLiteral("record_saved1.kqt"));
    const QString second = fuzz::scratchPath(QStringLiteral("record_saved2.kqt"));
    if (!task->save(first))
        fuzz::fail("a loaded recording cannot be saved");
    std::unique_ptr<AutoRecordTask> reloaded(AutoRecordTask::load(first));
    if (!reloaded || !reloaded->save(second))
        fuzz::fail("a saved recording does not load");
    if (reloaded->events().size() != task->events().size())
        fuzz::fail("events lost in a round trip");
    if (fuzz::readAll(first) != fuzz::readAll(second))
        fuzz::fail("save and load do not round-trip");
    return 0;
}

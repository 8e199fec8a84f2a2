// "mouse.kqt": the clicker's settings file. A file that loads must save and load
// back to the same bytes; a refused file must leave the settings untouched.

#include "fuzzsupport.h"
#include "mousetask.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MouseTask task;
    const QString before = task.toString();
    if (!task.load(fuzz::writeInput(data, size, QStringLiteral("mouse.kqt")))) {
        if (task.toString() != before)
            fuzz::fail("a refused file changed the settings");
        return 0;
    }
    (void)task.toString();
    for (int i = 0; i < 4; ++i) {
        if (task.nextWait() < 0)
            fuzz::fail("negative wait");
    }
    const QString first = fuzz::scratchPath(QStringLiteral("saved1.kqt"));
    const QString second = fuzz::scratchPath(QStringLiteral("saved2.kqt"));
    MouseTask reloaded;
    if (!task.save(first) || !reloaded.load(first) || !reloaded.save(second))
        fuzz::fail("a loaded task does not save and load again");
    if (fuzz::readAll(first) != fuzz::readAll(second))
        fuzz::fail("save and load do not round-trip");
    return 0;
}

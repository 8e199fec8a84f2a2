// "keyboard.kqt": the key presser's settings and rows. A file that loads must save
// and load back to the same bytes.

#include "fuzzsupport.h"
#include "keyboardtasklist.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::init(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KeyBoardTaskList list;
    if (!list.load(fuzz::writeInput(data, size, QStringLiteral("keyboard.kqt"))))
        return 0;
    for (const KeyBoardTask* task : list.tasks())
        (void)task->toString();
    const QString first = fuzz::scratchPath(QStringLiteral("saved1.kqt"));
    const QString second = fuzz::scratchPath(QStringLiteral("saved2.kqt"));
    KeyBoardTaskList reloaded;
    if (!list.save(first) || !reloaded.load(first) || !reloaded.save(second))
        fuzz::fail("a loaded list does not save and load again");
    if (reloaded.tasks().size() != list.tasks().size())
        fuzz::fail("rows lost in a round trip");
    if (fuzz::readAll(first) != fuzz::readAll(second))
        fuzz::fail("save and load do not round-trip");
    return 0;
}

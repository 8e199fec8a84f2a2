#include "operationfactory.h"

#include "keyboardoperation.h"
#include "loopendoperation.h"
#include "loopstartoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "mousewheeloperation.h"
#include "textinputoperation.h"
#include "waitcoloroperation.h"

OperationFactory* OperationFactory::instance()
{
    static OperationFactory factory;
    return &factory;
}

void OperationFactory::registerOperation(Operation* prototype)
{
    if (!prototype)
        return;
    // Owned by the factory (a replaced one too, since a caller may still hold it), so
    // every prototype is freed when the factory ends with the process.
    prototype->setParent(this);
    prototypes.insert(prototype->typeId(), prototype);
}

void OperationFactory::registerBuiltinOperations()
{
    registerOperation(new MouseClickOperation());
    registerOperation(new MouseMoveOperation());
    registerOperation(new KeyboardOperation());
    registerOperation(new TextInputOperation());
    registerOperation(new MouseWheelOperation());
    registerOperation(new LoopStartOperation());
    registerOperation(new LoopEndOperation());
    registerOperation(new WaitColorOperation());
}

Operation* OperationFactory::create(const QString& typeId, QObject* parent) const
{
    const Operation* prototype = prototypes.value(typeId, nullptr);
    return prototype ? prototype->clone(parent) : nullptr;
}

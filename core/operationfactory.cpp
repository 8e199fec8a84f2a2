#include "operationfactory.h"

#include "keyboardoperation.h"
#include "mouseclickoperation.h"
#include "mousemoveoperation.h"
#include "textinputoperation.h"

OperationFactory* OperationFactory::instance()
{
    static OperationFactory factory;
    return &factory;
}

void OperationFactory::registerOperation(Operation* prototype)
{
    if (prototype)
        prototypes.insert(prototype->typeId(), prototype);
}

void OperationFactory::registerBuiltinOperations()
{
    registerOperation(new MouseClickOperation());
    registerOperation(new MouseMoveOperation());
    registerOperation(new KeyboardOperation());
    registerOperation(new TextInputOperation());
}

Operation* OperationFactory::create(const QString& typeId, QObject* parent) const
{
    const Operation* prototype = prototypes.value(typeId, nullptr);
    return prototype ? prototype->clone(parent) : nullptr;
}

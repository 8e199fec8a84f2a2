#include "designerresources.h"

#include <QtGlobal>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void registerKliqoraResources()
{
    Q_INIT_RESOURCE(kliqora);
}

void initDesignerResources()
{
    static const bool done = (registerKliqoraResources(), true);
    Q_UNUSED(done)
}

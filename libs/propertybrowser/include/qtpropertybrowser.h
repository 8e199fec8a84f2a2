#pragma once
// The core of the property browser library in one include: properties, the
// manager and editor factory bases, and browser items.

#include "qtabstracteditorfactory.h"
#include "qtabstractpropertymanager.h"
#include "qtbrowseritem.h"
#include "qtproperty.h"

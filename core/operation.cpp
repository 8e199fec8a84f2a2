#include "operation.h"

#include "appconfig.h"
#include "interruptiblewait.h"

#include <QDataStream>

#include <atomic>

namespace {
std::atomic<int> g_defaultInterval{0};
}

Operation::Operation(QObject* parent) : QObject(parent), m_interval(g_defaultInterval.load()) {}

Operation::~Operation() = default;

void Operation::setDefaultInterval(int ms)
{
    g_defaultInterval.store(ms);
}

int Operation::defaultInterval()
{
    return g_defaultInterval.load();
}

void Operation::run()
{
    interruptibleWait(m_interval);
    if (AppConfig::runFlag.load())
        execute();
}

bool Operation::runStep()
{
    interruptibleWait(m_interval);
    return AppConfig::runFlag.load() && executeStep();
}

bool Operation::executeStep()
{
    execute();
    return true;
}

void Operation::serializeOperation(QDataStream& out) const
{
    out << qint32(m_interval);
}

void Operation::deserializeOperation(QDataStream& in)
{
    qint32 interval = 0;
    in >> interval;
    m_interval = interval;
}

void Operation::copyOperationFieldsTo(Operation* other) const
{
    other->m_interval = m_interval;
}

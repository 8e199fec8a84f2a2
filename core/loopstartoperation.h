#pragma once
// Opens a repeated part of a flow: the operations up to the matching LoopEndOperation
// run `count` times (0: until the flow is stopped). Pairs nest like brackets; the
// flow's runner does the repeating, this operation sends no input.

#include "operation.h"

class LoopStartOperation : public Operation
{
    Q_OBJECT
    Q_PROPERTY(int count READ count WRITE setCount)
    Q_CLASSINFO("prop_count", QT_TR_NOOP("重复次数"))
    Q_CLASSINFO("editor_count", "SPINBOX")
    Q_CLASSINFO("range_count", "0-2147483647")

public:
    // A count of 0 repeats until the flow is stopped.
    static constexpr int UntilStopped = 0;

    explicit LoopStartOperation(QObject* parent = nullptr);

    QString category() const override;
    QString typeId() const override;
    QString displayName() const override;
    QString iconPath() const override;
    void execute() override {}
    void serialize(QDataStream& out) const override;
    void deserialize(QDataStream& in) override;
    QString toString() const override;
    QString description() const override;
    Operation* clone(QObject* parent = nullptr) const override;

    int count() const { return m_count; }
    void setCount(int count) { m_count = count; }

private:
    int m_count = 2;
};

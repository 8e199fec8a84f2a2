#pragma once
// Closes the repeated part opened by the nearest unclosed LoopStartOperation. Its
// pause comes before every jump back and before the flow goes on after the last round.

#include "operation.h"

class LoopEndOperation : public Operation
{
    Q_OBJECT

public:
    explicit LoopEndOperation(QObject* parent = nullptr);

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
};

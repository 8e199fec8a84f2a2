#pragma once
// Places the pointer on `position` with one absolute move.

#include "mouseoperation.h"

class MouseMoveOperation : public MouseOperation
{
    Q_OBJECT

public:
    explicit MouseMoveOperation(QObject* parent = nullptr);

    QString category() const override;
    QString typeId() const override;
    QString displayName() const override;
    QString iconPath() const override;
    void execute() override;
    void serialize(QDataStream& out) const override;
    void deserialize(QDataStream& in) override;
    QString toString() const override;
    QString description() const override;
    Operation* clone(QObject* parent = nullptr) const override;
};

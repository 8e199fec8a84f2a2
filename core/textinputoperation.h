#pragma once
// Types a text, independent of the keyboard layout, as Unicode key events: one
// down/up pair per UTF-16 code unit.

#include "operation.h"

class TextInputOperation : public Operation
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_CLASSINFO("prop_text", QT_TR_NOOP("输入内容"))

public:
    explicit TextInputOperation(QObject* parent = nullptr);

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

    QString text() const { return m_text; }
    void setText(const QString& text) { m_text = text; }

private:
    QString m_text; // null until set: written as the null string
};

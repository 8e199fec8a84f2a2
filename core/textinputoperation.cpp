#include "textinputoperation.h"

#include "platform/backend.h"

#include <QDataStream>

TextInputOperation::TextInputOperation(QObject* parent) : Operation(parent) {}

QString TextInputOperation::category() const
{
    return tr("键盘");
}

QString TextInputOperation::typeId() const
{
    return QStringLiteral("text_input");
}

QString TextInputOperation::displayName() const
{
    return tr("输入文本");
}

QString TextInputOperation::iconPath() const
{
    return QStringLiteral(":/optree/res/images/optree/text-input.svg");
}

void TextInputOperation::execute()
{
    // Every code unit as it is (line feeds, tabs and surrogate halves included);
    // a started text is typed to its end.
    for (const QChar unit : qAsConst(m_text)) {
        const platform::Input pair[2] = {
            platform::Input::keyInput(0, platform::KeyFlag::Unicode, unit.unicode()),
            platform::Input::keyInput(0, platform::KeyFlag::Unicode | platform::KeyFlag::KeyUp,
                                      unit.unicode()),
        };
        platform::sendInput(pair, 2);
    }
}

void TextInputOperation::serialize(QDataStream& out) const
{
    serializeOperation(out);
    out << m_text;
}

void TextInputOperation::deserialize(QDataStream& in)
{
    deserializeOperation(in);
    in >> m_text;
}

QString TextInputOperation::toString() const
{
    return QStringLiteral("%1: text=\"%2\"").arg(displayName(), m_text);
}

QString TextInputOperation::description() const
{
    return tr("输入文本: %1").arg(m_text);
}

Operation* TextInputOperation::clone(QObject* parent) const
{
    auto* copy = new TextInputOperation(parent);
    copyOperationFieldsTo(copy);
    copy->m_text = m_text;
    return copy;
}

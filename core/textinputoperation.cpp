#include "textinputoperation.h"

#include "platform/backend.h"

#include <QDataStream>

#include <algorithm>
#include <vector>

namespace {
// Code units per input batch: a long text still leaves the backend to other
// callers now and then.
constexpr size_t UnitsPerBatch = 512;
} // namespace

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
    // a started text is typed to its end. The units go out in large batches: a
    // backend then needs one round trip per batch rather than per character, and
    // can bind every character it lacks a key for in one keyboard map change.
    std::vector<platform::Input> batch;
    batch.reserve(2 * std::min(size_t(m_text.size()), UnitsPerBatch));
    for (const QChar unit : qAsConst(m_text)) {
        batch.push_back(platform::Input::keyInput(0, platform::KeyFlag::Unicode, unit.unicode()));
        batch.push_back(platform::Input::keyInput(
            0, platform::KeyFlag::Unicode | platform::KeyFlag::KeyUp, unit.unicode()));
        if (batch.size() == UnitsPerBatch * 2) {
            platform::sendInput(batch.data(), unsigned(batch.size()));
            batch.clear();
        }
    }
    if (!batch.empty())
        platform::sendInput(batch.data(), unsigned(batch.size()));
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

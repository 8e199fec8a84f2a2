#include "jobspec.h"

#include "commandoptions.h"

namespace {

struct NamedKind
{
    const char* text;
    JobSpec::Kind kind;
};

// clang-format off
constexpr NamedKind Plain[] = {
    {CommandOptions::JobNames[0], JobSpec::Kind::Clicker},
    {CommandOptions::JobNames[1], JobSpec::Kind::Keys},
    {CommandOptions::JobNames[2], JobSpec::Kind::Recorder},
};
constexpr NamedKind Prefixed[] = {
    {CommandOptions::ReplayPrefix, JobSpec::Kind::Replay},
    {CommandOptions::FlowPrefix,   JobSpec::Kind::Flow},
};
// clang-format on

} // namespace

std::optional<JobSpec> JobSpec::parse(const QString& text)
{
    for (const NamedKind& entry : Plain) {
        if (text == QLatin1String(entry.text))
            return JobSpec{entry.kind, QString()};
    }
    for (const NamedKind& entry : Prefixed) {
        const QLatin1String prefix(entry.text);
        if (text.startsWith(prefix) && text.size() > prefix.size())
            return JobSpec{entry.kind, text.mid(prefix.size())};
    }
    return std::nullopt;
}

QString JobSpec::text() const
{
    for (const NamedKind& entry : Plain) {
        if (entry.kind == kind)
            return QLatin1String(entry.text);
    }
    for (const NamedKind& entry : Prefixed) {
        if (entry.kind == kind)
            return QLatin1String(entry.text) + name;
    }
    return QString();
}

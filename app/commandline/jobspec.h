#pragma once
// A job of the running instance as the command line names it: "clicker", "keys",
// "recorder", "replay:NAME" (a recording as the record page lists it) or
// "flow:NAME" (a flow as the custom flows page lists it).

#include <QString>

#include <optional>

struct JobSpec
{
    enum class Kind
    {
        Clicker,
        Keys,
        Recorder,
        Replay,
        Flow
    };

    Kind kind = Kind::Clicker;
    QString name; // Replay and Flow only; never empty there

    // Null for anything else, also for a replay or flow without a name.
    static std::optional<JobSpec> parse(const QString& text);
    // The text parse() reads back.
    QString text() const;

    bool operator==(const JobSpec& other) const { return kind == other.kind && name == other.name; }
};

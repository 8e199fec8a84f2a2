#include "bashcompletion.h"

#include "../commandoptions.h"

#include <sstream>

namespace {

using CommandOptions::ValueKind;

std::string words(const char* const* first, const char* const* last)
{
    std::string out;
    for (const char* const* word = first; word != last; ++word)
        out += (out.empty() ? "" : " ") + std::string(*word);
    return out;
}

std::string optionWords()
{
    std::string out;
    for (const CommandOptions::Option& option : CommandOptions::Options) {
        if (*option.shortName)
            out += std::string("-") + option.shortName + ' ';
        out += std::string("--") + option.longName + ' ';
    }
    out.pop_back();
    return out;
}

std::string jobWords()
{
    return words(std::begin(CommandOptions::JobNames), std::end(CommandOptions::JobNames)) + ' ' +
           CommandOptions::ReplayPrefix + ' ' + CommandOptions::FlowPrefix;
}

std::string listWords()
{
    return std::string(CommandOptions::ListFlows) + ' ' + CommandOptions::ListRecordings;
}

// What completes the value of an option of this kind; empty for a switch.
std::string valueCompletion(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Job:
        return "_kliqora_job \"$1\"";
    case ValueKind::File:
        return "_filedir";
    case ValueKind::ListWhat:
        return "COMPREPLY=($(compgen -W '" + listWords() + "' -- \"$cur\"))";
    case ValueKind::Number:
        return ":";
    case ValueKind::None:
        break;
    }
    return std::string();
}

// A job of --toggle: a plain one, or replay:/flow: followed by a name the program lists.
const char JobFunction[] = R"bash(_kliqora_job()
{
    local word prefix kind name
    word=$(dequote "$cur")
    case $word in
        %REPLAY%*) prefix=%REPLAY% kind=%RECORDINGS% ;;
        %FLOW%*) prefix=%FLOW% kind=%FLOWS% ;;
        *)
            COMPREPLY=($(compgen -W '%JOBS%' -- "$cur"))
            [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == *: ]] && compopt -o nospace
            __ltrim_colon_completions "$cur"
            return
            ;;
    esac
    COMPREPLY=()
    while IFS= read -r name; do
        [[ $prefix$name == "$word"* ]] && COMPREPLY+=("$(printf '%q' "$prefix$name")")
    done < <("$1" --list "$kind" 2>/dev/null)
    __ltrim_colon_completions "$cur"
}
)bash";

void replaceAll(std::string& text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

std::string bashCompletion()
{
    std::string jobFunction = JobFunction;
    replaceAll(jobFunction, "%REPLAY%", CommandOptions::ReplayPrefix);
    replaceAll(jobFunction, "%FLOW%", CommandOptions::FlowPrefix);
    replaceAll(jobFunction, "%RECORDINGS%", CommandOptions::ListRecordings);
    replaceAll(jobFunction, "%FLOWS%", CommandOptions::ListFlows);
    replaceAll(jobFunction, "%JOBS%", jobWords());

    std::ostringstream out;
    out << "# bash completion for Kliqora, made from its option table when it was built.\n\n"
        << jobFunction << "\n_kliqora()\n{\n"
        << "    local cur prev words cword\n"
        << "    # The colon stays inside a word: replay:NAME, flow:NAME.\n"
        << "    _init_completion -n : || return\n\n"
        << "    case $prev in\n";
    for (const CommandOptions::Option& option : CommandOptions::Options) {
        const std::string completion = valueCompletion(option.value);
        if (!completion.empty())
            out << "        --" << option.longName << ")\n            " << completion
                << "\n            return\n            ;;\n";
    }
    out << "    esac\n"
        << "    COMPREPLY=($(compgen -W '" << optionWords() << "' -- \"$cur\"))\n"
        << "}\n\ncomplete -F _kliqora Kliqora\n";
    return out.str();
}

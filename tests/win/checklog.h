#pragma once
// One plain result line per check ("PASS name" or "FAIL name: detail") and a tally,
// so a run under Wine reads like a test log and ends with a meaningful exit code.

#include <cstdio>
#include <string>

class CheckLog
{
public:
    // Records one check; returns `ok` so callers can stop a group after a failure.
    bool check(bool ok, const std::string& name, const std::string& detail = {})
    {
        ++m_count;
        if (!ok)
            ++m_failures;
        std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", name.c_str(), detail.empty() ? "" : ": ",
                    detail.c_str());
        std::fflush(stdout);
        return ok;
    }

    // A remark that is not a check (what the system reported, what Wine cannot show).
    static void note(const std::string& text)
    {
        std::printf("NOTE %s\n", text.c_str());
        std::fflush(stdout);
    }

    int count() const { return m_count; }
    int failures() const { return m_failures; }

private:
    int m_count = 0;
    int m_failures = 0;
};

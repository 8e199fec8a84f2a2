#pragma once
// "Another program" for the hotkey checks: a second process (this harness started
// again with --hold-hotkey) that tries to register a global hotkey and, when the
// system grants it, holds it until released.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

class SecondOwner
{
public:
    enum class Outcome
    {
        Holds,
        Refused,
        Failed
    };

    SecondOwner() = default;
    ~SecondOwner(); // releases the key and waits for the process
    SecondOwner(const SecondOwner&) = delete;
    SecondOwner& operator=(const SecondOwner&) = delete;

    // Starts the second process and waits until it holds the key or was refused.
    Outcome tryRegister(UINT vk, UINT modifiers, DWORD timeoutMs);

    // Lets a holding process unregister the key and end; waits for it.
    void release();

    // The entry of the second process: argv after "--hold-hotkey".
    static int childMain(int argc, char** argv);
    static constexpr const char* kOption = "--hold-hotkey";

private:
    HANDLE m_ready = nullptr;
    HANDLE m_release = nullptr;
    HANDLE m_process = nullptr;
};

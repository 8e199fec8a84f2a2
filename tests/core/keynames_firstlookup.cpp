// The first key-name lookups of a fresh process, made by many threads released at
// the same moment, so that the table is built while they race for it. Nothing else
// in this program touches the table first. Exit status 0 when every thread read
// F5's key code, 1 otherwise (and ThreadSanitizer's own status when it saw a race).

#include "keynames.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {
constexpr int Threads = 16;
constexpr int F5 = 116;
} // namespace

int main()
{
    std::atomic<int> notReady{Threads};
    std::vector<int> codes(Threads, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < Threads; ++i) {
        threads.emplace_back([&notReady, &codes, i] {
            --notReady;
            while (notReady.load() > 0)
                std::this_thread::yield(); // all start their lookup together
            codes[i] = keyNameToVk(QStringLiteral("f5"));
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    return std::all_of(codes.begin(), codes.end(), [](int code) { return code == F5; }) ? 0 : 1;
}

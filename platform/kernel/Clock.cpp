#include "platform/kernel/Clock.h"

#include <time.h>

#include <atomic>
#include <map>
#include <mutex>

#include "platform/win32.h"

namespace platform::kernel {
namespace {

class SystemClock final : public ClockSource {
  public:
    std::chrono::nanoseconds Monotonic() override { return std::chrono::steady_clock::now().time_since_epoch(); }
    std::chrono::system_clock::time_point WallTime() override { return std::chrono::system_clock::now(); }
};

SystemClock systemClock;
std::unique_ptr<ClockSource> installed;
std::atomic<ClockSource*> current{&systemClock};

SYSTEMTIME ToSystemTime(std::chrono::system_clock::time_point time, bool local) {
    auto sinceEpoch = time.time_since_epoch();
    time_t seconds = static_cast<time_t>(std::chrono::floor<std::chrono::seconds>(sinceEpoch).count());
    auto milliseconds = std::chrono::floor<std::chrono::milliseconds>(sinceEpoch).count() - seconds * 1000LL;
    struct tm parts {};
    if (local) localtime_r(&seconds, &parts);
    else gmtime_r(&seconds, &parts);
    return {static_cast<WORD>(parts.tm_year + 1900), static_cast<WORD>(parts.tm_mon + 1),
            static_cast<WORD>(parts.tm_wday),        static_cast<WORD>(parts.tm_mday),
            static_cast<WORD>(parts.tm_hour),        static_cast<WORD>(parts.tm_min),
            static_cast<WORD>(parts.tm_sec),         static_cast<WORD>(milliseconds)};
}

std::mutex deadlinesMutex;
std::map<int, IdleDeadline> deadlines;
int nextDeadlineId = 0;

}  // namespace

ClockSource& Clock() { return *current.load(); }

int AddIdleDeadline(IdleDeadline deadline) {
    std::lock_guard lock(deadlinesMutex);
    deadlines[++nextDeadlineId] = std::move(deadline);
    return nextDeadlineId;
}

void RemoveIdleDeadline(int id) {
    std::lock_guard lock(deadlinesMutex);
    deadlines.erase(id);
}

std::optional<std::chrono::nanoseconds> NextIdleDeadline() {
    std::lock_guard lock(deadlinesMutex);
    std::optional<std::chrono::nanoseconds> earliest;
    for (auto& [id, deadline] : deadlines)
        if (auto due = deadline(); due && (!earliest || *due < *earliest)) earliest = due;
    return earliest;
}

void SetClockSource(std::unique_ptr<ClockSource> source) {
    current.store(source ? source.get() : &systemClock);
    installed = std::move(source);
}

}  // namespace platform::kernel

using platform::kernel::Clock;

void WINAPI GetSystemTime(SYSTEMTIME* lpSystemTime) {
    if (lpSystemTime) *lpSystemTime = platform::kernel::ToSystemTime(Clock().WallTime(), false);
}

void WINAPI GetLocalTime(SYSTEMTIME* lpSystemTime) {
    if (lpSystemTime) *lpSystemTime = platform::kernel::ToSystemTime(Clock().WallTime(), true);
}

// Wraps after 49.7 days, as on Windows.
DWORD WINAPI GetTickCount() {
    auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(Clock().Monotonic()).count();
    return static_cast<DWORD>(milliseconds);
}

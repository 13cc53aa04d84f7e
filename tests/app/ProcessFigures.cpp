#include "tests/app/ProcessFigures.h"

#include <malloc.h>

#include <filesystem>
#include <fstream>
#include <string>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) && !defined(__SANITIZE_ADDRESS__)
#define __SANITIZE_ADDRESS__ 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

int EntriesIn(const char* folder) {
    std::error_code error;
    int count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        ++count;
    return count;
}

}  // namespace

int64_t ResidentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6)) * 1024;
    return 0;
}

int64_t HeapBytesInUse() {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizer's allocator stands in for malloc's, which then counts nothing.
    return static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
    struct mallinfo2 info = mallinfo2();
    return static_cast<int64_t>(info.uordblks + info.hblkhd);
#endif
}

int OpenFileCount() { return EntriesIn("/proc/self/fd") - 1; }  // less the listing's own

int ThreadCount() { return EntriesIn("/proc/self/task"); }

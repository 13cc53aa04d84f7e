#include "platform/kernel/Files.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/kernel/Patience.h"

namespace {

constexpr int64_t kTicksPerSecond = 10000000;  // FILETIME counts 100 ns steps
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

FILETIME FromTicks(int64_t ticks) {
    return {static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
}

int64_t Ticks(const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

}  // namespace

namespace platform::kernel {

bool IsWriteProtected(const struct stat& status) {
    uid_t user = geteuid();
    if (user == 0) return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    if (status.st_uid == user) return (status.st_mode & S_IWUSR) == 0;
    bool member = status.st_gid == getegid();
    if (!member) {
        int count = getgroups(0, nullptr);
        std::vector<gid_t> groups(static_cast<size_t>(std::max(count, 0)));
        if (count > 0 && getgroups(count, groups.data()) == count)
            member = std::find(groups.begin(), groups.end(), status.st_gid) != groups.end();
    }
    return (status.st_mode & (member ? S_IWGRP : S_IWOTH)) == 0;
}

DWORD AttributesOf(std::string_view name, const struct stat& status, bool virtualMountPoint) {
    DWORD attributes = 0;
    if (name.size() > 1 && name[0] == '.' && name != "..") attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (S_ISDIR(status.st_mode)) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    } else if (S_ISREG(status.st_mode)) {
        attributes |= FILE_ATTRIBUTE_ARCHIVE;
    } else {
        attributes |= FILE_ATTRIBUTE_SYSTEM;
    }
    if (virtualMountPoint) attributes |= FILE_ATTRIBUTE_SYSTEM;
    if (!S_ISDIR(status.st_mode) && IsWriteProtected(status)) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

std::optional<PathStatus> StatPatiently(const std::string& posixPath) {
    return AskPatiently<PathStatus>(posixPath, [posixPath] {
        PathStatus found;
        if (stat(posixPath.c_str(), &found.status) == 0) return found;
        found.error = errno;
        if (lstat(posixPath.c_str(), &found.status) == 0) {
            found.dangling = true;
            found.error = 0;
        }
        return found;
    });
}

FILETIME FileTimeOf(const struct timespec& time) {
    int64_t ticks = (time.tv_sec + kSecondsFrom1601To1970) * kTicksPerSecond + time.tv_nsec / 100;
    return FromTicks(std::max<int64_t>(ticks, 0));
}

}  // namespace platform::kernel

BOOL WINAPI FileTimeToLocalFileTime(const FILETIME* lpFileTime, FILETIME* lpLocalFileTime) {
    if (!lpFileTime || !lpLocalFileTime) return FALSE;
    int64_t ticks = Ticks(*lpFileTime);
    time_t seconds = static_cast<time_t>(ticks / kTicksPerSecond - kSecondsFrom1601To1970);
    struct tm local;
    if (!localtime_r(&seconds, &local)) return FALSE;
    ticks += static_cast<int64_t>(local.tm_gmtoff) * kTicksPerSecond;
    *lpLocalFileTime = FromTicks(ticks);
    return TRUE;
}

BOOL WINAPI FileTimeToSystemTime(const FILETIME* lpFileTime, SYSTEMTIME* lpSystemTime) {
    if (!lpFileTime || !lpSystemTime) return FALSE;
    int64_t ticks = Ticks(*lpFileTime);
    time_t seconds = static_cast<time_t>(ticks / kTicksPerSecond - kSecondsFrom1601To1970);
    struct tm utc;
    if (!gmtime_r(&seconds, &utc)) return FALSE;
    *lpSystemTime = {static_cast<WORD>(utc.tm_year + 1900), static_cast<WORD>(utc.tm_mon + 1),
                     static_cast<WORD>(utc.tm_wday),        static_cast<WORD>(utc.tm_mday),
                     static_cast<WORD>(utc.tm_hour),        static_cast<WORD>(utc.tm_min),
                     static_cast<WORD>(utc.tm_sec),         static_cast<WORD>((ticks % kTicksPerSecond) / 10000)};
    return TRUE;
}

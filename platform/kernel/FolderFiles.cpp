// Making folders, and making and removing files by name: what a program needs to find a place it may write to.

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/kernel/Errors.h"
#include "platform/kernel/Paths.h"

using namespace platform::kernel;

namespace {

bool Resolve(LPCSTR path, std::string& posix) {
    if (!path) return Fail(ERROR_INVALID_PARAMETER);
    DWORD error = 0;
    if (!ResolvePath(path, posix, error)) return Fail(error);
    return true;
}

// GetTempFileNameA's failure: 0, with the last error set.
UINT FailNumber(DWORD error) {
    SetLastError(error);
    return 0;
}

}  // namespace

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    std::string posix;
    if (!Resolve(lpPathName, posix)) return FALSE;
    if (mkdir(posix.c_str(), 0777) != 0) {
        int cause = errno;
        // A missing parent is a path that was not found, not a missing file.
        if (cause == ENOENT) return Fail(ERROR_PATH_NOT_FOUND);
        return Fail(cause == EEXIST ? ERROR_ALREADY_EXISTS : ErrorFromErrno(cause));
    }
    return TRUE;
}

BOOL WINAPI DeleteFileA(LPCSTR lpFileName) {
    std::string posix;
    if (!Resolve(lpFileName, posix)) return FALSE;
    struct stat status;
    // Windows removes files only; a folder is refused with access denied.
    if (lstat(posix.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return Fail(ERROR_ACCESS_DENIED);
    if (unlink(posix.c_str()) != 0) {
        int cause = errno;
        // A file whose folder is missing is on a path that was not found, as for every other file function.
        return Fail(cause == ENOENT ? MissingPathError(posix) : ErrorFromErrno(cause));
    }
    return TRUE;
}

UINT WINAPI GetTempFileNameA(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName) {
    if (!lpPathName || !lpTempFileName) return FailNumber(ERROR_INVALID_PARAMETER);
    std::string folder = lpPathName;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    std::string prefix = lpPrefixString ? std::string(lpPrefixString).substr(0, 3) : "";
    // As Windows does: a number of four hex digits, the next free one from a start that varies by process.
    UINT start = uUnique ? uUnique & 0xFFFF : static_cast<UINT>((getpid() * 7919 + std::time(nullptr)) & 0xFFFF);
    for (UINT tried = 0; tried < 0x10000; ++tried) {
        UINT number = (start + tried) & 0xFFFF;
        if (number == 0) continue;
        char name[16];
        std::snprintf(name, sizeof name, "%X.tmp", number);
        std::string path = folder + prefix + name;
        if (path.size() >= MAX_PATH) return FailNumber(ERROR_BUFFER_OVERFLOW);
        if (uUnique) {
            // A given number only names the file; nothing is made.
            std::memcpy(lpTempFileName, path.c_str(), path.size() + 1);
            return number;
        }
        std::string posix;
        if (!Resolve(path.c_str(), posix)) return 0;
        int file = open(posix.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file >= 0) {
            close(file);
            std::memcpy(lpTempFileName, path.c_str(), path.size() + 1);
            return number;
        }
        if (errno != EEXIST) return FailNumber(ErrorFromErrno(errno));
    }
    return FailNumber(ERROR_FILE_EXISTS);
}

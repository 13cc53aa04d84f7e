// Directory search and file attributes.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/kernel/Errors.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Locale.h"
#include "platform/kernel/Names.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Volumes.h"

namespace {

using namespace platform::kernel;

// A search pattern as Windows reads it: "*" and "?" ignore letter case, "*.*" matches every name, a trailing
// ".*" also matches names without an extension, and a trailing "." matches only names without one.
struct Pattern {
    std::u32string text;
    bool everything = false;
    bool optionalExtension = false;
    bool withoutExtension = false;
    // "*" then ASCII without wildcards ("*.mp3"), the shape of nearly every mask piece: matched against the end of
    // a name without folding the whole name.
    std::string asciiTail;
};

Pattern Compile(std::string_view text) {
    Pattern pattern;
    pattern.everything = text == "*" || text == "*.*";
    if (text.size() > 2 && text.ends_with(".*")) pattern.optionalExtension = true;
    if (text.ends_with('.') && text.find_first_not_of('.') != std::string_view::npos) {
        pattern.withoutExtension = true;
        while (text.ends_with('.')) text.remove_suffix(1);
    }
    pattern.text = FoldedCharacters(text);
    std::string_view tail = text.substr(text.empty() ? 0 : 1);
    if (text.starts_with('*') && !tail.empty() && !pattern.optionalExtension && !pattern.withoutExtension &&
        std::all_of(tail.begin(), tail.end(), [](char c) { return c != '*' && c != '?' && static_cast<unsigned char>(c) < 0x80; })) {
        for (char c : tail) pattern.asciiTail += static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return pattern;
}

bool Glob(const std::u32string& name, const std::u32string& pattern, size_t patternEnd) {
    size_t p = 0, n = 0, star = std::u32string::npos, resume = 0;
    while (n < name.size()) {
        if (p < patternEnd && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < patternEnd && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < patternEnd && pattern[p] == U'*') ++p;
    return p == patternEnd;
}

bool Matches(const Pattern& pattern, std::string_view name) {
    if (pattern.everything) return true;
    if (const std::string& tail = pattern.asciiTail; !tail.empty()) {
        // Folding never makes a name longer, so a name of fewer bytes cannot end in the tail. When the name's last
        // bytes are ASCII they are its last characters, which fold only to themselves; otherwise (a character
        // such as the Kelvin sign folds to ASCII) the whole name is folded below.
        if (name.size() < tail.size()) return false;
        std::string_view end = name.substr(name.size() - tail.size());
        if (std::all_of(end.begin(), end.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            for (size_t i = 0; i < tail.size(); ++i) {
                char c = end[i];
                if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != tail[i]) return false;
            }
            return true;
        }
    }
    std::u32string folded = FoldedCharacters(name);
    if (pattern.withoutExtension && folded.find(U'.') != std::u32string::npos) return false;
    if (Glob(folded, pattern.text, pattern.text.size())) return true;
    return pattern.optionalExtension && Glob(folded, pattern.text, pattern.text.size() - 2);
}

struct Search {
    DIR* dir = nullptr;
    Pattern pattern;
    bool root = false;                      // a drive's root lists neither "." nor ".."
    std::vector<std::string> virtualNames;  // entries that are mount points of virtual file systems
};

std::mutex liveMutex;
std::set<Search*> liveSearches;

bool IsLive(HANDLE handle) {
    std::lock_guard lock(liveMutex);
    return liveSearches.contains(static_cast<Search*>(handle));
}

// `name` is the entry's name on disk and `shown` the same name as it reads in a Windows path.
void Fill(const Search& search, const char* name, std::string_view shown, const struct stat& status, bool dangling,
          WIN32_FIND_DATAA* data) {
    std::memset(data, 0, sizeof *data);
    bool isVirtual = std::find(search.virtualNames.begin(), search.virtualNames.end(), name) !=
                     search.virtualNames.end();
    data->dwFileAttributes = AttributesOf(name, status, isVirtual) | (dangling ? FILE_ATTRIBUTE_SYSTEM : 0);
    data->ftLastWriteTime = FileTimeOf(status.st_mtim);
    data->ftLastAccessTime = FileTimeOf(status.st_atim);
    data->ftCreationTime = FileTimeOf(status.st_ctim);
    if (S_ISREG(status.st_mode)) {
        auto size = static_cast<uint64_t>(status.st_size);
        data->nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    shown.copy(data->cFileName, MAX_PATH - 1);
}

bool Next(Search& search, WIN32_FIND_DATAA* data) {
    while (dirent* entry = readdir(search.dir)) {
        std::string_view name = entry->d_name;
        if (search.root && (name == "." || name == "..")) continue;
        std::string carried;
        if (NeedsCarrying(name)) name = carried = WindowsNameOf(name);
        // A name too long for a Windows path is left out: no program could open it by that path.
        if (name.size() >= MAX_PATH || !Matches(search.pattern, name)) continue;
        struct stat status;
        bool dangling = false;
        // Only metadata is read: a FIFO or a device in the folder is never opened.
        if (fstatat(dirfd(search.dir), entry->d_name, &status, 0) != 0) {
            if (fstatat(dirfd(search.dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
            dangling = true;
        }
        Fill(search, entry->d_name, name, status, dangling, data);
        return true;
    }
    return false;
}

}  // namespace

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    if (!lpFileName || !lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string_view request = lpFileName;
    size_t cut = request.find_last_of("\\/");
    if (cut == std::string_view::npos && request.size() >= 2 && request[1] == ':') cut = 1;
    std::string folder(cut == std::string_view::npos ? "." : request.substr(0, cut + 1));
    std::string_view name = cut == std::string_view::npos ? request : request.substr(cut + 1);
    if (name.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    std::string posix;
    DWORD error = 0;
    if (!ResolvePath(folder, posix, error)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_unique<Search>();
    search->dir = opendir(posix.c_str());
    if (!search->dir) {
        int cause = errno;
        SetLastError(cause == ENOENT || cause == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(cause));
        return INVALID_HANDLE_VALUE;
    }
    search->pattern = Compile(name);
    auto volume = VolumeOfPath(posix);
    search->root = volume && volume->mountPoint == posix;
    const std::string prefix = posix == "/" ? "/" : posix + "/";
    auto mounts = Mounts();
    for (const std::string& mountPoint : mounts->virtualMountPoints)
        if (mountPoint.starts_with(prefix) && mountPoint.find('/', prefix.size()) == std::string::npos)
            search->virtualNames.push_back(mountPoint.substr(prefix.size()));
    if (!Next(*search, lpFindFileData)) {
        closedir(search->dir);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Search* handle = search.release();
    std::lock_guard lock(liveMutex);
    liveSearches.insert(handle);
    return handle;
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    if (!IsLive(hFindFile) || !lpFindFileData) return Fail(ERROR_INVALID_HANDLE);
    if (!Next(*static_cast<Search*>(hFindFile), lpFindFileData)) return Fail(ERROR_NO_MORE_FILES);
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    auto* search = static_cast<Search*>(hFindFile);
    {
        std::lock_guard lock(liveMutex);
        if (!liveSearches.erase(search)) return Fail(ERROR_INVALID_HANDLE);
    }
    closedir(search->dir);
    delete search;
    return TRUE;
}

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    std::string posix;
    DWORD error = 0;
    if (!lpFileName || !ResolvePath(lpFileName, posix, error)) {
        SetLastError(lpFileName ? error : ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat status;
    bool dangling = false;
    if (stat(posix.c_str(), &status) != 0) {
        int cause = errno;
        if (lstat(posix.c_str(), &status) != 0) {
            SetLastError(cause == ENOENT ? MissingPathError(posix)
                                         : cause == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(cause));
            return INVALID_FILE_ATTRIBUTES;
        }
        dangling = true;
    }
    auto mounts = Mounts();
    const auto& virtualMounts = mounts->virtualMountPoints;
    bool isVirtual = std::find(virtualMounts.begin(), virtualMounts.end(), posix) != virtualMounts.end();
    std::string_view name = std::string_view(posix).substr(posix.find_last_of('/') + 1);
    return AttributesOf(name, status, isVirtual) | (dangling ? FILE_ATTRIBUTE_SYSTEM : 0);
}

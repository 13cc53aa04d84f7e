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
#include "platform/kernel/FolderRead.h"
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
    std::shared_ptr<FolderRead> folder;
    size_t next = 0;
    Pattern pattern;
    // Entries whose record says they are no directory are passed over without a look at them, as a file system
    // that filters directories does on Windows; a caller still checks each entry's attributes.
    bool directoriesOnly = false;
};

std::mutex liveMutex;
std::set<Search*> liveSearches;

bool IsLive(HANDLE handle) {
    std::lock_guard lock(liveMutex);
    return liveSearches.contains(static_cast<Search*>(handle));
}

// The next entry the search returns; false at the end, and with ERROR_NOT_READY in `error` when the folder's file
// system stopped answering on the way.
bool Next(Search& search, WIN32_FIND_DATAA* data, DWORD& error) {
    FolderRead& folder = *search.folder;
    while (search.next < folder.Count()) {
        const size_t index = search.next++;
        const FolderEntry& entry = folder.At(index);
        std::string_view name = entry.name;
        if (folder.Root() && (name == "." || name == "..")) continue;
        if (search.directoriesOnly && !entry.mountPoint && entry.kind != DT_DIR && entry.kind != DT_LNK &&
            entry.kind != DT_UNKNOWN)
            continue;
        std::string carried;
        if (entry.carried) name = carried = WindowsNameOf(name);
        // A name too long for a Windows path is left out: no program could open it by that path.
        if (name.size() >= MAX_PATH || !Matches(search.pattern, name)) continue;
        if (!folder.LookedUp(index)) {
            error = ERROR_NOT_READY;
            return false;
        }
        if (entry.gone) continue;
        std::memset(data, 0, sizeof *data);
        data->dwFileAttributes = entry.attributes;
        data->ftLastWriteTime = entry.written;
        data->ftLastAccessTime = entry.accessed;
        data->ftCreationTime = entry.created;
        data->nFileSizeLow = static_cast<DWORD>(entry.size & 0xFFFFFFFF);
        data->nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
        name.copy(data->cFileName, MAX_PATH - 1);
        return true;
    }
    return false;
}

}  // namespace

HANDLE WINAPI FindFirstFileExA(LPCSTR lpFileName, FINDEX_INFO_LEVELS fInfoLevelId, LPVOID lpFindFileData,
                               FINDEX_SEARCH_OPS fSearchOp, LPVOID lpSearchFilter, DWORD dwAdditionalFlags) {
    // Searches here ignore letter case, and the short names of the basic level are never given anyway: a
    // case-sensitive search is refused rather than answered as another.
    auto* data = static_cast<LPWIN32_FIND_DATAA>(lpFindFileData);
    if ((fInfoLevelId != FindExInfoStandard && fInfoLevelId != FindExInfoBasic) || lpSearchFilter ||
        (fSearchOp != FindExSearchNameMatch && fSearchOp != FindExSearchLimitToDirectories) ||
        (dwAdditionalFlags & ~FIND_FIRST_EX_LARGE_FETCH)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (!lpFileName || !data) {
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
    search->folder = ReadFolder(posix);
    if (!search->folder) {
        int cause = errno;
        SetLastError(cause == ENOENT || cause == ENOTDIR ? ERROR_PATH_NOT_FOUND
                     : cause == ETIMEDOUT                ? ERROR_NOT_READY
                                                         : ErrorFromErrno(cause));
        return INVALID_HANDLE_VALUE;
    }
    search->pattern = Compile(name);
    search->directoriesOnly = fSearchOp == FindExSearchLimitToDirectories;
    error = ERROR_FILE_NOT_FOUND;
    if (!Next(*search, data, error)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    Search* handle = search.release();
    std::lock_guard lock(liveMutex);
    liveSearches.insert(handle);
    return handle;
}

HANDLE WINAPI FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
    return FindFirstFileExA(lpFileName, FindExInfoStandard, lpFindFileData, FindExSearchNameMatch, nullptr, 0);
}

BOOL WINAPI FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
    if (!IsLive(hFindFile) || !lpFindFileData) return Fail(ERROR_INVALID_HANDLE);
    DWORD error = ERROR_NO_MORE_FILES;
    if (!Next(*static_cast<Search*>(hFindFile), lpFindFileData, error)) return Fail(error);
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    auto* search = static_cast<Search*>(hFindFile);
    {
        std::lock_guard lock(liveMutex);
        if (!liveSearches.erase(search)) return Fail(ERROR_INVALID_HANDLE);
    }
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
    std::optional<PathStatus> looked = StatPatiently(posix);
    if (!looked) {
        SetLastError(ERROR_NOT_READY);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (const int cause = looked->error) {
        SetLastError(cause == ENOENT ? MissingPathError(posix)
                                     : cause == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(cause));
        return INVALID_FILE_ATTRIBUTES;
    }
    auto mounts = Mounts();
    const auto& virtualMounts = mounts->virtualMountPoints;
    bool isVirtual = std::find(virtualMounts.begin(), virtualMounts.end(), posix) != virtualMounts.end();
    std::string_view name = std::string_view(posix).substr(posix.find_last_of('/') + 1);
    return AttributesOf(name, looked->status, isVirtual) | (looked->dangling ? FILE_ATTRIBUTE_SYSTEM : 0);
}

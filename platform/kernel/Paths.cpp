#include "platform/kernel/Paths.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <fstream>
#include <map>
#include <optional>
#include <mutex>
#include <vector>

#include "platform/kernel/Errors.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Locale.h"
#include "platform/kernel/Names.h"
#include "platform/kernel/Volumes.h"

namespace platform::kernel {
namespace {

struct DirectoryState {
    std::mutex mutex;
    std::map<char, std::string> perDrive;  // the last current directory on each drive, as Windows remembers it
    std::string last;                      // the last current directory read or set successfully
};

DirectoryState& Directories() {
    static DirectoryState state;
    return state;
}

std::vector<std::string> SplitComponents(std::string_view text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) parts.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// "." vanishes and ".." climbs, never above the root: Windows resolves both lexically before the file system
// sees the path.
void AppendNormalised(std::vector<std::string>& components, std::string_view rest) {
    for (std::string& part : SplitComponents(rest, '\\')) {
        if (part == ".") continue;
        if (part == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(std::move(part));
    }
}

bool IsDirectory(const std::string& posixPath) {
    std::optional<PathStatus> looked = StatPatiently(posixPath);
    return looked && !looked->error && !looked->dangling && S_ISDIR(looked->status.st_mode);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* entry = getpwuid(getuid())) return entry->pw_dir;
    return "/";
}

// The XDG user folder named by key ("DOCUMENTS", "MUSIC"), as the desktop's own file dialogs find it.
std::string UserFolder(std::string_view key, std::string_view fallback) {
    const std::string home = HomeFolder();
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::string config = configHome && *configHome ? configHome : home + "/.config";
    std::ifstream in(config + "/user-dirs.dirs");
    const std::string prefix = "XDG_" + std::string(key) + "_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(prefix) || !line.ends_with('"')) continue;
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.starts_with("$HOME")) value = home + value.substr(5);
        if (value.starts_with('/')) return value;
    }
    return home + "/" + std::string(fallback);
}

// A documents folder that does not exist falls back to the home folder, as the desktop's own dialogs do, so
// "My Documents" always names a real folder.
std::string DocumentsFolder() {
    std::string documents = UserFolder("DOCUMENTS", "Documents");
    return IsDirectory(documents) ? documents : HomeFolder();
}

std::string MusicFolder() { return UserFolder("MUSIC", "Music"); }

std::string JoinPosix(const std::string& mountPoint, const std::vector<std::string>& components) {
    std::string path = mountPoint == "/" ? "" : mountPoint;
    for (const std::string& part : components) path += "/" + part;
    return path.empty() ? "/" : path;
}

bool IsName(const std::string& part, std::string_view name) {
    return part.size() == name.size() && strncasecmp(part.c_str(), name.data(), name.size()) == 0;
}

// "My Documents" at the root of C: is the documents folder and "My Music" inside the documents folder is the
// music folder; a real entry of either name wins. Matching "My Music" inside the real documents folder lets a
// path be walked one folder at a time, as the folder browser does.
void ResolveShellFolders(std::vector<std::string>& components) {
    bool documentsAtRoot = !components.empty() && IsName(components[0], "My Documents");
    bool anyMusic = std::any_of(components.begin(), components.end(),
                                [](const std::string& part) { return IsName(part, "My Music"); });
    if (!documentsAtRoot && !anyMusic) return;
    const std::string documents = DocumentsFolder();
    const std::vector<std::string> documentsParts = SplitComponents(documents, '/');
    auto replacePrefix = [&components](size_t count, const std::string& folder) {
        std::vector<std::string> resolved = SplitComponents(folder, '/');
        resolved.insert(resolved.end(), components.begin() + static_cast<std::ptrdiff_t>(count), components.end());
        components = std::move(resolved);
    };
    if (documentsAtRoot && !IsDirectory("/" + components[0])) replacePrefix(1, documents);
    size_t depth = documentsParts.size();
    if (components.size() > depth && std::equal(documentsParts.begin(), documentsParts.end(), components.begin()) &&
        IsName(components[depth], "My Music") && !IsDirectory(documents + "/" + components[depth]))
        replacePrefix(depth + 1, MusicFolder());
}

// "A:Side 1.mp3" is a drive-relative path on Windows, where no name holds a colon; on Linux it may be the name of
// an entry of the current directory, and then it is that entry.
bool NamesEntryOfCurrentDirectory(std::string_view path) {
    if (path.size() < 3 || path[1] != ':' || path[2] == '\\') return false;
    const std::string first = PosixNameOf(path.substr(0, path.find('\\')));
    struct stat status;
    return fstatat(AT_FDCWD, first.c_str(), &status, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) == 0;
}

char DriveOf(const std::string& windowsPath) {
    return windowsPath.size() >= 2 && windowsPath[1] == ':' ? windowsPath[0] : 'C';
}

// The directory the program last used on a drive, or nothing. One that has been removed since gives way to its
// nearest existing parent (the root at last), so that a folder removed from under the program never locks it out of
// the drive; a drive without its medium keeps it, and says so when it is used.
std::optional<std::string> RememberedDirectory(char letter) {
    std::string remembered;
    {
        std::lock_guard lock(Directories().mutex);
        auto found = Directories().perDrive.find(letter);
        if (found == Directories().perDrive.end()) return std::nullopt;
        remembered = found->second;
    }
    for (;;) {
        std::string posix;
        DWORD error = 0;
        if (remembered.size() <= 3 || !ResolvePath(remembered, posix, error) || IsDirectory(posix)) return remembered;
        remembered.erase(remembered.rfind('\\'));
        if (remembered.size() == 2) remembered += '\\';
    }
}

}  // namespace

bool ResolvePath(std::string_view windowsPath, std::string& posixPath, DWORD& error) {
    if (windowsPath.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    std::string path(windowsPath);
    std::replace(path.begin(), path.end(), '/', '\\');

    std::optional<Volume> volume;
    std::vector<std::string> components;
    std::string rest;
    if (path.starts_with("\\\\")) {
        auto parts = SplitComponents(path, '\\');
        if (parts.size() < 2) {
            error = ERROR_BAD_NETPATH;
            return false;
        }
        volume = FindVolumeByShare("\\\\" + parts[0] + "\\" + parts[1]);
        if (!volume) {
            error = ERROR_BAD_NETPATH;
            return false;
        }
        for (size_t i = 2; i < parts.size(); ++i) rest += "\\" + parts[i];
    } else {
        std::string current = CurrentWindowsDirectory();
        char letter = DriveOf(current);
        if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])) &&
            !NamesEntryOfCurrentDirectory(path)) {
            letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
            rest = path.substr(2);
            if (!rest.starts_with('\\')) {
                // "D:Music" is relative to the directory the program last used on D:.
                if (DriveOf(current) == letter) rest = current.substr(2) + "\\" + rest;
                else if (auto remembered = RememberedDirectory(letter)) rest = remembered->substr(2) + "\\" + rest;
            }
        } else if (path.starts_with('\\')) {
            rest = path;
        } else {
            rest = current.substr(2) + "\\" + path;
        }
        volume = FindVolume(letter);
        if (!volume) {
            // A letter kept for a volume that is away (a pulled stick) is a drive without its medium.
            error = Mounts()->absentLetters.find(letter) != std::string::npos ? ERROR_NOT_READY : ERROR_PATH_NOT_FOUND;
            return false;
        }
    }
    AppendNormalised(components, rest);
    for (std::string& part : components) part = PosixNameOf(part);
    if (!volume->ready) {
        error = ERROR_NOT_READY;
        return false;
    }
    if (volume->mountPoint == "/") ResolveShellFolders(components);
    posixPath = JoinPosix(volume->mountPoint, components);
    return true;
}

std::string WindowsPathOf(std::string_view posixPath) {
    std::optional<Volume> volume = VolumeOfPath(posixPath);
    if (!volume) return "C:\\" + WindowsNameOf(posixPath.substr(posixPath.starts_with('/') ? 1 : 0));
    std::string rest = WindowsNameOf(posixPath.substr(volume->mountPoint == "/" ? 1 : volume->mountPoint.size()));
    if (rest.starts_with('/')) rest.erase(0, 1);
    while (rest.ends_with('/')) rest.pop_back();
    std::replace(rest.begin(), rest.end(), '/', '\\');
    return std::string(1, volume->letter) + ":\\" + rest;
}

std::string CurrentWindowsDirectory() {
    DirectoryState& state = Directories();
    std::string current;
    if (char* cwd = getcwd(nullptr, 0)) {
        current = WindowsPathOf(cwd);
        std::free(cwd);
    }
    std::lock_guard lock(state.mutex);
    if (current.empty()) return state.last.empty() ? "C:\\" : state.last;
    state.last = current;
    state.perDrive[current[0]] = current;
    return current;
}

DWORD MissingPathError(const std::string& posixPath) {
    auto slash = posixPath.find_last_of('/');
    std::string parent = slash == 0 ? "/" : posixPath.substr(0, slash);
    return slash != std::string::npos && IsDirectory(parent) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

}  // namespace platform::kernel

using namespace platform::kernel;

BOOL WINAPI SetCurrentDirectoryA(LPCSTR lpPathName) {
    if (!lpPathName) return Fail(ERROR_INVALID_PARAMETER);
    std::string target = lpPathName;
    // A bare drive goes back to where the program last was on that drive, or to its root.
    if (target.size() == 2 && target[1] == ':' && std::isalpha(static_cast<unsigned char>(target[0]))) {
        char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(target[0])));
        target = RememberedDirectory(letter).value_or(std::string(1, letter) + ":\\");
    }
    std::string posix;
    DWORD error = 0;
    if (!ResolvePath(target, posix, error)) return Fail(error);
    // A change into a file system that stopped answering would hold the program for good: it is looked at first,
    // patiently, and the change made only once it has answered.
    if (OnUnreliableFileSystem(posix) && !StatPatiently(posix)) return Fail(ERROR_NOT_READY);
    if (chdir(posix.c_str()) != 0) {
        int cause = errno;
        struct stat status;
        if (cause == ENOENT) return Fail(MissingPathError(posix));
        if (cause == ENOTDIR) return Fail(stat(posix.c_str(), &status) == 0 ? ERROR_DIRECTORY : ERROR_PATH_NOT_FOUND);
        return Fail(ErrorFromErrno(cause));
    }
    CurrentWindowsDirectory();  // remembers the new directory for its drive
    return TRUE;
}

DWORD WINAPI GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
    std::string current = CurrentWindowsDirectory();
    if (!lpBuffer || nBufferLength <= current.size()) return static_cast<DWORD>(current.size() + 1);
    std::memcpy(lpBuffer, current.c_str(), current.size() + 1);
    return static_cast<DWORD>(current.size());
}

HRESULT WINAPI SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD, LPSTR pszPath) {
    if (!pszPath) return E_INVALIDARG;
    std::string posix;
    switch (csidl & ~CSIDL_FLAG_CREATE) {
        case CSIDL_APPDATA: {
            const char* configHome = std::getenv("XDG_CONFIG_HOME");
            posix = configHome && configHome[0] == '/' ? configHome : HomeFolder() + "/.config";
            break;
        }
        case CSIDL_PERSONAL: posix = DocumentsFolder(); break;
        case CSIDL_MYMUSIC: posix = MusicFolder(); break;
        default: return E_INVALIDARG;
    }
    if ((csidl & CSIDL_FLAG_CREATE) && !IsDirectory(posix)) {
        std::error_code ignored;
        std::filesystem::create_directories(posix, ignored);
    }
    std::string path = WindowsPathOf(posix);
    if (path.size() >= MAX_PATH) return E_FAIL;
    std::memcpy(pszPath, path.c_str(), path.size() + 1);
    return S_OK;
}

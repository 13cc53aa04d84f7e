// The program's own module and starting other programs.

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/kernel/Errors.h"
#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/Paths.h"

namespace {

// The one module of the program; its address only has to be distinct and stable.
int programModule;

std::string FindInSearchPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + program;
        struct stat status;
        if (end > start && stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// The Linux programs that stand in for a Windows program the player starts by name.
std::vector<std::string> Substitutes(std::string_view windowsProgram) {
    auto is = [windowsProgram](std::string_view name) {
        return windowsProgram.size() == name.size() &&
               strncasecmp(windowsProgram.data(), name.data(), name.size()) == 0;
    };
    if (is("SNDVOL32.EXE") || is("SNDVOL32")) return {"pavucontrol", "pavucontrol-qt"};
    return {};
}

// The program's file name, without folder, from a command line whose first word may be quoted.
std::string_view ProgramOf(std::string_view line) {
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    std::string_view program;
    if (line.starts_with('"')) {
        line.remove_prefix(1);
        program = line.substr(0, line.find('"'));
    } else {
        program = line.substr(0, line.find(' '));
    }
    size_t folderEnd = program.find_last_of("\\/");
    return folderEnd == std::string_view::npos ? program : program.substr(folderEnd + 1);
}

// Starts the program detached (its own session, reaped at once through an intermediate child), without a shell,
// so that closing the player never takes the started program down and never leaves a zombie behind.
bool StartDetached(const std::string& executable) {
    pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        setsid();
        if (fork() == 0) {
            int null = open("/dev/null", O_RDWR);
            if (null >= 0) {
                dup2(null, STDIN_FILENO);
                dup2(null, STDOUT_FILENO);
            }
            char* const argv[] = {const_cast<char*>(executable.c_str()), nullptr};
            execv(executable.c_str(), argv);
            _exit(127);
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

}  // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (lpModuleName) {
        SetLastError(ERROR_FILE_NOT_FOUND);  // the program has no other modules
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&programModule);
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    if (hModule && hModule != GetModuleHandleA(nullptr)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::optional<std::string> executable = platform::kernel::ExecutablePath();
    if (!executable) {
        SetLastError(platform::kernel::ErrorFromErrno(errno));
        return 0;
    }
    std::string path = platform::kernel::WindowsPathOf(*executable);
    if (!lpFilename || nSize == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    // Too small a buffer gets the path cut and terminated, and the full size as the result.
    size_t copied = std::min<size_t>(path.size(), nSize - 1);
    std::memcpy(lpFilename, path.data(), copied);
    lpFilename[copied] = '\0';
    if (copied < path.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return nSize;
    }
    return static_cast<DWORD>(copied);
}

UINT WINAPI WinExec(LPCSTR lpCmdLine, UINT) {
    if (!lpCmdLine) return ERROR_FILE_NOT_FOUND;
    for (const std::string& substitute : Substitutes(ProgramOf(lpCmdLine))) {
        std::string executable = FindInSearchPath(substitute);
        if (executable.empty()) continue;
        return StartDetached(executable) ? 33 : 0;  // above 31 means started, as on Windows
    }
    return ERROR_FILE_NOT_FOUND;
}

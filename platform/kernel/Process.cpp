// The program's own module and starting other programs.

#include "platform/kernel/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <strings.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel/Errors.h"
#include "platform/kernel/ExecutablePath.h"
#include "platform/kernel/Paths.h"

extern char** environ;

namespace {

using platform::kernel::ProgramSearch;

// The one module of the program; its address only has to be distinct and stable.
int programModule;

std::optional<ProgramSearch> searchOverride;

ProgramSearch CurrentSearch() {
    if (searchOverride) return *searchOverride;
    const char* path = std::getenv("PATH");
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return {path && *path ? path : "/usr/local/bin:/usr/bin:/bin", desktop ? desktop : ""};
}

std::string FindInSearchPath(std::string_view program, const std::string& folders) {
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) end = folders.size();
        std::string candidate = folders.substr(start, end - start) + "/" + std::string(program);
        struct stat status;
        if (end > start && stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Whether the desktop calls itself `name`; it may give several names, separated by ":".
bool DesktopIs(std::string_view desktops, std::string_view name) {
    while (!desktops.empty()) {
        size_t end = std::min(desktops.find(':'), desktops.size());
        if (SameIgnoringCase(desktops.substr(0, end), name)) return true;
        desktops.remove_prefix(std::min(end + 1, desktops.size()));
    }
    return false;
}

// A program that stands in for the Windows volume control, with its argument, if any, and the desktop it belongs
// to (empty: any desktop).
struct Substitute {
    std::string_view desktop;
    std::string_view program;
    std::string_view argument;
};

// The desktop's own sound settings come first: they know its sound server and look like the rest of it. Then
// the mixers that work anywhere. Budgie also calls itself GNOME, so it comes before GNOME.
constexpr Substitute kVolumeControls[] = {
    {"Budgie", "budgie-control-center", "sound"},
    {"GNOME", "gnome-control-center", "sound"},
    {"KDE", "kcmshell6", "kcm_pulseaudio"},
    {"KDE", "kcmshell5", "kcm_pulseaudio"},
    {"X-Cinnamon", "cinnamon-settings", "sound"},
    {"MATE", "mate-volume-control", ""},
    {"LXQt", "pavucontrol-qt", ""},
    {"", "pavucontrol", ""},
    {"", "pwvucontrol", ""},
    {"", "pavucontrol-qt", ""},
};

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

bool IsVolumeControl(std::string_view program) {
    return SameIgnoringCase(program, "SNDVOL32.EXE") || SameIgnoringCase(program, "SNDVOL32");
}

// The environment the process was started with, as the kernel keeps it: whatever the process has set since
// (libraries do, and so do tests) is its own business. A desktop's start-up token was meant for our own window
// only and is left out.
std::vector<std::string> StartingEnvironment() {
    std::vector<std::string> variables;
    std::ifstream saved("/proc/self/environ", std::ios::binary);
    if (saved) {
        for (std::string variable; std::getline(saved, variable, '\0');)
            if (!variable.empty()) variables.push_back(std::move(variable));
    } else {
        for (char** variable = environ; *variable; ++variable) variables.emplace_back(*variable);
    }
    std::erase_if(variables, [](const std::string& variable) {
        return variable.starts_with("DESKTOP_STARTUP_ID=") || variable.starts_with("XDG_ACTIVATION_TOKEN=");
    });
    return variables;
}

std::string HomeIn(const std::vector<std::string>& environment) {
    for (const std::string& variable : environment)
        if (variable.starts_with("HOME=/")) return variable.substr(5);
    return "/";
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

constexpr rlim_t kMostDescriptors = 65536;  // an unlimited limit would take minutes to go through

// Everything the started program needs, made before the fork: between fork and exec a child of a process with
// threads may only make async-signal-safe calls.
struct Launch {
    const char* path;
    char* const* argv;
    char* const* envp;
    const char* folder;
    int highestDescriptor;  // for kernels without close_range
    int report;  // takes exec's errno when exec fails
};

[[noreturn]] void ExecClean(const Launch& launch) {
    // Every signal to its default action while all are blocked, then none blocked: exec keeps both the mask and
    // the ignored signals, and the session watch blocks SIGTERM and SIGHUP in every thread of ours.
    sigset_t signals;
    sigfillset(&signals);
    sigprocmask(SIG_SETMASK, &signals, nullptr);
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    // SIGKILL, SIGSTOP and the C library's own signals refuse, harmlessly.
    for (int number = 1; number < NSIG; ++number) sigaction(number, &byDefault, nullptr);
    int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, STDIN_FILENO);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    // None of our descriptors (the display connection, open media files) goes along.
    if (close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0)
        for (int fd = 3; fd <= launch.highestDescriptor; ++fd) fcntl(fd, F_SETFD, FD_CLOEXEC);
    // Not the music folder we happen to be in, which would keep a removable drive from being unmounted.
    if (chdir(launch.folder) != 0) {
        [[maybe_unused]] int root = chdir("/");
    }
    sigemptyset(&signals);
    sigprocmask(SIG_SETMASK, &signals, nullptr);
    execve(launch.path, launch.argv, launch.envp);
    int error = errno;
    [[maybe_unused]] ssize_t written = write(launch.report, &error, sizeof error);
    _exit(127);
}

// Starts the program detached: in a session of its own, through an intermediate child that ends at once, so that
// it is never our child to reap, gets no hang-up from our terminal and goes on when we end. It starts clean (see
// ExecClean) with the environment we were started with, in the home folder, without a shell. Returns 0 once it
// runs, else the errno of the step that failed.
int StartDetached(const std::string& executable, std::string_view argument) {
    std::vector<std::string> arguments{executable};
    if (!argument.empty()) arguments.emplace_back(argument);
    std::vector<std::string> environment = StartingEnvironment();
    const std::string folder = HomeIn(environment);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    rlimit descriptors{};
    getrlimit(RLIMIT_NOFILE, &descriptors);
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return errno;
    const Launch launch{executable.c_str(),
                        argv.data(),
                        envp.data(),
                        folder.c_str(),
                        static_cast<int>(std::min<rlim_t>(descriptors.rlim_cur, kMostDescriptors)),
                        report[1]};
    pid_t child = fork();
    if (child < 0) {
        int error = errno;
        close(report[0]);
        close(report[1]);
        return error;
    }
    if (child == 0) {
        setsid();
        pid_t grandchild = fork();
        if (grandchild == 0) ExecClean(launch);
        if (grandchild < 0) {
            int error = errno;
            [[maybe_unused]] ssize_t written = write(report[1], &error, sizeof error);
        }
        _exit(0);
    }
    close(report[1]);
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes without a word when exec succeeds.
    int error = 0;
    ssize_t got;
    while ((got = read(report[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace

namespace platform::kernel {

void SetProgramSearch(std::optional<ProgramSearch> search) { searchOverride = std::move(search); }

}  // namespace platform::kernel

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
    if (!lpCmdLine || !IsVolumeControl(ProgramOf(lpCmdLine))) return ERROR_FILE_NOT_FOUND;
    const ProgramSearch search = CurrentSearch();
    for (const Substitute& substitute : kVolumeControls) {
        if (!substitute.desktop.empty() && !DesktopIs(search.desktop, substitute.desktop)) continue;
        std::string executable = FindInSearchPath(substitute.program, search.folders);
        if (executable.empty()) continue;
        int error = StartDetached(executable, substitute.argument);
        if (error == 0) return 33;  // above 31 means started, as on Windows
        if (error == EAGAIN || error == ENOMEM || error == EMFILE || error == ENFILE) return 0;  // out of resources
        // One that cannot be run (a broken installation) makes way for the next.
    }
    return ERROR_FILE_NOT_FOUND;
}

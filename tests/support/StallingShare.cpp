#include "tests/support/StallingShare.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <string>

extern char** environ;

StallingShare::StallingShare(const char* program, const std::filesystem::path& mountPoint)
    : mountPoint_(mountPoint) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string path = mountPoint.string();
    std::string name = program;
    char* arguments[] = {name.data(), path.data(), nullptr};
    if (posix_spawn(&pid_, program, &actions, nullptr, arguments, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // "mounted", once the kernel has the file system in place.
    pollfd ready{out[0], POLLIN, 0};
    char said[16] = {};
    mounted_ = pid_ > 0 && poll(&ready, 1, 10000) > 0 && read(out[0], said, sizeof said - 1) > 0 &&
               std::string(said).starts_with("mounted");
    close(out[0]);
}

StallingShare::~StallingShare() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    umount2(mountPoint_.c_str(), MNT_DETACH);
}

void StallingShare::Stall() const { kill(pid_, SIGUSR1); }

bool EndsInTime(std::function<void()> call, std::unique_ptr<StallingShare>& share) {
    constexpr auto kLimit = std::chrono::seconds(10);
    auto done = std::async(std::launch::async, std::move(call));
    if (done.wait_for(kLimit) == std::future_status::ready) return true;
    share.reset();
    return false;
}

#include "platform/kernel/ExecutablePath.h"

#include <climits>
#include <mutex>

#include <unistd.h>

namespace platform::kernel {
namespace {

std::mutex mutex;
std::optional<std::string> standIn;

}  // namespace

std::optional<std::string> ExecutablePath() {
    {
        std::lock_guard lock(mutex);
        if (standIn) return standIn;
    }
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length < 0) return std::nullopt;
    return std::string(buffer, static_cast<size_t>(length));
}

void SetExecutablePath(std::optional<std::string> posixPath) {
    std::lock_guard lock(mutex);
    standIn = std::move(posixPath);
}

}  // namespace platform::kernel

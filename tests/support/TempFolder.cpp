#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "platform/kernel/Paths.h"

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvo-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    path_ = std::filesystem::canonical(pattern);
}

TempFolder::~TempFolder() {
    // Tests take permissions away; give them back so that everything can be removed.
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (!it->is_symlink(ignored)) chmod(it->path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::WindowsPath(std::string_view name) const {
    std::string path = platform::kernel::WindowsPathOf(path_.string());
    if (name.empty()) return path;
    // The name is a Windows path relative to the folder: either separator separates.
    std::string relative(name);
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return path + "\\" + relative;
}

std::filesystem::path TempFolder::Write(std::string_view name, std::string_view content) const {
    std::filesystem::path full = path_ / name;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary).write(content.data(), static_cast<std::streamsize>(content.size()));
    return full;
}

std::filesystem::path TempFolder::MakeFolder(std::string_view name) const {
    std::filesystem::path full = path_ / name;
    std::filesystem::create_directories(full);
    return full;
}

std::string TempFolder::Read(std::string_view name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int RunWithoutPrivileges(int (*body)(const std::string& argument), const std::string& argument,
                         const std::vector<gid_t>& groups) {
    pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        constexpr uid_t kNobody = 65534;  // the unprivileged account Debian reserves
        if (geteuid() == 0 &&
            (setgroups(groups.size(), groups.data()) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(255);
        _exit(body(argument) & 0xFF);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

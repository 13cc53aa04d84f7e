#pragma once
// A folder of its own for one test, removed with everything in it when the test ends.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder, or a name inside it, in the Windows form the program uses ("C:\tmp\korvo-…\name"). The name is
    // in Windows form itself: "\" and "/" separate folders.
    std::string WindowsPath(std::string_view name = {}) const;

    // Writes a file (creating its folders) and returns its POSIX path.
    std::filesystem::path Write(std::string_view name, std::string_view content) const;
    std::filesystem::path MakeFolder(std::string_view name) const;
    std::string Read(std::string_view name) const;

  private:
    std::filesystem::path path_;
};

// Puts the process's current directory back when a test that changes it ends.
class CurrentDirectoryGuard {
  public:
    CurrentDirectoryGuard() : saved_(std::filesystem::current_path()) {}
    ~CurrentDirectoryGuard() {
        std::error_code ignored;
        std::filesystem::current_path(saved_, ignored);
    }

  private:
    std::filesystem::path saved_;
};

// Runs body in a child process that has given up the superuser's rights (as user and group "nobody" when the
// tests run as root, a member of `groups` too), so that permission checks can be tested under CI's root account.
// Returns body's result, or -1 when the child could not be started or did not end normally. The body must not use
// gtest assertions.
int RunWithoutPrivileges(int (*body)(const std::string& argument), const std::string& argument,
                         const std::vector<gid_t>& groups = {});

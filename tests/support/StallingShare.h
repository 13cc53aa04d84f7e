#pragma once
// A file system that stops answering, as a network share does when its server goes away: the FUSE file system of the
// tests' own (its program given), mounted on a folder and then told to stall. Killed with this object, it leaves the
// kernel to fail whatever still waits for it.

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>

class StallingShare {
  public:
    StallingShare(const char* program, const std::filesystem::path& mountPoint);
    ~StallingShare();
    StallingShare(const StallingShare&) = delete;
    StallingShare& operator=(const StallingShare&) = delete;

    bool Mounted() const { return mounted_; }
    void Stall() const;

  private:
    std::filesystem::path mountPoint_;
    pid_t pid_ = -1;
    bool mounted_ = false;
};

// Runs the call on a thread of its own, so that one that hangs on the share fails the test rather than holding the
// suite: after a limit far beyond any give-up of the program's, the share is killed (the kernel then lets the thread
// go) and the answer is false.
bool EndsInTime(std::function<void()> call, std::unique_ptr<StallingShare>& share);

// A file system that answers until it is told to stop, as a network share does when its server goes away. Mounted
// at the folder given, it holds a folder "Music" with one file "song.mp3"; it says "mounted" on its output once the
// kernel has it in place, and after SIGUSR1 it answers nothing more, however long it is asked, until it is killed
// (the kernel then fails what waited with an error). Nothing is cached by the kernel, so every look reaches it.
//   korvo_stalling_share <mount point>

#define FUSE_USE_VERSION 31
#include <fuse.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr std::string_view kSong = "/Music/song.mp3";
constexpr char kContent[] = "ID3";
std::atomic<bool> stalled{false};

void StallWhenTold() {
    while (stalled.load()) pause();
}

int GetAttributes(const char* path, struct stat* status, fuse_file_info*) {
    StallWhenTold();
    std::memset(status, 0, sizeof *status);
    const std::string_view name = path;
    if (name == "/" || name == "/Music") {
        status->st_mode = S_IFDIR | 0755;
        status->st_nlink = 2;
    } else if (name == kSong) {
        status->st_mode = S_IFREG | 0644;
        status->st_nlink = 1;
        status->st_size = sizeof kContent - 1;
    } else {
        return -ENOENT;
    }
    return 0;
}

int ReadFolder(const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags) {
    StallWhenTold();
    const std::string_view name = path;
    if (name != "/" && name != "/Music") return -ENOENT;
    fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    fill(buffer, name == "/" ? "Music" : "song.mp3", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
    return 0;
}

int Open(const char* path, fuse_file_info*) {
    StallWhenTold();
    return std::string_view(path) == kSong ? 0 : -ENOENT;
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info*) {
    StallWhenTold();
    const size_t length = sizeof kContent - 1;
    if (static_cast<size_t>(offset) >= length) return 0;
    const size_t count = std::min(size, length - static_cast<size_t>(offset));
    std::memcpy(buffer, kContent + offset, count);
    return static_cast<int>(count);
}

void* Start(fuse_conn_info*, fuse_config* config) {
    config->attr_timeout = 0;
    config->entry_timeout = 0;
    config->negative_timeout = 0;
    std::printf("mounted\n");
    std::fflush(stdout);
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    signal(SIGUSR1, [](int) { stalled.store(true); });
    fuse_operations operations{};
    operations.getattr = GetAttributes;
    operations.readdir = ReadFolder;
    operations.open = Open;
    operations.read = Read;
    operations.init = Start;
    char program[] = "korvo_stalling_share", foreground[] = "-f", options[] = "-o", allow[] = "default_permissions";
    char* arguments[] = {program, foreground, options, allow, argv[1], nullptr};
    return fuse_main(5, arguments, &operations, nullptr);
}

// GetPrivateProfileStringA and WritePrivateProfileStringA: the file side of the profile functions. Nothing is
// cached; every call reads the file, and a write replaces it whole through a temporary file in the same folder, so
// that a crash or a full disk leaves either the old file or the new one, never a mixture. The one exception is a
// folder where no temporary file can be made, where the file is rewritten in place (OverwriteFile says how).

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include "platform/kernel/Errors.h"
#include "platform/kernel/Files.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/ProfileEncoding.h"
#include "platform/kernel/ProfileText.h"

namespace platform::kernel {
namespace {

// A settings file is a few hundred bytes. Anything beyond this is not one (or is /dev/zero under a profile's name)
// and must neither hang the program nor exhaust its memory.
constexpr size_t kLargestProfile = 16 * 1024 * 1024;
constexpr int kMostLinks = 40;  // as many symbolic links as the kernel follows in one path

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now, so that a failing close (a network file system's late write error) can be reported.
    bool Close() {
        int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

enum class Load { Loaded, Missing, Failed };

struct LoadedFile {
    std::string bytes;
    struct stat status {};
    DWORD error = ERROR_SUCCESS;
};

// Reads at most kLargestProfile bytes of a regular file. Devices, FIFOs and folders are refused: O_NONBLOCK keeps the
// open of a FIFO from waiting for a writer. `whole` asks for the whole file, and one larger than the limit fails.
Load LoadFile(const std::string& path, bool whole, LoadedFile& file) {
    Descriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0) {
        int cause = errno;
        file.error = ErrorFromErrno(cause);
        return cause == ENOENT ? Load::Missing : Load::Failed;
    }
    if (fstat(fd.Get(), &file.status) != 0) {
        file.error = ErrorFromErrno(errno);
        return Load::Failed;
    }
    if (!S_ISREG(file.status.st_mode)) {
        file.error = ERROR_ACCESS_DENIED;
        return Load::Failed;
    }
    size_t expected = static_cast<size_t>(std::max<off_t>(file.status.st_size, 0));
    file.bytes.resize(std::min(expected, kLargestProfile) + 1);  // one more byte to see a file that grew
    size_t used = 0;
    for (;;) {
        if (used == file.bytes.size()) {
            if (used > kLargestProfile) break;
            file.bytes.resize(std::min(used * 2, kLargestProfile + 1));
        }
        ssize_t count = read(fd.Get(), file.bytes.data() + used, file.bytes.size() - used);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) {
            file.error = ErrorFromErrno(errno);
            return Load::Failed;
        }
        if (count == 0) break;
        used += static_cast<size_t>(count);
    }
    if (used > kLargestProfile) {
        // What lies beyond the limit is as good as absent for a read; a write would lose it, so it refuses.
        if (whole) {
            file.error = ERROR_ACCESS_DENIED;
            return Load::Failed;
        }
        used = kLargestProfile;
    }
    file.bytes.resize(used);
    return Load::Loaded;
}

// The file that a symbolic link stands for, so that a write replaces the link's target and the link survives.
// A dangling link names the file to create.
bool FollowLinks(std::string& path, DWORD& error) {
    for (int hops = 0;; ++hops) {
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
        if (hops == kMostLinks) {
            error = ErrorFromErrno(ELOOP);
            return false;
        }
        std::string target(PATH_MAX, '\0');
        ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<size_t>(length) == target.size()) {
            error = ErrorFromErrno(length < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        target.resize(static_cast<size_t>(length));
        if (target.starts_with('/')) {
            path = target;
        } else {
            size_t slash = path.rfind('/');
            path = slash == std::string::npos ? target : path.substr(0, slash + 1) + target;
        }
    }
}

// The permission bits a newly created file gets. Read rather than set with umask(), which would change it for a
// moment for every thread of the process.
mode_t NewFileMode() {
    mode_t mask = 022;
    if (FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                break;
            }
        }
        std::fclose(status);
    }
    return 0666 & ~mask;
}

// For steps whose failure leaves nothing wrong behind.
void IgnoreFailure(int) {}

// Writes from the start of the file, wherever an earlier write that failed half-way left the file offset.
bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t count = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        done += static_cast<size_t>(count);
    }
    return true;
}

// The fallback for a settings file that the user may write in a folder that the user may not, where no temporary
// file can be made: the file is rewritten in place, which cannot be atomic. It is emptied before it is written, so
// that a crash half-way leaves a shorter file, whose missing keys read as their defaults, rather than new lines
// mixed with the ends of old ones; and a write that fails puts the old bytes back, in room the file has just freed.
BOOL OverwriteFile(const std::string& path, const std::string& bytes, const LoadedFile& old) {
    Descriptor fd(open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0) return Fail(ErrorFromErrno(errno));
    struct stat status;
    if (fstat(fd.Get(), &status) != 0) return Fail(ErrorFromErrno(errno));
    // Another program has put another file in its place since it was read, which the old bytes do not belong to.
    if (status.st_dev != old.status.st_dev || status.st_ino != old.status.st_ino) return Fail(ERROR_SHARING_VIOLATION);

    int failure = 0;
    if (ftruncate(fd.Get(), 0) != 0 || !WriteAll(fd.Get(), bytes) || fsync(fd.Get()) != 0) failure = errno;
    if (failure) {
        if (ftruncate(fd.Get(), 0) == 0 && WriteAll(fd.Get(), old.bytes)) IgnoreFailure(fsync(fd.Get()));
        return Fail(ErrorFromErrno(failure));
    }
    if (!fd.Close()) return Fail(ErrorFromErrno(errno));
    return TRUE;
}

// Puts the new bytes in place of the file at `path`: a temporary file beside it, flushed to the disk, then renamed
// over it. The old file is untouched until the rename, and on any failure the temporary file is removed.
BOOL ReplaceFile(const std::string& path, const std::string& bytes, const LoadedFile* old) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Hidden and named after the file, so that a leftover from a power cut is not listed and says whose it was.
    std::string temporary = folder + "/." + name.substr(0, 200) + ".XXXXXX";
    Descriptor fd(mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0) {
        int cause = errno;
        if (old && (cause == EACCES || cause == EPERM || cause == EROFS)) return OverwriteFile(path, bytes, *old);
        return Fail(cause == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(cause));
    }

    int failure = 0;
    if (!WriteAll(fd.Get(), bytes)) failure = errno;
    if (!failure) {
        // Permissions and owner follow the old file. Both are best efforts: a FAT volume refuses them and still
        // takes the file, and only the superuser can give a file away.
        if (old) IgnoreFailure(fchown(fd.Get(), old->status.st_uid, old->status.st_gid));
        IgnoreFailure(fchmod(fd.Get(), old ? (old->status.st_mode & 07777) : NewFileMode()));
        if (fsync(fd.Get()) != 0) failure = errno;
    }
    if (!fd.Close() && !failure) failure = errno;
    if (!failure && rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
    if (failure) {
        unlink(temporary.c_str());
        return Fail(ErrorFromErrno(failure));
    }
    // The rename itself reaches the disk with the folder.
    Descriptor folderFd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.Get() >= 0) IgnoreFailure(fsync(folderFd.Get()));
    return TRUE;
}

}  // namespace
}  // namespace platform::kernel

using namespace platform::kernel;

DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                                      DWORD nSize, LPCSTR lpFileName) {
    // Whatever keeps the file from being read (no file, no folder, a folder or a device in its place, no
    // permission) makes it read as empty, so the caller gets its default.
    ProfileText text;
    std::string path;
    DWORD error = ERROR_SUCCESS;
    LoadedFile file;
    if (lpFileName && ResolvePath(lpFileName, path, error) && LoadFile(path, false, file) == Load::Loaded)
        text = ProfileText(DecodeProfile(file.bytes).text);
    return text.GetString(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize);
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString, LPCSTR lpFileName) {
    // Nothing is cached, so a flush has nothing to do.
    if (!lpAppName && !lpKeyName && !lpString) return TRUE;
    if (!lpFileName) return Fail(ERROR_INVALID_PARAMETER);
    if (!ProfileText::Accepts(lpAppName, lpKeyName, lpString)) return Fail(ERROR_INVALID_PARAMETER);

    std::string path;
    DWORD error = ERROR_SUCCESS;
    if (!ResolvePath(lpFileName, path, error) || !FollowLinks(path, error)) return Fail(error);
    LoadedFile file;
    Load load = LoadFile(path, true, file);
    // A file that exists but cannot be read is never overwritten: what it holds would be lost.
    if (load == Load::Failed) return Fail(file.error);

    // The old bytes stay as they were read, for OverwriteFile to put back.
    ProfileContent content = DecodeProfile(file.bytes);
    ProfileText text(std::move(content.text));
    if (text.Write(lpAppName, lpKeyName, lpString) == ProfileText::WriteResult::Unchanged) return TRUE;
    // Decided from the permission bits, so that a read-only file stays read-only for the superuser too.
    if (load == Load::Loaded && IsWriteProtected(file.status)) return Fail(ERROR_ACCESS_DENIED);
    // A file that is not valid in its own encoding would lose what could not be read; a file in UTF-16 or UTF-32
    // cannot take a name or value that is not UTF-8. Either is refused rather than written in another encoding.
    if (!content.exact) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    std::optional<std::string> bytes = EncodeProfile(text.Bytes(), content.encoding);
    if (!bytes) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    return ReplaceFile(path, *bytes, load == Load::Loaded ? &file : nullptr);
}

#pragma once
// File attributes and times as Windows reports them, computed from POSIX metadata.

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32.h"

namespace platform::kernel {

// Names starting with "." are hidden; anything that is neither a regular file nor a directory is a system entry
// (so default searches never hand a FIFO or a device to a decoder), as is a virtual file system's mount point; a
// file without write permission for this user is read-only; regular files carry the archive bit.
DWORD AttributesOf(std::string_view name, const struct stat& status, bool virtualMountPoint);

// Whether the permission bits deny this user writing. Decided from the bits alone, so that a read-only file stays
// read-only for the superuser too, as it does on Windows.
bool IsWriteProtected(const struct stat& status);

FILETIME FileTimeOf(const struct timespec& time);

// What stat says of a path, or for a link that leads nowhere what lstat says with `dangling` set; errno in `error`
// when neither can say. Asked patiently: nothing when the path's file system stopped answering.
struct PathStatus {
    int error = 0;
    bool dangling = false;
    struct stat status {};
};
std::optional<PathStatus> StatPatiently(const std::string& posixPath);

}  // namespace platform::kernel

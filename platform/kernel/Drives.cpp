// Drives and volumes: which letters exist, what kind of drive each is, labels and network share names.

#include <sys/statvfs.h>

#include <atomic>
#include <cctype>
#include <cstring>

#include "platform/kernel/Errors.h"
#include "platform/kernel/Patience.h"
#include "platform/kernel/Paths.h"
#include "platform/kernel/Volumes.h"

namespace {

using namespace platform::kernel;

std::atomic<UINT> errorMode{0};

// The volume a root path names: "C:\" (or "C:"), "\\server\share\", or the current drive for no path at all.
std::optional<Volume> VolumeOfRoot(LPCSTR root) {
    std::string path = root ? root : CurrentWindowsDirectory().substr(0, 3);
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
        if (path.size() == 2 || (path.size() == 3 && (path[2] == '\\' || path[2] == '/'))) return FindVolume(path[0]);
        return std::nullopt;
    }
    if (path.starts_with("\\\\")) {
        while (path.ends_with('\\')) path.pop_back();
        return FindVolumeByShare(path);
    }
    return std::nullopt;
}

bool CopyText(const std::string& text, LPSTR buffer, DWORD size) {
    if (!buffer) return true;
    if (text.size() >= size) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

DWORD WINAPI GetLogicalDrives() {
    DWORD bits = 0;
    auto mounts = Mounts();
    for (const Volume& volume : mounts->volumes) bits |= 1u << (volume.letter - 'A');
    return bits;
}

UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName) {
    auto volume = VolumeOfRoot(lpRootPathName);
    return volume ? volume->driveType : DRIVE_NO_ROOT_DIR;
}

BOOL WINAPI GetVolumeInformationA(LPCSTR lpRootPathName, LPSTR lpVolumeNameBuffer, DWORD nVolumeNameSize,
                                  LPDWORD lpVolumeSerialNumber, LPDWORD lpMaximumComponentLength,
                                  LPDWORD lpFileSystemFlags, LPSTR lpFileSystemNameBuffer, DWORD nFileSystemNameSize) {
    auto volume = VolumeOfRoot(lpRootPathName);
    if (!volume) return Fail(ERROR_PATH_NOT_FOUND);
    if (!volume->ready) return Fail(ERROR_NOT_READY);
    if (!CopyText(volume->label, lpVolumeNameBuffer, nVolumeNameSize) ||
        !CopyText(volume->fileSystem, lpFileSystemNameBuffer, nFileSystemNameSize))
        return Fail(ERROR_BAD_LENGTH);
    if (lpVolumeSerialNumber) *lpVolumeSerialNumber = volume->serialNumber;
    if (lpFileSystemFlags) *lpFileSystemFlags = volume->fileSystemFlags;
    if (lpMaximumComponentLength) {
        // The one detail the file system itself is asked for: a share that stopped answering is a drive that is
        // not ready.
        const std::string mountPoint = volume->mountPoint;
        std::optional<DWORD> longest = AskPatiently<DWORD>(mountPoint, [mountPoint] {
            struct statvfs info;
            return statvfs(mountPoint.c_str(), &info) == 0 && info.f_namemax ? static_cast<DWORD>(info.f_namemax)
                                                                              : DWORD{255};
        });
        if (!longest) return Fail(ERROR_NOT_READY);
        *lpMaximumComponentLength = *longest;
    }
    return TRUE;
}

// The platform never shows a prompt for a drive without its medium, so the mode only has to be remembered.
UINT WINAPI SetErrorMode(UINT uMode) { return errorMode.exchange(uMode); }

DWORD WINAPI WNetGetConnectionA(LPCSTR lpLocalName, LPSTR lpRemoteName, LPDWORD lpnLength) {
    auto result = [](DWORD code) {
        SetLastError(code);
        return code;
    };
    if (!lpLocalName || !lpnLength || std::strlen(lpLocalName) != 2 || lpLocalName[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(lpLocalName[0])))
        return result(ERROR_BAD_DEVICE);
    auto volume = FindVolume(lpLocalName[0]);
    if (!volume || volume->driveType != DRIVE_REMOTE || volume->shareName.empty()) return result(ERROR_NOT_CONNECTED);
    if (!lpRemoteName || *lpnLength <= volume->shareName.size()) {
        *lpnLength = static_cast<DWORD>(volume->shareName.size() + 1);
        return result(ERROR_MORE_DATA);
    }
    std::memcpy(lpRemoteName, volume->shareName.c_str(), volume->shareName.size() + 1);
    return result(NO_ERROR);
}

#pragma once
// Windows-form paths ("C:\home\ayumi\Music", "D:Music", "\Music", "..\x", "\\server\share\x") and the POSIX paths
// they stand for. "C:\My Documents" and "C:\My Documents\My Music" are the user's documents and music folders:
// they resolve for lookups and changes of directory, and the current directory then reads back as the real path.

#include <string>
#include <string_view>

#include "platform/win32.h"

namespace platform::kernel {

// Resolves a path as Windows would against the current directory and the per-drive current directories.
// Returns false with the Windows error code when the path cannot name a place (an unknown drive or share, a drive
// without its medium, wildcard characters in a name, an empty path).
bool ResolvePath(std::string_view windowsPath, std::string& posixPath, DWORD& error);

// The Windows form of an absolute POSIX path: the drive whose mount point is the longest prefix, then the rest.
std::string WindowsPathOf(std::string_view posixPath);

// The process's current directory in Windows form. When the directory has been removed from under the process,
// the last one it changed to.
std::string CurrentWindowsDirectory();

// The error Windows gives for a path that does not exist: "file not found" when its folder exists, else "path
// not found".
DWORD MissingPathError(const std::string& posixPath);

}  // namespace platform::kernel

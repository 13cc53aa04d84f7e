#pragma once
// One read of a folder, shared by every search of it made while one message is handled: a file list's mask of five
// patterns, and the same folder listed again by the player, read the disk once. A search sees the folder as the
// first read found it, for as long as the folder itself has not changed; the message loop lets the read go as it
// hands out the next message.

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform::kernel {

struct FolderEntry {
    std::string name;          // as on disk
    unsigned char kind = 0;    // the directory entry's DT_ value; DT_UNKNOWN where the file system gives none
    bool mountPoint = false;   // another volume is mounted here: its kind is the entry's, and nothing looks in
    bool virtualMount = false; // of a virtual file system (proc, sysfs…): a system entry
    bool carried = false;      // holds a byte that a Windows path carries in a private-use character
    // What a search has looked up of the entry, once for the read: the rest of a WIN32_FIND_DATA.
    bool lookedUp = false;
    bool gone = false;         // removed since the folder was read
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME written{}, accessed{}, created{};
};

struct FolderRead {
    FolderRead() = default;
    ~FolderRead();
    FolderRead(const FolderRead&) = delete;
    FolderRead& operator=(const FolderRead&) = delete;

    std::string posixPath;
    int descriptor = -1;  // the folder, for looking its entries up by name alone
    bool root = false;    // a drive's root, which lists neither "." nor ".."
    std::vector<FolderEntry> entries;
};

// The folder's entries in the order the disk gives them, read now or taken from an earlier read of it while the
// same message is handled. Nothing, with errno set, when the folder cannot be read.
std::shared_ptr<FolderRead> ReadFolder(const std::string& posixPath);

// Fills in the attributes, size and times of an entry, once for the read. Only an entry whose record does not
// give its kind, or whose attributes need its permissions and times, is looked at; a mount point never is.
void LookUp(const FolderRead& folder, FolderEntry& entry);

// The message loop calls this as it hands out each message: later searches read folders afresh.
void ForgetFolderReads();

}  // namespace platform::kernel

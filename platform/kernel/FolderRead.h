#pragma once
// One read of a folder, shared by every search of it made while one message is handled: a file list's mask of five
// patterns, and the same folder listed again by the player, read the disk once. A search sees the folder as the
// first read found it, for as long as the folder itself has not changed; the message loop lets the read go as it
// hands out the next message.
//
// The read runs on a thread of its own: it lists the names, and then looks the entries up in order while searches
// already take the first of them, so that the folder's metadata is read beside the program's own work. Mount
// points are never looked into, and a folder on a file system that may stop answering is given up after
// kPatience without progress.

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
    bool mountPoint = false;   // another file system is mounted here: its kind is the entry's, and nothing looks in
    bool virtualMount = false; // of a virtual file system (proc, sysfs…): a system entry
    bool carried = false;      // holds a byte that a Windows path carries in a private-use character
    // Looked up on the read's thread: the rest of a WIN32_FIND_DATA.
    bool gone = false;         // removed since the folder was listed
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME written{}, accessed{}, created{};
};

class Lister;

class FolderRead {
  public:
    explicit FolderRead(std::shared_ptr<Lister> lister);
    ~FolderRead();
    FolderRead(const FolderRead&) = delete;
    FolderRead& operator=(const FolderRead&) = delete;

    // A drive's root, which lists neither "." nor "..".
    bool Root() const;
    size_t Count() const;
    // An entry's name and kind are there at once; what it looked up is there once LookedUp(index) has said so.
    const FolderEntry& At(size_t index) const;
    // Waits until the entry has been looked up: false when its file system stopped answering first.
    bool LookedUp(size_t index) const;

  private:
    std::shared_ptr<Lister> lister_;
};

// The folder's entries in the order the disk gives them, read now or taken from an earlier read of it while the
// same message is handled. Nothing, with errno set, when the folder cannot be read; ETIMEDOUT when its file system
// stopped answering.
std::shared_ptr<FolderRead> ReadFolder(const std::string& posixPath);

// The message loop calls this as it hands out each message: later searches read folders afresh.
void ForgetFolderReads();

}  // namespace platform::kernel

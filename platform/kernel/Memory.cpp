// Movable memory blocks, as the clipboard hands them over. A block is an ordinary heap buffer behind a handle that
// is checked on every use.

#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "platform/kernel/Errors.h"

namespace {

struct Block {
    std::vector<char> bytes;
    int locks = 0;
};

std::mutex blocksMutex;
std::set<Block*> blocks;

Block* Find(HGLOBAL handle) {
    std::lock_guard lock(blocksMutex);
    auto it = blocks.find(static_cast<Block*>(handle));
    return it == blocks.end() ? nullptr : *it;
}

}  // namespace

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T dwBytes) {
    auto* block = new Block;
    block->bytes.assign(std::max<SIZE_T>(dwBytes, 1), '\0');  // zeroed whatever the flags: cheap and safer
    std::lock_guard lock(blocksMutex);
    blocks.insert(block);
    return block;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL hMem) {
    if (!hMem) return nullptr;
    {
        std::lock_guard lock(blocksMutex);
        if (!blocks.erase(static_cast<Block*>(hMem))) {
            SetLastError(ERROR_INVALID_HANDLE);
            return hMem;
        }
    }
    delete static_cast<Block*>(hMem);
    return nullptr;
}

LPVOID WINAPI GlobalLock(HGLOBAL hMem) {
    Block* block = Find(hMem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++block->locks;
    return block->bytes.data();
}

BOOL WINAPI GlobalUnlock(HGLOBAL hMem) {
    Block* block = Find(hMem);
    if (!block || block->locks == 0) return FALSE;
    return --block->locks > 0;
}

SIZE_T WINAPI GlobalSize(HGLOBAL hMem) {
    Block* block = Find(hMem);
    return block ? block->bytes.size() : 0;
}

#include "platform/controls/listbox/ListBoxLines.h"

#include <algorithm>
#include <bit>
#include <new>
#include <utility>

namespace platform::controls {

ListBoxLines::Place ListBoxLines::Locate(int index) const {
    for (const Remembered& known : remembered_)
        if (known.valid && index >= known.start && index - known.start < static_cast<int>(blocks_[known.block].size()))
            return {known.block, static_cast<size_t>(index - known.start)};
    // Down the Fenwick tree: the last block whose start is at or before the index.
    size_t block = 0;
    int rest = index;
    for (size_t step = std::bit_floor(blocks_.size()); step; step >>= 1) {
        if (block + step <= blocks_.size() && sizeTree_[block + step] <= rest) {
            block += step;
            rest -= sizeTree_[block];
        }
    }
    Remember(block, index - rest);
    return {block, static_cast<size_t>(rest)};
}

void ListBoxLines::Remember(size_t block, int start) const {
    if (!remembered_[0].valid || remembered_[0].block != block) remembered_[1] = remembered_[0];
    remembered_[0] = {block, start, true};
}

void ListBoxLines::Forget() const { remembered_[0].valid = remembered_[1].valid = false; }

// A line more or less in one block moves the start of every later block.
void ListBoxLines::ShiftRemembered(size_t changedBlock, int delta) {
    for (Remembered& known : remembered_)
        if (known.block > changedBlock) known.start += delta;
}

uint32_t ListBoxLines::SlotAt(int index) const {
    Place place = Locate(index);
    return blocks_[place.block][place.offset];
}

int ListBoxLines::BlockStart(size_t block) const {
    int start = 0;
    for (size_t i = block; i > 0; i -= i & (~i + 1)) start += sizeTree_[i];
    return start;
}

void ListBoxLines::AddToSize(size_t block, int delta) {
    for (size_t i = block + 1; i < sizeTree_.size(); i += i & (~i + 1)) sizeTree_[i] += delta;
}

void ListBoxLines::RebuildSizes() {
    Forget();
    sizeTree_.assign(blocks_.size() + 1, 0);
    for (size_t i = 1; i < sizeTree_.size(); ++i) {
        sizeTree_[i] += static_cast<int>(blocks_[i - 1].size());
        if (size_t parent = i + (i & (~i + 1)); parent < sizeTree_.size()) sizeTree_[parent] += sizeTree_[i];
    }
}

uint32_t ListBoxLines::TakeSlot(ListBoxLine&& line) {
    if (!freeSlots_.empty()) {
        uint32_t slot = freeSlots_.back();
        freeSlots_.pop_back();
        slots_[slot] = std::move(line);
        return slot;
    }
    slots_.push_back(std::move(line));
    try {
        // Room for every slot to come back, so that removing a line never needs memory.
        freeSlots_.reserve(slots_.capacity());
    } catch (...) {
        slots_.pop_back();
        throw;
    }
    return static_cast<uint32_t>(slots_.size() - 1);
}

void ListBoxLines::Insert(int index, ListBoxLine line) {
    if (blocks_.empty()) {
        std::vector<uint32_t> first;
        first.reserve(kMaxBlock + 1);
        sizeTree_.reserve(2);
        blocks_.push_back(std::move(first));
        RebuildSizes();
    }
    index = std::min(index, count_);
    Place place = index == count_ ? Place{blocks_.size() - 1, blocks_.back().size()} : Locate(index);
    Remember(place.block, index - static_cast<int>(place.offset));
    uint32_t slot = TakeSlot(std::move(line));
    std::vector<uint32_t>& block = blocks_[place.block];
    try {
        block.insert(block.begin() + static_cast<std::ptrdiff_t>(place.offset), slot);
    } catch (...) {
        slots_[slot] = {};
        freeSlots_.push_back(slot);
        throw;
    }
    ++count_;
    AddToSize(place.block, 1);
    ShiftRemembered(place.block, 1);
    if (block.size() <= kMaxBlock) return;
    try {
        std::vector<uint32_t> upper;
        upper.reserve(kMaxBlock + 1);
        upper.assign(block.begin() + kMaxBlock / 2, block.end());
        sizeTree_.reserve(blocks_.size() + 2);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(place.block) + 1, std::move(upper));
        blocks_[place.block].resize(kMaxBlock / 2);
        RebuildSizes();
    } catch (const std::bad_alloc&) {
        // The line is in; its block stays larger than usual until memory allows a split.
    }
}

void ListBoxLines::Remove(int index) {
    Place place = Locate(index);
    std::vector<uint32_t>& block = blocks_[place.block];
    uint32_t slot = block[place.offset];
    block.erase(block.begin() + static_cast<std::ptrdiff_t>(place.offset));
    slots_[slot] = {};
    freeSlots_.push_back(slot);
    --count_;
    AddToSize(place.block, -1);
    ShiftRemembered(place.block, -1);
    if (block.size() >= kMinBlock) return;
    // A block that runs low joins a neighbour that has room, so that the blocks stay few.
    size_t b = place.block;
    if (block.empty()) {
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    } else if (b + 1 < blocks_.size() && block.size() + blocks_[b + 1].size() <= kMaxBlock / 2) {
        block.insert(block.end(), blocks_[b + 1].begin(), blocks_[b + 1].end());
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1);
    } else if (b > 0 && block.size() + blocks_[b - 1].size() <= kMaxBlock / 2) {
        blocks_[b - 1].insert(blocks_[b - 1].end(), block.begin(), block.end());
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    } else {
        return;
    }
    RebuildSizes();
}

void ListBoxLines::Clear() {
    std::vector<ListBoxLine>().swap(slots_);
    std::vector<uint32_t>().swap(freeSlots_);
    std::vector<std::vector<uint32_t>>().swap(blocks_);
    sizeTree_.assign(1, 0);
    count_ = 0;
    Forget();
}

}  // namespace platform::controls

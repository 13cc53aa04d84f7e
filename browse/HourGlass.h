#pragma once
// The hourglass for a read of a folder that turns out long: the screen's cursor becomes the hourglass once the read
// has passed kHourGlassEntries entries, and is put back however the read ends.

#include <cstddef>

#include "frame/Screen.h"

class THourGlass {
  public:
    // Reading a folder with more entries than this takes long enough to show the hourglass.
    static constexpr size_t kHourGlassEntries = 100;

    THourGlass() : saved_(Screen().Cursor()) {}
    ~THourGlass() { Screen().SetCursor(saved_); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

    // The entries read so far: past kHourGlassEntries, the hourglass shows.
    void Counted(size_t entries) {
        if (shown_ || entries <= kHourGlassEntries) return;
        shown_ = true;
        Screen().SetCursor(crHourGlass);
    }

  private:
    TCursor saved_;
    bool shown_ = false;
};

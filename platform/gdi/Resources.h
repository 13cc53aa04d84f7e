#pragma once
// The program's embedded resources. The build turns every file below resources/bitmaps into an entry of a table
// (the korvo_resources library) that registers itself while the program starts; FindResourceA, LoadBitmapA and
// LoadImageA look there.

#include <cstddef>
#include <cstdint>

namespace platform::gdi {

struct EmbeddedResource {
    uint16_t type;     // the RT_ number: 2 for bitmaps
    const char* name;  // in capitals
    const unsigned char* data;
    size_t size;
};

// Adds a table that lives as long as the program. Returns true, so that a static initialiser can call it.
bool RegisterResources(const EmbeddedResource* table, size_t count);

}  // namespace platform::gdi

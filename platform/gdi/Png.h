#pragma once
// PNG images of surfaces, for screenshots: 8-bit RGB, compressed with stored deflate blocks only, which keeps the
// writer small and free of dependencies at the cost of size.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"

namespace platform::gdi {

std::vector<uint8_t> EncodePng(const Surface& surface);
// `path` is a POSIX path. False when the file cannot be written.
bool WritePng(const Surface& surface, const std::string& path);

}  // namespace platform::gdi

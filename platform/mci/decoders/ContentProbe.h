#pragma once
// Recognises a media file by its first bytes; the name's extension plays no part.

#include <cstdint>
#include <string_view>

#include "platform/mci/FileHandle.h"

namespace platform::mci {

enum class Content { Unknown, Wave, OtherSndfile, Flac, Vorbis, Opus, Midi, Mpeg };

// `head` holds the file's first bytes (64 KiB or the whole file); the file is read further when an ID3 tag
// hides what follows it.
Content ProbeContent(std::string_view head, const FileHandle& file, uint64_t fileSize);

}  // namespace platform::mci

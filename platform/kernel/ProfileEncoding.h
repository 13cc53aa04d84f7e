#pragma once
// Profile files that other programs wrote in UTF-16 or UTF-32, told by their byte order mark. The profile functions
// work on the program's UTF-8 text, so such a file is decoded for reading and encoded back, mark first, for
// writing: it stays in its one encoding, and every line that a write does not change keeps its bytes. A file
// without such a mark (UTF-8 with or without its own mark, or any other 8-bit text) is taken byte for byte.

#include <optional>
#include <string>
#include <string_view>

namespace platform::kernel {

enum class ProfileEncoding { Bytes, Utf16LittleEndian, Utf16BigEndian, Utf32LittleEndian, Utf32BigEndian };

struct ProfileContent {
    ProfileEncoding encoding = ProfileEncoding::Bytes;
    std::string text;  // UTF-8 without the mark, or the file's bytes as they are
    // False when the file is not valid in its encoding (a lone surrogate, a code point beyond Unicode, a last
    // character cut short). The text then has U+FFFD in their place, and writing it back would lose those bytes.
    bool exact = true;
};

ProfileContent DecodeProfile(std::string_view file);

// The file's bytes for this text. Nothing when a file in UTF-16 or UTF-32 is to get text that is not valid UTF-8,
// which only new names or values can bring in, as decoding always gives valid UTF-8.
std::optional<std::string> EncodeProfile(std::string_view text, ProfileEncoding encoding);

}  // namespace platform::kernel

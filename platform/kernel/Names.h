#pragma once
// Linux names in Windows paths. A Linux name may hold every byte but "/" and NUL. "? : \" * < > |" pass through as
// they are: a Windows path only reads them as wildcards in a search's pattern and a colon only as a drive prefix.
// A backslash would read as a separator and a control character cannot be typed or shown, so each of those is
// carried as the private-use character U+F000 plus its code (a backslash is U+F05C), the same mapping other Linux
// layers for Windows programs use, and turned back into the byte on the way to the file system. A Linux name that
// holds one of these private-use characters itself is read back as the byte it stands for.

#include <string>
#include <string_view>

namespace platform::kernel {

// Whether a Linux name reads differently in a Windows path.
bool NeedsCarrying(std::string_view posixName);
// A name (or a path with "/" separators) as it reads in a Windows path.
std::string WindowsNameOf(std::string_view posixName);
// The bytes a component of a Windows path stands for on disk.
std::string PosixNameOf(std::string_view windowsName);

// The character a text shows for one it holds: a carried backslash is a backslash and a carried control character
// is its visible picture (U+2400 on), since neither font nor reader shows a control character itself.
char32_t ShownCharacter(char32_t c);
// A name as a person reads it, in valid UTF-8: carried characters as ShownCharacter gives them (a control
// character itself when `keepControls`, for a reader that takes any text), and each byte that starts no valid
// character as U+FFFD.
std::string ShownText(std::string_view text, bool keepControls = false);

}  // namespace platform::kernel

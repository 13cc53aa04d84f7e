#pragma once
// The bytes of a profile (INI) file and what the profile functions do with them, in memory and without I/O, so
// that every rule of the format can be tested and fuzzed on its own.
//
// The format as we read it:
// - A line ends at LF; a CR before the LF belongs to the line end. A UTF-8 byte order mark at the start is not
//   part of the first line. Any other byte, NUL included, is an ordinary byte.
// - Blanks are space, tab and CR (a stray CR from a mixed-up editor is invisible, so it must not end up in a value).
// - A line whose first non-blank byte is ";" is a comment. One whose first non-blank byte is "[" is a section
//   header: the name lies between that "[" and the last "]" of the line (or the line's end when there is none),
//   without blanks around it; what follows the last "]" is ignored. A line with "=" whose part before the first "="
//   is not blank is a key line: the key is that part and the value the rest, both without blanks around them.
//   Every other line (blank, or text without "=") is kept but means nothing.
// - Keys before the first header belong to no section and are never found. A section with an empty name is never
//   found or listed either, since an empty name would end a zero-terminated list early.
// - Section and key names match ignoring letter case, as the locale compares them. When a file names a section or
//   a key twice, the first one counts and later ones are ignored (the lists still show them as the file has them).
// - A value in matching quotes (" or ') is read without them.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win32.h"

namespace platform::kernel {

class ProfileText {
  public:
    enum class WriteResult { Refused, Unchanged, Changed };

    ProfileText() = default;
    explicit ProfileText(std::string bytes) : bytes_(std::move(bytes)) {}

    const std::string& Bytes() const { return bytes_; }

    // GetPrivateProfileStringA over these bytes: a value or the default, all section names (app null) or all key
    // names of a section (key null), cut to the buffer as Windows cuts them. A missing file is an empty text.
    DWORD GetString(LPCSTR app, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size) const;

    // WritePrivateProfileStringA's change to these bytes: a key removal (value null), a section removal (key null)
    // or a new value. Names or values that would break the file's structure are refused and change nothing. The
    // flush form (everything null) is the caller's, as it concerns no text.
    WriteResult Write(LPCSTR app, LPCSTR key, LPCSTR value);
    // Whether Write takes these arguments, known before the file is touched.
    static bool Accepts(LPCSTR app, LPCSTR key, LPCSTR value);

    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
    // Calls visit with each name in file order until it returns false.
    void VisitSectionNames(const std::function<bool(std::string_view)>& visit) const;
    void VisitKeyNames(std::string_view section, const std::function<bool(std::string_view)>& visit) const;

    // The first section of that name gets the value: in place of the first such key's value (the rest of that line
    // kept as it is), or as a new key after the section's last non-blank line, or in a new section at the end.
    // The names must be writable.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    // Every line of that key in the first section of that name. Returns whether anything was removed.
    bool RemoveKey(std::string_view section, std::string_view key);
    // Every section of that name, from its header to the next header. Returns whether anything was removed.
    bool RemoveSection(std::string_view section);

    // Names and values that a written file reads back as written: no line breaks; no "]" in a section name; no
    // "=" in a key and no key that would read as a comment or a header; no name that is empty after trimming.
    static bool IsWritableSection(std::string_view section);
    static bool IsWritableKey(std::string_view key);
    static bool IsWritableValue(std::string_view value);

    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
    static std::string_view Trim(std::string_view text);

  private:
    enum class LineKind { Other, Blank, Comment, Section, Key };
    struct Line {
        LineKind kind = LineKind::Other;
        size_t begin = 0;
        size_t contentEnd = 0;  // where the line end (LF or CR LF) starts
        size_t end = 0;         // after the line end
        std::string_view name;  // the section's or the key's
        std::string_view value;
        size_t afterEquals = 0;
    };
    struct SectionSpan {
        size_t bodyBegin = 0;    // after the header
        size_t end = 0;          // the next header or the end of the text
        size_t lastContent = 0;  // after the last non-blank line, header included
    };

    size_t FirstLine() const;
    Line ReadLine(size_t begin) const;
    std::optional<SectionSpan> FindSection(std::string_view name) const;
    std::string_view LineEnd() const;

    std::string bytes_;
};

}  // namespace platform::kernel

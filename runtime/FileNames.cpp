#include "runtime/FileNames.h"

#include "platform/win32.h"

namespace {

// Position just after the last "\" or the drive's ":" (0 when there is neither), stepping over whole characters.
// A colon further on is part of a name, as Linux names may hold one.
size_t NameStart(std::string_view path) {
    const std::string text(path);
    const char* begin = text.c_str();
    size_t start = text.size() >= 2 && text[1] == ':' ? 2 : 0;
    for (const char* p = begin; *p; p = CharNextA(p))
        if (*p == '\\') start = static_cast<size_t>(p - begin) + 1;
    return std::min(start, path.size());
}

}  // namespace

std::string FileDrivePart(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return std::string(path.substr(0, 2));
    if (!path.starts_with("\\\\")) return {};
    // Two backslashes, the server, a backslash and the share: up to the backslash after the share.
    size_t server = path.find('\\', 2);
    if (server == std::string_view::npos) return std::string(path);
    size_t share = path.find('\\', server + 1);
    return std::string(path.substr(0, share));
}

std::string FileDirectoryPart(std::string_view path) { return std::string(path.substr(0, NameStart(path))); }

std::string FileNamePart(std::string_view path) { return std::string(path.substr(NameStart(path))); }

std::string FileExtensionPart(std::string_view path) {
    std::string_view name = path.substr(NameStart(path));
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string_view LastCharacter(std::string_view text) {
    if (text.empty()) return text;
    const std::string copy(text);
    const char* end = copy.c_str() + copy.size();
    const char* last = CharPrevA(copy.c_str(), end);
    return text.substr(static_cast<size_t>(last - copy.c_str()));
}

std::string LowerCaseFileName(std::string_view name) {
    std::string lower(name);
    CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return lower;
}

std::string UpperCaseFileName(std::string_view name) {
    std::string upper(name);
    CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}

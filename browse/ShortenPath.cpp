#include "browse/ShortenPath.h"

#include "runtime/Canvas.h"
#include "runtime/FileNames.h"

namespace {
constexpr std::string_view kEllipsis = "...\\";
}

size_t FirstSeparator(std::string_view text) {
    const std::string copy(text);
    const char* begin = copy.c_str();
    for (const char* p = begin; *p; p = CharNextA(p))
        if (*p == '\\') return static_cast<size_t>(p - begin);
    return std::string_view::npos;
}

void DropFirstDirectory(std::string& directory) {
    if (directory == "\\") {
        directory.clear();
        return;
    }
    bool rooted = directory.starts_with('\\');
    if (rooted) directory.erase(0, 1);
    // Only the mark of an earlier step goes here: a directory whose own name starts with "." is a directory.
    if (directory.starts_with(kEllipsis)) directory.erase(0, kEllipsis.size());
    size_t cut = FirstSeparator(directory);
    directory = cut == std::string::npos ? std::string() : std::string(kEllipsis) + directory.substr(cut + 1);
    if (rooted) directory.insert(0, "\\");
}

std::string ShortenPath(std::string_view path, TCanvas& canvas, int maxWidth) {
    std::string result(path);
    std::string directory = FileDirectoryPart(path);
    const std::string name = FileNamePart(path);
    std::string drive;
    if (directory.size() >= 2 && directory[1] == ':') {
        drive = directory.substr(0, 2);
        directory.erase(0, 2);
    }
    while ((!directory.empty() || !drive.empty()) && canvas.TextWidth(result) > maxWidth) {
        if (directory == "\\...\\") {
            drive.clear();
            directory = kEllipsis;
        } else if (directory.empty()) {
            drive.clear();
        } else {
            DropFirstDirectory(directory);
        }
        result = drive + directory + name;
    }
    return result;
}

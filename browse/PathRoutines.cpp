#include "browse/PathRoutines.h"

#include "platform/win32.h"
#include "runtime/Exception.h"
#include "runtime/FileNames.h"

namespace {

DWORD Attributes(std::string_view path) { return GetFileAttributesA(std::string(path).c_str()); }

bool HasWildcard(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// Puts the current directory back however SplitPath ends; a directory that has vanished meanwhile is left alone.
class RestoreCurrentDirectory {
  public:
    RestoreCurrentDirectory() : saved_(CurrentDirectory()) {}
    ~RestoreCurrentDirectory() {
        if (IsExistingDirectory(saved_)) SetCurrentDirectoryA(saved_.c_str());
    }
    const std::string& Saved() const { return saved_; }

  private:
    std::string saved_;
};

}  // namespace

std::string JoinPath(std::string_view dir, std::string_view name) {
    std::string joined(dir);
    if (LastCharacter(dir) != "\\") joined += '\\';
    return joined.append(name);
}

TSplitPath SplitPath(std::string_view text) {
    RestoreCurrentDirectory guard;
    const std::string& start = guard.Saved();
    TSplitPath result;
    result.DriveLetter = start.empty() ? 0 : start[0];
    std::string path(text);
    std::string root;
    if (path.size() >= 2 && path.front() == '[' && path.back() == ']') {
        path = path.substr(1, path.size() - 2);
    } else {
        root = FileDrivePart(path);
        if (root.empty()) root = FileDrivePart(start);
        else path.erase(0, root.size());
        result.DriveLetter = root.size() >= 2 && root[1] == ':' ? root[0] : 0;
    }

    if (IsExistingDirectory(root)) ChangeDirectory(root);
    std::string file = FileNamePart(path);
    if (path.size() == file.size() + 1) {
        path = "\\";
    } else if (path.size() > file.size()) {
        path.resize(path.size() - file.size() - 1);
    } else {
        path = CurrentDirectory().substr(FileDrivePart(CurrentDirectory()).size());
        if (path.empty()) path = "\\";
    }
    if (!path.empty()) ChangeDirectory(path);
    // A file part that is no file must be a directory, unless it is a mask ("*.mp3"); a directory whose name holds
    // a wildcard character is a directory all the same.
    if (!file.empty() && !IsExistingFile(file) && (!HasWildcard(file) || IsExistingDirectory(file))) {
        ChangeDirectory(file);
        path = path.size() == 1 ? "\\" + file : path + "\\" + file;
        file.clear();
    }
    if (!result.DriveLetter) path = root + path;
    result.Directory = std::move(path);
    result.File = std::move(file);
    return result;
}

bool IsExistingDirectory(std::string_view path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFile(std::string_view path) {
    DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CompareFileNames(std::string_view a, std::string_view b) {
    std::string lowerA = LowerCaseFileName(a);
    std::string lowerB = LowerCaseFileName(b);
    return CompareStringA(LOCALE_USER_DEFAULT, 0, lowerA.data(), static_cast<int>(lowerA.size()), lowerB.data(),
                          static_cast<int>(lowerB.size())) -
           CSTR_EQUAL;
}

bool IsCaseSensitiveVolume(std::string_view path) {
    // Only the flags: the name length would make the platform ask the file system itself.
    const std::string root = FileDrivePart(path) + "\\";
    DWORD flags = 0;
    return GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
           (flags & FILE_CASE_SENSITIVE_SEARCH);
}

void ChangeDirectory(std::string_view path) {
    if (!SetCurrentDirectoryA(std::string(path).c_str())) throw EInOutError::FromLastError();
}

std::string CurrentDirectory() {
    std::string buffer(MAX_PATH, '\0');
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length >= buffer.size()) {  // too small: the result is the size needed, terminator included
        buffer.resize(length);
        length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    buffer.resize(length < buffer.size() ? length : 0);
    return buffer;
}

#pragma once
// Path routines shared by the file list, the directory list and the drive selector, and used by the player for its
// own changes of directory. Paths are Windows-form texts in the system code page.

#include <string>
#include <string_view>

// dir followed by name, with one "\" between them unless dir already ends in one.
std::string JoinPath(std::string_view dir, std::string_view name);

struct TSplitPath {
    char DriveLetter = 0;  // 0 for a network path
    std::string Directory;  // without the drive: "\Music"
    std::string File;       // empty when the text names a directory
};

// Splits a path into drive letter, directory and file, checking on the way that the directories exist by changing
// into them; a file part that is an existing directory moves into the directory part. The process's current
// directory is the same afterwards as before. Raises EInOutError for a directory that does not exist.
TSplitPath SplitPath(std::string_view text);

bool IsExistingDirectory(std::string_view path);
// An existing entry that is not a directory.
bool IsExistingFile(std::string_view path);

// Compares two file names as the file system's users see them: letter case ignored, the locale's order.
// Negative, 0 or positive; callers only test for 0.
int CompareFileNames(std::string_view a, std::string_view b);

// Whether the volume a full path lies on searches with letter case counting; false when it cannot be asked.
bool IsCaseSensitiveVolume(std::string_view path);

// Changes the process's current directory; a bare drive ("D:") goes back to where the program last was on it.
// Raises EInOutError with the platform's error code on failure.
void ChangeDirectory(std::string_view path);

// The process's current directory as the platform reports it.
std::string CurrentDirectory();

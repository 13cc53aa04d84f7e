#pragma once
// Parts of Windows-form paths, and file names in one letter case. Separators are found character by character in
// the system code page, so a trail byte of a multi-byte character is never taken for "\".

#include <string>
#include <string_view>

// "C:" for "C:\Music\a.mp3"; "\\server\share" for "\\server\share\a.mp3"; empty otherwise.
std::string FileDrivePart(std::string_view path);
// Everything up to and including the last "\", or the drive's ":" when there is no "\" after it. A colon
// anywhere else belongs to a name.
std::string FileDirectoryPart(std::string_view path);
// Everything after the directory part.
std::string FileNamePart(std::string_view path);
// From the last "." of the name part on, dot included; empty when the name has no dot.
std::string FileExtensionPart(std::string_view path);
// The last character of a text (several bytes for a multi-byte one); empty for an empty text.
std::string_view LastCharacter(std::string_view text);

// Letter case for comparing file names: the locale's full case mapping (the code page is not a double-byte one).
std::string LowerCaseFileName(std::string_view name);
std::string UpperCaseFileName(std::string_view name);

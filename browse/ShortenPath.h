#pragma once
// Shortening a path to fit a width, for the label that shows the directory list's directory: leading directories
// give way to "...", then the drive, so C:\A\B reads C:\A\B, C:\...\B, ...\B and finally B as the width shrinks.

#include <string>
#include <string_view>

class TCanvas;

// The path, shortened until its text in the canvas's font is no wider than maxWidth, or down to its last name.
std::string ShortenPath(std::string_view path, TCanvas& canvas, int maxWidth);

// Replaces the first directory of a directory part ("\A\B\", or "\...\B\" from an earlier step) by "...";
// a part with one directory left becomes empty.
void DropFirstDirectory(std::string& directory);

// The position of the first "\" in text, stepping over whole characters; npos when there is none.
size_t FirstSeparator(std::string_view text);

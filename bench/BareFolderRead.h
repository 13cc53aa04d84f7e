#pragma once
// What any program must do at least to turn a folder into a playlist: read the names, keep those a mask of
// ";"-separated wildcard patterns matches (letter case ignored), and sort them. The benchmarks' floor.

#include <cstddef>
#include <string>

size_t BareFolderRead(const std::string& posixFolder, const std::string& mask);

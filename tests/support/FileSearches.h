#pragma once
// A whole FindFirstFileA search at once, for tests that look at what a folder lists.

#include <map>
#include <string>
#include <vector>

#include "platform/win32.h"

// Name → attributes of every entry a search returns; `error` gets the last error at its end (ERROR_NO_MORE_FILES
// after a search that found something).
std::map<std::string, DWORD> Search(const std::string& pattern, DWORD* error = nullptr);
std::vector<std::string> Names(const std::map<std::string, DWORD>& found);

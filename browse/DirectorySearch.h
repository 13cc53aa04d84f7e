#pragma once
// The directory search the folder browser lists folders with: the platform's search over a pattern, filtered by a
// requested attribute word the way Windows' own file functions filter it.

#include <functional>
#include <string>
#include <string_view>

#include "platform/win32.h"

struct TSearchEntry {
    std::string Name;  // the long name as stored, without a path
    DWORD Attributes = 0;
};

// Calls found for each entry that matches pattern, in the platform's order. An entry is skipped when it has any of
// hidden, system, volume label or directory that `requested` lacks; read-only and archive never cause skipping.
// A search that finds nothing, or whose folder or name cannot exist, ends quietly. A folder that exists but cannot
// be read raises EInOutError (access denied, a device failure), so that it is never shown as an empty folder.
// A caller that wants directories alone says so: the platform may then pass over what is plainly no directory
// without looking at it (found is still called for whatever the platform returns).
void SearchDirectory(std::string_view pattern, DWORD requested, const std::function<void(const TSearchEntry&)>& found,
                     bool directoriesOnly = false);

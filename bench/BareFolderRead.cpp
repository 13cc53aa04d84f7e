#include "bench/BareFolderRead.h"

#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

size_t BareFolderRead(const std::string& posixFolder, const std::string& mask) {
    std::vector<std::string> patterns;
    for (std::string_view rest = mask; !rest.empty();) {
        size_t cut = rest.find(';');
        patterns.emplace_back(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
    }
    dirent** entries = nullptr;
    int count = scandir(posixFolder.c_str(), &entries, nullptr, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        for (const std::string& pattern : patterns)
            if (fnmatch(pattern.c_str(), entries[i]->d_name, FNM_CASEFOLD) == 0) {
                names.emplace_back(entries[i]->d_name);
                break;
            }
        std::free(entries[i]);
    }
    std::free(entries);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
    return names.size();
}

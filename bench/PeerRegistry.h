#pragma once
// The other player's plugin registry, written so that it uses the plugins a benchmark names and no others that
// matter, and read back after its run, when it has rewritten the registry with what it really used. Entries are
// named by their whole path: an entry whose stamp is stale is rescanned but keeps its enabled flag, while one
// whose path it does not know is dropped and the plugin chosen by priority.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace peer {

struct Plugin {
    std::string kind;  // "output", "iface", …
    std::string file;  // under the plugin folder: "Output/sdlout.so"
    bool enabled;
};

inline std::filesystem::path PluginFolder() {
    for (const char* folder : {"/usr/lib/x86_64-linux-gnu/audacious", "/usr/lib/aarch64-linux-gnu/audacious",
                               "/usr/lib64/audacious", "/usr/lib/audacious", "/usr/local/lib/audacious"})
        if (std::filesystem::exists(std::filesystem::path(folder) / "Output")) return folder;
    return {};
}

inline void WriteRegistry(const std::filesystem::path& registry, const std::vector<Plugin>& plugins) {
    std::filesystem::create_directories(registry.parent_path());
    std::ofstream out(registry);
    out << "format 11\n";
    for (const Plugin& plugin : plugins)
        out << plugin.kind << ' ' << (PluginFolder() / plugin.file).string() << "\nstamp 0\nenabled "
            << (plugin.enabled ? 1 : 0) << '\n';
}

// Whether the rewritten registry has the plugin enabled.
inline bool Used(const std::filesystem::path& registry, const Plugin& plugin) {
    std::ifstream in(registry);
    const std::string entry = plugin.kind + ' ' + (PluginFolder() / plugin.file).string();
    bool inEntry = false;
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with(".so")) inEntry = line == entry;
        else if (inEntry && line == "enabled 1") return true;
    }
    return false;
}

}  // namespace peer

#include "platform/kernel/LetterMemory.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace platform::kernel {

LetterMemory::LetterMemory(std::string file) : file_(std::move(file)) {
    if (file_.empty()) return;
    // A line a volume: its letter, a tab, and what the volume is.
    std::ifstream in(file_);
    for (std::string line; std::getline(in, line);)
        if (line.size() > 2 && line[0] >= 'D' && line[0] <= 'Z' && line[1] == '\t') letters_[line.substr(2)] = line[0];
}

std::string LetterMemory::DefaultFile() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/korvo/drives";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/") + "/.local/state/korvo/drives";
}

std::optional<char> LetterMemory::LetterOf(const std::string& volume) const {
    auto found = letters_.find(volume);
    return found == letters_.end() ? std::nullopt : std::optional<char>(found->second);
}

bool LetterMemory::HeldForAnother(char letter, const std::string& volume) const {
    for (const auto& [other, held] : letters_)
        if (held == letter && other != volume) return true;
    return false;
}

void LetterMemory::Remember(const std::string& volume, char letter) {
    if (LetterOf(volume) == letter) return;
    std::erase_if(letters_, [letter](const auto& kept) { return kept.second == letter; });
    letters_[volume] = letter;
    Save();
}

void LetterMemory::Save() const {
    if (file_.empty()) return;
    // Written beside the old file and renamed over it, so that a crash never leaves half a memory; a folder that
    // cannot be made or written only means the letters are not kept for the next start.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file_).parent_path(), ignored);
    const std::string temporary = file_ + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [volume, letter] : letters_) out << letter << '\t' << volume << '\n';
        if (!out.flush()) return;
    }
    std::rename(temporary.c_str(), file_.c_str());
}

}  // namespace platform::kernel

#pragma once
// Drive letters remembered for volumes by what they are, from one start to the next, as Windows remembers a
// volume's letter: a USB stick that was E: is E: again whenever it comes back, and while it is away no other volume
// takes E:. A volume is known by its file system's UUID, else by its label and size (a share by its name). The
// memory is a file in the user's state folder; one that is missing or cannot be read is no error, only a memory
// that starts empty.

#include <map>
#include <optional>
#include <string>

namespace platform::kernel {

class LetterMemory {
  public:
    // Remembers in `file`, read now; an empty name remembers for the life of the object only.
    explicit LetterMemory(std::string file = {});

    // $XDG_STATE_HOME/korvo/drives, or ~/.local/state/korvo/drives.
    static std::string DefaultFile();

    std::optional<char> LetterOf(const std::string& volume) const;
    // Whether the letter is remembered for a volume other than `volume`.
    bool HeldForAnother(char letter, const std::string& volume) const;
    // Remembers the volume's letter (forgetting any other volume that had it), and writes the file when it changed.
    void Remember(const std::string& volume, char letter);
    const std::map<std::string, char>& Letters() const { return letters_; }

  private:
    void Save() const;

    std::string file_;
    std::map<std::string, char> letters_;  // by volume
};

}  // namespace platform::kernel

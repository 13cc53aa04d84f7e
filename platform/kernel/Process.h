#pragma once
// Starting other programs. WinExec knows one Windows program by name, the volume control, and starts the
// first installed of its Linux stand-ins instead, preferring the current desktop's own sound settings.

#include <optional>
#include <string>

namespace platform::kernel {

// Where the stand-ins are looked for: folders separated by ":" as in PATH, and the desktop's names as in
// XDG_CURRENT_DESKTOP. Both come from the environment unless a test sets its own (empty folders find nothing);
// nullopt brings the environment back.
struct ProgramSearch {
    std::string folders;
    std::string desktop;
};
void SetProgramSearch(std::optional<ProgramSearch> search);

}  // namespace platform::kernel

#pragma once
// The running program's own file, which GetModuleFileNameA reports. Tests of the whole program stand a path of
// their choosing in its place (platform/testing/FakeProgramPath.h), so that the program looks for its settings in
// a folder of the test's.

#include <optional>
#include <string>

namespace platform::kernel {

// The executable's POSIX path, or nothing when the system cannot say.
std::optional<std::string> ExecutablePath();
// Replaces the path; nothing goes back to the real one.
void SetExecutablePath(std::optional<std::string> posixPath);

}  // namespace platform::kernel

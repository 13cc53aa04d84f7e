#include "platform/testing/FakeProgramPath.h"

#include "platform/kernel/ExecutablePath.h"

namespace platform::testing {

FakeProgramPath::FakeProgramPath(const std::string& posixPath) { platform::kernel::SetExecutablePath(posixPath); }

FakeProgramPath::~FakeProgramPath() { platform::kernel::SetExecutablePath(std::nullopt); }

}  // namespace platform::testing

// Filled in by the control's own implementation.
#include "platform/user/Controls.h"

namespace platform::user {
void RegisterButtonClass() {}
}  // namespace platform::user

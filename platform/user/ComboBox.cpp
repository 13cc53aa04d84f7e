// Filled in by the control's own implementation.
#include "platform/user/Controls.h"

namespace platform::user {
void RegisterComboBoxClass() {}
}  // namespace platform::user

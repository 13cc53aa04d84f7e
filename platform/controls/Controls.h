#pragma once
// The built-in window classes. Each registers itself once; the window manager has them registered before the first
// class lookup, so "BUTTON", "EDIT", "LISTBOX" and "COMBOBOX" always exist, as on Windows. The track bar comes with the
// common controls (InitCommonControlsEx).

#include "platform/user/SharedLook.h"
#include "platform/win32.h"

namespace platform::controls {

void RegisterButtonClass();
void RegisterEditClass();
void RegisterListBoxClass();   // "LISTBOX", and "ComboLBox" for the drop-down lists of combo boxes
void RegisterComboBoxClass();
void RegisterTrackBarClass();

// Controls draw in the font their parent gives them with WM_SETFONT, or else in this one.
HFONT DefaultControlFont();

}  // namespace platform::controls

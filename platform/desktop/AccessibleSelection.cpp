// Lines are chosen with the messages the box answers and told to the owner as Windows tells it of a user's choice:
// LBN_SELCHANGE from a list box that asks for notices (LBS_NOTIFY), CBN_SELCHANGE from a combo box.

#include "platform/desktop/AccessibleSelection.h"

#include <strings.h>

namespace platform::desktop {
namespace {

bool IsComboBox(HWND box) {
    char found[32] = {};
    return RealGetWindowClassA(box, found, sizeof found) > 0 && strcasecmp(found, "COMBOBOX") == 0;
}

DWORD StyleOf(HWND box) { return static_cast<DWORD>(GetWindowLongA(box, GWL_STYLE)); }

bool MultiSelect(HWND box) { return !IsComboBox(box) && (StyleOf(box) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)); }

UINT LineCount(HWND box) {
    const LRESULT count = SendMessageA(box, IsComboBox(box) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<UINT>(count) : 0;
}

bool Usable(HWND box) {
    for (HWND w = box; w; w = (StyleOf(w) & WS_CHILD) ? GetParent(w) : nullptr)
        if (!IsWindowEnabled(w)) return false;
    return true;
}

// Posts the change, then the owner's notice, which therefore arrives after it.
bool Post(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageA(box, message, wParam, lParam)) return false;
    const bool combo = IsComboBox(box);
    if (!combo && !(StyleOf(box) & LBS_NOTIFY)) return true;
    const auto id = static_cast<WORD>(GetDlgCtrlID(box));
    PostMessageA(GetParent(box), WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(box));
    return true;
}

}  // namespace

std::vector<UINT> SelectedLines(HWND box) {
    std::vector<UINT> lines;
    if (MultiSelect(box)) {
        for (UINT line = 0, count = LineCount(box); line < count; ++line)
            if (SendMessageA(box, LB_GETSEL, line, 0) > 0) lines.push_back(line);
        return lines;
    }
    const LRESULT chosen = SendMessageA(box, IsComboBox(box) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    if (chosen >= 0 && static_cast<UINT>(chosen) < LineCount(box)) lines.push_back(static_cast<UINT>(chosen));
    return lines;
}

bool IsLineSelected(HWND box, UINT line) {
    if (line >= LineCount(box)) return false;
    if (MultiSelect(box)) return SendMessageA(box, LB_GETSEL, line, 0) > 0;
    return SendMessageA(box, IsComboBox(box) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0) == static_cast<LRESULT>(line);
}

bool SelectLine(HWND box, UINT line) {
    if (!Usable(box) || line >= LineCount(box)) return false;
    if (MultiSelect(box)) return Post(box, LB_SETSEL, TRUE, static_cast<LPARAM>(line));
    return Post(box, IsComboBox(box) ? CB_SETCURSEL : LB_SETCURSEL, line, 0);
}

bool DeselectLine(HWND box, UINT line) {
    if (!Usable(box) || !MultiSelect(box) || !IsLineSelected(box, line)) return false;
    return Post(box, LB_SETSEL, FALSE, static_cast<LPARAM>(line));
}

bool SelectAllLines(HWND box) {
    if (!Usable(box) || !MultiSelect(box)) return false;
    return Post(box, LB_SETSEL, TRUE, -1);
}

bool ClearSelectedLines(HWND box) {
    if (!Usable(box) || IsComboBox(box)) return false;
    if (MultiSelect(box)) return Post(box, LB_SETSEL, FALSE, -1);
    return Post(box, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

}  // namespace platform::desktop

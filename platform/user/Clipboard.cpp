// The clipboard, text only, shared with the desktop through the display. Data handed over with SetClipboardData
// belongs to the clipboard from then on; data handed out by GetClipboardData stays the clipboard's too, as on
// Windows.

#include <cstring>
#include <string>

#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

bool open = false;
std::string memory;        // used while no display is open
HGLOBAL handedOut = nullptr;

std::string Text() {
    WindowSystem& system = WindowSystem::Get();
    return system.HasDisplay() ? system.Display().ClipboardText() : memory;
}

void SetText(const std::string& text) {
    WindowSystem& system = WindowSystem::Get();
    if (system.HasDisplay()) system.Display().SetClipboardText(text);
    else memory = text;
}

void ReleaseHandedOut() {
    if (handedOut) GlobalFree(handedOut);
    handedOut = nullptr;
}

}  // namespace

BOOL WINAPI OpenClipboard(HWND) {
    if (open) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    open = true;
    return TRUE;
}

BOOL WINAPI CloseClipboard() {
    if (!open) return FALSE;
    open = false;
    return TRUE;
}

BOOL WINAPI EmptyClipboard() {
    if (!open) return FALSE;
    ReleaseHandedOut();
    SetText("");
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
    if (!open || uFormat != CF_TEXT || !hMem) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const char* bytes = static_cast<const char*>(GlobalLock(hMem));
    if (!bytes) return nullptr;
    SetText(std::string(bytes, strnlen(bytes, GlobalSize(hMem))));
    GlobalUnlock(hMem);
    GlobalFree(hMem);
    return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
    if (!open || uFormat != CF_TEXT) return nullptr;
    std::string text = Text();
    if (text.empty()) return nullptr;
    ReleaseHandedOut();
    handedOut = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    char* bytes = static_cast<char*>(GlobalLock(handedOut));
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(handedOut);
    return handedOut;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) { return format == CF_TEXT && !Text().empty(); }

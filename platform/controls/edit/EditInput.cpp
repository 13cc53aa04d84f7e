// What the user does to an edit control: typing (byte by byte, as input methods deliver it), the editing keys,
// the clipboard and undo.

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/controls/edit/Edit.h"

namespace platform::controls {

namespace {

bool IsTrail(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes of the UTF-8 character a lead byte starts; 1 for a byte that starts none.
size_t LengthFromLead(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return 2;
    if (byte >= 0xE0 && byte <= 0xEF) return 3;
    if (byte >= 0xF0 && byte <= 0xF4) return 4;
    return 1;
}

}  // namespace

void Edit::Type(std::string text) {
    if (ReadOnly()) return;
    if ((Style() & ES_NUMBER) && !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return;
    Insert(Cased(std::move(text)), true);
}

// A character typed through an input method comes as one WM_CHAR for each of its bytes; it goes into the text
// only when whole. Bytes that end up making no character go in one by one.
void Edit::TypeByte(unsigned char byte) {
    if (!pending_.empty()) {
        if (IsTrail(byte)) {
            pending_.push_back(static_cast<char>(byte));
            if (pending_.size() == pendingLength_) Type(std::exchange(pending_, {}));
            return;
        }
        FlushPending();
    }
    size_t length = LengthFromLead(byte);
    if (length > 1) {
        pending_.assign(1, static_cast<char>(byte));
        pendingLength_ = length;
        return;
    }
    Type(std::string(1, static_cast<char>(byte)));
}

void Edit::FlushPending() {
    if (!pending_.empty()) Type(std::exchange(pending_, {}));
}

void Edit::Erase(size_t from, size_t to) {
    if (ReadOnly() || from == to) return;
    text_.Select(from, to);
    Insert("", false);
}

void Edit::Copy() {
    if (!text_.HasSelection() || (Style() & ES_PASSWORD)) return;
    std::string_view selected = text_.Selected();
    if (!OpenClipboard(window_)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, selected.size() + 1)) {
        auto* bytes = static_cast<char*>(GlobalLock(memory));
        std::memcpy(bytes, selected.data(), selected.size());
        bytes[selected.size()] = '\0';
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    }
    CloseClipboard();
}

void Edit::Cut() {
    if (ReadOnly() || (Style() & ES_PASSWORD) || !text_.HasSelection()) return;
    Copy();
    Insert("", false);
}

// Only the clipboard text's first line goes into a one-line edit.
void Edit::Paste() {
    if (ReadOnly() || !OpenClipboard(window_)) return;
    std::string text;
    if (HANDLE memory = GetClipboardData(CF_TEXT)) {
        const char* bytes = static_cast<const char*>(GlobalLock(memory));
        if (bytes) text.assign(bytes, strnlen(bytes, GlobalSize(memory)));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    text = text.substr(0, text.find_first_of("\r\n"));
    if (!text.empty()) Insert(Cased(std::move(text)), false);
}

void Edit::Clear() {
    if (!ReadOnly() && text_.HasSelection()) Insert("", false);
}

void Edit::Undo() {
    if (!text_.Undo()) return;
    modified_ = true;
    Changed();
}

void Edit::HandleKey(WPARAM key) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    size_t caret = text_.Caret();
    // Without Shift an arrow first closes a selection at the side it points to.
    auto moveTo = [&](size_t target, size_t collapsed) {
        if (shift) Select(text_.Anchor(), target);
        else if (text_.HasSelection() && !control) Select(collapsed, collapsed);
        else Select(target, target);
    };
    switch (key) {
        case VK_LEFT:
        case VK_UP:
            moveTo(control ? text_.PreviousWord(caret) : text_.Previous(caret), text_.SelectionStart());
            break;
        case VK_RIGHT:
        case VK_DOWN: moveTo(control ? text_.NextWord(caret) : text_.Next(caret), text_.SelectionEnd()); break;
        case VK_HOME: Select(shift ? text_.Anchor() : 0, 0); break;
        case VK_END: Select(shift ? text_.Anchor() : text_.Size(), text_.Size()); break;
        case VK_DELETE:
            if (shift) Cut();
            else if (text_.HasSelection()) Clear();
            else Erase(caret, text_.Next(caret));
            break;
        case VK_INSERT:
            if (control) Copy();
            else if (shift) Paste();
            break;
        default: break;
    }
}

// Control characters arrive as WM_CHAR through TranslateMessage: the clipboard keys, Ctrl+A, Ctrl+Z and Backspace
// are handled here and nowhere else. Enter, Escape and Tab mean nothing to a one-line edit.
void Edit::HandleCharacter(unsigned char byte) {
    if (byte >= 0x20 && byte != 0x7F) {
        TypeByte(byte);
        return;
    }
    FlushPending();
    switch (byte) {
        case 1: Select(0, text_.Size()); break;
        case 3: Copy(); break;
        case 22: Paste(); break;
        case 24: Cut(); break;
        case 26:
            if (!ReadOnly()) Undo();
            break;
        case 8:
            if (text_.HasSelection()) Clear();
            else Erase(text_.Previous(text_.Caret()), text_.Caret());
            break;
        default: break;
    }
}

// A click takes the focus first; false when the focus change has destroyed the window.
bool Edit::FocusForClick() {
    FlushPending();
    if (GetFocus() != window_) SetFocus(window_);
    return !Destroyed();
}

// The focus, the mouse, the keys and the clipboard's messages.
LRESULT Edit::HandleInput(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const int x = GET_X_LPARAM(lParam);
    handled = true;
    switch (message) {
        case WM_SETFOCUS:
            focused_ = true;
            CreateCaret(window_, nullptr, kCaretWidth, view_.LineHeight());
            PlaceCaret();
            ShowCaret(window_);
            InvalidateRect(window_, nullptr, FALSE);
            NotifyParent(window_, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            FlushPending();
            focused_ = false;
            if (selecting_) {
                selecting_ = false;
                ReleaseCapture();
            }
            DestroyCaret();
            InvalidateRect(window_, nullptr, FALSE);
            NotifyParent(window_, EN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN: {
            if (!FocusForClick()) return 0;
            size_t at = view_.PositionAt(text_, x);
            Select((wParam & MK_SHIFT) ? text_.Anchor() : at, at);
            SetCapture(window_);
            selecting_ = true;
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            if (!FocusForClick()) return 0;
            size_t at = view_.CharacterAt(text_, x);
            Select(text_.WordStart(at), text_.WordEnd(at));
            return 0;
        }
        case WM_MOUSEMOVE:
            if (selecting_) Select(text_.Anchor(), view_.PositionAt(text_, x));
            return 0;
        case WM_LBUTTONUP:
            if (selecting_) {
                selecting_ = false;
                ReleaseCapture();
            }
            return 0;
        case WM_CAPTURECHANGED: selecting_ = false; return 0;
        case WM_KEYDOWN:
            FlushPending();
            HandleKey(wParam);
            return 0;
        case WM_CHAR: HandleCharacter(static_cast<unsigned char>(wParam)); return 0;
        case WM_CUT: Cut(); return 0;
        case WM_COPY: Copy(); return 0;
        case WM_PASTE: Paste(); return 0;
        case WM_CLEAR: Clear(); return 0;
        default: handled = false; return 0;
    }
}

}  // namespace platform::controls

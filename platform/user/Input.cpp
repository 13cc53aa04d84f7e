// Input from the display as messages: mouse targets, activation by click, double clicks, keys and typed text;
// key state, the cursor and the mouse position.

#include <algorithm>
#include <array>
#include <deque>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/user/WindowSystem.h"

using namespace platform::user;
using platform::display::CursorShape;
using platform::display::DisplayEvent;

namespace {

// An input message waiting in the queue; a mouse message carries where on its window it landed, for the
// WM_SETCURSOR sent when it is taken.
struct InputMessage {
    MSG msg{};
    LRESULT hitTest = HTCLIENT;
};

// The input's own state: this file alone reads and writes it.
// What the display reported and is not yet turned into messages. Mouse and key events become messages only when
// the program takes them, as on Windows, so that a capture or a focus change made while handling one event already
// decides where the next one goes.
std::deque<DisplayEvent> raw;
std::deque<InputMessage> input;
POINT cursorPos{};             // on the screen
BYTE keyState[256] = {};       // as of the last input message taken from the queue
BYTE asyncKeyState[256] = {};  // as of the last event from the display
struct LastClick {
    HWND window = nullptr;
    UINT message = 0;
    DWORD time = 0;
    POINT pos{};
} lastClick;
std::vector<LoopSource*> loopSources;  // what the loop waits on besides the display

HCURSOR programCursor = nullptr;  // SetCursor's: the display may show the busy one meanwhile

struct Cursor {
    WORD id;
    CursorShape shape;
};

Cursor cursors[] = {{32512, CursorShape::Arrow},  {32513, CursorShape::IBeam}, {32514, CursorShape::Wait},
                    {32515, CursorShape::Cross},  {32516, CursorShape::Arrow}, {32642, CursorShape::Arrow},
                    {32643, CursorShape::Arrow},  {32644, CursorShape::SizeWE}, {32645, CursorShape::SizeNS},
                    {32646, CursorShape::Cross},  {32648, CursorShape::No},    {32649, CursorShape::Hand},
                    {32650, CursorShape::AppStarting}, {32651, CursorShape::Arrow}};
int cursorShown = 0;

CursorShape ShapeOf(HCURSOR handle) {
    auto* cursor = reinterpret_cast<Cursor*>(handle);
    bool known = std::any_of(std::begin(cursors), std::end(cursors), [cursor](Cursor& c) { return &c == cursor; });
    return known ? cursor->shape : CursorShape::Arrow;
}

WPARAM MouseKeys() {
    const BYTE* keys = asyncKeyState;
    WPARAM flags = 0;
    if (keys[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
    if (keys[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
    if (keys[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
    if (keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
    if (keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
    return flags;
}

void SetAsyncKey(int key, bool down) {
    BYTE& state = asyncKeyState[key];
    if (down && !(state & 0x80)) state ^= 0x01;
    state = static_cast<BYTE>((state & 0x01) | (down ? 0x80 : 0));
}

bool Inside(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The window under a screen point inside a top-level window, and where on it the point lies. A disabled child is
// passed over, so that its parent gets the click, as on Windows.
std::pair<HWND, LRESULT> HitTest(Window* top, POINT screen) {
    WindowSystem& system = WindowSystem::Get();
    Window* current = top;
    for (bool descended = true; descended;) {
        descended = false;
        for (HWND handle : std::vector<HWND>(current->children)) {
            Window* child = system.Find(handle);
            if (!child || !child->Visible()) continue;
            RECT onScreen;
            GetWindowRect(handle, &onScreen);
            if (!Inside(onScreen, screen)) continue;
            if (child->style & WS_DISABLED) break;
            LRESULT hit = SendMessageA(handle, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
            if (!(child = system.Find(handle)) || hit == HTTRANSPARENT) continue;
            if (hit != HTCLIENT) return {handle, hit};
            current = child;
            descended = true;
            break;
        }
    }
    return {current->handle, HTCLIENT};
}

void Queue(const MSG& message, LRESULT hitTest) {
    // Moves between two looks at the queue come out as one, the latest, as on Windows.
    if ((message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) && !input.empty() &&
        input.back().msg.message == message.message && input.back().msg.hwnd == message.hwnd) {
        input.back() = {message, hitTest};
        return;
    }
    input.push_back({message, hitTest});
}

// Keys and buttons read as pressed from the moment their message is taken, as GetKeyState promises.
void NoteInput(const MSG& message) {
    auto set = [](int key, bool down) {
        BYTE& state = keyState[key];
        if (down && !(state & 0x80)) state ^= 0x01;
        state = static_cast<BYTE>((state & 0x01) | (down ? 0x80 : 0));
    };
    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: set(static_cast<int>(message.wParam & 0xFF), true); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: set(static_cast<int>(message.wParam & 0xFF), false); break;
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: set(VK_LBUTTON, true); break;
        case WM_LBUTTONUP: case WM_NCLBUTTONUP: set(VK_LBUTTON, false); break;
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: set(VK_RBUTTON, true); break;
        case WM_RBUTTONUP: case WM_NCRBUTTONUP: set(VK_RBUTTON, false); break;
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: set(VK_MBUTTON, true); break;
        case WM_MBUTTONUP: set(VK_MBUTTON, false); break;
        default: break;
    }
}

UINT ButtonMessage(int button, bool pressed, bool client) {
    UINT down = button == 3 ? WM_RBUTTONDOWN : button == 2 ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
    UINT message = pressed ? down : down + 1;
    return client ? message : message - WM_LBUTTONDOWN + WM_NCLBUTTONDOWN;
}

// The enabled window a disabled top-level window hands its activation to: its modal dialog.
HWND EnabledPopupOf(HWND owner) {
    WindowSystem& system = WindowSystem::Get();
    for (HWND other : system.TopLevelWindows())
        if (Window* popup = system.Find(other); popup && popup->owner == owner && popup->Visible() &&
                                                !(popup->style & WS_DISABLED) && popup->native)
            return other;
    return nullptr;
}

void ActivateFromDisplay(Window& top) {
    if (top.style & WS_DISABLED) {
        if (HWND popup = EnabledPopupOf(top.handle)) {
            SendActivation(popup, false, false);
            return;
        }
    }
    SendActivation(top.handle, false, true);
}

void HandleMouse(const DisplayEvent& event, Window& top) {
    WindowSystem& system = WindowSystem::Get();
    POINT origin = ClientOriginOnScreen(top);
    POINT screen{origin.x + event.x, origin.y + event.y};
    cursorPos = screen;
    if (event.kind == DisplayEvent::Kind::MouseButton) {
        int key = event.button == 3 ? VK_RBUTTON : event.button == 2 ? VK_MBUTTON : VK_LBUTTON;
        SetAsyncKey(key, event.pressed);
    }
    HWND target = nullptr;
    LRESULT hit = HTCLIENT;
    if (HWND captured = GetCapture()) {
        target = captured;
    } else {
        if (top.style & WS_DISABLED) {
            if (event.kind == DisplayEvent::Kind::MouseButton && event.pressed) ActivateFromDisplay(top);
            return;
        }
        std::tie(target, hit) = HitTest(&top, screen);
    }
    bool client = hit == HTCLIENT;
    UINT message = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
    if (event.kind == DisplayEvent::Kind::MouseButton) message = ButtonMessage(event.button, event.pressed, client);

    if (event.kind == DisplayEvent::Kind::MouseButton && event.pressed) {
        Window* targetTop = TopLevelOf(system.Find(target));
        if (targetTop && targetTop->handle != GetActiveWindow() && !GetCapture()) {
            LRESULT answer = SendMessageA(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(targetTop->handle),
                                          MAKELPARAM(hit, message));
            if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && system.Find(targetTop->handle))
                SendActivation(targetTop->handle, true, true);
            if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT || !system.Find(target)) return;
        }
        // A second press soon and near enough on a window that asks for them is a double click.
        Window* window = system.Find(target);
        DWORD now = NowMilliseconds();
        auto& last = lastClick;
        bool near = std::abs(screen.x - last.pos.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                    std::abs(screen.y - last.pos.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (window && (window->cls->info.style & CS_DBLCLKS) && last.window == target && last.message == message &&
            now - last.time <= GetDoubleClickTime() && near) {
            message += 2;  // WM_xBUTTONDOWN + 2 is WM_xBUTTONDBLCLK, in the client and the frame alike
            last = {};
        } else {
            last = {target, message, now, screen};
        }
    }
    LPARAM where = MAKELPARAM(screen.x, screen.y);
    WPARAM wParam = MouseKeys();
    if (client) {
        POINT local = screen;
        ScreenToClient(target, &local);
        where = MAKELPARAM(local.x, local.y);
    } else {
        wParam = static_cast<WPARAM>(hit);
    }
    Queue(MSG{target, message, wParam, where, NowMilliseconds(), screen}, hit);
}

HWND KeyTarget() {
    WindowSystem& system = WindowSystem::Get();
    HWND target = GetFocus();
    if (!target) target = GetActiveWindow();
    Window* top = TopLevelOf(system.Find(target));
    return top && !(top->style & WS_DISABLED) ? target : nullptr;
}

void HandleKey(const DisplayEvent& event) {
    int key = event.virtualKey & 0xFF;
    SetAsyncKey(key, event.pressed);
    HWND target = KeyTarget();
    if (!target || !key) return;
    bool alt = asyncKeyState[VK_MENU] & 0x80;
    bool control = asyncKeyState[VK_CONTROL] & 0x80;
    bool menuKey = (alt && !control) || key == VK_MENU || key == VK_F10;
    UINT message = event.pressed ? (menuKey ? WM_SYSKEYDOWN : WM_KEYDOWN) : (menuKey ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM flags = 1 | (static_cast<LPARAM>(event.scanCode & 0xFF) << 16);
    if (alt) flags |= LPARAM{1} << 29;
    if (event.repeat || !event.pressed) flags |= LPARAM{1} << 30;
    if (!event.pressed) flags |= LPARAM{1} << 31;
    Queue(MSG{target, message, static_cast<WPARAM>(key), flags, NowMilliseconds(), cursorPos}, HTCLIENT);
}

// Typed text, from the keyboard or an input method, reaches the focus window byte by byte in the system code page.
void HandleText(const DisplayEvent& event) {
    HWND target = KeyTarget();
    if (!target) return;
    for (unsigned char byte : event.text)
        Queue(MSG{target, WM_CHAR, byte, 1, NowMilliseconds(), cursorPos}, HTCLIENT);
}

void MoveFromDisplay(Window& top, int clientX, int clientY) {
    HWND handle = top.handle;
    LONG left = clientX - top.clientInsets.left;
    LONG upper = clientY - top.clientInsets.top;
    if (left == top.rect.left && upper == top.rect.top) return;
    WINDOWPOS pos{handle, nullptr, left, upper, top.Width(), top.Height(), SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE};
    SendMessageA(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    Window* window = WindowSystem::Get().Find(handle);
    if (!window) return;
    window->rect = {left, upper, left + window->Width(), upper + window->Height()};
    SendMessageA(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void Handle(const DisplayEvent& event) {
    WindowSystem& system = WindowSystem::Get();
    using Kind = DisplayEvent::Kind;
    if (event.kind == Kind::Key) return HandleKey(event);
    if (event.kind == Kind::Text) return HandleText(event);
    Window* top = system.FromNative(event.window);
    if (!top) return;
    switch (event.kind) {
        case Kind::MouseMove:
        case Kind::MouseButton: HandleMouse(event, *top); break;
        case Kind::MouseWheel: {
            HWND target = KeyTarget();
            if (target)
                Queue(MSG{target, WM_MOUSEWHEEL, MAKEWPARAM(MouseKeys(), event.wheel * WHEEL_DELTA),
                          MAKELPARAM(cursorPos.x, cursorPos.y), NowMilliseconds(), cursorPos},
                      HTCLIENT);
            break;
        }
        case Kind::CloseRequested:
            if (top->style & WS_DISABLED) ActivateFromDisplay(*top);
            else system.Post(MSG{top->handle, WM_SYSCOMMAND, SC_CLOSE, 0, NowMilliseconds(), cursorPos});
            break;
        case Kind::FocusGained: ActivateFromDisplay(*top); break;
        case Kind::FocusLost:
            if (GetActiveWindow() == top->handle) SendActivation(nullptr, false, true);
            break;
        case Kind::Minimized:
            if (!(top->style & WS_MINIMIZE))
                system.Post(MSG{top->handle, WM_SYSCOMMAND, SC_MINIMIZE, 0, NowMilliseconds(), cursorPos});
            break;
        case Kind::Restored:
            if (top->style & WS_MINIMIZE)
                system.Post(MSG{top->handle, WM_SYSCOMMAND, SC_RESTORE, 0, NowMilliseconds(), cursorPos});
            break;
        case Kind::Moved: MoveFromDisplay(*top, event.x, event.y); break;
        case Kind::Exposed: top->presentAll = true; break;
        default: break;
    }
}

// Waits on the display and the loop's other sources together, then serves the sources that are ready.
void WaitOnDisplay(WindowSystem& system, std::optional<std::chrono::nanoseconds> timeout,
                   std::vector<DisplayEvent>& events) {
    using Clock = std::chrono::steady_clock;
    if (loopSources.empty()) return system.Display().WaitEvents(timeout, events);
    // On the stack: a source's service may run window procedures, and with them a loop of its own.
    // Besides the display: the drives' watch, the media session, and the accessibility support's two buses.
    constexpr size_t kMostSources = 6;
    std::array<LoopSource*, kMostSources> sources{};
    std::array<pollfd, kMostSources> watched{};
    std::array<std::optional<Clock::time_point>, kMostSources> dues{};
    const size_t count = std::min(loopSources.size(), kMostSources);
    std::copy_n(loopSources.begin(), count, sources.begin());
    for (size_t i = 0; i < count; ++i) {
        watched[i] = sources[i]->Watch(dues[i]);
        watched[i].revents = 0;
        if (!dues[i]) continue;
        const auto left = std::max<std::chrono::nanoseconds>(*dues[i] - Clock::now(), {});
        if (!timeout || left < *timeout) timeout = left;
    }
    system.Display().WaitEvents(timeout, events, std::span<pollfd>(watched.data(), count));
    const auto now = Clock::now();
    for (size_t i = 0; i < count; ++i) {
        // A source served before may have taken another away.
        if (std::find(loopSources.begin(), loopSources.end(), sources[i]) == loopSources.end())
            continue;
        if (watched[i].revents || (dues[i] && *dues[i] <= now)) sources[i]->Serve();
    }
}

}  // namespace

namespace platform::user {

void PumpDisplay(std::optional<std::chrono::nanoseconds> timeout) {
    WindowSystem& system = WindowSystem::Get();
    SendSessionEndIfDue();
    // A look without waiting right after a wait finds nothing the wait did not: skipping it halves what an idle
    // tick costs. Whatever arrives in between ends the next wait at once.
    static bool justWaited = false;
    bool waits = !timeout || timeout->count() > 0;
    if (!waits && justWaited) {
        justWaited = false;
        return;
    }
    justWaited = waits;
    if (!system.HasDisplay()) {
        if (!timeout || timeout->count() > 0) WaitWithoutDisplay(timeout);
    } else {
        std::vector<DisplayEvent> events;
        WaitOnDisplay(system, timeout, events);
        for (DisplayEvent& event : events) raw.push_back(std::move(event));
    }
    SendSessionEndIfDue();
}

namespace {

bool ConvertNextDisplayEvent() {
    if (raw.empty()) return false;
    DisplayEvent event = std::move(raw.front());
    raw.pop_front();
    Handle(event);
    return true;
}

}  // namespace

bool TakeInput(HWND filter, UINT min, UINT max, bool remove, MSG& message) {
    WindowSystem& system = WindowSystem::Get();
    // The display's next event is turned into messages only when no converted one is waiting.
    while (input.empty() && ConvertNextDisplayEvent()) {
    }
    for (auto it = input.begin(); it != input.end(); ++it) {
        if ((filter && it->msg.hwnd != filter) || !MessageInRange(it->msg.message, min, max)) continue;
        InputMessage taken = *it;
        if (!remove) {
            message = taken.msg;
            return true;
        }
        input.erase(it);
        if (!system.Find(taken.msg.hwnd)) return TakeInput(filter, min, max, remove, message);
        NoteInput(taken.msg);
        bool mouse = (taken.msg.message >= WM_MOUSEFIRST && taken.msg.message <= WM_MOUSELAST &&
                      taken.msg.message != WM_MOUSEWHEEL) ||
                     (taken.msg.message >= WM_NCMOUSEMOVE && taken.msg.message <= WM_NCMBUTTONDBLCLK);
        if (mouse && !GetCapture()) {
            bool button = taken.msg.message != WM_MOUSEMOVE && taken.msg.message != WM_NCMOUSEMOVE;
            SendMessageA(taken.msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(taken.msg.hwnd),
                         MAKELPARAM(taken.hitTest, button ? taken.msg.message : WM_MOUSEMOVE));
            if (!system.Find(taken.msg.hwnd)) return TakeInput(filter, min, max, remove, message);
        }
        message = taken.msg;
        return true;
    }
    return false;
}


bool InputWaiting() { return !input.empty() || !raw.empty(); }

void ForgetInputFor(HWND window) {
    if (lastClick.window == window) lastClick = {};
    std::erase_if(input, [window](const InputMessage& m) { return m.msg.hwnd == window; });
}

void ResetInput() {
    raw.clear();
    input.clear();
    lastClick = {};
    std::fill(std::begin(keyState), std::end(keyState), BYTE{0});
    std::fill(std::begin(asyncKeyState), std::end(asyncKeyState), BYTE{0});
}

POINT CursorPosition() { return cursorPos; }

void AddLoopSource(LoopSource* source) { loopSources.push_back(source); }

void RemoveLoopSource(LoopSource* source) { std::erase(loopSources, source); }

}  // namespace platform::user

SHORT WINAPI GetKeyState(int nVirtKey) {
    BYTE state = keyState[nVirtKey & 0xFF];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    return (asyncKeyState[vKey & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) return FALSE;
    *lpPoint = cursorPos;
    return TRUE;
}

// The desktop does not let programs move the pointer; the position is only remembered.
BOOL WINAPI SetCursorPos(int X, int Y) {
    cursorPos = {X, Y};
    return TRUE;
}

UINT WINAPI GetDoubleClickTime() { return 500; }

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    if (hInstance || !IS_INTRESOURCE(lpCursorName)) {
        SetLastError(ERROR_FILE_NOT_FOUND);  // the program brings no cursors of its own
        return nullptr;
    }
    auto id = static_cast<WORD>(reinterpret_cast<uintptr_t>(lpCursorName));
    for (Cursor& cursor : cursors)
        if (cursor.id == id) return reinterpret_cast<HCURSOR>(&cursor);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR hCursor) {
    WindowSystem& system = WindowSystem::Get();
    HCURSOR old = std::exchange(programCursor, hCursor);
    if (system.HasDisplay() && hCursor != old) {
        system.Display().SetCursor(ShapeOf(hCursor));
    }
    return old;
}

HCURSOR WINAPI GetCursor() { return programCursor; }

namespace platform::user {

void ShowBusyWhileWaiting(bool waiting) {
    WindowSystem& system = WindowSystem::Get();
    if (!WindowSystem::OnUiThread() || !system.HasDisplay()) return;
    // The program's own cursor is kept: only the display shows the busy one, and the program's comes back after.
    system.Display().SetCursor(waiting ? CursorShape::Wait : ShapeOf(programCursor));
}

}  // namespace platform::user

int WINAPI ShowCursor(BOOL bShow) { return bShow ? ++cursorShown : --cursorShown; }

HWND WINAPI WindowFromPoint(POINT Point) {
    WindowSystem& system = WindowSystem::Get();
    for (HWND handle : system.TopLevelWindows()) {
        Window* top = system.Find(handle);
        if (!top || !top->Visible() || !top->native || (top->style & WS_DISABLED)) continue;
        RECT onScreen;
        GetWindowRect(handle, &onScreen);
        if (Inside(onScreen, Point)) return HitTest(top, Point).first;
    }
    return nullptr;
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
    WindowSystem& system = WindowSystem::Get();
    Window* parent = system.Find(hWndParent);
    if (!parent) return nullptr;
    RECT client = parent->ClientRect();
    if (!Inside(client, Point)) return nullptr;
    POINT screen = Point;
    ClientToScreen(hWndParent, &screen);
    for (HWND handle : parent->children) {
        RECT onScreen;
        GetWindowRect(handle, &onScreen);
        if (Inside(onScreen, screen)) return handle;
    }
    return hWndParent;
}

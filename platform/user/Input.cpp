// Input from the display as messages: mouse targets, activation by click, double clicks, keys and typed text;
// key state, the cursor and the mouse position.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

#include "platform/user/WindowSystem.h"

using namespace platform::user;
using platform::display::CursorShape;
using platform::display::DisplayEvent;

namespace {

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
    const BYTE* keys = WindowSystem::Get().asyncKeyState;
    WPARAM flags = 0;
    if (keys[VK_LBUTTON] & 0x80) flags |= MK_LBUTTON;
    if (keys[VK_RBUTTON] & 0x80) flags |= MK_RBUTTON;
    if (keys[VK_MBUTTON] & 0x80) flags |= MK_MBUTTON;
    if (keys[VK_SHIFT] & 0x80) flags |= MK_SHIFT;
    if (keys[VK_CONTROL] & 0x80) flags |= MK_CONTROL;
    return flags;
}

void SetAsyncKey(int key, bool down) {
    BYTE& state = WindowSystem::Get().asyncKeyState[key];
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
    auto& input = WindowSystem::Get().input;
    // Moves between two looks at the queue come out as one, the latest, as on Windows.
    if ((message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) && !input.empty() &&
        input.back().msg.message == message.message && input.back().msg.hwnd == message.hwnd) {
        input.back() = {message, hitTest};
        return;
    }
    input.push_back({message, hitTest});
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
    system.cursorPos = screen;
    if (event.kind == DisplayEvent::Kind::MouseButton) {
        int key = event.button == 3 ? VK_RBUTTON : event.button == 2 ? VK_MBUTTON : VK_LBUTTON;
        SetAsyncKey(key, event.pressed);
    }
    HWND target = nullptr;
    LRESULT hit = HTCLIENT;
    if (system.capture && system.Find(system.capture)) {
        target = system.capture;
    } else {
        if (top.style & WS_DISABLED) {
            if (event.kind == DisplayEvent::Kind::MouseButton && event.pressed) ActivateFromDisplay(top);
            return;
        }
        std::tie(target, hit) = HitTest(&top, screen);
    }
    system.mouseWindow = target;
    bool client = hit == HTCLIENT;
    UINT message = client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE;
    if (event.kind == DisplayEvent::Kind::MouseButton) message = ButtonMessage(event.button, event.pressed, client);

    if (event.kind == DisplayEvent::Kind::MouseButton && event.pressed) {
        Window* targetTop = TopLevelOf(system.Find(target));
        if (targetTop && targetTop->handle != system.active && !system.capture) {
            LRESULT answer = SendMessageA(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(targetTop->handle),
                                          MAKELPARAM(hit, message));
            if ((answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT) && system.Find(targetTop->handle))
                SendActivation(targetTop->handle, true, true);
            if (answer == MA_ACTIVATEANDEAT || answer == MA_NOACTIVATEANDEAT || !system.Find(target)) return;
        }
        // A second press soon and near enough on a window that asks for them is a double click.
        Window* window = system.Find(target);
        DWORD now = NowMilliseconds();
        auto& last = system.lastClick;
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
    HWND target = system.Find(system.focus) ? system.focus : system.active;
    Window* top = TopLevelOf(system.Find(target));
    return top && !(top->style & WS_DISABLED) ? target : nullptr;
}

void HandleKey(const DisplayEvent& event) {
    WindowSystem& system = WindowSystem::Get();
    int key = event.virtualKey & 0xFF;
    SetAsyncKey(key, event.pressed);
    HWND target = KeyTarget();
    if (!target || !key) return;
    bool alt = system.asyncKeyState[VK_MENU] & 0x80;
    bool control = system.asyncKeyState[VK_CONTROL] & 0x80;
    bool menuKey = (alt && !control) || key == VK_MENU || key == VK_F10;
    UINT message = event.pressed ? (menuKey ? WM_SYSKEYDOWN : WM_KEYDOWN) : (menuKey ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM flags = 1 | (static_cast<LPARAM>(event.scanCode & 0xFF) << 16);
    if (alt) flags |= LPARAM{1} << 29;
    if (event.repeat || !event.pressed) flags |= LPARAM{1} << 30;
    if (!event.pressed) flags |= LPARAM{1} << 31;
    Queue(MSG{target, message, static_cast<WPARAM>(key), flags, NowMilliseconds(), system.cursorPos}, HTCLIENT);
}

// Typed text, from the keyboard or an input method, reaches the focus window byte by byte in the system code page.
void HandleText(const DisplayEvent& event) {
    HWND target = KeyTarget();
    if (!target) return;
    for (unsigned char byte : event.text)
        Queue(MSG{target, WM_CHAR, byte, 1, NowMilliseconds(), WindowSystem::Get().cursorPos}, HTCLIENT);
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
                          MAKELPARAM(system.cursorPos.x, system.cursorPos.y), NowMilliseconds(), system.cursorPos},
                      HTCLIENT);
            break;
        }
        case Kind::CloseRequested:
            if (top->style & WS_DISABLED) ActivateFromDisplay(*top);
            else system.Post(MSG{top->handle, WM_SYSCOMMAND, SC_CLOSE, 0, NowMilliseconds(), system.cursorPos});
            break;
        case Kind::FocusGained: ActivateFromDisplay(*top); break;
        case Kind::FocusLost:
            if (system.active == top->handle) SendActivation(nullptr, false, true);
            break;
        case Kind::Minimized:
            if (!(top->style & WS_MINIMIZE))
                system.Post(MSG{top->handle, WM_SYSCOMMAND, SC_MINIMIZE, 0, NowMilliseconds(), system.cursorPos});
            break;
        case Kind::Restored:
            if (top->style & WS_MINIMIZE)
                system.Post(MSG{top->handle, WM_SYSCOMMAND, SC_RESTORE, 0, NowMilliseconds(), system.cursorPos});
            break;
        case Kind::Moved: MoveFromDisplay(*top, event.x, event.y); break;
        case Kind::Exposed: top->presentAll = true; break;
        case Kind::MouseLeft: system.mouseWindow = nullptr; break;
        default: break;
    }
}

// Waits on the display and the loop's other sources together, then serves the sources that are ready.
void WaitOnDisplay(WindowSystem& system, std::optional<std::chrono::nanoseconds> timeout,
                   std::vector<DisplayEvent>& events) {
    using Clock = std::chrono::steady_clock;
    if (system.loopSources.empty()) return system.Display().WaitEvents(timeout, events);
    // On the stack: a source's service may run window procedures, and with them a loop of its own.
    constexpr size_t kMostSources = 4;
    std::array<LoopSource*, kMostSources> sources{};
    std::array<pollfd, kMostSources> watched{};
    std::array<std::optional<Clock::time_point>, kMostSources> dues{};
    const size_t count = std::min(system.loopSources.size(), kMostSources);
    std::copy_n(system.loopSources.begin(), count, sources.begin());
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
        if (std::find(system.loopSources.begin(), system.loopSources.end(), sources[i]) == system.loopSources.end())
            continue;
        if (watched[i].revents || (dues[i] && *dues[i] <= now)) sources[i]->Serve();
    }
}

}  // namespace

namespace platform::user {

void PumpDisplay(std::optional<std::chrono::nanoseconds> timeout) {
    WindowSystem& system = WindowSystem::Get();
    if (system.sessionEnding.exchange(false)) SendSessionEnd();
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
        for (DisplayEvent& event : events) system.raw.push_back(std::move(event));
    }
    if (system.sessionEnding.exchange(false)) SendSessionEnd();
}

bool ConvertNextDisplayEvent() {
    WindowSystem& system = WindowSystem::Get();
    if (system.raw.empty()) return false;
    DisplayEvent event = std::move(system.raw.front());
    system.raw.pop_front();
    Handle(event);
    return true;
}

}  // namespace platform::user

SHORT WINAPI GetKeyState(int nVirtKey) {
    BYTE state = WindowSystem::Get().keyState[nVirtKey & 0xFF];
    return static_cast<SHORT>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    return (WindowSystem::Get().asyncKeyState[vKey & 0xFF] & 0x80) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) return FALSE;
    *lpPoint = WindowSystem::Get().cursorPos;
    return TRUE;
}

// The desktop does not let programs move the pointer; the position is only remembered.
BOOL WINAPI SetCursorPos(int X, int Y) {
    WindowSystem::Get().cursorPos = {X, Y};
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

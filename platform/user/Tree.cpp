// Creating and destroying windows, and walking the window tree.

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "platform/user/WindowSystem.h"

using namespace platform::user;

namespace {

DWORD uiThread = 0;  // the thread that made the first window


// Every window of the tree below `handle`, the window itself first.
void CollectTree(HWND handle, std::vector<HWND>& out) {
    Window* window = WindowSystem::Get().Find(handle);
    if (!window) return;
    out.push_back(handle);
    for (HWND child : std::vector<HWND>(window->children)) CollectTree(child, out);
}

void SendDestroy(HWND handle) {
    SendMessageA(handle, WM_DESTROY, 0, 0);
    Window* window = WindowSystem::Get().Find(handle);
    if (!window) return;
    for (HWND child : std::vector<HWND>(window->children)) SendDestroy(child);
}

void FinishDestroy(HWND handle) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.Find(handle);
    if (!window) return;
    for (HWND child : std::vector<HWND>(window->children)) FinishDestroy(child);
    SendMessageA(handle, WM_NCDESTROY, 0, 0);
    window = system.Find(handle);
    if (!window) return;
    if (Window* parent = system.Find(window->parent)) std::erase(parent->children, handle);
    --window->cls->windows;
    window->native.reset();
    system.DropPostedFor(handle);
    system.Remove(handle);
}

}  // namespace

DWORD WINAPI GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }

DWORD WINAPI GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    WindowSystem& system = WindowSystem::Get();
    auto cls = ClassByName(lpClassName);
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Window* parent = hWndParent && hWndParent != kDesktopWindow ? system.Find(hWndParent) : nullptr;
    if (hWndParent && hWndParent != kDesktopWindow && !parent) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if ((dwStyle & WS_CHILD) && !parent) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }

    if (!uiThread) uiThread = GetCurrentThreadId();
    auto window = std::make_unique<Window>();
    window->cls = cls;
    window->proc = cls->info.lpfnWndProc;
    window->style = dwStyle & ~WS_VISIBLE;
    // Overlapped windows always have a caption and clip their siblings, as on Windows.
    if (!(dwStyle & (WS_CHILD | WS_POPUP))) window->style |= WS_CAPTION | WS_CLIPSIBLINGS;
    window->exStyle = dwExStyle;
    if (window->style & WS_CHILD) {
        window->parent = hWndParent;
        window->id = reinterpret_cast<LONG_PTR>(hMenu);
    } else if (parent) {
        window->owner = TopLevelOf(parent)->handle;
    }
    if (!(window->style & WS_CHILD) && X == CW_USEDEFAULT) X = Y = 100;
    if (nWidth == CW_USEDEFAULT) nWidth = nHeight = 400;
    window->rect = {X, Y, X + std::max(0, nWidth), Y + std::max(0, nHeight)};
    window->text = lpWindowName ? lpWindowName : "";
    window->instance = hInstance;
    window->extra.assign(static_cast<size_t>(cls->info.cbWndExtra), 0);
    window->clientInsets = NonClientInsets(window->style, window->exStyle);
    HWND handle = system.Add(std::move(window));
    if (!handle) {
        SetLastError(ERROR_NO_SYSTEM_RESOURCES);
        return nullptr;
    }
    ++cls->windows;
    // A new child goes behind its older siblings, so that walking them in z-order follows the order they were
    // made in (a dialog's tab order), as on Windows; a new top-level window goes in front.
    if (parent) {
        if (Window* created = system.Find(handle); created->Child()) parent->children.push_back(handle);
    }

    CREATESTRUCTA create{lpParam, hInstance, hMenu, hWndParent, nHeight, nWidth, Y, X,
                         static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
    auto fail = [handle] {
        DestroyWindow(handle);
        return static_cast<HWND>(nullptr);
    };
    if (!SendMessageA(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) return fail();
    if (Window* created = system.Find(handle)) {
        RECT client = created->rect;
        SendMessageA(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
        if ((created = system.Find(handle))) {
            created->clientInsets = {client.left - created->rect.left, client.top - created->rect.top,
                                     created->rect.right - client.right, created->rect.bottom - client.bottom};
        }
    }
    if (!system.Find(handle) || SendMessageA(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1)
        return fail();
    NotifyWinEvent(EVENT_OBJECT_CREATE, handle, OBJID_WINDOW, CHILDID_SELF);
    Window* created = system.Find(handle);
    if (!created) return nullptr;
    if (created->Child() && !(dwExStyle & WS_EX_NOPARENTNOTIFY))
        SendMessageA(hWndParent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, created->id), reinterpret_cast<LPARAM>(handle));
    if ((created = system.Find(handle))) {
        RECT client = created->ClientRect();
        POINT origin{created->rect.left + created->clientInsets.left, created->rect.top + created->clientInsets.top};
        SendMessageA(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        SendMessageA(handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
    }
    if ((dwStyle & WS_VISIBLE) && system.Find(handle)) ShowWindow(handle, SW_SHOW);
    return system.Find(handle) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return FALSE;
    if (window->destroying) return TRUE;
    window->destroying = true;

    // Owned windows go first, as on Windows.
    for (HWND other : system.TopLevelWindows())
        if (Window* owned = system.Find(other); owned && owned->owner == hWnd) DestroyWindow(other);

    if ((window = system.Find(hWnd)) && window->Visible())
        SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if ((window = system.Find(hWnd)) && window->Child() && !(window->exStyle & WS_EX_NOPARENTNOTIFY))
        SendMessageA(window->parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, window->id), reinterpret_cast<LPARAM>(hWnd));

    std::vector<HWND> tree;
    CollectTree(hWnd, tree);
    // Each window of the tree is told gone, the outermost first, while all of them can still be read.
    for (HWND member : tree) NotifyWinEvent(EVENT_OBJECT_DESTROY, member, OBJID_WINDOW, CHILDID_SELF);
    for (HWND member : tree) ForgetWindow(member);
    SendDestroy(hWnd);
    FinishDestroy(hWnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return hWnd == kDesktopWindow || WindowSystem::Get().Find(hWnd) != nullptr; }

HWND WINAPI GetDesktopWindow() { return kDesktopWindow; }

HWND WINAPI GetParent(HWND hWnd) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    if (!window) return nullptr;
    if (window->Child()) return window->parent;
    return (window->style & WS_POPUP) ? window->owner : nullptr;
}

HWND WINAPI SetParent(HWND hWndChild, HWND hWndNewParent) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWndChild);
    Window* parent = system.Find(hWndNewParent);
    if (!window || !window->Child() || !parent) return nullptr;
    HWND old = window->parent;
    bool visible = window->Visible();
    if (visible) ShowWindow(hWndChild, SW_HIDE);
    if (Window* oldParent = system.Find(old)) std::erase(oldParent->children, hWndChild);
    window->parent = hWndNewParent;
    parent->children.insert(parent->children.begin(), hWndChild);
    if (visible) ShowWindow(hWndChild, SW_SHOWNA);
    return old;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hwnd);
    if (!window) return nullptr;
    switch (gaFlags) {
        case GA_PARENT: return window->Child() ? window->parent : kDesktopWindow;
        case GA_ROOT: return TopLevelOf(window)->handle;
        case GA_ROOTOWNER: {
            Window* root = TopLevelOf(window);
            while (Window* owner = system.Find(root->owner)) root = owner;
            return root->handle;
        }
        default: return nullptr;
    }
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hWnd);
    if (!window) return nullptr;
    std::vector<HWND> siblings =
        window->Child() ? system.Find(window->parent)->children : system.TopLevelWindows();
    auto at = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
        case GW_CHILD: return window->children.empty() ? nullptr : window->children.front();
        case GW_OWNER: return window->Child() ? nullptr : window->owner;
        case GW_HWNDFIRST: return siblings.front();
        case GW_HWNDLAST: return siblings.back();
        case GW_HWNDNEXT: return at == siblings.end() || at + 1 == siblings.end() ? nullptr : *(at + 1);
        case GW_HWNDPREV: return at == siblings.begin() || at == siblings.end() ? nullptr : *(at - 1);
        case GW_ENABLEDPOPUP:
            for (HWND other : system.TopLevelWindows())
                if (Window* popup = system.Find(other);
                    popup && popup->owner == hWnd && popup->Visible() && !(popup->style & WS_DISABLED))
                    return other;
            return nullptr;
        default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}

HWND WINAPI GetTopWindow(HWND hWnd) {
    if (!hWnd || hWnd == kDesktopWindow) {
        auto tops = WindowSystem::Get().TopLevelWindows();
        return tops.empty() ? nullptr : tops.front();
    }
    return GetWindow(hWnd, GW_CHILD);
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    WindowSystem& system = WindowSystem::Get();
    for (Window* window = system.Find(hWnd); window && window->Child(); window = system.Find(window->parent))
        if (window->parent == hWndParent) return TRUE;
    return FALSE;
}

BOOL WINAPI EnumThreadWindows(DWORD, WNDENUMPROC lpfn, LPARAM lParam) {
    // Every window of the program belongs to its one user-interface thread.
    for (HWND handle : WindowSystem::Get().TopLevelWindows())
        if (IsWindow(handle) && !lpfn(handle, lParam)) return FALSE;
    return TRUE;
}

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    std::vector<HWND> tree;
    CollectTree(hWndParent, tree);
    for (size_t i = 1; i < tree.size(); ++i)
        if (IsWindow(tree[i]) && !lpEnumFunc(tree[i], lParam)) return FALSE;
    return TRUE;
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    if (!IsWindow(hWnd)) return 0;
    if (lpdwProcessId) *lpdwProcessId = GetCurrentProcessId();
    return uiThread;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    Window* window = WindowSystem::Get().FindOrFail(hWnd);
    return window && window->Child() ? static_cast<int>(window->id) : 0;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    WindowSystem& system = WindowSystem::Get();
    Window* window = system.FindOrFail(hDlg);
    if (!window) return nullptr;
    for (HWND child : window->children)
        if (Window* c = system.Find(child); c && c->id == nIDDlgItem) return child;
    return nullptr;
}

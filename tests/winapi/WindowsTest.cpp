// Windows as objects: their making and ending, their tree, their values, where they are, whether they show and take
// input, and what is left to paint in them.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/Recorder.h"
#include "tests/winapi/Suite.h"

namespace {

using Windows = winapi::WindowTest;

struct Walk {
    std::vector<HWND> found;
    int stopAfter;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM data) {
    auto* walk = reinterpret_cast<Walk*>(data);
    walk->found.push_back(window);
    return walk->stopAfter == 0 || static_cast<int>(walk->found.size()) < walk->stopAfter;
}

// The windows EnumChildWindows visits, ending the walk after `stopAfter` of them if it is not 0.
std::vector<HWND> Descendants(HWND parent, int stopAfter = 0) {
    Walk walk{{}, stopAfter};
    EnumChildWindows(parent, NoteWindow, reinterpret_cast<LPARAM>(&walk));
    return walk.found;
}

// Refuses its creation: in WM_NCCREATE when given a creation parameter, else in WM_CREATE.
LRESULT CALLBACK Refuses(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (message == WM_NCCREATE && create->lpCreateParams) return FALSE;
    if (message == WM_CREATE) return -1;
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Seen {
    LONG_PTR userDataAtCreate = 0;
    int width = 0;
    std::string name;
};

// The usual way to tie a window to its object: the object comes as the creation parameter and is kept in the
// window's user data from WM_NCCREATE on, so that every later message finds it.
LRESULT CALLBACK KeepsItsObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    if (message == WM_CREATE) {
        auto* seen = reinterpret_cast<Seen*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        seen->userDataAtCreate = GetWindowLongPtrA(window, GWLP_USERDATA);
        seen->width = create->cx;
        seen->name = create->lpszName;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<HWND> Sorted(std::vector<HWND> windows) {
    std::sort(windows.begin(), windows.end());
    return windows;
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(Windows, CreationAndDestructionSendWindowsMessagesInOrder) {
    HWND top = TopLevel("top");
    recorder_.Clear();
    HWND child = Child(top, "child", 0, 0, 10, 10);
    HWND grandchild = Child(child, "grandchild", 0, 0, 5, 5);
    EXPECT_EQ(recorder_.Sequence({WM_NCCREATE, WM_CREATE, WM_PARENTNOTIFY}),
              (std::vector<std::string>{"WM_NCCREATE(child)", "WM_CREATE(child)", "WM_PARENTNOTIFY(top)",
                                        "WM_NCCREATE(grandchild)", "WM_CREATE(grandchild)", "WM_PARENTNOTIFY(child)"}));
    EXPECT_EQ(GetParent(grandchild), child);
    EXPECT_TRUE(IsChild(top, grandchild));
    EXPECT_EQ(GetWindow(top, GW_CHILD), child);

    recorder_.Clear();
    EXPECT_TRUE(DestroyWindow(child));
    // WM_DESTROY goes down the tree, WM_NCDESTROY comes back up.
    EXPECT_EQ(recorder_.Sequence({WM_DESTROY, WM_NCDESTROY, WM_PARENTNOTIFY}),
              (std::vector<std::string>{"WM_PARENTNOTIFY(top)", "WM_DESTROY(child)", "WM_DESTROY(grandchild)",
                                        "WM_NCDESTROY(grandchild)", "WM_NCDESTROY(child)"}));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);

    // A window that refuses its creation, in WM_NCCREATE or in WM_CREATE, is gone when CreateWindowExA returns.
    WNDCLASSA cls{};
    cls.lpfnWndProc = Refuses;
    cls.lpszClassName = "KorvoTestRefuses";
    ASSERT_TRUE(RegisterClassA(&cls));
    int refuseEarly = 1;
    EXPECT_EQ(CreateWindowExA(0, "KorvoTestRefuses", "", WS_CHILD, 0, 0, 1, 1, top, nullptr, nullptr, &refuseEarly),
              nullptr);
    EXPECT_EQ(CreateWindowExA(0, "KorvoTestRefuses", "", WS_CHILD, 0, 0, 1, 1, top, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetWindow(top, GW_CHILD), nullptr);
    EXPECT_TRUE(UnregisterClassA("KorvoTestRefuses", nullptr));  // no window of it is left
}

TEST_F(Windows, AWindowDestroyedInsideItsOwnHandlerIsSafe) {
    HWND window = TopLevel("self");
    HWND child = Child(window, "child");
    recorder_.Handle(child, [window](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_USER) DestroyWindow(window);  // the child's own top-level window, the child with it
        return message == WM_USER;
    });
    PostMessageA(child, WM_USER, 0, 0);
    winapi::DispatchPending();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(Windows, TheCreationParameterReachesTheWindowBeforeCreateWindowReturns) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = KeepsItsObject;
    cls.lpszClassName = "KorvoTestCreationParameter";
    ASSERT_TRUE(RegisterClassA(&cls));
    HWND top = TopLevel("top");
    Seen seen;
    HWND window = CreateWindowExA(0, "KorvoTestCreationParameter", "named", WS_CHILD, 0, 0, 70, 20, top, nullptr,
                                  nullptr, &seen);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(seen.userDataAtCreate, reinterpret_cast<LONG_PTR>(&seen));
    EXPECT_EQ(seen.width, 70);
    EXPECT_EQ(seen.name, "named");
    // Setting a long answers with the value it replaces.
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_USERDATA, 5), reinterpret_cast<LONG_PTR>(&seen));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_USERDATA), 5);
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassA("KorvoTestCreationParameter", nullptr));
}

TEST_F(Windows, PropertiesBelongToTheirWindowAndAreNamedWhateverTheCase) {
    HWND first = TopLevel("first");
    HWND second = TopLevel("second");
    int a = 0, b = 0;
    EXPECT_TRUE(SetPropA(first, "KorvoItem", &a));
    EXPECT_TRUE(SetPropA(second, "KorvoItem", &b));
    EXPECT_EQ(GetPropA(first, "KorvoItem"), &a);
    EXPECT_EQ(GetPropA(second, "KorvoItem"), &b);
    EXPECT_EQ(GetPropA(first, "KorvoOther"), nullptr);
    // A property's name is an atom, and atoms are the same string whatever its case.
    EXPECT_EQ(GetPropA(first, "KORVOITEM"), &a);
    EXPECT_TRUE(SetPropA(first, "korvoitem", &b));  // the same property, replaced
    EXPECT_EQ(GetPropA(first, "KorvoItem"), &b);

    EXPECT_EQ(RemovePropA(first, "KorvoItem"), &b);
    EXPECT_EQ(GetPropA(first, "KorvoItem"), nullptr);
    EXPECT_EQ(RemovePropA(first, "KorvoItem"), nullptr);
    EXPECT_EQ(GetPropA(second, "KorvoItem"), &b);
    EXPECT_EQ(RemovePropA(second, "KorvoItem"), &b);
}

namespace {

WNDPROC subclassed = nullptr;

// Answers WM_USER itself and passes everything else to the procedure it replaced.
LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return 42;
    return CallWindowProcA(subclassed, window, message, wParam + 1, lParam);
}

}  // namespace

TEST_F(Windows, ASubclassSeesMessagesFirstAndPassesOnTheRest) {
    HWND window = TopLevel("w");
    subclassed = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    ASSERT_NE(subclassed, nullptr);
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)),
              reinterpret_cast<LONG_PTR>(subclassed));
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&Subclass));
    recorder_.Clear();
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 42);
    SendMessageA(window, WM_USER + 1, 10, 0);
    ASSERT_EQ(recorder_.Log().size(), 1u) << "WM_USER never reached the class's procedure";
    EXPECT_EQ(recorder_.Log()[0].message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(recorder_.Log()[0].wParam, 11u) << "as the subclass passed it on";

    // Put back, the class's procedure has every message again.
    EXPECT_EQ(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclassed)),
              reinterpret_cast<LONG_PTR>(&Subclass));
    recorder_.Clear();
    EXPECT_EQ(SendMessageA(window, WM_USER, 0, 0), 0);
    EXPECT_EQ(recorder_.Sequence({WM_USER}), (std::vector<std::string>{"WM_USER(w)"}));
}

TEST_F(Windows, TheTextGoesThroughTheWindowsOwnMessages) {
    HWND window = TopLevel("w");
    recorder_.Clear();
    EXPECT_TRUE(SetWindowTextA(window, "Korvo Player"));
    ASSERT_FALSE(recorder_.Log().empty());
    EXPECT_EQ(recorder_.Log()[0].message, static_cast<UINT>(WM_SETTEXT));
    EXPECT_EQ(GetWindowTextLengthA(window), 12);
    char text[64];
    EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 12);
    EXPECT_EQ(std::string(text), "Korvo Player");
    // A short buffer takes what fits before the terminating zero.
    EXPECT_EQ(GetWindowTextA(window, text, 4), 3);
    EXPECT_EQ(std::string(text), "Kor");

    // A window that answers WM_GETTEXT itself is what GetWindowTextA reports.
    recorder_.Handle(window, [](HWND, UINT message, WPARAM size, LPARAM buffer, LRESULT& result) {
        if (message != WM_GETTEXT) return false;
        const std::string own = "own";
        const size_t length = std::min(own.size(), static_cast<size_t>(size) - 1);
        own.copy(reinterpret_cast<char*>(buffer), length);
        reinterpret_cast<char*>(buffer)[length] = '\0';
        result = static_cast<LRESULT>(length);
        return true;
    });
    EXPECT_EQ(GetWindowTextA(window, text, sizeof text), 3);
    EXPECT_EQ(std::string(text), "own");
}

TEST_F(Windows, TheTreeIsWalkedInTheOrderItWasMade) {
    HWND top = TopLevel("top");
    HWND first = Child(top, "first");
    HWND second = Child(top, "second");
    HWND third = Child(top, "third");
    HWND inner = Child(second, "inner");
    EXPECT_EQ(GetWindow(top, GW_CHILD), first);
    EXPECT_EQ(GetWindow(first, GW_HWNDNEXT), second);
    EXPECT_EQ(GetWindow(third, GW_HWNDPREV), second);
    EXPECT_EQ(GetWindow(first, GW_HWNDLAST), third);
    EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetParent(inner), second);
    EXPECT_EQ(GetAncestor(inner, GA_ROOT), top);
    EXPECT_TRUE(IsChild(top, inner));
    EXPECT_TRUE(IsChild(second, inner));
    EXPECT_FALSE(IsChild(first, inner));
    EXPECT_FALSE(IsChild(inner, inner));
    // The first made is in front; sent to the bottom it comes last.
    SetWindowPos(first, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindow(top, GW_CHILD), second);
    EXPECT_EQ(GetWindow(third, GW_HWNDNEXT), first);

    // Windows does not say in which order EnumChildWindows visits the tree, only that it visits all of it.
    EXPECT_EQ(Sorted(Descendants(top)), Sorted({first, second, third, inner}));
    EXPECT_EQ(Descendants(top, 2).size(), 2u) << "a callback that answers FALSE ends the walk";
    EXPECT_EQ(Descendants(inner), std::vector<HWND>{});

    // A popup's parent is its owner; an owned overlapped window has an owner but no parent.
    HWND popup = TopLevel("popup", WS_POPUP, top);
    HWND overlapped = TopLevel("overlapped", WS_OVERLAPPED, top);
    EXPECT_EQ(GetParent(popup), top);
    EXPECT_EQ(GetWindow(popup, GW_OWNER), top);
    EXPECT_EQ(GetParent(overlapped), nullptr);
    EXPECT_EQ(GetWindow(overlapped, GW_OWNER), top);
    EXPECT_FALSE(IsChild(top, popup));
    // Owned windows go before their owner.
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_FALSE(IsWindow(overlapped));
}

TEST_F(Windows, MovingOrSizingAChildTellsItWhatChanged) {
    HWND top = TopLevel("top");
    HWND child = Child(top, "child", 10, 10, 50, 40, WS_CHILD | WS_VISIBLE | WS_BORDER);
    RECT client;
    GetClientRect(child, &client);
    const int frame = (50 - client.right) / 2;  // the border's width, on each side
    const std::vector<UINT> kPosition = {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE};
    auto names = [&] {
        std::vector<std::string> seen;
        for (const Received& r : recorder_.Log())
            if (std::find(kPosition.begin(), kPosition.end(), r.message) != kPosition.end())
                seen.push_back(r.message == WM_WINDOWPOSCHANGING  ? "changing"
                               : r.message == WM_WINDOWPOSCHANGED ? "changed"
                               : r.message == WM_MOVE             ? "move"
                                                                  : "size");
        return seen;
    };
    auto last = [&](UINT message) {
        for (auto r = recorder_.Log().rbegin(); r != recorder_.Log().rend(); ++r)
            if (r->message == message) return r->lParam;
        return LPARAM{-1};
    };

    recorder_.Clear();
    EXPECT_TRUE(MoveWindow(child, 30, 20, 80, 60, FALSE));
    EXPECT_EQ(names(), (std::vector<std::string>{"changing", "changed", "move", "size"}));
    // WM_MOVE has where the client area now is in the parent's client area, WM_SIZE its size.
    EXPECT_EQ(last(WM_MOVE), MAKELPARAM(30 + frame, 20 + frame));
    EXPECT_EQ(last(WM_SIZE), MAKELPARAM(80 - 2 * frame, 60 - 2 * frame));
    GetClientRect(child, &client);
    EXPECT_TRUE(client == (RECT{0, 0, 80 - 2 * frame, 60 - 2 * frame}));
    RECT inParent;
    GetWindowRect(child, &inParent);
    MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&inParent), 2);
    EXPECT_TRUE(inParent == (RECT{30, 20, 110, 80}));

    recorder_.Clear();
    SetWindowPos(child, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(names(), (std::vector<std::string>{"changing", "changed", "move"}));
    recorder_.Clear();
    SetWindowPos(child, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(names(), (std::vector<std::string>{"changing", "changed", "size"}));
}

TEST_F(Windows, APositionHandlerMayChangeTheNewPlaceOrTakeOverItsMessages) {
    HWND top = TopLevel("top");
    HWND child = Child(top, "child", 0, 0, 50, 40);
    // WM_WINDOWPOSCHANGING may change the place the window is going to.
    recorder_.Handle(child, [](HWND, UINT message, WPARAM, LPARAM lParam, LRESULT&) {
        if (message == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lParam)->cx = 25;
        return false;
    });
    MoveWindow(child, 0, 0, 100, 40, FALSE);
    RECT client;
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 25);

    // "The WM_SIZE and WM_MOVE messages are not sent if an application handles the WM_WINDOWPOSCHANGED message
    // without calling DefWindowProc."
    recorder_.Handle(child, [](HWND, UINT message, WPARAM, LPARAM, LRESULT& result) {
        result = 0;
        return message == WM_WINDOWPOSCHANGED;
    });
    recorder_.Clear();
    MoveWindow(child, 10, 10, 60, 60, FALSE);
    EXPECT_EQ(recorder_.Sequence({WM_MOVE, WM_SIZE}), std::vector<std::string>{});
    GetClientRect(child, &client);
    EXPECT_EQ(client.right, 60) << "the window moved all the same";
}

TEST_F(Windows, AChildShowsOnlyWhileItsParentShows) {
    HWND top = TopLevel("top");
    HWND child = Child(top, "child", 0, 0, 40, 30, WS_CHILD);
    EXPECT_FALSE(IsWindowVisible(child));
    auto shows = [&] {
        std::vector<WPARAM> shown;
        for (const Received& r : recorder_.Log())
            if (r.message == WM_SHOWWINDOW && r.window == child) shown.push_back(r.wParam);
        return shown;
    };
    recorder_.Clear();
    EXPECT_FALSE(ShowWindow(child, SW_SHOWNA)) << "it was hidden";
    EXPECT_EQ(shows(), std::vector<WPARAM>{TRUE});
    // Shown itself, it is still not visible while its parent is hidden.
    EXPECT_TRUE(GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child));
    ShowWindow(top, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(child));
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(child));
    ShowWindow(top, SW_SHOWNA);

    recorder_.Clear();
    EXPECT_TRUE(ShowWindow(child, SW_HIDE)) << "it was shown";
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_FALSE(ShowWindow(child, SW_HIDE));
    EXPECT_EQ(shows(), std::vector<WPARAM>{FALSE}) << "hiding a hidden window tells it nothing";
}

TEST_F(Windows, EnablingTellsTheWindowOnlyWhenItChanges) {
    HWND top = TopLevel("top");
    HWND child = Child(top, "child");
    recorder_.Clear();
    EXPECT_FALSE(EnableWindow(child, FALSE)) << "it was enabled";
    EXPECT_FALSE(IsWindowEnabled(child));
    EXPECT_TRUE(EnableWindow(child, FALSE)) << "it was disabled";
    EXPECT_TRUE(EnableWindow(child, TRUE));
    EXPECT_TRUE(IsWindowEnabled(child));
    EXPECT_FALSE(EnableWindow(child, TRUE));
    std::vector<WPARAM> enables;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_ENABLE) enables.push_back(r.wParam);
    EXPECT_EQ(enables, (std::vector<WPARAM>{FALSE, TRUE}));
    // Each window has its own state: a disabled parent leaves its child's as it was.
    EnableWindow(top, FALSE);
    EXPECT_TRUE(IsWindowEnabled(child));
    EXPECT_TRUE(GetWindowLongA(top, GWL_STYLE) & WS_DISABLED);
    EnableWindow(top, TRUE);
}

TEST_F(Windows, AnInvalidAreaIsPaintedOnceAndValidatingItPaintsNothing) {
    HWND top = TopLevel("top");
    ShowWindow(top, SW_SHOWNA);  // only a window that shows has anything to paint
    HWND child = Child(top, "child", 10, 10, 100, 80);
    UpdateWindow(top);
    winapi::DispatchPending();
    // What the display may still have left to paint is no concern here.
    ValidateRect(child, nullptr);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));

    std::vector<RECT> painted;
    recorder_.Handle(child, [&](HWND window, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message != WM_PAINT) return false;
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        painted.push_back(paint.rcPaint);
        RECT left;
        EXPECT_FALSE(GetUpdateRect(window, &left, FALSE)) << "BeginPaint validates the area";
        EndPaint(window, &paint);
        return true;
    });
    RECT a{0, 0, 10, 10}, b{20, 30, 40, 50};
    InvalidateRect(child, &a, FALSE);
    InvalidateRect(child, &b, FALSE);
    EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));
    EXPECT_TRUE(update == (RECT{0, 0, 40, 50}));
    // UpdateWindow paints before it returns, and once.
    UpdateWindow(child);
    ASSERT_EQ(painted.size(), 1u);
    EXPECT_TRUE(painted[0] == (RECT{0, 0, 40, 50}));
    UpdateWindow(child);
    EXPECT_EQ(painted.size(), 1u);

    // Validated, part of an area is left; validated whole, nothing is.
    RECT wide{0, 0, 60, 60}, upper{0, 0, 60, 20};
    InvalidateRect(child, &wide, FALSE);
    ValidateRect(child, &upper);
    EXPECT_TRUE(GetUpdateRect(child, &update, FALSE));
    EXPECT_TRUE(update == (RECT{0, 20, 60, 60}));
    ValidateRect(child, nullptr);
    EXPECT_FALSE(GetUpdateRect(child, &update, FALSE));
    EXPECT_TRUE(IsRectEmpty(&update));
    UpdateWindow(child);
    EXPECT_EQ(painted.size(), 1u);
}

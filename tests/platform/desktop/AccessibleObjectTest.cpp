// The accessible objects a screen reader walks, read from real windows and built-in controls on the headless
// desktop: what each class says it is, is called, can do and holds, where it is, and what a reader's click and
// value do, as a reader would find them through the bus.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/desktop/AccessibleObject.h"
#include "platform/desktop/AccessibleSelection.h"
#include "platform/desktop/AccessibleText.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace platform::desktop;

namespace {

using Kind = AccessibleRef::Kind;

AccessibleRef Of(HWND window) { return {Kind::Window, window, 0}; }
AccessibleRef LineOf(HWND window, UINT line) { return {Kind::Line, window, line}; }
AccessibleRef PartOf(HWND window, UINT part) { return {Kind::Part, window, part}; }

// The states set, by name, so that a failure reads as the reader would see it.
std::string Names(const StateSet& states) {
    static const std::pair<State, const char*> kNames[] = {
        {State::kActive, "active"},       {State::kChecked, "checked"},       {State::kCollapsed, "collapsed"},
        {State::kDefunct, "defunct"},     {State::kEditable, "editable"},     {State::kEnabled, "enabled"},
        {State::kExpandable, "expandable"}, {State::kExpanded, "expanded"},   {State::kFocusable, "focusable"},
        {State::kFocused, "focused"},     {State::kHorizontal, "horizontal"}, {State::kIconified, "iconified"},
        {State::kModal, "modal"},         {State::kMultiLine, "multi-line"},  {State::kMultiselectable, "multiselectable"},
        {State::kResizable, "resizable"}, {State::kSelectable, "selectable"}, {State::kSelected, "selected"},
        {State::kSensitive, "sensitive"}, {State::kShowing, "showing"},       {State::kSingleLine, "single-line"},
        {State::kVertical, "vertical"},   {State::kVisible, "visible"},
        {State::kManagesDescendants, "manages-descendants"}, {State::kIndeterminate, "indeterminate"},
        {State::kIsDefault, "default"},   {State::kCheckable, "checkable"},   {State::kReadOnly, "read-only"},
    };
    std::string names;
    for (const auto& [state, name] : kNames)
        if (states.Has(state)) names += std::string(names.empty() ? "" : " ") + name;
    return names;
}
std::string StatesOfRef(const AccessibleRef& ref) { return Names(StatesOf(ref)); }

constexpr const char* kUsable = "enabled focusable sensitive showing visible";

RECT Screen(HWND window, RECT client) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return {client.left + origin.x, client.top + origin.y, client.right + origin.x, client.bottom + origin.y};
}

void ExpectRect(const std::optional<RECT>& got, const RECT& wanted) {
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->left, wanted.left);
    EXPECT_EQ(got->top, wanted.top);
    EXPECT_EQ(got->right, wanted.right);
    EXPECT_EQ(got->bottom, wanted.bottom);
}

// The parts a test's windows have, which the test's provider lists.
std::vector<ACCPARTA> parts;
HWND partsWindow = nullptr;
std::vector<UINT> partsClicked;

UINT CALLBACK ListParts(HWND window, ACCPARTA* out, UINT count) {
    if (window != partsWindow) return 0;
    for (UINT i = 0; i < count && i < parts.size(); ++i) out[i] = parts[i];
    return static_cast<UINT>(parts.size());
}
void CALLBACK ClickTestPart(HWND window, UINT index) {
    if (window == partsWindow) partsClicked.push_back(index);
}

ACCPARTA Part(UINT kind, const char* name, RECT where, bool enabled = true, bool visible = true) {
    ACCPARTA part{};
    part.uKind = kind;
    std::strncpy(part.szName, name, sizeof part.szName - 1);
    part.rcPart = where;
    part.fEnabled = enabled;
    part.fVisible = visible;
    return part;
}

class AccessibleObjects : public ::testing::Test {
  protected:
    AccessibleObjects() : display_(UseHeadlessDisplay()) {
        InitCommonControls();
        frame_ = recorder_.TopLevel("Korvo", 100, 50, 400, 300,
                                    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME |
                                        WS_VISIBLE);
        DispatchPending();
    }
    ~AccessibleObjects() override {
        SetPartsProvider(nullptr, nullptr);
        parts.clear();
        partsWindow = nullptr;
        partsClicked.clear();
        ResetDesktop();
    }

    HWND Make(const char* cls, const char* text, DWORD style, RECT r, HWND parent = nullptr, int id = 0) {
        HWND window = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, parent ? parent : frame_,
                                      reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
        EXPECT_NE(window, nullptr) << cls;
        return window;
    }

    // The notices a window's parent received, as "code" for WM_COMMAND and "scroll code:position" for the slider.
    std::vector<std::string> Notices(UINT message) const {
        std::vector<std::string> notices;
        for (const Received& r : recorder_.Log())
            if (r.message == message) notices.push_back(std::to_string(HIWORD(r.wParam)) + ":" +
                                                        std::to_string(LOWORD(r.wParam)));
        return notices;
    }

    platform::display::HeadlessDisplay& display_;
    VirtualClock clock_;
    Recorder recorder_;
    HWND frame_ = nullptr;
};

}  // namespace

TEST_F(AccessibleObjects, TheApplicationHoldsTheShownCaptionedWindowsInTheOrderMade) {
    HWND hint = recorder_.TopLevel("hint", 10, 10, 50, 20, WS_POPUP | WS_VISIBLE);
    HWND dialog = CreateWindowExA(WS_EX_DLGMODALFRAME, Recorder::kClassName, "Settings",
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 150, 80, 200, 150, frame_, nullptr,
                                  nullptr, nullptr);
    HWND hidden = recorder_.TopLevel("hidden", 10, 10, 50, 50, WS_OVERLAPPED | WS_CAPTION);
    DispatchPending();

    const AccessibleRef app{};
    EXPECT_EQ(RoleOf(app), role::kApplication);
    EXPECT_EQ(IndexInParent(app), -1);
    EXPECT_FALSE(ParentOf(app).has_value());
    ASSERT_EQ(ChildCount(app), 2);
    EXPECT_EQ(ChildAt(app, 0), Of(frame_));
    EXPECT_EQ(ChildAt(app, 1), Of(dialog));
    EXPECT_FALSE(ChildAt(app, 2).has_value());
    EXPECT_FALSE(ChildAt(app, -1).has_value());
    EXPECT_FALSE(Exists(Of(hint)));
    // A hidden window is still there for a reader that holds it, but in no list and not on the screen.
    EXPECT_TRUE(Exists(Of(hidden)));
    EXPECT_EQ(IndexInParent(Of(hidden)), -1);
    EXPECT_EQ(StatesOfRef(Of(hidden)), "enabled sensitive");

    EXPECT_EQ(RoleOf(Of(frame_)), role::kFrame);
    EXPECT_EQ(RoleOf(Of(dialog)), role::kDialog);
    EXPECT_STREQ(RoleName(RoleOf(Of(dialog))), "dialog");
    EXPECT_EQ(NameOf(Of(frame_)), "Korvo");
    EXPECT_EQ(NameOf(Of(dialog)), "Settings");
    EXPECT_EQ(ParentOf(Of(dialog)), app);
    EXPECT_EQ(IndexInParent(Of(dialog)), 1);

    // Activation moves the active state and nothing else: the order stays the order made.
    SetActiveWindow(frame_);
    EXPECT_EQ(StatesOfRef(Of(frame_)), "active enabled focused resizable sensitive showing visible");
    EXPECT_EQ(StatesOfRef(Of(dialog)), "enabled sensitive showing visible");
    SetActiveWindow(dialog);
    EXPECT_EQ(StatesOfRef(Of(frame_)), "enabled resizable sensitive showing visible");
    EXPECT_EQ(StatesOfRef(Of(dialog)), "active enabled focused sensitive showing visible");
    EXPECT_EQ(ChildAt(app, 0), Of(frame_));
    EXPECT_EQ(IndexInParent(Of(frame_)), 0);

    RECT bounds{};
    GetWindowRect(dialog, &bounds);
    ExpectRect(ExtentsOf(Of(dialog)), bounds);
    EXPECT_EQ(bounds.left, 150);
    EXPECT_EQ(bounds.right - bounds.left, 200);

    // A minimised window and what it holds are there but not on the screen.
    HWND button = Make("BUTTON", "Play", BS_PUSHBUTTON, {10, 10, 80, 35});
    ShowWindow(frame_, SW_MINIMIZE);
    DispatchPending();
    EXPECT_TRUE(StatesOf(Of(frame_)).Has(State::kIconified));
    EXPECT_FALSE(StatesOf(Of(frame_)).Has(State::kShowing));
    EXPECT_FALSE(StatesOf(Of(button)).Has(State::kShowing));
    EXPECT_TRUE(StatesOf(Of(button)).Has(State::kVisible));
    ShowWindow(frame_, SW_RESTORE);
    DispatchPending();
    EXPECT_TRUE(StatesOf(Of(button)).Has(State::kShowing));

    // A window hidden or destroyed leaves the application, and its objects are gone.
    ShowWindow(dialog, SW_HIDE);
    EXPECT_EQ(ChildCount(app), 1);
    EXPECT_EQ(IndexInParent(Of(dialog)), -1);
    EXPECT_FALSE(StatesOf(Of(dialog)).Has(State::kShowing));
    DestroyWindow(frame_);
    EXPECT_EQ(ChildCount(app), 0);
    EXPECT_FALSE(Exists(Of(frame_)));
    EXPECT_FALSE(Exists(Of(button)));
}

TEST_F(AccessibleObjects, AProgramsEventAboutAPartIsThePartsAndOtherEventsTheWindows) {
    const HWND window = frame_;
    for (DWORD event : {EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_SHOW, EVENT_OBJECT_HIDE}) {
        const AccessibleRef part = SourceOf(event, window, OBJID_CLIENT, 3);
        EXPECT_EQ(part, PartOf(window, 2)) << std::hex << event;
        EXPECT_EQ(IdOf(part), IdOf(Of(window)) + "_p2");
        EXPECT_EQ(SourceOf(event, window, OBJID_CLIENT, 0), Of(window)) << "the window itself";
    }
    // A list's choice names its line, which the event tells beside the list.
    EXPECT_EQ(SourceOf(EVENT_OBJECT_SELECTION, window, OBJID_CLIENT, 3), Of(window));
    EXPECT_EQ(SourceOf(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, 0), Of(window));
}

TEST_F(AccessibleObjects, IdsNameEachObjectAndReadBackToIt) {
    HWND list = Make("LISTBOX", "", 0, {10, 10, 110, 110});
    const std::vector<AccessibleRef> refs = {AccessibleRef{}, Of(frame_), Of(list), LineOf(list, 0x1f),
                                             PartOf(frame_, 12)};
    std::vector<std::string> ids;
    for (const AccessibleRef& ref : refs) {
        const std::string id = IdOf(ref);
        EXPECT_EQ(RefOf(id), ref) << id;
        for (const std::string& other : ids) EXPECT_NE(id, other);
        ids.push_back(id);
    }
    EXPECT_EQ(ids[0], "root");
    EXPECT_EQ(ids[3].substr(ids[3].size() - 4), "_i1f");
    EXPECT_EQ(ids[4].substr(ids[4].size() - 3), "_pc");
    for (const char* bad : {"", "w", "x12", "wzz", "w12_", "w12_q3", "w12_p", "w12_pz", "w12_p3x", "root2"})
        EXPECT_FALSE(RefOf(bad).has_value()) << bad;
}

TEST_F(AccessibleObjects, ButtonsSayWhatTheyAreWhatTheyHoldAndTakeAReadersClick) {
    HWND play = Make("BUTTON", "&Play", BS_PUSHBUTTON | WS_TABSTOP, {10, 10, 85, 35}, nullptr, 1);
    HWND ok = Make("BUTTON", "OK", BS_DEFPUSHBUTTON, {90, 10, 165, 35}, nullptr, 2);
    HWND shuffle = Make("BUTTON", "S&huffle && repeat", BS_AUTOCHECKBOX, {10, 40, 150, 60}, nullptr, 3);
    HWND third = Make("BUTTON", "Maybe", BS_AUTO3STATE, {160, 40, 250, 60}, nullptr, 4);
    HWND cd = Make("BUTTON", "CD", BS_AUTORADIOBUTTON | WS_GROUP, {10, 70, 80, 90}, nullptr, 5);
    HWND files = Make("BUTTON", "Files", BS_AUTORADIOBUTTON, {90, 70, 160, 90}, nullptr, 6);
    // The framework's check box: a class of its own made from the built-in button's.
    WNDCLASSA superclass{};
    ASSERT_TRUE(GetClassInfoA(nullptr, "BUTTON", &superclass));
    superclass.lpszClassName = "TestCheckBox";
    ASSERT_TRUE(RegisterClassA(&superclass));
    HWND own = Make("TestCheckBox", "Own", BS_AUTOCHECKBOX, {10, 100, 100, 120}, nullptr, 7);
    DispatchPending();

    const std::vector<HWND> made = {play, ok, shuffle, third, cd, files, own};
    ASSERT_EQ(ChildCount(Of(frame_)), static_cast<int>(made.size()));
    for (size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(ChildAt(Of(frame_), static_cast<int>(i)), Of(made[i])) << i;
        EXPECT_EQ(IndexInParent(Of(made[i])), static_cast<int>(i));
        EXPECT_EQ(ParentOf(Of(made[i])), Of(frame_));
        EXPECT_EQ(ChildCount(Of(made[i])), 0);
        EXPECT_TRUE(InterfacesOf(Of(made[i])) & kActionInterface) << i;
        EXPECT_FALSE(InterfacesOf(Of(made[i])) & kValueInterface) << i;
    }

    EXPECT_EQ(RoleOf(Of(play)), role::kPushButton);
    EXPECT_EQ(RoleOf(Of(ok)), role::kPushButton);
    EXPECT_EQ(RoleOf(Of(shuffle)), role::kCheckBox);
    EXPECT_EQ(RoleOf(Of(third)), role::kCheckBox);
    EXPECT_EQ(RoleOf(Of(cd)), role::kRadioButton);
    EXPECT_EQ(RoleOf(Of(own)), role::kCheckBox);
    EXPECT_EQ(NameOf(Of(play)), "Play");
    EXPECT_EQ(NameOf(Of(shuffle)), "Shuffle & repeat");

    EXPECT_EQ(StatesOfRef(Of(play)), kUsable);
    EXPECT_EQ(StatesOfRef(Of(ok)), std::string(kUsable) + " default");
    EXPECT_EQ(StatesOfRef(Of(shuffle)), std::string(kUsable) + " checkable");
    SendMessageA(shuffle, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(third, BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(StatesOfRef(Of(shuffle)), "checked enabled focusable sensitive showing visible checkable");
    EXPECT_EQ(StatesOfRef(Of(third)), std::string(kUsable) + " indeterminate checkable");

    SetFocus(play);
    EXPECT_TRUE(StatesOf(Of(play)).Has(State::kFocused));
    SetFocus(ok);
    EXPECT_FALSE(StatesOf(Of(play)).Has(State::kFocused));
    EXPECT_TRUE(StatesOf(Of(ok)).Has(State::kFocused));

    RECT where{};
    GetWindowRect(files, &where);
    ExpectRect(ExtentsOf(Of(files)), where);
    ExpectRect(ExtentsOf(Of(files)), Screen(frame_, {90, 70, 160, 90}));

    // A reader's click is posted: it arrives as the user's does, from the loop.
    recorder_.Clear();
    EXPECT_TRUE(TakesClick(Of(files)));
    EXPECT_TRUE(ClickWindow(files));
    EXPECT_TRUE(ClickWindow(own));
    EXPECT_FALSE(StatesOf(Of(files)).Has(State::kChecked));
    DispatchPending();
    EXPECT_TRUE(StatesOf(Of(files)).Has(State::kChecked));
    EXPECT_FALSE(StatesOf(Of(cd)).Has(State::kChecked));
    EXPECT_TRUE(StatesOf(Of(own)).Has(State::kChecked));
    EXPECT_EQ(Notices(WM_COMMAND), (std::vector<std::string>{"0:6", "0:7"}));  // BN_CLICKED from each

    // Disabled, a button, or a button in a disabled window, takes no click and no focus.
    EnableWindow(play, FALSE);
    EXPECT_EQ(StatesOfRef(Of(play)), "showing visible");
    EXPECT_FALSE(TakesClick(Of(play)));
    EnableWindow(frame_, FALSE);
    EXPECT_EQ(StatesOfRef(Of(ok)), "showing visible default");
    EXPECT_FALSE(TakesClick(Of(ok)));
    EnableWindow(frame_, TRUE);
    EXPECT_TRUE(TakesClick(Of(ok)));
    ShowWindow(ok, SW_HIDE);
    EXPECT_EQ(StatesOfRef(Of(ok)), "enabled focusable sensitive default");
}

TEST_F(AccessibleObjects, AListHoldsItsLinesWithTheirSelectionAndPlaceOnTheScreen) {
    HWND list = Make("LISTBOX", "not shown", LBS_NOTIFY, {10, 10, 160, 60});
    for (const char* line : {"One", "Two", "Three", "Four", "Five", "Six"})
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    DispatchPending();
    const AccessibleRef box = Of(list);
    EXPECT_EQ(RoleOf(box), role::kList);
    EXPECT_EQ(NameOf(box), "");
    EXPECT_EQ(StatesOfRef(box), std::string(kUsable) + " manages-descendants");
    ASSERT_EQ(ChildCount(box), 6);
    const char* names[] = {"One", "Two", "Three", "Four", "Five", "Six"};
    for (UINT i = 0; i < 6; ++i) {
        const std::optional<AccessibleRef> line = ChildAt(box, static_cast<int>(i));
        ASSERT_EQ(line, LineOf(list, i));
        EXPECT_EQ(RoleOf(*line), role::kListItem);
        EXPECT_EQ(NameOf(*line), names[i]);
        EXPECT_EQ(IndexInParent(*line), static_cast<int>(i));
        EXPECT_EQ(ParentOf(*line), box);
        EXPECT_TRUE(Exists(*line));
        EXPECT_EQ(InterfacesOf(*line), kComponentInterface);
    }
    EXPECT_FALSE(ChildAt(box, 6).has_value());
    EXPECT_FALSE(Exists(LineOf(list, 6)));

    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    ExpectRect(ExtentsOf(LineOf(list, 1)), Screen(list, item));
    EXPECT_GT(item.top, 0);

    // Only the lines in the box's view are on the screen; scrolling moves which.
    EXPECT_EQ(StatesOfRef(LineOf(list, 0)), "enabled focusable selectable sensitive showing visible");
    EXPECT_EQ(StatesOfRef(LineOf(list, 5)), "enabled focusable selectable sensitive visible");
    SendMessageA(list, LB_SETTOPINDEX, 5, 0);
    EXPECT_TRUE(StatesOf(LineOf(list, 5)).Has(State::kShowing));
    EXPECT_FALSE(StatesOf(LineOf(list, 0)).Has(State::kShowing));

    SendMessageA(list, LB_SETCURSEL, 2, 0);
    for (UINT i = 0; i < 6; ++i) EXPECT_EQ(StatesOf(LineOf(list, i)).Has(State::kSelected), i == 2) << i;
    // The keyboard's line is focused while the list has the keyboard, and only then.
    EXPECT_FALSE(StatesOf(LineOf(list, 2)).Has(State::kFocused));
    SetFocus(list);
    for (UINT i = 0; i < 6; ++i) EXPECT_EQ(StatesOf(LineOf(list, i)).Has(State::kFocused), i == 2) << i;
    PressKey(VK_UP);
    DispatchPending();
    EXPECT_TRUE(StatesOf(LineOf(list, 1)).Has(State::kFocused));
    EXPECT_FALSE(StatesOf(LineOf(list, 2)).Has(State::kFocused));
    SetFocus(frame_);
    EXPECT_FALSE(StatesOf(LineOf(list, 1)).Has(State::kFocused));
    SendMessageA(list, LB_DELETESTRING, 5, 0);
    EXPECT_EQ(ChildCount(box), 5);
    EXPECT_FALSE(Exists(LineOf(list, 5)));

    // A list that takes several lines says so, and each line its own choice.
    HWND many = Make("LISTBOX", "", LBS_EXTENDEDSEL, {200, 10, 300, 100});
    for (const char* line : {"a", "b", "c"}) SendMessageA(many, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_TRUE(StatesOf(Of(many)).Has(State::kMultiselectable));
    SendMessageA(many, LB_SETSEL, TRUE, 0);
    SendMessageA(many, LB_SETSEL, TRUE, 2);
    EXPECT_TRUE(StatesOf(LineOf(many, 0)).Has(State::kSelected));
    EXPECT_FALSE(StatesOf(LineOf(many, 1)).Has(State::kSelected));
    EXPECT_TRUE(StatesOf(LineOf(many, 2)).Has(State::kSelected));

    // An owner-drawn list without texts holds the program's numbers, which are nothing to read.
    HWND drawn = Make("LISTBOX", "", LBS_OWNERDRAWFIXED, {10, 120, 160, 200});
    SendMessageA(drawn, LB_ADDSTRING, 0, 12345);
    ASSERT_EQ(ChildCount(Of(drawn)), 1);
    EXPECT_EQ(NameOf(LineOf(drawn, 0)), "");

    EnableWindow(list, FALSE);
    EXPECT_EQ(StatesOfRef(LineOf(list, 1)), "selectable selected showing visible");
}

TEST_F(AccessibleObjects, AComboBoxIsNamedByItsChoiceAndTheSliderTakesAReadersValue) {
    HWND drives = Make("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, {10, 10, 110, 200});
    for (const char* line : {"C:", "D: music"}) SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    SendMessageA(drives, CB_SETCURSEL, 1, 0);
    DispatchPending();
    const AccessibleRef combo = Of(drives);
    EXPECT_EQ(RoleOf(combo), role::kComboBox);
    EXPECT_EQ(NameOf(combo), "D: music");
    EXPECT_EQ(StatesOfRef(combo), "collapsed enabled expandable focusable sensitive showing visible");
    // Its lines follow whatever windows it has of its own.
    const int count = ChildCount(combo);
    ASSERT_GE(count, 2);
    const std::optional<AccessibleRef> first = ChildAt(combo, count - 2), second = ChildAt(combo, count - 1);
    ASSERT_EQ(first, LineOf(drives, 0));
    ASSERT_EQ(second, LineOf(drives, 1));
    EXPECT_EQ(NameOf(*first), "C:");
    EXPECT_FALSE(StatesOf(*first).Has(State::kSelected));
    EXPECT_TRUE(StatesOf(*second).Has(State::kSelected));
    EXPECT_EQ(IndexInParent(*second), count - 1);
    SendMessageA(drives, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(NameOf(combo), "C:");
    EXPECT_TRUE(StatesOf(*first).Has(State::kSelected));
    SendMessageA(drives, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_TRUE(StatesOf(combo).Has(State::kExpanded));
    EXPECT_FALSE(StatesOf(combo).Has(State::kCollapsed));
    // The dropped list is the combo box's, not a window of the application's.
    EXPECT_EQ(ChildCount(AccessibleRef{}), 1);
    SendMessageA(drives, CB_SHOWDROPDOWN, FALSE, 0);

    HWND position = Make(TRACKBAR_CLASSA, "not shown", TBS_BOTH | TBS_NOTICKS, {10, 220, 210, 250});
    SendMessageA(position, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    SendMessageA(position, TBM_SETPOS, TRUE, 30);
    HWND volume = Make(TRACKBAR_CLASSA, "", TBS_VERT, {250, 10, 280, 200});
    SendMessageA(volume, TBM_SETRANGE, TRUE, MAKELPARAM(10, 20));
    DispatchPending();
    const AccessibleRef slider = Of(position);
    EXPECT_EQ(RoleOf(slider), role::kSlider);
    EXPECT_EQ(NameOf(slider), "");
    EXPECT_EQ(StatesOfRef(slider), "enabled focusable horizontal sensitive showing visible");
    EXPECT_TRUE(StatesOf(Of(volume)).Has(State::kVertical));
    EXPECT_EQ(InterfacesOf(slider), kComponentInterface | kValueInterface);
    EXPECT_FALSE(TakesClick(slider));
    SliderValue value = ValueOf(position);
    EXPECT_EQ(value.minimum, 0);
    EXPECT_EQ(value.maximum, 100);
    EXPECT_EQ(value.current, 30);

    // The thumb moves at once; the owner hears of it later from its loop, as of the user's move.
    recorder_.Clear();
    SetValue(position, 69.6);
    EXPECT_EQ(SendMessageA(position, TBM_GETPOS, 0, 0), 70);
    EXPECT_TRUE(Notices(WM_HSCROLL).empty());
    DispatchPending();
    EXPECT_EQ(Notices(WM_HSCROLL), (std::vector<std::string>{"70:" + std::to_string(TB_THUMBPOSITION),
                                                             "0:" + std::to_string(TB_ENDTRACK)}));
    SetValue(position, 1e9);
    EXPECT_EQ(ValueOf(position).current, 100);
    SetValue(position, -5);
    EXPECT_EQ(ValueOf(position).current, 0);
    DispatchPending();
    recorder_.Clear();
    SetValue(position, std::nan(""));
    DispatchPending();
    EXPECT_EQ(ValueOf(position).current, 0);
    EXPECT_TRUE(Notices(WM_HSCROLL).empty());
    SetValue(volume, 15);
    DispatchPending();
    EXPECT_EQ(ValueOf(volume).current, 15);
    EXPECT_EQ(Notices(WM_VSCROLL).size(), 2u);
}

TEST_F(AccessibleObjects, EditsSayTheirTextButNeverAPassword) {
    HWND path = Make("EDIT", "C:\\Music", ES_AUTOHSCROLL, {10, 10, 200, 30});
    HWND notes = Make("EDIT", "line", ES_MULTILINE | ES_READONLY, {10, 40, 200, 100});
    HWND secret = Make("EDIT", "hunter2", ES_PASSWORD, {10, 110, 200, 130});
    DispatchPending();
    EXPECT_EQ(RoleOf(Of(path)), role::kText);
    EXPECT_EQ(NameOf(Of(path)), "C:\\Music");
    EXPECT_EQ(StatesOfRef(Of(path)), "editable enabled focusable sensitive showing single-line visible");
    EXPECT_EQ(StatesOfRef(Of(notes)), "enabled focusable multi-line sensitive showing visible read-only");
    SetWindowTextA(path, "D:\\caf\xe9");
    // Read as valid UTF-8, whatever bytes the name holds.
    const std::string name = NameOf(Of(path));
    EXPECT_EQ(name.substr(0, 6), "D:\\caf");
    EXPECT_NE(name, "D:\\caf\xe9");
    EXPECT_EQ(RoleOf(Of(secret)), role::kPasswordText);
    EXPECT_EQ(NameOf(Of(secret)).find("hunter2"), std::string::npos);
}

TEST_F(AccessibleObjects, TheProgramsWindowlessPartsFollowTheWindowsChildrenAndAreClickedThroughIt) {
    HWND list = Make("LISTBOX", "", 0, {200, 100, 300, 200});
    HWND label = recorder_.Child(frame_, 10, 200, 100, 20);
    partsWindow = frame_;
    parts = {Part(ACCPART_PUSHBUTTON, "Play", {5, 5, 30, 30}), Part(ACCPART_LABEL, "00:00", {40, 5, 90, 25}),
             Part(ACCPART_PUSHBUTTON, "Eject", {100, 5, 125, 30}, false),
             Part(ACCPART_PUSHBUTTON, "Stop", {130, 5, 155, 30}, true, false)};
    // Without a provider a window has none.
    EXPECT_EQ(ChildCount(Of(frame_)), 2);
    EXPECT_FALSE(Exists(PartOf(frame_, 0)));
    SetPartsProvider(&ListParts, &ClickTestPart);

    const AccessibleRef frame = Of(frame_);
    ASSERT_EQ(ChildCount(frame), 6);
    EXPECT_EQ(ChildAt(frame, 0), Of(list));
    EXPECT_EQ(ChildAt(frame, 1), Of(label));
    for (UINT i = 0; i < 4; ++i) {
        EXPECT_EQ(ChildAt(frame, static_cast<int>(2 + i)), PartOf(frame_, i));
        EXPECT_EQ(IndexInParent(PartOf(frame_, i)), static_cast<int>(2 + i));
        EXPECT_EQ(ParentOf(PartOf(frame_, i)), frame);
    }
    EXPECT_EQ(RoleOf(Of(label)), role::kPanel);  // a window of a class no reader knows
    EXPECT_EQ(RoleOf(PartOf(frame_, 0)), role::kPushButton);
    EXPECT_EQ(RoleOf(PartOf(frame_, 1)), role::kLabel);
    EXPECT_EQ(NameOf(PartOf(frame_, 0)), "Play");
    EXPECT_EQ(NameOf(PartOf(frame_, 1)), "00:00");
    EXPECT_EQ(StatesOfRef(PartOf(frame_, 0)), "enabled sensitive showing visible");
    EXPECT_EQ(StatesOfRef(PartOf(frame_, 2)), "showing visible");
    EXPECT_EQ(StatesOfRef(PartOf(frame_, 3)), "enabled sensitive");
    EXPECT_TRUE(StatesOf(PartOf(frame_, 4)).Has(State::kDefunct));
    ExpectRect(ExtentsOf(PartOf(frame_, 1)), Screen(frame_, {40, 5, 90, 25}));
    // A window the program lists no parts for has none.
    EXPECT_EQ(ChildCount(Of(list)), 0);

    EXPECT_TRUE(TakesClick(PartOf(frame_, 0)));
    EXPECT_FALSE(TakesClick(PartOf(frame_, 1)));  // a label
    EXPECT_FALSE(TakesClick(PartOf(frame_, 2)));  // disabled
    EnableWindow(frame_, FALSE);
    EXPECT_FALSE(TakesClick(PartOf(frame_, 0)));
    EnableWindow(frame_, TRUE);
    ClickPart(frame_, 0);
    ClickPart(list, 1);
    EXPECT_EQ(partsClicked, std::vector<UINT>{0});

    // More parts than a first look has room for are all read.
    parts.clear();
    for (int i = 0; i < 20; ++i) parts.push_back(Part(ACCPART_LABEL, std::to_string(i).c_str(), {i, 0, i + 1, 1}));
    EXPECT_EQ(ChildCount(frame), 22);
    EXPECT_EQ(NameOf(PartOf(frame_, 19)), "19");
    EXPECT_TRUE(Exists(PartOf(frame_, 19)));
    EXPECT_FALSE(Exists(PartOf(frame_, 20)));
    // A name that fills its room without an end is cut, not read beyond.
    std::memset(parts[0].szName, 'x', sizeof parts[0].szName);
    EXPECT_EQ(NameOf(PartOf(frame_, 0)), std::string(sizeof parts[0].szName - 1, 'x'));
}

TEST_F(AccessibleObjects, AMessageBoxIsAnAlertReadByItsTextAndAnsweredByItsButtons) {
    // The box waits in a loop of its own: the test reads it from a timer of the frame's while it is up.
    struct Seen {
        HWND box = nullptr;
        uint32_t role = 0;
        std::string name, states, text, textStates;
        int children = 0;
        std::vector<std::string> buttons, buttonStates;
        std::vector<uint32_t> buttonRoles;
        std::vector<bool> clickable;
        bool textClickable = true;
        int appChildren = 0;
        std::optional<RECT> textExtents;
        std::vector<std::optional<RECT>> buttonExtents;
        RECT boxRect{};
        bool stayedForThePostedClick = false;
    };
    static Seen seen;
    static int step = 0;
    seen = Seen{};
    step = 0;
    SetTimer(frame_, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        // Should the reader's click be lost, Escape ends the box with another answer rather than leave it waiting.
        if (++step == 50) PressKey(VK_ESCAPE);
        if (step != 2) return;
        HWND box = GetActiveWindow();
        seen.box = box;
        const AccessibleRef alert = Of(box);
        seen.role = RoleOf(alert);
        seen.name = NameOf(alert);
        seen.states = StatesOfRef(alert);
        seen.appChildren = ChildCount(AccessibleRef{});
        seen.children = ChildCount(alert);
        if (seen.children < 1) return;
        seen.text = NameOf(PartOf(box, 0));
        seen.textStates = StatesOfRef(PartOf(box, 0));
        seen.textClickable = TakesClick(PartOf(box, 0));
        seen.textExtents = ExtentsOf(PartOf(box, 0));
        GetWindowRect(box, &seen.boxRect);
        for (int i = 1; i < seen.children; ++i) {
            const AccessibleRef button = PartOf(box, static_cast<UINT>(i));
            seen.buttons.push_back(NameOf(button));
            seen.buttonRoles.push_back(RoleOf(button));
            seen.buttonStates.push_back(StatesOfRef(button));
            seen.clickable.push_back(TakesClick(button));
            seen.buttonExtents.push_back(ExtentsOf(button));
        }
        // Clicking the text does nothing; the reader's click on "No" answers the box from its loop.
        ClickPart(box, 0);
        ClickPart(box, 2);
        seen.stayedForThePostedClick = IsWindow(box);
    });
    EXPECT_EQ(MessageBoxA(frame_, "Stop playing \"Caf\xc3\xa9\"?", "Korvo", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
    KillTimer(frame_, 1);

    ASSERT_NE(seen.box, nullptr);
    EXPECT_NE(seen.box, frame_);
    EXPECT_EQ(seen.role, role::kAlert);
    EXPECT_STREQ(RoleName(seen.role), "alert");
    EXPECT_EQ(seen.name, "Korvo");
    // The box holds the keyboard for its button, where a reader's focus is: the box itself is not focused.
    EXPECT_EQ(seen.states, "active enabled modal sensitive showing visible");
    EXPECT_EQ(seen.appChildren, 2);
    ASSERT_EQ(seen.children, 4);
    EXPECT_EQ(seen.text, "Stop playing \"Caf\xc3\xa9\"?");
    EXPECT_EQ(seen.textStates, "enabled sensitive showing visible");
    EXPECT_FALSE(seen.textClickable);
    // The text and the buttons are where the box draws them: inside it, the text above the row of buttons.
    ASSERT_TRUE(seen.textExtents.has_value());
    RECT inside{};
    EXPECT_TRUE(IntersectRect(&inside, &*seen.textExtents, &seen.boxRect));
    EXPECT_TRUE(EqualRect(&inside, &*seen.textExtents));
    EXPECT_GT(seen.textExtents->right - seen.textExtents->left, 0);
    ASSERT_EQ(seen.buttonExtents.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(seen.buttonExtents[i].has_value());
        EXPECT_TRUE(IntersectRect(&inside, &*seen.buttonExtents[i], &seen.boxRect));
        EXPECT_TRUE(EqualRect(&inside, &*seen.buttonExtents[i])) << i;
        EXPECT_GE(seen.buttonExtents[i]->top, seen.textExtents->bottom);
        if (i > 0) {
            EXPECT_GE(seen.buttonExtents[i]->left, seen.buttonExtents[i - 1]->right);
        }
    }
    // The first button is the one a key answers with, so the reader is told it has the focus.
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"はい(Y)", "いいえ(N)", "キャンセル"}));
    EXPECT_EQ(seen.buttonRoles, (std::vector<uint32_t>{role::kPushButton, role::kPushButton, role::kPushButton}));
    EXPECT_EQ(seen.buttonStates, (std::vector<std::string>{"enabled focusable focused sensitive showing visible",
                                                           "enabled focusable sensitive showing visible",
                                                           "enabled focusable sensitive showing visible"}));
    EXPECT_EQ(seen.clickable, (std::vector<bool>{true, true, true}));
    // The click was posted: the box was still there when it was asked for, and gone once answered.
    EXPECT_TRUE(seen.stayedForThePostedClick);
    EXPECT_FALSE(IsWindow(seen.box));
    EXPECT_FALSE(Exists(PartOf(seen.box, 1)));
    // Any other window is no message box and has no such parts.
    EXPECT_EQ(ChildCount(Of(frame_)), 0);
}

namespace {
// A piece of text as "text@start-end", so that a failure shows all three.
std::string Piece(const TextRange& range) {
    return range.text + "@" + std::to_string(range.start) + "-" + std::to_string(range.end);
}
}  // namespace

TEST_F(AccessibleObjects, AnEditsTextIsReadInCharactersByCharacterWordAndLineWithItsCaret) {
    // "Café 日本 two": eleven characters in sixteen bytes.
    HWND title = Make("EDIT", "Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac two", ES_AUTOHSCROLL, {10, 10, 200, 30});
    HWND play = Make("BUTTON", "Play", BS_PUSHBUTTON, {10, 200, 80, 225});
    DispatchPending();
    EXPECT_EQ(InterfacesOf(Of(title)), kComponentInterface | kTextInterface | kEditableTextInterface);
    EXPECT_FALSE(InterfacesOf(Of(play)) & kTextInterface);

    SendMessageA(title, EM_SETSEL, 9, 9);  // after 日
    AccessibleText text(title);
    EXPECT_EQ(text.CharacterCount(), 11);
    EXPECT_EQ(text.CaretOffset(), 6);
    EXPECT_EQ(text.SelectionStart(), 6);
    EXPECT_EQ(text.Text(0, -1), "Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac two");
    EXPECT_EQ(text.Text(3, 7), "\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac");
    EXPECT_EQ(text.Text(8, 100), "two");
    EXPECT_EQ(text.Text(-3, 2), "Ca");
    EXPECT_EQ(text.CharacterAt(3), U'\u00e9');
    EXPECT_EQ(text.CharacterAt(5), U'\u65e5');
    EXPECT_EQ(text.CharacterAt(11), 0u);
    EXPECT_EQ(text.CharacterAt(-1), 0u);
    EXPECT_EQ(text.ByteOffset(6), 9);
    EXPECT_EQ(text.ByteOffset(11), 16);

    EXPECT_EQ(Piece(text.TextAt(5, TextBoundary::kChar)), "\xe6\x97\xa5@5-6");
    EXPECT_EQ(Piece(text.StringAt(3, TextGranularity::kChar)), "\xc3\xa9@3-4");
    EXPECT_EQ(Piece(text.TextAt(11, TextBoundary::kChar)), "@11-11");
    // A word at its start takes the spaces after it; at its end, the spaces before it.
    EXPECT_EQ(Piece(text.TextAt(6, TextBoundary::kWordStart)), "\xe6\x97\xa5\xe6\x9c\xac @5-8");
    EXPECT_EQ(Piece(text.TextAt(6, TextBoundary::kWordEnd)), " \xe6\x97\xa5\xe6\x9c\xac@4-7");
    EXPECT_EQ(Piece(text.TextBefore(6, TextBoundary::kWordStart)), "Caf\xc3\xa9 @0-5");
    EXPECT_EQ(Piece(text.TextAfter(6, TextBoundary::kWordStart)), "two@8-11");
    EXPECT_EQ(Piece(text.StringAt(6, TextGranularity::kWord)), "\xe6\x97\xa5\xe6\x9c\xac@5-7");
    EXPECT_EQ(Piece(text.StringAt(4, TextGranularity::kWord)), " @4-5");
    EXPECT_EQ(Piece(text.StringAt(9, TextGranularity::kLine)), "Caf\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac two@0-11");
    EXPECT_EQ(Piece(text.StringAt(12, TextGranularity::kLine)), "@0-0");

    // A selection is read in characters; the caret stands at its end.
    SendMessageA(title, EM_SETSEL, 6, 12);
    text = AccessibleText(title);
    EXPECT_EQ(text.SelectionStart(), 5);
    EXPECT_EQ(text.CaretOffset(), 7);
    // A reader's selection is posted, and reaches the edit in its bytes from the loop.
    EXPECT_TRUE(SelectText(title, 8, 11));
    EXPECT_FALSE(SelectText(title, 8, 12));
    EXPECT_FALSE(SelectText(title, -1, 2));
    EXPECT_EQ(AccessibleText(title).CaretOffset(), 7);
    DispatchPending();
    DWORD start = 0, end = 0;
    SendMessageA(title, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 13u);
    EXPECT_EQ(end, 16u);
    EXPECT_EQ(AccessibleText(title).SelectionStart(), 8);
    EnableWindow(title, FALSE);
    EXPECT_FALSE(SelectText(title, 0, 0));
    EnableWindow(title, TRUE);

    // A byte that starts no character is a character of its own, so that the offsets after it still hold.
    SetWindowTextA(title, "a\xff" "b");
    SendMessageA(title, EM_SETSEL, 3, 3);
    text = AccessibleText(title);
    EXPECT_EQ(text.CharacterCount(), 3);
    EXPECT_EQ(text.CharacterAt(1), U'\ufffd');
    EXPECT_EQ(text.CaretOffset(), 3);
    EXPECT_EQ(text.Text(2, 3), "b");

    // Lines are read without their ends; cut at a boundary, they take the end after or before them.
    HWND notes = Make("EDIT", "", ES_MULTILINE, {10, 40, 200, 100});
    SetWindowTextA(notes, "one\r\ntwo\nthree");
    text = AccessibleText(notes);
    ASSERT_EQ(text.CharacterCount(), 14);
    EXPECT_EQ(Piece(text.StringAt(0, TextGranularity::kLine)), "one@0-3");
    EXPECT_EQ(Piece(text.StringAt(6, TextGranularity::kLine)), "two@5-8");
    EXPECT_EQ(Piece(text.StringAt(14, TextGranularity::kParagraph)), "three@9-14");
    EXPECT_EQ(Piece(text.TextAt(6, TextBoundary::kLineStart)), "two\n@5-9");
    EXPECT_EQ(Piece(text.TextAt(6, TextBoundary::kLineEnd)), "\r\ntwo@3-8");
    EXPECT_EQ(Piece(text.TextAt(1, TextBoundary::kLineEnd)), "one@0-3");
    EXPECT_EQ(Piece(text.TextBefore(6, TextBoundary::kLineStart)), "one\r\n@0-5");
    EXPECT_EQ(Piece(text.TextAfter(6, TextBoundary::kLineStart)), "three@9-14");
    EXPECT_EQ(Piece(text.TextAfter(1, TextBoundary::kLineEnd)), "\r\ntwo@3-8");
    EXPECT_EQ(Piece(text.TextAfter(6, TextBoundary::kLineEnd)), "\nthree@8-14");
    EXPECT_EQ(Piece(text.TextAfter(10, TextBoundary::kLineStart)), "@14-14");
    EXPECT_EQ(Piece(text.TextBefore(1, TextBoundary::kLineStart)), "@0-0");

    // A password is read as as many masks as it has characters, never as itself.
    HWND secret = Make("EDIT", "hunter2", ES_PASSWORD, {10, 110, 200, 130});
    EXPECT_EQ(InterfacesOf(Of(secret)), kComponentInterface | kTextInterface | kEditableTextInterface);
    text = AccessibleText(secret);
    EXPECT_EQ(text.CharacterCount(), 7);
    std::string masks;
    for (int i = 0; i < 7; ++i) masks += "\xe2\x97\x8f";
    EXPECT_EQ(text.Text(0, -1), masks);
    EXPECT_EQ(text.CharacterAt(0), U'\u25cf');
}

TEST_F(AccessibleObjects, AnEditsSentencesAndTheCharactersPlacesAreReadAndAReadersChangeIsTyped) {
    // "One two. Three? 夜。朝 end": a sentence ends at ". " and "? ", and at "。" without a space.
    HWND edit = Make("EDIT", "One two. Three? \xe5\xa4\x9c\xe3\x80\x82\xe6\x9c\x9d end", ES_AUTOHSCROLL,
                     {10, 10, 390, 30}, nullptr, 7);
    AccessibleText text(edit);
    ASSERT_EQ(text.CharacterCount(), 23);
    // At a start a sentence takes the spaces after it; at an end, those before it.
    EXPECT_EQ(Piece(text.TextAt(4, TextBoundary::kSentenceStart)), "One two. @0-9");
    EXPECT_EQ(Piece(text.TextAt(4, TextBoundary::kSentenceEnd)), "One two.@0-8");
    EXPECT_EQ(Piece(text.TextAt(10, TextBoundary::kSentenceEnd)), " Three?@8-15");
    EXPECT_EQ(Piece(text.TextAt(17, TextBoundary::kSentenceStart)), "\xe5\xa4\x9c\xe3\x80\x82@16-18");
    EXPECT_EQ(Piece(text.TextBefore(10, TextBoundary::kSentenceStart)), "One two. @0-9");
    EXPECT_EQ(Piece(text.TextAfter(4, TextBoundary::kSentenceStart)), "Three? @9-16");
    EXPECT_EQ(Piece(text.StringAt(2, TextGranularity::kSentence)), "One two.@0-8");
    EXPECT_EQ(Piece(text.StringAt(20, TextGranularity::kSentence)), "\xe6\x9c\x9d end@18-23");
    // Neither a mark inside a word nor a line's end without a mark fools it.
    HWND notes = Make("EDIT", "v1.2 is out\nNext", ES_MULTILINE, {10, 40, 390, 100});
    text = AccessibleText(notes);
    EXPECT_EQ(Piece(text.TextAt(3, TextBoundary::kSentenceStart)), "v1.2 is out\n@0-12");
    EXPECT_EQ(Piece(text.TextAt(13, TextBoundary::kSentenceEnd)), "\nNext@11-16");

    // Each character lies where the edit draws it, the next one on from it; a point finds the character under it.
    SetWindowTextA(edit, "ab\xe6\x97\xa5");
    text = AccessibleText(edit);
    const std::optional<RECT> a = text.CharacterRect(0), b = text.CharacterRect(1), last = text.CharacterRect(2);
    ASSERT_TRUE(a && b && last);
    EXPECT_GE(a->left, 0);
    EXPECT_GT(a->right, a->left);
    EXPECT_EQ(b->left, a->right);
    EXPECT_EQ(last->left, b->right);
    EXPECT_GT(last->right - last->left, b->right - b->left) << "日 is wider than b";
    EXPECT_EQ(a->top, last->top);
    EXPECT_GT(a->bottom, a->top);
    EXPECT_FALSE(text.CharacterRect(3).has_value());
    EXPECT_FALSE(text.CharacterRect(-1).has_value());
    for (int offset = 0; offset < 3; ++offset) {
        const RECT r = *text.CharacterRect(offset);
        EXPECT_EQ(text.OffsetAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2}), offset);
        EXPECT_EQ(text.OffsetAt({r.left, r.top}), offset);
    }
    EXPECT_EQ(text.OffsetAt({last->right + 20, last->top}), -1) << "past the text";
    EXPECT_EQ(text.OffsetAt({-1, a->top}), -1) << "outside the edit";
    // Scrolled to its end, a long text's first characters lie left of the edit.
    SetWindowTextA(edit, std::string(200, 'w').c_str());
    SendMessageA(edit, EM_SETSEL, 200, 200);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    ASSERT_TRUE(AccessibleText(edit).CharacterRect(0).has_value());
    EXPECT_LT(AccessibleText(edit).CharacterRect(0)->left, 0);

    // A reader's change is the user's typing: the owner hears of it, and it can be undone.
    SetWindowTextA(edit, "ab\xe6\x97\xa5");
    EXPECT_TRUE(TakesTextChange(edit, 1, 2, EM_REPLACESEL));
    EXPECT_TRUE(TakesTextChange(edit, 3, 3, WM_PASTE));
    EXPECT_FALSE(TakesTextChange(edit, 2, 1, EM_REPLACESEL));
    EXPECT_FALSE(TakesTextChange(edit, 0, 4, WM_CUT));
    recorder_.Clear();
    ReplaceText(edit, 1, 2, "X");
    EXPECT_EQ(AccessibleText(edit).Text(0, -1), "aX\xe6\x97\xa5");
    EXPECT_EQ(Notices(WM_COMMAND), (std::vector<std::string>{"1024:7", "768:7"})) << "EN_UPDATE, EN_CHANGE";
    EXPECT_TRUE(SendMessageA(edit, EM_CANUNDO, 0, 0));
    ReplaceText(edit, 3, 3, "\xe6\x9c\x9d");  // after 日, in characters
    EXPECT_EQ(AccessibleText(edit).Text(0, -1), "aX\xe6\x97\xa5\xe6\x9c\x9d");
    ReplaceText(edit, 0, 9, "gone");  // past the text by now: nothing
    EXPECT_EQ(AccessibleText(edit).CharacterCount(), 4);
    ReplaceText(edit, 0, -1, "aX\xe6\x97\xa5\xe6\x9c\x9dYZ");  // all of it, as long as it is by then
    EXPECT_EQ(AccessibleText(edit).Text(0, -1), "aX\xe6\x97\xa5\xe6\x9c\x9dYZ");
    ReplaceText(edit, 4, 6, "");
    EXPECT_EQ(AccessibleText(edit).Text(0, -1), "aX\xe6\x97\xa5\xe6\x9c\x9d");
    // Through the clipboard, as the edit's own commands.
    ClipboardCommand(edit, 2, 4, WM_CUT);
    EXPECT_EQ(AccessibleText(edit).Text(0, -1), "aX");
    ClipboardCommand(edit, 0, 0, WM_PASTE);
    EXPECT_EQ(AccessibleText(edit).Text(0, -1), "\xe6\x97\xa5\xe6\x9c\x9d" "aX");
    // A copy leaves the user's selection where it was.
    SendMessageA(edit, EM_SETSEL, 0, 3);
    ClipboardCommand(edit, 3, 4, WM_COPY);
    EXPECT_EQ(AccessibleText(edit).SelectionStart(), 0);
    EXPECT_EQ(AccessibleText(edit).CaretOffset(), 1);
    ClipboardCommand(edit, 4, 4, WM_PASTE);
    EXPECT_EQ(AccessibleText(edit).Text(0, -1), "\xe6\x97\xa5\xe6\x9c\x9d" "aXX");
    // An edit that takes no typing takes no reader's change either, and offers none.
    SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_FALSE(TakesTextChange(edit, 0, 0, EM_REPLACESEL));
    EXPECT_FALSE(TakesTextChange(edit, 0, 0, WM_PASTE));
    EXPECT_TRUE(TakesTextChange(edit, 0, 1, WM_COPY));
    EXPECT_FALSE(InterfacesOf(Of(edit)) & kEditableTextInterface);
    ReplaceText(edit, 0, 1, "-");  // asked before it became read-only, made after: nothing
    EXPECT_EQ(AccessibleText(edit).Text(0, 1), "\xe6\x97\xa5");
    SendMessageA(edit, EM_SETREADONLY, FALSE, 0);
    EnableWindow(edit, FALSE);
    EXPECT_FALSE(TakesTextChange(edit, 0, 0, EM_REPLACESEL));
    EXPECT_FALSE(TakesTextChange(edit, 0, 0, WM_COPY));
    // A password is neither copied nor cut out, as the edit itself refuses.
    HWND secret = Make("EDIT", "pw", ES_PASSWORD, {10, 110, 200, 130});
    EXPECT_FALSE(TakesTextChange(secret, 0, 2, WM_COPY));
    EXPECT_FALSE(TakesTextChange(secret, 0, 2, WM_CUT));
    EXPECT_TRUE(TakesTextChange(secret, 0, 2, EM_REPLACESEL));
}

TEST_F(AccessibleObjects, AReadersChoiceOfLinesReachesTheBoxAndItsOwnerAsAUsersWould) {
    constexpr int kListId = 21, kManyId = 22, kDrivesId = 23;
    HWND list = Make("LISTBOX", "", LBS_NOTIFY, {10, 10, 160, 100}, nullptr, kListId);
    HWND many = Make("LISTBOX", "", LBS_NOTIFY | LBS_EXTENDEDSEL, {200, 10, 300, 100}, nullptr, kManyId);
    HWND quiet = Make("LISTBOX", "", 0, {10, 120, 160, 200});
    HWND drives = Make("COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL, {200, 120, 300, 250}, nullptr, kDrivesId);
    for (HWND box : {list, many, quiet})
        for (const char* line : {"One", "Two", "Three"})
            SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    for (const char* line : {"C:", "D:"}) SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    DispatchPending();
    EXPECT_EQ(InterfacesOf(Of(list)), kComponentInterface | kSelectionInterface);
    EXPECT_EQ(InterfacesOf(Of(drives)), kComponentInterface | kSelectionInterface);
    EXPECT_FALSE(InterfacesOf(LineOf(list, 0)) & kSelectionInterface);
    const std::string selChange = std::to_string(LBN_SELCHANGE) + ":" + std::to_string(kListId);

    // One choice: the line moves, and the owner hears of it only from the loop, after the box has changed.
    EXPECT_TRUE(SelectedLines(list).empty());
    recorder_.Clear();
    EXPECT_TRUE(SelectLine(list, 1));
    EXPECT_FALSE(IsLineSelected(list, 1));
    EXPECT_TRUE(Notices(WM_COMMAND).empty());
    DispatchPending();
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SelectedLines(list), std::vector<UINT>{1});
    EXPECT_TRUE(IsLineSelected(list, 1));
    EXPECT_FALSE(IsLineSelected(list, 0));
    EXPECT_EQ(Notices(WM_COMMAND), std::vector<std::string>{selChange});
    // A box of one choice cannot drop its line or take them all; it can be left with none.
    EXPECT_FALSE(DeselectLine(list, 1));
    EXPECT_FALSE(SelectAllLines(list));
    EXPECT_FALSE(SelectLine(list, 3));
    EXPECT_TRUE(ClearSelectedLines(list));
    DispatchPending();
    EXPECT_TRUE(SelectedLines(list).empty());

    // Several choices: lines are added and dropped one by one, or all at once.
    recorder_.Clear();
    EXPECT_TRUE(SelectLine(many, 0));
    EXPECT_TRUE(SelectLine(many, 2));
    DispatchPending();
    EXPECT_EQ(SelectedLines(many), (std::vector<UINT>{0, 2}));
    EXPECT_EQ(Notices(WM_COMMAND).size(), 2u);
    EXPECT_FALSE(DeselectLine(many, 1));  // not chosen
    EXPECT_TRUE(DeselectLine(many, 0));
    DispatchPending();
    EXPECT_EQ(SelectedLines(many), std::vector<UINT>{2});
    EXPECT_TRUE(SelectAllLines(many));
    DispatchPending();
    EXPECT_EQ(SelectedLines(many), (std::vector<UINT>{0, 1, 2}));
    EXPECT_TRUE(ClearSelectedLines(many));
    DispatchPending();
    EXPECT_TRUE(SelectedLines(many).empty());

    // A list that asks for no notices is told nothing; a disabled one takes no choice.
    recorder_.Clear();
    EXPECT_TRUE(SelectLine(quiet, 2));
    DispatchPending();
    EXPECT_EQ(SelectedLines(quiet), std::vector<UINT>{2});
    EXPECT_TRUE(Notices(WM_COMMAND).empty());
    EnableWindow(quiet, FALSE);
    EXPECT_FALSE(SelectLine(quiet, 0));
    EnableWindow(frame_, FALSE);
    EXPECT_FALSE(SelectLine(list, 0));
    EnableWindow(frame_, TRUE);

    // The combo box's choice is its name, and its owner hears of a new one.
    recorder_.Clear();
    EXPECT_TRUE(SelectLine(drives, 1));
    DispatchPending();
    EXPECT_EQ(NameOf(Of(drives)), "D:");
    EXPECT_EQ(SelectedLines(drives), std::vector<UINT>{1});
    EXPECT_EQ(Notices(WM_COMMAND), std::vector<std::string>{std::to_string(CBN_SELCHANGE) + ":" +
                                                            std::to_string(kDrivesId)});
    EXPECT_FALSE(ClearSelectedLines(drives));
    EXPECT_FALSE(SelectAllLines(drives));
    EXPECT_FALSE(DeselectLine(drives, 1));
}

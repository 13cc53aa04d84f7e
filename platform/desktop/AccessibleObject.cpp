// The accessible objects, read from the windows as Windows' own proxies for its built-in classes read them: by the
// class name, the style and the messages each class answers.

#include "platform/desktop/AccessibleObject.h"

#include <string.h>
#include <strings.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "platform/kernel/Names.h"
#include "platform/user/WindowSystem.h"

namespace platform::desktop {
namespace {

ACCLISTPARTSPROCA listParts = nullptr;
ACCCLICKPARTPROC clickPart = nullptr;

enum class Kind : uint8_t { TopLevel, Button, CheckBox, RadioButton, GroupBox, ListBox, ComboBox, Slider, Edit,
                            Static, Other };

bool ClassIs(HWND window, const char* name) {
    char found[64] = {};
    return RealGetWindowClassA(window, found, sizeof found) > 0 && strcasecmp(found, name) == 0;
}

Kind KindOf(HWND window) {
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    if (!(style & WS_CHILD)) return Kind::TopLevel;
    if (ClassIs(window, "BUTTON")) {
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE: return Kind::CheckBox;
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON: return Kind::RadioButton;
            case BS_GROUPBOX: return Kind::GroupBox;
            default: return Kind::Button;
        }
    }
    if (ClassIs(window, "LISTBOX")) return Kind::ListBox;
    if (ClassIs(window, "COMBOBOX")) return Kind::ComboBox;
    if (ClassIs(window, "msctls_trackbar32")) return Kind::Slider;
    if (ClassIs(window, "EDIT")) return Kind::Edit;
    if (ClassIs(window, "STATIC")) return Kind::Static;
    return Kind::Other;
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

bool Captioned(HWND topLevel) {
    user::Window* window = user::WindowSystem::Get().Find(topLevel);
    return window && !window->Child() && !window->destroying && (window->style & WS_CAPTION) == WS_CAPTION;
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(std::max(GetWindowTextA(window, text.data(), length + 1), 0)));
    return text;
}

// "&Play" reads "Play"; "&&" is an ampersand.
std::string WithoutMnemonic(const std::string& text) {
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    return plain;
}

// Whether the lines hold texts: an owner-drawn list without LBS_HASSTRINGS holds only the program's numbers.
bool LinesHaveText(HWND window, Kind kind) {
    const DWORD style = StyleOf(window);
    if (kind == Kind::ListBox)
        return !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
    return !(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || (style & CBS_HASSTRINGS);
}

std::string LineText(HWND window, Kind kind, int line) {
    if (line < 0 || !LinesHaveText(window, kind)) return {};
    const bool list = kind == Kind::ListBox;
    const LRESULT length = SendMessageA(window, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, line, 0);
    if (length < 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT got =
        SendMessageA(window, list ? LB_GETTEXT : CB_GETLBTEXT, line, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, length)));
    return text;
}

int LineCount(HWND window, Kind kind) {
    if (kind != Kind::ListBox && kind != Kind::ComboBox) return 0;
    const LRESULT count = SendMessageA(window, kind == Kind::ListBox ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

std::vector<HWND> ChildWindows(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

bool Sensitive(HWND window) {
    for (HWND w = window; w; w = (StyleOf(w) & WS_CHILD) ? GetParent(w) : nullptr)
        if (!IsWindowEnabled(w)) return false;
    return true;
}

bool Showing(HWND window) {
    return IsWindowVisible(window) && !IsIconic(GetAncestor(window, GA_ROOT));
}

void AddUsable(StateSet& states, bool enabled, bool visible, bool showing) {
    if (enabled) {
        states.Add(State::kEnabled);
        states.Add(State::kSensitive);
    }
    if (visible) states.Add(State::kVisible);
    if (showing) states.Add(State::kShowing);
}

StateSet WindowStates(HWND window) {
    StateSet states;
    const Kind kind = KindOf(window);
    const DWORD style = StyleOf(window);
    const bool enabled = Sensitive(window);
    AddUsable(states, enabled, style & WS_VISIBLE, Showing(window));
    // A window that hands the keyboard to a part or a line of its own is not itself where a reader's focus is.
    if (GetFocus() == window && !FocusedWithin(window)) states.Add(State::kFocused);
    const bool takesFocus = kind != Kind::TopLevel && kind != Kind::Static && kind != Kind::GroupBox &&
                            kind != Kind::Other;
    if (takesFocus && enabled) states.Add(State::kFocusable);
    switch (kind) {
        case Kind::TopLevel:
            if (GetActiveWindow() == window) states.Add(State::kActive);
            if (IsIconic(window)) states.Add(State::kIconified);
            if (style & WS_THICKFRAME) states.Add(State::kResizable);
            if (ClassIs(window, "#32770")) states.Add(State::kModal);
            break;
        case Kind::Button:
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) states.Add(State::kIsDefault);
            break;
        case Kind::CheckBox:
        case Kind::RadioButton: {
            states.Add(State::kCheckable);
            const LRESULT check = SendMessageA(window, BM_GETCHECK, 0, 0);
            if (check == BST_CHECKED) states.Add(State::kChecked);
            if (check == BST_INDETERMINATE) states.Add(State::kIndeterminate);
            break;
        }
        case Kind::ListBox:
            // A playlist may hold a hundred thousand lines: a reader asks for those it shows rather than keeping all.
            states.Add(State::kManagesDescendants);
            if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) states.Add(State::kMultiselectable);
            break;
        case Kind::ComboBox:
            states.Add(State::kExpandable);
            states.Add(SendMessageA(window, CB_GETDROPPEDSTATE, 0, 0) ? State::kExpanded : State::kCollapsed);
            break;
        case Kind::Slider: states.Add((style & TBS_VERT) ? State::kVertical : State::kHorizontal); break;
        case Kind::Edit:
            states.Add((style & ES_READONLY) ? State::kReadOnly : State::kEditable);
            states.Add((style & ES_MULTILINE) ? State::kMultiLine : State::kSingleLine);
            break;
        default: break;
    }
    return states;
}

RECT OnScreen(HWND window, RECT client) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    OffsetRect(&client, origin.x, origin.y);
    return client;
}

std::optional<RECT> LineRect(HWND window, Kind kind, UINT line) {
    RECT rect{};
    if (kind == Kind::ListBox) {
        if (SendMessageA(window, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&rect)) == LB_ERR) return {};
        return OnScreen(window, rect);
    }
    if (!GetWindowRect(window, &rect)) return {};
    return rect;
}

StateSet LineStates(HWND window, Kind kind, UINT line) {
    StateSet states;
    bool shown = Showing(window);
    if (kind == Kind::ListBox && shown) {
        // Only the lines in the box's view are on the screen.
        RECT client{}, item{}, both{};
        GetClientRect(window, &client);
        shown = SendMessageA(window, LB_GETITEMRECT, line, reinterpret_cast<LPARAM>(&item)) != LB_ERR &&
                IntersectRect(&both, &client, &item);
    }
    AddUsable(states, Sensitive(window), true, shown);
    states.Add(State::kSelectable);
    const bool selected = kind == Kind::ListBox ? SendMessageA(window, LB_GETSEL, line, 0) > 0
                                                : SendMessageA(window, CB_GETCURSEL, 0, 0) == static_cast<LRESULT>(line);
    if (selected) states.Add(State::kSelected);
    // A list's lines take its keyboard caret, which is where a reader's focus is while the list has the keyboard.
    if (kind == Kind::ListBox && Sensitive(window)) {
        states.Add(State::kFocusable);
        if (FocusedWithin(window) == AccessibleRef{AccessibleRef::Kind::Line, window, line}) states.Add(State::kFocused);
    }
    return states;
}

}  // namespace

void SetPartsProvider(ACCLISTPARTSPROCA list, ACCCLICKPARTPROC click) {
    listParts = list;
    clickPart = click;
}

std::vector<WindowlessPart> PartsOf(HWND window) {
    if (const std::optional<user::MessageBoxContent> box = user::MessageBoxContentOf(window)) {
        // An alert is read by the labels it holds: the text first, then the buttons that answer it.
        const bool enabled = IsWindowEnabled(window);
        std::vector<WindowlessPart> parts{{ACCPART_LABEL, box->text, box->textRect, enabled, true, false}};
        const bool boxFocused = GetFocus() == window;
        for (const user::MessageBoxButton& button : box->buttons)
            parts.push_back({ACCPART_PUSHBUTTON, WithoutMnemonic(button.label), button.rect, enabled, true,
                             boxFocused && button.focused, true});
        return parts;
    }
    if (!listParts) return {};
    // Most windows have none: a first look with no room, then one with room for all.
    std::vector<ACCPARTA> listed(8);
    UINT count = listParts(window, listed.data(), static_cast<UINT>(listed.size()));
    if (count > listed.size()) {
        listed.resize(count);
        count = std::min<UINT>(listParts(window, listed.data(), count), count);
    }
    listed.resize(count);
    std::vector<WindowlessPart> parts;
    for (const ACCPARTA& part : listed) {
        // A name that fills its room without an end is cut there.
        std::string name(part.szName, strnlen(part.szName, sizeof part.szName - 1));
        parts.push_back({part.uKind, std::move(name), part.rcPart, part.fEnabled != FALSE, part.fVisible != FALSE,
                         false});
    }
    return parts;
}

std::optional<AccessibleRef> FocusedWithin(HWND window) {
    if (KindOf(window) == Kind::ListBox) {
        const LRESULT line = SendMessageA(window, LB_GETCARETINDEX, 0, 0);
        if (GetFocus() != window || line < 0 || line >= LineCount(window, Kind::ListBox)) return {};
        return AccessibleRef{AccessibleRef::Kind::Line, window, static_cast<UINT>(line)};
    }
    const std::vector<WindowlessPart> parts = PartsOf(window);
    const auto part = std::find_if(parts.begin(), parts.end(), [](const WindowlessPart& p) { return p.focused; });
    if (part == parts.end()) return {};
    return AccessibleRef{AccessibleRef::Kind::Part, window, static_cast<UINT>(part - parts.begin())};
}

void ClickPart(HWND window, UINT index) {
    if (const std::optional<user::MessageBoxContent> box = user::MessageBoxContentOf(window)) {
        // Part 0 is the text; the buttons follow it.
        if (index >= 1 && index - 1 < box->buttons.size())
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(box->buttons[index - 1].id, BN_CLICKED), 0);
        return;
    }
    if (clickPart && IsWindow(window)) clickPart(window, index);
}

std::string IdOf(const AccessibleRef& ref) {
    if (ref.kind == AccessibleRef::Kind::Application) return "root";
    char id[48];
    const auto handle = static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(ref.window));
    switch (ref.kind) {
        case AccessibleRef::Kind::Part: std::snprintf(id, sizeof id, "w%llx_p%x", handle, ref.index); break;
        case AccessibleRef::Kind::Line: std::snprintf(id, sizeof id, "w%llx_i%x", handle, ref.index); break;
        default: std::snprintf(id, sizeof id, "w%llx", handle); break;
    }
    return id;
}

std::optional<AccessibleRef> RefOf(std::string_view id) {
    if (id == "root") return AccessibleRef{};
    if (id.size() < 2 || id[0] != 'w') return {};
    unsigned long long handle = 0;
    const char* end = id.data() + id.size();
    auto [rest, error] = std::from_chars(id.data() + 1, end, handle, 16);
    if (error != std::errc() || rest == id.data() + 1) return {};
    AccessibleRef ref{AccessibleRef::Kind::Window, reinterpret_cast<HWND>(static_cast<uintptr_t>(handle)), 0};
    if (rest == end) return ref;
    if (end - rest < 3 || rest[0] != '_' || (rest[1] != 'p' && rest[1] != 'i')) return {};
    ref.kind = rest[1] == 'p' ? AccessibleRef::Kind::Part : AccessibleRef::Kind::Line;
    auto [last, bad] = std::from_chars(rest + 2, end, ref.index, 16);
    if (bad != std::errc() || last != end) return {};
    return ref;
}

AccessibleRef SourceOf(DWORD event, HWND window, LONG object, LONG child) {
    const bool ofPart = event == EVENT_OBJECT_STATECHANGE || event == EVENT_OBJECT_NAMECHANGE ||
                        event == EVENT_OBJECT_SHOW || event == EVENT_OBJECT_HIDE || event == EVENT_OBJECT_FOCUS;
    if (event == EVENT_OBJECT_FOCUS && child > 0 && KindOf(window) == Kind::ListBox)
        return {AccessibleRef::Kind::Line, window, static_cast<UINT>(child - 1)};
    if (ofPart && object == OBJID_CLIENT && child > 0)
        return {AccessibleRef::Kind::Part, window, static_cast<UINT>(child - 1)};
    return {AccessibleRef::Kind::Window, window, 0};
}

bool Exists(const AccessibleRef& ref) {
    if (ref.kind == AccessibleRef::Kind::Application) return true;
    if (!IsWindow(ref.window) || !Captioned(GetAncestor(ref.window, GA_ROOT))) return false;
    switch (ref.kind) {
        case AccessibleRef::Kind::Part: return ref.index < PartsOf(ref.window).size();
        case AccessibleRef::Kind::Line: return ref.index < static_cast<UINT>(LineCount(ref.window, KindOf(ref.window)));
        default: return true;
    }
}

std::vector<HWND> ShownTopLevels() {
    std::vector<HWND> shown;
    for (HWND window : user::WindowSystem::Get().TopLevelWindowsOnUiThread())
        if (Captioned(window) && IsWindowVisible(window)) shown.push_back(window);
    std::sort(shown.begin(), shown.end());
    return shown;
}

uint32_t RoleOf(const AccessibleRef& ref) {
    switch (ref.kind) {
        case AccessibleRef::Kind::Application: return role::kApplication;
        case AccessibleRef::Kind::Line: return role::kListItem;
        case AccessibleRef::Kind::Part: {
            const std::vector<WindowlessPart> parts = PartsOf(ref.window);
            return ref.index < parts.size() && parts[ref.index].kind == ACCPART_PUSHBUTTON ? role::kPushButton
                                                                                        : role::kLabel;
        }
        case AccessibleRef::Kind::Window: break;
    }
    switch (KindOf(ref.window)) {
        case Kind::TopLevel:
            if (ClassIs(ref.window, "#32770")) return role::kAlert;
            // A dialog's frame says it is one, as Windows draws it.
            return (GetWindowLongA(ref.window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME) ? role::kDialog : role::kFrame;
        case Kind::Button: return role::kPushButton;
        case Kind::CheckBox: return role::kCheckBox;
        case Kind::RadioButton: return role::kRadioButton;
        case Kind::ListBox: return role::kList;
        case Kind::ComboBox: return role::kComboBox;
        case Kind::Slider: return role::kSlider;
        case Kind::Edit: return (StyleOf(ref.window) & ES_PASSWORD) ? role::kPasswordText : role::kText;
        case Kind::Static: return role::kLabel;
        default: return role::kPanel;
    }
}

const char* RoleName(uint32_t role) {
    switch (role) {
        case role::kAlert: return "alert";
        case role::kCheckBox: return "check box";
        case role::kComboBox: return "combo box";
        case role::kDialog: return "dialog";
        case role::kFrame: return "frame";
        case role::kLabel: return "label";
        case role::kList: return "list";
        case role::kListItem: return "list item";
        case role::kPanel: return "panel";
        case role::kPasswordText: return "password text";
        case role::kPushButton: return "push button";
        case role::kRadioButton: return "radio button";
        case role::kSlider: return "slider";
        case role::kText: return "text";
        case role::kApplication: return "application";
        default: return "unknown";
    }
}

std::string NameOf(const AccessibleRef& ref) {
    std::string name;
    switch (ref.kind) {
        case AccessibleRef::Kind::Application: break;
        case AccessibleRef::Kind::Part: {
            const std::vector<WindowlessPart> parts = PartsOf(ref.window);
            if (ref.index < parts.size()) name = parts[ref.index].name;
            break;
        }
        case AccessibleRef::Kind::Line: name = LineText(ref.window, KindOf(ref.window), static_cast<int>(ref.index)); break;
        case AccessibleRef::Kind::Window:
            switch (const Kind kind = KindOf(ref.window)) {
                case Kind::ListBox:
                case Kind::Slider: break;  // their window text is nothing a user sees
                case Kind::ComboBox:
                    name = LineText(ref.window, kind, static_cast<int>(SendMessageA(ref.window, CB_GETCURSEL, 0, 0)));
                    break;
                case Kind::Button:
                case Kind::CheckBox:
                case Kind::RadioButton:
                case Kind::GroupBox:
                case Kind::Static: name = WithoutMnemonic(WindowText(ref.window)); break;
                case Kind::Edit:
                    // A reader speaks a name aloud: a password's text is no name.
                    if (!(StyleOf(ref.window) & ES_PASSWORD)) name = WindowText(ref.window);
                    break;
                default: name = WindowText(ref.window); break;
            }
            break;
    }
    // The bus refuses a whole message for one byte that is not UTF-8; a file's name may hold such bytes.
    return kernel::ShownText(name);
}

StateSet StatesOf(const AccessibleRef& ref) {
    switch (ref.kind) {
        case AccessibleRef::Kind::Application: return {};
        case AccessibleRef::Kind::Window: return WindowStates(ref.window);
        case AccessibleRef::Kind::Line: return LineStates(ref.window, KindOf(ref.window), ref.index);
        case AccessibleRef::Kind::Part: break;
    }
    StateSet states;
    const std::vector<WindowlessPart> parts = PartsOf(ref.window);
    if (ref.index >= parts.size()) {
        states.Add(State::kDefunct);
        return states;
    }
    const WindowlessPart& part = parts[ref.index];
    const bool visible = part.visible && (StyleOf(ref.window) & WS_VISIBLE);
    AddUsable(states, part.enabled && Sensitive(ref.window), visible, visible && Showing(ref.window));
    if (part.focused) states.Add(State::kFocused);
    if (part.focusable && part.enabled) states.Add(State::kFocusable);
    return states;
}

std::optional<AccessibleRef> ParentOf(const AccessibleRef& ref) {
    if (ref.kind == AccessibleRef::Kind::Application) return {};
    if (ref.kind != AccessibleRef::Kind::Window) return AccessibleRef{AccessibleRef::Kind::Window, ref.window, 0};
    if (StyleOf(ref.window) & WS_CHILD) return AccessibleRef{AccessibleRef::Kind::Window, GetParent(ref.window), 0};
    return AccessibleRef{};
}

int ChildCount(const AccessibleRef& ref) {
    switch (ref.kind) {
        case AccessibleRef::Kind::Application: return static_cast<int>(ShownTopLevels().size());
        case AccessibleRef::Kind::Window:
            return static_cast<int>(ChildWindows(ref.window).size() + PartsOf(ref.window).size()) +
                   LineCount(ref.window, KindOf(ref.window));
        default: return 0;
    }
}

// A window's children: its child windows in the order they were made, then its parts, then its lines.
std::optional<AccessibleRef> ChildAt(const AccessibleRef& ref, int index) {
    if (index < 0) return {};
    auto at = static_cast<size_t>(index);
    if (ref.kind == AccessibleRef::Kind::Application) {
        const std::vector<HWND> shown = ShownTopLevels();
        if (at >= shown.size()) return {};
        return AccessibleRef{AccessibleRef::Kind::Window, shown[at], 0};
    }
    if (ref.kind != AccessibleRef::Kind::Window) return {};
    const std::vector<HWND> windows = ChildWindows(ref.window);
    if (at < windows.size()) return AccessibleRef{AccessibleRef::Kind::Window, windows[at], 0};
    at -= windows.size();
    const size_t parts = PartsOf(ref.window).size();
    if (at < parts) return AccessibleRef{AccessibleRef::Kind::Part, ref.window, static_cast<UINT>(at)};
    at -= parts;
    if (at < static_cast<size_t>(LineCount(ref.window, KindOf(ref.window))))
        return AccessibleRef{AccessibleRef::Kind::Line, ref.window, static_cast<UINT>(at)};
    return {};
}

int IndexInParent(const AccessibleRef& ref) {
    switch (ref.kind) {
        case AccessibleRef::Kind::Application: return -1;
        case AccessibleRef::Kind::Part:
            return static_cast<int>(ChildWindows(ref.window).size() + ref.index);
        case AccessibleRef::Kind::Line:
            return static_cast<int>(ChildWindows(ref.window).size() + PartsOf(ref.window).size() + ref.index);
        case AccessibleRef::Kind::Window: break;
    }
    const std::vector<HWND> siblings = (StyleOf(ref.window) & WS_CHILD) ? ChildWindows(GetParent(ref.window))
                                                                         : ShownTopLevels();
    const auto found = std::find(siblings.begin(), siblings.end(), ref.window);
    return found == siblings.end() ? -1 : static_cast<int>(found - siblings.begin());
}

unsigned InterfacesOf(const AccessibleRef& ref) {
    if (ref.kind == AccessibleRef::Kind::Application) return 0;
    unsigned interfaces = kComponentInterface;
    const uint32_t role = RoleOf(ref);
    if (role == role::kPushButton || role == role::kCheckBox || role == role::kRadioButton)
        interfaces |= kActionInterface;
    if (role == role::kSlider) interfaces |= kValueInterface;
    if (role == role::kText || role == role::kPasswordText) {
        interfaces |= kTextInterface;
        if (!(StyleOf(ref.window) & ES_READONLY)) interfaces |= kEditableTextInterface;
    }
    if (role == role::kList || role == role::kComboBox) interfaces |= kSelectionInterface;
    return interfaces;
}

std::optional<RECT> ExtentsOf(const AccessibleRef& ref) {
    RECT rect{};
    switch (ref.kind) {
        case AccessibleRef::Kind::Application: return {};
        case AccessibleRef::Kind::Window:
            if (!GetWindowRect(ref.window, &rect)) return {};
            return rect;
        case AccessibleRef::Kind::Line: return LineRect(ref.window, KindOf(ref.window), ref.index);
        case AccessibleRef::Kind::Part: {
            const std::vector<WindowlessPart> parts = PartsOf(ref.window);
            if (ref.index >= parts.size()) return {};
            return OnScreen(ref.window, parts[ref.index].rect);
        }
    }
    return {};
}

bool TakesClick(const AccessibleRef& ref) {
    if (!(InterfacesOf(ref) & kActionInterface)) return false;
    return StatesOf(ref).Has(State::kSensitive);
}

bool ClickWindow(HWND window) { return PostMessageA(window, BM_CLICK, 0, 0); }

SliderValue ValueOf(HWND slider) {
    return {static_cast<double>(SendMessageA(slider, TBM_GETRANGEMIN, 0, 0)),
            static_cast<double>(SendMessageA(slider, TBM_GETRANGEMAX, 0, 0)),
            static_cast<double>(SendMessageA(slider, TBM_GETPOS, 0, 0))};
}

void SetValue(HWND slider, double value) {
    const SliderValue range = ValueOf(slider);
    if (!std::isfinite(value)) return;
    const auto position = static_cast<LONG>(std::lround(std::clamp(value, range.minimum, range.maximum)));
    // The trackbar's own procedure only moves the thumb; its owner hears of it as of the user's move, later, from
    // its own loop, where its handlers may do whatever they do.
    SendMessageA(slider, TBM_SETPOS, TRUE, position);
    const UINT notice = (StyleOf(slider) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    const HWND owner = GetParent(slider);
    PostMessageA(owner, notice, MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(position)), reinterpret_cast<LPARAM>(slider));
    PostMessageA(owner, notice, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));
}

}  // namespace platform::desktop

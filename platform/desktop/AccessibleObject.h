#pragma once
// The accessible objects a screen reader walks: the application, each captioned top-level window and the windows
// inside it, the windowless parts the program lists, and the lines of list and combo boxes. They are not kept
// anywhere: each answer is read afresh from the windows through the Windows API they answer, so that nothing has
// to follow them while no reader asks, and nothing a reader reads can be stale.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop/Accessibility.h"

namespace platform::desktop {

// The accessibility bus's numbers for the roles used here.
namespace role {
constexpr uint32_t kAlert = 2, kCheckBox = 7, kComboBox = 11, kDialog = 16, kFrame = 23, kLabel = 29, kList = 31,
                   kListItem = 32, kPanel = 39, kPasswordText = 40, kPushButton = 43, kRadioButton = 44,
                   kSlider = 51, kText = 61, kApplication = 75;
}  // namespace role

// The bus's numbers for states: bits of a 64-bit set.
enum class State : uint32_t {
    kActive = 1, kChecked = 4, kCollapsed = 5, kDefunct = 6, kEditable = 7, kEnabled = 8, kExpandable = 9,
    kExpanded = 10, kFocusable = 11, kFocused = 12, kHorizontal = 14, kIconified = 15, kModal = 16,
    kMultiLine = 17, kMultiselectable = 18, kResizable = 21, kSelectable = 22, kSelected = 23, kSensitive = 24,
    kShowing = 25, kSingleLine = 26, kVertical = 29, kVisible = 30, kManagesDescendants = 31,
    kIndeterminate = 32, kIsDefault = 39, kCheckable = 41, kReadOnly = 43,
};

struct StateSet {
    std::array<uint32_t, 2> words{};
    void Add(State state) { words[static_cast<uint32_t>(state) / 32] |= 1u << (static_cast<uint32_t>(state) % 32); }
    bool Has(State state) const {
        return words[static_cast<uint32_t>(state) / 32] & (1u << (static_cast<uint32_t>(state) % 32));
    }
};

struct AccessibleRef {
    enum class Kind : uint8_t { Application, Window, Part, Line };
    Kind kind = Kind::Application;
    HWND window = nullptr;
    UINT index = 0;  // the part's or the line's
    bool operator==(const AccessibleRef&) const = default;
};

// What an object answers besides Accessible.
constexpr unsigned kComponentInterface = 1, kActionInterface = 2, kValueInterface = 4, kTextInterface = 8,
                   kSelectionInterface = 16, kEditableTextInterface = 32;

// A part of a window drawn without a window of its own.
struct WindowlessPart {
    UINT kind = ACCPART_LABEL;  // ACCPART_*
    std::string name;
    RECT rect{};  // client coordinates
    bool enabled = true;
    bool visible = true;
    bool focused = false;
    bool focusable = false;  // takes the keyboard, as a message box's buttons do
};

// The program's windowless parts; without a provider windows have none. A message box's text and buttons are
// the window manager's, and are listed without the program.
void SetPartsProvider(ACCLISTPARTSPROCA list, ACCCLICKPARTPROC click);
std::vector<WindowlessPart> PartsOf(HWND window);
// What holds the keyboard within a window that has it, where a reader's focus is: a part (a message box's button) or
// a list's keyboard line.
std::optional<AccessibleRef> FocusedWithin(HWND window);
// Clicks a part through the program, or presses a message box's button; for the loop, outside the bus's dispatch.
void ClickPart(HWND window, UINT index);

// An object's name on the bus: "root", "w<handle>", "w<handle>_p<part>", "w<handle>_i<line>" (hexadecimal).
std::string IdOf(const AccessibleRef& ref);
std::optional<AccessibleRef> RefOf(std::string_view id);
// The object an accessibility event is about: a part of the window where the program told of one (OBJID_CLIENT
// and the part's index + 1), a list's line where it has the focus, else the window; a list's choice names its line
// apart, in the event's detail.
AccessibleRef SourceOf(DWORD event, HWND window, LONG object, LONG child);
// Whether the object is there now: its window alive and in a captioned top-level window, its part or line there.
bool Exists(const AccessibleRef& ref);
// The application's children: the shown top-level windows with a caption (not hints or drop-down lists), in the
// order they were made, which activation does not change.
std::vector<HWND> ShownTopLevels();

uint32_t RoleOf(const AccessibleRef& ref);
const char* RoleName(uint32_t role);
std::string NameOf(const AccessibleRef& ref);  // valid UTF-8
StateSet StatesOf(const AccessibleRef& ref);
std::optional<AccessibleRef> ParentOf(const AccessibleRef& ref);  // nothing for the application
int ChildCount(const AccessibleRef& ref);
std::optional<AccessibleRef> ChildAt(const AccessibleRef& ref, int index);
int IndexInParent(const AccessibleRef& ref);  // -1 for the application
unsigned InterfacesOf(const AccessibleRef& ref);
std::optional<RECT> ExtentsOf(const AccessibleRef& ref);  // on the screen

// Whether the object takes a click now. A window's click is posted to it; a part's is for the loop to make.
bool TakesClick(const AccessibleRef& ref);
bool ClickWindow(HWND window);

struct SliderValue {
    double minimum = 0;
    double maximum = 0;
    double current = 0;
};
SliderValue ValueOf(HWND slider);
// Moves the slider as the user's keys would, its owner told by the notices the user's move sends, posted.
void SetValue(HWND slider, double value);

}  // namespace platform::desktop

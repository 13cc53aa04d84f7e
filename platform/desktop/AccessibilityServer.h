#pragma once
// The connection to the desktop's accessibility bus while accessibility is on: it serves the accessible objects
// (AccessibleInterfaces.cpp), embeds the application in the desktop's tree, and tells the readers that listen of
// what the windows say changed. It is served from the message loop; what a reader asks that runs the program's
// handlers (a click on a part, the focus) is done after the bus's dispatch, never inside it.

#include <systemd/sd-bus.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/desktop/AccessibleObject.h"
#include "platform/desktop/AccessibleText.h"
#include "platform/desktop/Bus.h"
#include "platform/desktop/ValueThrottle.h"
#include "platform/user/WindowSystem.h"

namespace platform::desktop {

struct Program {
    std::string name;
    std::string version;
};

constexpr const char* kObjectPrefix = "/org/a11y/atspi/accessible";
constexpr const char* kRootPath = "/org/a11y/atspi/accessible/root";

class AccessibilityServer final : public user::LoopSource {
  public:
    // Connects to the accessibility bus at `address` and starts serving; nothing when the bus cannot be reached.
    static std::unique_ptr<AccessibilityServer> Connect(const std::string& address, const Program& program);
    ~AccessibilityServer() override;

    pollfd Watch(std::optional<std::chrono::steady_clock::time_point>& due) override;
    void Serve() override;

    static AccessibilityServer& Of(void* userdata) { return *static_cast<AccessibilityServer*>(userdata); }
    const Program& Served() const { return program_; }
    int& ApplicationId() { return applicationId_; }
    // A reference "(so)" to the object; the desktop's for nothing (the application's parent).
    int AppendRef(sd_bus_message* message, const std::optional<AccessibleRef>& ref) const;
    // Done from the loop after the dispatch in which a reader asked for it, while the object is still there.
    void AfterDispatch(AccessibleRef ref, std::function<void()> asked) { deferred_.push_back({ref, std::move(asked)}); }

    // What the window manager and the controls tell, for the readers that listen.
    void Heard(DWORD event, HWND window, LONG object, LONG child);
    bool Listening() const { return !listeners_.empty(); }

  private:
    using Any = std::variant<int, std::string, double, AccessibleRef>;

    AccessibilityServer(sd_bus* bus, const Program& program);
    bool Start();
    static int Embedded(sd_bus_message* reply, void* userdata, sd_bus_error*);
    static int RegisteredEvents(sd_bus_message* reply, void* userdata, sd_bus_error*);
    static int ListenerRegistered(sd_bus_message* signal, void* userdata, sd_bus_error*);
    static int ListenerDeregistered(sd_bus_message* signal, void* userdata, sd_bus_error*);

    void Emit(const AccessibleRef& source, const char* interface, const char* member, const char* detail,
              int detail1, int detail2, const Any& any);
    void EmitState(const AccessibleRef& source, const char* state, bool on) {
        Emit(source, "org.a11y.atspi.Event.Object", "StateChanged", state, on, 0, 0);
    }
    void TellValue(HWND slider);
    void TopLevelShown(HWND window, bool shown);
    void FocusMoved(AccessibleRef ref);
    void TextChanged(HWND edit);
    void CaretMoved(HWND edit);
    void ActivationMoved(const AccessibleRef& ref);

    std::unique_ptr<sd_bus, BusDeleter> bus_;
    std::vector<BusSlot> slots_;
    Program program_;
    std::string uniqueName_;
    std::pair<std::string, std::string> desktop_{"org.a11y.atspi.Registry", kRootPath};
    int applicationId_ = -1;
    // Event registrations by the listener's bus name: while there are none, no event is sent.
    std::map<std::string, int> listeners_;
    std::optional<AccessibleRef> focused_;
    std::optional<AccessibleRef> active_;
    struct Deferred {
        AccessibleRef ref;
        std::function<void()> asked;
    };
    std::vector<Deferred> deferred_;
    ValueThrottle values_;
    // Each edit's text, caret and selection as a reader was last told, to tell what a change took out and put in.
    // Kept from the edit's making or focus while a reader listens, and forgotten when none does.
    struct EditSeen {
        AccessibleText text;
        int caret;
        int selectionStart;
    };
    std::map<HWND, EditSeen> edits_;
    EditSeen& Seen(HWND edit, const AccessibleText& now);
};

// The accessible objects' interfaces, by path under kObjectPrefix (AccessibleInterfaces.cpp).
bool AddInterfaces(sd_bus* bus, AccessibilityServer& server, std::vector<BusSlot>& slots);
// A rectangle of a window's client area in the coordinates a reader asks in (the screen's, or its top-level
// window's), and a point given in them in the client area.
RECT InCoordinates(HWND window, RECT client, uint32_t coordinates);
POINT ToClient(HWND window, POINT point, uint32_t coordinates);
// The object a path under kObjectPrefix names.
std::optional<AccessibleRef> RefAt(const char* path);
// The edits' text, and its change by a reader (AccessibleTextInterface.cpp).
extern const sd_bus_vtable kTextTable[];
extern const sd_bus_vtable kEditableTextTable[];
// The choice of lines in list and combo boxes (AccessibleSelectionInterface.cpp).
extern const sd_bus_vtable kSelectionTable[];

// The server lost its bus: it is dropped after its dispatch (Accessibility.cpp).
void ForgetAccessibilityServer();

}  // namespace platform::desktop

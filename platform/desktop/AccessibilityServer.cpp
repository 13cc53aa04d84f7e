// The accessibility bus's connection: registration with the desktop's registry, the count of readers listening, and
// the events they hear.

#include "platform/desktop/AccessibilityServer.h"

#include <algorithm>

#include "platform/user/Classes.h"

namespace platform::desktop {
namespace {

constexpr const char* kRegistry = "org.a11y.atspi.Registry";
constexpr const char* kRegistryPath = "/org/a11y/atspi/registry";
constexpr const char* kObjectEvent = "org.a11y.atspi.Event.Object";
constexpr const char* kWindowEvent = "org.a11y.atspi.Event.Window";

AccessibilityServer*& Serving() {
    static AccessibilityServer* server = nullptr;
    return server;
}

void HeardWinEvent(DWORD event, HWND window, LONG object, LONG child) {
    if (AccessibilityServer* server = Serving(); server && server->Listening())
        server->Heard(event, window, object, child);
}

AccessibleRef WindowRef(HWND window) { return {AccessibleRef::Kind::Window, window, 0}; }

// Whether the window is destroyed as part of a window around it, which the destruction began at.
bool GoingWithAnAncestor(HWND window) {
    user::WindowSystem& system = user::WindowSystem::Get();
    for (const user::Window* held = system.Find(window); held && held->Child();) {
        held = system.Find(held->parent);
        if (held && held->destroying) return true;
    }
    return false;
}

// Whether the window is one of the application's children when shown; read while it is destroyed, too.
bool CaptionedTopLevel(HWND window) {
    const auto style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    return !(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION;
}

}  // namespace

AccessibilityServer::AccessibilityServer(sd_bus* bus, const Program& program) : bus_(bus), program_(program) {}

std::unique_ptr<AccessibilityServer> AccessibilityServer::Connect(const std::string& address,
                                                                  const Program& program) {
    sd_bus* bus = nullptr;
    if (sd_bus_new(&bus) < 0) return nullptr;
    std::unique_ptr<AccessibilityServer> server(new AccessibilityServer(bus, program));
    if (sd_bus_set_address(bus, address.c_str()) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
        sd_bus_set_description(bus, "accessibility") < 0 || sd_bus_start(bus) < 0 || !server->Start())
        return nullptr;
    return server;
}

bool AccessibilityServer::Start() {
    sd_bus* bus = bus_.get();
    const char* unique = nullptr;
    if (sd_bus_get_unique_name(bus, &unique) < 0) return false;
    uniqueName_ = unique;
    // The objects are in place before the application is embedded: the registry asks during the embedding.
    if (!AddInterfaces(bus, *this, slots_)) return false;
    // The readers' registrations are followed before they are asked for, so that none slips in between.
    sd_bus_slot* slot = nullptr;
    if (sd_bus_match_signal_async(bus, &slot, kRegistry, kRegistryPath, kRegistry, "EventListenerRegistered",
                                  &ListenerRegistered, nullptr, this) < 0)
        return false;
    slots_.emplace_back(slot);
    if (sd_bus_match_signal_async(bus, &slot, kRegistry, kRegistryPath, kRegistry, "EventListenerDeregistered",
                                  &ListenerDeregistered, nullptr, this) < 0)
        return false;
    slots_.emplace_back(slot);
    if (sd_bus_call_method_async(bus, &slot, kRegistry, kRootPath, "org.a11y.atspi.Socket", "Embed", &Embedded, this,
                                 "(so)", unique, kRootPath) < 0)
        return false;
    slots_.emplace_back(slot);
    Serving() = this;
    user::WatchWinEvents(&HeardWinEvent);
    user::AddLoopSource(this);
    return true;
}

AccessibilityServer::~AccessibilityServer() {
    if (Serving() != this) return;
    Serving() = nullptr;
    user::WatchWinEvents(nullptr);
    user::RemoveLoopSource(this);
}

int AccessibilityServer::Embedded(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    AccessibilityServer& server = Of(userdata);
    const char* name = nullptr;
    const char* path = nullptr;
    if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_read(reply, "(so)", &name, &path) < 0)
        return 0;  // no registry: readers that start later find nothing, as with a toolkit that was refused
    server.desktop_ = {name, path};
    sd_bus_slot* slot = nullptr;
    if (sd_bus_call_method_async(server.bus_.get(), &slot, kRegistry, kRegistryPath, kRegistry,
                                 "GetRegisteredEvents", &RegisteredEvents, &server, "") >= 0)
        server.slots_.emplace_back(slot);
    return 0;
}

int AccessibilityServer::RegisteredEvents(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    AccessibilityServer& server = Of(userdata);
    if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_enter_container(reply, 'a', "(ss)") < 0)
        return 0;
    const char* bus = nullptr;
    const char* event = nullptr;
    while (sd_bus_message_read(reply, "(ss)", &bus, &event) > 0) ++server.listeners_[bus];
    return 0;
}

int AccessibilityServer::ListenerRegistered(sd_bus_message* signal, void* userdata, sd_bus_error*) {
    const char* bus = nullptr;
    if (sd_bus_message_read(signal, "s", &bus) > 0) ++Of(userdata).listeners_[bus];
    return 0;
}

int AccessibilityServer::ListenerDeregistered(sd_bus_message* signal, void* userdata, sd_bus_error*) {
    AccessibilityServer& server = Of(userdata);
    const char* bus = nullptr;
    const char* event = nullptr;
    if (sd_bus_message_read(signal, "ss", &bus, &event) < 0) return 0;
    const auto found = server.listeners_.find(bus);
    if (found == server.listeners_.end()) return 0;
    // The registry says "" for a connection that has gone, whatever it had registered.
    if (!*event || --found->second <= 0) server.listeners_.erase(found);
    // Edits change unseen while nobody listens: what was told is no ground for the next reader's events.
    if (server.listeners_.empty()) server.edits_.clear();
    return 0;
}

int AccessibilityServer::AppendRef(sd_bus_message* message, const std::optional<AccessibleRef>& ref) const {
    if (!ref) return sd_bus_message_append(message, "(so)", desktop_.first.c_str(), desktop_.second.c_str());
    const std::string path = std::string(kObjectPrefix) + "/" + IdOf(*ref);
    return sd_bus_message_append(message, "(so)", uniqueName_.c_str(), path.c_str());
}

pollfd AccessibilityServer::Watch(std::optional<std::chrono::steady_clock::time_point>& due) {
    const pollfd watched = WatchBus(bus_.get(), due);
    // A slider's last value held back wakes the loop once, when it is due; nothing held, nothing wakes.
    if (const auto held = values_.Due(); held && (!due || *held < *due)) due = held;
    return watched;
}

void AccessibilityServer::Serve() {
    const int result = ProcessBus(bus_.get());
    if (result >= 0)
        for (HWND slider : values_.TakeDue(ValueThrottle::Clock::now())) TellValue(slider);
    // What was asked runs the program's handlers, which may end this server (a nested loop that hears the desktop
    // switch accessibility off): nothing of it is touched once they run.
    const std::vector<Deferred> deferred = std::exchange(deferred_, {});
    if (result < 0) ForgetAccessibilityServer();
    for (const Deferred& deferral : deferred)
        if (Exists(deferral.ref)) deferral.asked();
}

void AccessibilityServer::Emit(const AccessibleRef& source, const char* interface, const char* member,
                               const char* detail, int detail1, int detail2, const Any& any) {
    const std::string path = std::string(kObjectPrefix) + "/" + IdOf(source);
    sd_bus_message* signal = nullptr;
    if (sd_bus_message_new_signal(bus_.get(), &signal, path.c_str(), interface, member) < 0) return;
    int result = sd_bus_message_append(signal, "sii", detail, detail1, detail2);
    if (result >= 0) {
        if (const int* number = std::get_if<int>(&any)) {
            result = sd_bus_message_append(signal, "v", "i", *number);
        } else if (const std::string* text = std::get_if<std::string>(&any)) {
            result = sd_bus_message_append(signal, "v", "s", text->c_str());
        } else if (const double* value = std::get_if<double>(&any)) {
            result = sd_bus_message_append(signal, "v", "d", *value);
        } else {
            result = sd_bus_message_open_container(signal, 'v', "(so)");
            if (result >= 0) result = AppendRef(signal, std::get<AccessibleRef>(any));
            if (result >= 0) result = sd_bus_message_close_container(signal);
        }
    }
    if (result >= 0) result = sd_bus_message_append(signal, "a{sv}", 0);
    // A reader that misses an event reads afresh when it next looks: nothing to do on failure.
    if (result >= 0) sd_bus_send(bus_.get(), signal, nullptr);
    sd_bus_message_unref(signal);
}

void AccessibilityServer::Heard(DWORD event, HWND window, LONG object, LONG child) {
    const AccessibleRef ref = SourceOf(event, window, object, child);
    // A part shown or hidden is told of with its window's handle, which may be a top-level window's.
    const bool topLevel = ref.kind == AccessibleRef::Kind::Window && IsWindow(window) &&
                          !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
    switch (event) {
        case EVENT_OBJECT_SHOW:
        case EVENT_OBJECT_HIDE:
            if (topLevel) {
                if (CaptionedTopLevel(window)) TopLevelShown(window, event == EVENT_OBJECT_SHOW);
            } else if (Exists(ref)) {
                const StateSet states = StatesOf(ref);
                EmitState(ref, "visible", states.Has(State::kVisible));
                EmitState(ref, "showing", states.Has(State::kShowing));
            }
            return;
        case EVENT_OBJECT_CREATE:
            if (topLevel || !Exists(ref)) return;
            Emit(*ParentOf(ref), kObjectEvent, "ChildrenChanged", "add", IndexInParent(ref), 0, ref);
            if (InterfacesOf(ref) & kTextInterface) Seen(window, AccessibleText(window));
            return;
        case EVENT_OBJECT_DESTROY: {
            values_.Forget(window);
            edits_.erase(window);
            if (focused_ && focused_->window == window) focused_.reset();
            if (active_ && active_->window == window) active_.reset();
            // Never one of the application's (a hint, a drop-down list) when its top-level window has no caption.
            if (!IsWindow(window) || !CaptionedTopLevel(GetAncestor(window, GA_ROOT))) return;
            // A top-level window has left the application's children as it was hidden; a child window leaves its
            // parent's, unless it goes with its parent, whose own leaving tells of it.
            if (!topLevel && !GoingWithAnAncestor(window))
                Emit(WindowRef(GetParent(window)), kObjectEvent, "ChildrenChanged", "remove", IndexInParent(ref), 0,
                     ref);
            EmitState(ref, "defunct", true);
            return;
        }
        case EVENT_OBJECT_FOCUS: FocusMoved(ref); return;
        case EVENT_SYSTEM_FOREGROUND: ActivationMoved(ref); return;
        default: break;
    }
    if (!Exists(ref)) return;
    switch (event) {
        case EVENT_OBJECT_NAMECHANGE:
            Emit(ref, kObjectEvent, "PropertyChange", "accessible-name", 0, 0, NameOf(ref));
            break;
        case EVENT_OBJECT_STATECHANGE: {
            const StateSet states = StatesOf(ref);
            EmitState(ref, "enabled", states.Has(State::kEnabled));
            EmitState(ref, "sensitive", states.Has(State::kSensitive));
            if (states.Has(State::kCheckable)) {
                EmitState(ref, "checked", states.Has(State::kChecked));
                EmitState(ref, "indeterminate", states.Has(State::kIndeterminate));
            }
            break;
        }
        case EVENT_OBJECT_VALUECHANGE: {
            // The player moves its slider on every tick: the object is asked what it is once, and a reader hears
            // where the slider stands a few times a second.
            const unsigned interfaces = InterfacesOf(ref);
            if (interfaces & kTextInterface) TextChanged(window);
            else if ((interfaces & kValueInterface) && values_.Changed(window, ValueThrottle::Clock::now()))
                TellValue(window);
            break;
        }
        case EVENT_OBJECT_LOCATIONCHANGE:
            if (object == OBJID_CARET && (InterfacesOf(ref) & kTextInterface)) CaretMoved(window);
            break;
        case EVENT_OBJECT_SELECTIONWITHIN: Emit(ref, kObjectEvent, "SelectionChanged", "", 0, 0, 0); break;
        case EVENT_OBJECT_SELECTION:
            Emit(ref, kObjectEvent, "SelectionChanged", "", 0, 0, 0);
            if (child > 0) {
                const AccessibleRef line{AccessibleRef::Kind::Line, window, static_cast<UINT>(child - 1)};
                if (Exists(line)) {
                    Emit(ref, kObjectEvent, "ActiveDescendantChanged", "", IndexInParent(line), 0, line);
                    EmitState(line, "selected", true);
                }
            }
            break;
        default: break;
    }
}

void AccessibilityServer::TellValue(HWND slider) {
    // Read when told, so that a value held back goes out as it stands now.
    const AccessibleRef ref = WindowRef(slider);
    if (Listening() && Exists(ref) && (InterfacesOf(ref) & kValueInterface))
        Emit(ref, kObjectEvent, "PropertyChange", "accessible-value", 0, 0, ValueOf(slider).current);
}

void AccessibilityServer::TopLevelShown(HWND window, bool shown) {
    const AccessibleRef ref = WindowRef(window);
    const AccessibleRef application{};
    // The application's children are its shown windows in the order of their handles: a window hidden has left
    // the list already, and its place is where it would stand.
    const std::vector<HWND> others = ShownTopLevels();
    const int index = static_cast<int>(std::lower_bound(others.begin(), others.end(), window) - others.begin());
    const std::string name = NameOf(ref);
    if (shown) {
        Emit(application, kObjectEvent, "ChildrenChanged", "add", index, 0, ref);
        Emit(ref, kWindowEvent, "Create", "", 0, 0, name);
    } else {
        Emit(application, kObjectEvent, "ChildrenChanged", "remove", index, 0, ref);
        Emit(ref, kWindowEvent, "Destroy", "", 0, 0, name);
    }
}

void AccessibilityServer::FocusMoved(AccessibleRef ref) {
    // A window that gives the keyboard to a part drawn in it (a message box's button) or to a line is read by that.
    if (ref.kind == AccessibleRef::Kind::Window && IsWindow(ref.window)) ref = FocusedWithin(ref.window).value_or(ref);
    if (focused_ && *focused_ != ref && Exists(*focused_)) EmitState(*focused_, "focused", false);
    focused_.reset();
    if (!Exists(ref)) return;
    if (InterfacesOf(ref) & kTextInterface) Seen(ref.window, AccessibleText(ref.window));
    focused_ = ref;
    EmitState(ref, "focused", true);
    Emit(ref, "org.a11y.atspi.Event.Focus", "Focus", "", 0, 0, 0);
}

AccessibilityServer::EditSeen& AccessibilityServer::Seen(HWND edit, const AccessibleText& now) {
    return edits_.try_emplace(edit, EditSeen{now, now.CaretOffset(), now.SelectionStart()}).first->second;
}

void AccessibilityServer::TextChanged(HWND edit) {
    const AccessibleText now(edit);
    const auto seen = edits_.find(edit);
    // An edit not seen before has nothing to compare with: a reader reads it afresh when it looks.
    if (seen == edits_.end()) {
        Seen(edit, now);
        return;
    }
    const TextChange change = seen->second.text.ChangeTo(now);
    seen->second.text = now;
    const AccessibleRef ref = WindowRef(edit);
    for (const auto& [piece, detail] : {std::pair{&change.removed, "delete"}, std::pair{&change.inserted, "insert"}})
        if (piece->end > piece->start)
            Emit(ref, kObjectEvent, "TextChanged", detail, piece->start, piece->end - piece->start, piece->text);
}

void AccessibilityServer::CaretMoved(HWND edit) {
    const AccessibleText now(edit);
    EditSeen& told = Seen(edit, now);
    const bool caretMoved = now.CaretOffset() != told.caret;
    const bool hadSelection = told.selectionStart != told.caret;
    const bool hasSelection = now.SelectionStart() != now.CaretOffset();
    const bool selectionMoved = (hadSelection || hasSelection) &&
                                (caretMoved || now.SelectionStart() != told.selectionStart);
    told.caret = now.CaretOffset();
    told.selectionStart = now.SelectionStart();
    const AccessibleRef ref = WindowRef(edit);
    if (caretMoved) Emit(ref, kObjectEvent, "TextCaretMoved", "", told.caret, 0, 0);
    if (selectionMoved) Emit(ref, kObjectEvent, "TextSelectionChanged", "", 0, 0, 0);
}

void AccessibilityServer::ActivationMoved(const AccessibleRef& ref) {
    if (active_ && *active_ != ref && Exists(*active_)) {
        Emit(*active_, kWindowEvent, "Deactivate", "", 0, 0, NameOf(*active_));
        EmitState(*active_, "active", false);
    }
    active_.reset();
    if (!Exists(ref) || !CaptionedTopLevel(ref.window)) return;
    active_ = ref;
    Emit(ref, kWindowEvent, "Activate", "", 0, 0, NameOf(ref));
    EmitState(ref, "active", true);
}

}  // namespace platform::desktop

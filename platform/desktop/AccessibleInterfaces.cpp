// The interfaces a screen reader calls on the accessible objects: Accessible on every one, Application on the
// application, Component, Action and Value where they apply (Text and Selection in files of their own), and the cache the readers' library asks for first.
// One table per interface serves every object under the prefix; the path names the object, and an object that is
// not there, or does not answer the interface, is left out by the lookup.

#include <clocale>
#include <string>

#include "platform/desktop/AccessibilityServer.h"

namespace platform::desktop {

std::optional<AccessibleRef> RefAt(const char* path) {
    const std::string_view whole = path ? path : "";
    const std::string_view prefix = kObjectPrefix;
    if (whole.size() <= prefix.size() + 1 || !whole.starts_with(prefix) || whole[prefix.size()] != '/') return {};
    return RefOf(whole.substr(prefix.size() + 1));
}

namespace {

constexpr const char* kNullPath = "/org/a11y/atspi/null";
constexpr uint32_t kLayerWidget = 3, kLayerWindow = 7;  // the bus's numbers
constexpr uint32_t kScreenCoordinates = 0, kWindowCoordinates = 1;

AccessibilityServer& Of(void* userdata) { return AccessibilityServer::Of(userdata); }

AccessibleRef RefOfMessage(sd_bus_message* message) { return RefAt(sd_bus_message_get_path(message)).value_or(AccessibleRef{}); }

template <unsigned interface>
int Find(sd_bus*, const char* path, const char*, void* userdata, void** found, sd_bus_error*) {
    const std::optional<AccessibleRef> ref = RefAt(path);
    if (!ref || !Exists(*ref)) return 0;
    if (interface && !(InterfacesOf(*ref) & interface)) return 0;
    *found = userdata;
    return 1;
}

// ---- Accessible ----

int GetName(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void* userdata, sd_bus_error*) {
    const AccessibleRef ref = RefAt(path).value_or(AccessibleRef{});
    const std::string name = ref.kind == AccessibleRef::Kind::Application ? Of(userdata).Served().name : NameOf(ref);
    return sd_bus_message_append(reply, "s", name.c_str());
}

int GetEmpty(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", "");
}

int GetLocaleName(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    const char* locale = std::setlocale(LC_MESSAGES, nullptr);
    return sd_bus_message_append(reply, "s", locale ? locale : "C");
}

int GetId(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", IdOf(RefAt(path).value_or(AccessibleRef{})).c_str());
}

int GetParent(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void* userdata,
              sd_bus_error*) {
    return Of(userdata).AppendRef(reply, ParentOf(RefAt(path).value_or(AccessibleRef{})));
}

int GetChildCount(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "i", ChildCount(RefAt(path).value_or(AccessibleRef{})));
}

int Reply(sd_bus_message* reply) {
    const int result = sd_bus_send(nullptr, reply, nullptr);
    sd_bus_message_unref(reply);
    return result;
}

int GetChildAtIndex(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int index = 0;
    int result = sd_bus_message_read(message, "i", &index);
    if (result < 0) return result;
    sd_bus_message* reply = nullptr;
    if ((result = sd_bus_message_new_method_return(message, &reply)) < 0) return result;
    const std::optional<AccessibleRef> child = ChildAt(RefOfMessage(message), index);
    result = child ? Of(userdata).AppendRef(reply, child) : sd_bus_message_append(reply, "(so)", "", kNullPath);
    if (result < 0) {
        sd_bus_message_unref(reply);
        return result;
    }
    return Reply(reply);
}

int GetChildren(sd_bus_message* message, void* userdata, sd_bus_error*) {
    const AccessibleRef ref = RefOfMessage(message);
    sd_bus_message* reply = nullptr;
    int result = sd_bus_message_new_method_return(message, &reply);
    if (result < 0) return result;
    result = sd_bus_message_open_container(reply, 'a', "(so)");
    const int count = ChildCount(ref);
    for (int i = 0; i < count && result >= 0; ++i) result = Of(userdata).AppendRef(reply, ChildAt(ref, i));
    if (result >= 0) result = sd_bus_message_close_container(reply);
    if (result < 0) {
        sd_bus_message_unref(reply);
        return result;
    }
    return Reply(reply);
}

int GetIndexInParent(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "i", IndexInParent(RefOfMessage(message)));
}

int GetNoRelations(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "a(ua(so))", 0);
}

int GetRole(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "u", RoleOf(RefOfMessage(message)));
}

int GetRoleName(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "s", RoleName(RoleOf(RefOfMessage(message))));
}

int GetState(sd_bus_message* message, void*, sd_bus_error*) {
    const StateSet states = StatesOf(RefOfMessage(message));
    return sd_bus_reply_method_return(message, "au", 2, states.words[0], states.words[1]);
}

int GetAttributes(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "a{ss}", 0);
}

int GetApplication(sd_bus_message* message, void* userdata, sd_bus_error*) {
    sd_bus_message* reply = nullptr;
    int result = sd_bus_message_new_method_return(message, &reply);
    if (result < 0) return result;
    if ((result = Of(userdata).AppendRef(reply, AccessibleRef{})) < 0) {
        sd_bus_message_unref(reply);
        return result;
    }
    return Reply(reply);
}

// The interfaces by their bits in InterfacesOf, as a reader is told of them and as they are served; every object
// but the application answers Accessible.
constexpr std::pair<unsigned, const char*> kInterfaceNames[] = {
    {0, "org.a11y.atspi.Accessible"},
    {kComponentInterface, "org.a11y.atspi.Component"},
    {kActionInterface, "org.a11y.atspi.Action"},
    {kValueInterface, "org.a11y.atspi.Value"},
    {kTextInterface, "org.a11y.atspi.Text"},
    {kEditableTextInterface, "org.a11y.atspi.EditableText"},
    {kSelectionInterface, "org.a11y.atspi.Selection"},
};

int GetInterfaces(sd_bus_message* message, void*, sd_bus_error*) {
    const AccessibleRef ref = RefOfMessage(message);
    if (ref.kind == AccessibleRef::Kind::Application)
        return sd_bus_reply_method_return(message, "as", 2, "org.a11y.atspi.Accessible", "org.a11y.atspi.Application");
    const unsigned interfaces = InterfacesOf(ref);
    sd_bus_message* reply = nullptr;
    int result = sd_bus_message_new_method_return(message, &reply);
    if (result < 0) return result;
    result = sd_bus_message_open_container(reply, 'a', "s");
    for (const auto& [bit, name] : kInterfaceNames)
        if (result >= 0 && (bit == 0 || (interfaces & bit))) result = sd_bus_message_append(reply, "s", name);
    if (result >= 0) result = sd_bus_message_close_container(reply);
    if (result < 0) {
        sd_bus_message_unref(reply);
        return result;
    }
    return Reply(reply);
}

// ---- Application ----

int GetToolkit(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", Of(userdata).Served().name.c_str());
}

int GetVersion(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", Of(userdata).Served().version.c_str());
}

int GetAtspiVersion(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "s", "2.1");
}

int GetApplicationId(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                     sd_bus_error*) {
    return sd_bus_message_append(reply, "i", Of(userdata).ApplicationId());
}

// The registry numbers the applications it embeds.
int SetApplicationId(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void* userdata,
                     sd_bus_error*) {
    return sd_bus_message_read(value, "i", &Of(userdata).ApplicationId());
}

int GetLocale(sd_bus_message* message, void*, sd_bus_error*) {
    uint32_t category = 0;
    int result = sd_bus_message_read(message, "u", &category);
    if (result < 0) return result;
    const char* locale = std::setlocale(LC_MESSAGES, nullptr);
    return sd_bus_reply_method_return(message, "s", locale ? locale : "C");
}

// No bus of our own besides this one: readers talk to the application here.
int GetApplicationBusAddress(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "s", "");
}

// ---- Component ----

// Where a reader's coordinates start: the screen's corner, or the window's top-level window's.
POINT Origin(HWND window, uint32_t coordinates) {
    RECT top{};
    if (coordinates != kWindowCoordinates || !GetWindowRect(GetAncestor(window, GA_ROOT), &top)) return {0, 0};
    return {top.left, top.top};
}

// The object's rectangle in the coordinates asked for.
std::optional<RECT> Extents(const AccessibleRef& ref, uint32_t coordinates) {
    std::optional<RECT> rect = ExtentsOf(ref);
    const POINT origin = Origin(ref.window, coordinates);
    if (rect) OffsetRect(&*rect, -origin.x, -origin.y);
    return rect;
}

int GetExtents(sd_bus_message* message, void*, sd_bus_error*) {
    uint32_t coordinates = 0;
    int result = sd_bus_message_read(message, "u", &coordinates);
    if (result < 0) return result;
    const RECT rect = Extents(RefOfMessage(message), coordinates).value_or(RECT{});
    return sd_bus_reply_method_return(message, "(iiii)", rect.left, rect.top, rect.right - rect.left,
                                      rect.bottom - rect.top);
}

int GetPosition(sd_bus_message* message, void*, sd_bus_error*) {
    uint32_t coordinates = 0;
    int result = sd_bus_message_read(message, "u", &coordinates);
    if (result < 0) return result;
    const RECT rect = Extents(RefOfMessage(message), coordinates).value_or(RECT{});
    return sd_bus_reply_method_return(message, "ii", rect.left, rect.top);
}

int GetSize(sd_bus_message* message, void*, sd_bus_error*) {
    const RECT rect = ExtentsOf(RefOfMessage(message)).value_or(RECT{});
    return sd_bus_reply_method_return(message, "ii", rect.right - rect.left, rect.bottom - rect.top);
}

int Contains(sd_bus_message* message, void*, sd_bus_error*) {
    int x = 0, y = 0;
    uint32_t coordinates = 0;
    int result = sd_bus_message_read(message, "iiu", &x, &y, &coordinates);
    if (result < 0) return result;
    const std::optional<RECT> rect = Extents(RefOfMessage(message), coordinates);
    return sd_bus_reply_method_return(message, "b", rect && PtInRect(&*rect, POINT{x, y}));
}

// The frontmost child under the point, as a reader's review by mouse asks.
int GetAccessibleAtPoint(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int x = 0, y = 0;
    uint32_t coordinates = 0;
    int result = sd_bus_message_read(message, "iiu", &x, &y, &coordinates);
    if (result < 0) return result;
    const AccessibleRef ref = RefOfMessage(message);
    std::optional<AccessibleRef> found;
    for (int i = 0, count = ChildCount(ref); i < count && !found; ++i) {
        const std::optional<AccessibleRef> child = ChildAt(ref, i);
        const std::optional<RECT> rect = child ? Extents(*child, coordinates) : std::nullopt;
        if (rect && PtInRect(&*rect, POINT{x, y}) && StatesOf(*child).Has(State::kShowing)) found = child;
    }
    sd_bus_message* reply = nullptr;
    if ((result = sd_bus_message_new_method_return(message, &reply)) < 0) return result;
    result = found ? Of(userdata).AppendRef(reply, found) : sd_bus_message_append(reply, "(so)", "", kNullPath);
    if (result < 0) {
        sd_bus_message_unref(reply);
        return result;
    }
    return Reply(reply);
}

int GetLayer(sd_bus_message* message, void*, sd_bus_error*) {
    const AccessibleRef ref = RefOfMessage(message);
    const bool topLevel = ref.kind == AccessibleRef::Kind::Window && !(GetWindowLongA(ref.window, GWL_STYLE) & WS_CHILD);
    return sd_bus_reply_method_return(message, "u", topLevel ? kLayerWindow : kLayerWidget);
}

int GetMdiZOrder(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "n", int16_t{-1});
}

int GetAlpha(sd_bus_message* message, void*, sd_bus_error*) { return sd_bus_reply_method_return(message, "d", 1.0); }

// Focus runs the windows' handlers: it is given after the dispatch.
int GrabFocus(sd_bus_message* message, void* userdata, sd_bus_error*) {
    const AccessibleRef ref = RefOfMessage(message);
    const bool takes = ref.kind == AccessibleRef::Kind::Window && StatesOf(ref).Has(State::kFocusable);
    if (takes) Of(userdata).AfterDispatch(ref, [window = ref.window] { SetFocus(window); });
    return sd_bus_reply_method_return(message, "b", takes);
}

// Readers may not move or size the program's windows.
int Refuse(sd_bus_message* message, void*, sd_bus_error*) { return sd_bus_reply_method_return(message, "b", 0); }

// ---- Action ----

int GetActionCount(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "i", 1);
}

int CheckAction(sd_bus_message* message, int& index, sd_bus_error* error) {
    int result = sd_bus_message_read(message, "i", &index);
    if (result < 0) return result;
    if (index != 0) return sd_bus_error_set_const(error, SD_BUS_ERROR_INVALID_ARGS, "The object has one action.");
    return 0;
}

int GetActionName(sd_bus_message* message, void*, sd_bus_error* error) {
    int index = 0;
    const int result = CheckAction(message, index, error);
    return result < 0 ? result : sd_bus_reply_method_return(message, "s", "click");
}

int GetActionEmpty(sd_bus_message* message, void*, sd_bus_error* error) {
    int index = 0;
    const int result = CheckAction(message, index, error);
    return result < 0 ? result : sd_bus_reply_method_return(message, "s", "");
}

int GetActions(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "a(sss)", 1, "click", "", "");
}

// A window's click is posted to it; a part's is made by the program after the dispatch. Either way the reader
// hears at once whether it was taken, and the program's handlers run from its own loop.
int DoAction(sd_bus_message* message, void* userdata, sd_bus_error* error) {
    int index = 0;
    const int result = CheckAction(message, index, error);
    if (result < 0) return result;
    const AccessibleRef ref = RefOfMessage(message);
    bool taken = TakesClick(ref);
    if (taken && ref.kind == AccessibleRef::Kind::Window) taken = ClickWindow(ref.window);
    else if (taken) Of(userdata).AfterDispatch(ref, [ref] { ClickPart(ref.window, ref.index); });
    return sd_bus_reply_method_return(message, "b", taken);
}

// ---- Value ----

int GetMinimum(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "d", ValueOf(RefAt(path).value_or(AccessibleRef{}).window).minimum);
}

int GetMaximum(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "d", ValueOf(RefAt(path).value_or(AccessibleRef{}).window).maximum);
}

int GetIncrement(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "d", 1.0);
}

int GetCurrent(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "d", ValueOf(RefAt(path).value_or(AccessibleRef{}).window).current);
}

int SetCurrent(sd_bus*, const char* path, const char*, const char*, sd_bus_message* value, void*, sd_bus_error* error) {
    double wanted = 0;
    const int result = sd_bus_message_read(value, "d", &wanted);
    if (result < 0) return result;
    const AccessibleRef ref = RefAt(path).value_or(AccessibleRef{});
    if (!StatesOf(ref).Has(State::kSensitive))
        return sd_bus_error_set_const(error, SD_BUS_ERROR_ACCESS_DENIED, "The slider is disabled.");
    SetValue(ref.window, wanted);
    return 0;
}

// ---- Cache ----

// Readers ask for everything at once as they start; they are told nothing here and walk the tree instead.
int GetItems(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "a((so)(so)(so)iiassusau)", 0);
}

// clang-format off
const sd_bus_vtable kAccessibleTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("Name", "s", &GetName, 0, 0),
    SD_BUS_PROPERTY("Description", "s", &GetEmpty, 0, 0),
    SD_BUS_PROPERTY("HelpText", "s", &GetEmpty, 0, 0),
    SD_BUS_PROPERTY("Parent", "(so)", &GetParent, 0, 0),
    SD_BUS_PROPERTY("ChildCount", "i", &GetChildCount, 0, 0),
    SD_BUS_PROPERTY("Locale", "s", &GetLocaleName, 0, 0),
    SD_BUS_PROPERTY("AccessibleId", "s", &GetId, 0, 0),
    SD_BUS_METHOD("GetChildAtIndex", "i", "(so)", &GetChildAtIndex, 0),
    SD_BUS_METHOD("GetChildren", "", "a(so)", &GetChildren, 0),
    SD_BUS_METHOD("GetIndexInParent", "", "i", &GetIndexInParent, 0),
    SD_BUS_METHOD("GetRelationSet", "", "a(ua(so))", &GetNoRelations, 0),
    SD_BUS_METHOD("GetRole", "", "u", &GetRole, 0),
    SD_BUS_METHOD("GetRoleName", "", "s", &GetRoleName, 0),
    SD_BUS_METHOD("GetLocalizedRoleName", "", "s", &GetRoleName, 0),
    SD_BUS_METHOD("GetState", "", "au", &GetState, 0),
    SD_BUS_METHOD("GetAttributes", "", "a{ss}", &GetAttributes, 0),
    SD_BUS_METHOD("GetApplication", "", "(so)", &GetApplication, 0),
    SD_BUS_METHOD("GetInterfaces", "", "as", &GetInterfaces, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kApplicationTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("ToolkitName", "s", &GetToolkit, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Version", "s", &GetVersion, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("ToolkitVersion", "s", &GetVersion, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("AtspiVersion", "s", &GetAtspiVersion, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_WRITABLE_PROPERTY("Id", "i", &GetApplicationId, &SetApplicationId, 0, 0),
    SD_BUS_METHOD("GetLocale", "u", "s", &GetLocale, 0),
    SD_BUS_METHOD("GetApplicationBusAddress", "", "s", &GetApplicationBusAddress, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kComponentTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Contains", "iiu", "b", &Contains, 0),
    SD_BUS_METHOD("GetAccessibleAtPoint", "iiu", "(so)", &GetAccessibleAtPoint, 0),
    SD_BUS_METHOD("GetExtents", "u", "(iiii)", &GetExtents, 0),
    SD_BUS_METHOD("GetPosition", "u", "ii", &GetPosition, 0),
    SD_BUS_METHOD("GetSize", "", "ii", &GetSize, 0),
    SD_BUS_METHOD("GetLayer", "", "u", &GetLayer, 0),
    SD_BUS_METHOD("GetMDIZOrder", "", "n", &GetMdiZOrder, 0),
    SD_BUS_METHOD("GrabFocus", "", "b", &GrabFocus, 0),
    SD_BUS_METHOD("GetAlpha", "", "d", &GetAlpha, 0),
    SD_BUS_METHOD("SetExtents", "iiiiu", "b", &Refuse, 0),
    SD_BUS_METHOD("SetPosition", "iiu", "b", &Refuse, 0),
    SD_BUS_METHOD("SetSize", "ii", "b", &Refuse, 0),
    SD_BUS_METHOD("ScrollTo", "u", "b", &Refuse, 0),
    SD_BUS_METHOD("ScrollToPoint", "uii", "b", &Refuse, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kActionTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("NActions", "i", &GetActionCount, 0, 0),
    SD_BUS_METHOD("GetDescription", "i", "s", &GetActionEmpty, 0),
    SD_BUS_METHOD("GetName", "i", "s", &GetActionName, 0),
    SD_BUS_METHOD("GetLocalizedName", "i", "s", &GetActionName, 0),
    SD_BUS_METHOD("GetKeyBinding", "i", "s", &GetActionEmpty, 0),
    SD_BUS_METHOD("GetActions", "", "a(sss)", &GetActions, 0),
    SD_BUS_METHOD("DoAction", "i", "b", &DoAction, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kValueTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("MinimumValue", "d", &GetMinimum, 0, 0),
    SD_BUS_PROPERTY("MaximumValue", "d", &GetMaximum, 0, 0),
    SD_BUS_PROPERTY("MinimumIncrement", "d", &GetIncrement, 0, 0),
    SD_BUS_WRITABLE_PROPERTY("CurrentValue", "d", &GetCurrent, &SetCurrent, 0, 0),
    SD_BUS_PROPERTY("Text", "s", &GetEmpty, 0, 0),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kCacheTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("GetItems", "", "a((so)(so)(so)iiassusau)", &GetItems, 0),
    SD_BUS_VTABLE_END,
};
// clang-format on

}  // namespace

RECT InCoordinates(HWND window, RECT client, uint32_t coordinates) {
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    const POINT origin = Origin(window, coordinates);
    OffsetRect(&client, corner.x - origin.x, corner.y - origin.y);
    return client;
}

POINT ToClient(HWND window, POINT point, uint32_t coordinates) {
    const POINT origin = Origin(window, coordinates);
    point = {point.x + origin.x, point.y + origin.y};
    ScreenToClient(window, &point);
    return point;
}

bool AddInterfaces(sd_bus* bus, AccessibilityServer& server, std::vector<BusSlot>& slots) {
    struct Fallback {
        const sd_bus_vtable* table;
        sd_bus_object_find_t find;
    };
    // In the order of kInterfaceNames.
    const Fallback fallbacks[] = {
        {kAccessibleTable, &Find<0>},
        {kComponentTable, &Find<kComponentInterface>},
        {kActionTable, &Find<kActionInterface>},
        {kValueTable, &Find<kValueInterface>},
        {kTextTable, &Find<kTextInterface>},
        {kEditableTextTable, &Find<kEditableTextInterface>},
        {kSelectionTable, &Find<kSelectionInterface>},
    };
    static_assert(std::size(fallbacks) == std::size(kInterfaceNames));
    sd_bus_slot* slot = nullptr;
    for (size_t i = 0; i < std::size(fallbacks); ++i) {
        if (sd_bus_add_fallback_vtable(bus, &slot, kObjectPrefix, kInterfaceNames[i].second, fallbacks[i].table,
                                       fallbacks[i].find, &server) < 0)
            return false;
        slots.emplace_back(slot);
    }
    if (sd_bus_add_object_vtable(bus, &slot, kRootPath, "org.a11y.atspi.Application", kApplicationTable, &server) < 0)
        return false;
    slots.emplace_back(slot);
    if (sd_bus_add_object_vtable(bus, &slot, "/org/a11y/atspi/cache", "org.a11y.atspi.Cache", kCacheTable, &server) <
        0)
        return false;
    slots.emplace_back(slot);
    return true;
}

}  // namespace platform::desktop

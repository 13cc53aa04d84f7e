// The Selection interface of list boxes and combo boxes. A reader counts the box's children, which are its lines
// after whatever windows it holds; a choice it makes is posted (AccessibleSelection.h).

#include "platform/desktop/AccessibilityServer.h"
#include "platform/desktop/AccessibleSelection.h"

namespace platform::desktop {
namespace {

constexpr const char* kNullPath = "/org/a11y/atspi/null";

AccessibleRef BoxOf(sd_bus_message* message) {
    return RefAt(sd_bus_message_get_path(message)).value_or(AccessibleRef{});
}

// The line a child index names, if that child is a line.
std::optional<UINT> LineAt(const AccessibleRef& box, int child) {
    const std::optional<AccessibleRef> ref = ChildAt(box, child);
    if (!ref || ref->kind != AccessibleRef::Kind::Line) return {};
    return ref->index;
}

int ReadIndex(sd_bus_message* message, int& index) { return sd_bus_message_read(message, "i", &index); }

int GetSelectedCount(sd_bus*, const char* path, const char*, const char*, sd_bus_message* reply, void*,
                     sd_bus_error*) {
    const HWND box = RefAt(path).value_or(AccessibleRef{}).window;
    return sd_bus_message_append(reply, "i", static_cast<int>(SelectedLines(box).size()));
}

int GetSelectedChild(sd_bus_message* message, void* userdata, sd_bus_error*) {
    int index = 0;
    int result = ReadIndex(message, index);
    if (result < 0) return result;
    const AccessibleRef box = BoxOf(message);
    const std::vector<UINT> lines = SelectedLines(box.window);
    sd_bus_message* reply = nullptr;
    if ((result = sd_bus_message_new_method_return(message, &reply)) < 0) return result;
    if (index >= 0 && static_cast<size_t>(index) < lines.size())
        result = AccessibilityServer::Of(userdata).AppendRef(
            reply, AccessibleRef{AccessibleRef::Kind::Line, box.window, lines[static_cast<size_t>(index)]});
    else
        result = sd_bus_message_append(reply, "(so)", "", kNullPath);
    if (result >= 0) result = sd_bus_send(nullptr, reply, nullptr);
    sd_bus_message_unref(reply);
    return result;
}

template <bool (*act)(HWND, UINT)>
int ActOnChild(sd_bus_message* message, void*, sd_bus_error*) {
    int index = 0;
    const int result = ReadIndex(message, index);
    if (result < 0) return result;
    const AccessibleRef box = BoxOf(message);
    const std::optional<UINT> line = LineAt(box, index);
    return sd_bus_reply_method_return(message, "b", line && act(box.window, *line));
}

int IsChildSelected(sd_bus_message* message, void*, sd_bus_error*) {
    int index = 0;
    const int result = ReadIndex(message, index);
    if (result < 0) return result;
    const AccessibleRef box = BoxOf(message);
    const std::optional<UINT> line = LineAt(box, index);
    return sd_bus_reply_method_return(message, "b", line && IsLineSelected(box.window, *line));
}

int DeselectSelectedChild(sd_bus_message* message, void*, sd_bus_error*) {
    int index = 0;
    const int result = ReadIndex(message, index);
    if (result < 0) return result;
    const HWND box = BoxOf(message).window;
    const std::vector<UINT> lines = SelectedLines(box);
    const bool done = index >= 0 && static_cast<size_t>(index) < lines.size() &&
                      DeselectLine(box, lines[static_cast<size_t>(index)]);
    return sd_bus_reply_method_return(message, "b", done);
}

template <bool (*act)(HWND)>
int ActOnAll(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "b", act(BoxOf(message).window));
}

}  // namespace

// clang-format off
const sd_bus_vtable kSelectionTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_PROPERTY("NSelectedChildren", "i", &GetSelectedCount, 0, 0),
    SD_BUS_METHOD("GetSelectedChild", "i", "(so)", &GetSelectedChild, 0),
    SD_BUS_METHOD("SelectChild", "i", "b", &ActOnChild<&SelectLine>, 0),
    SD_BUS_METHOD("DeselectSelectedChild", "i", "b", &DeselectSelectedChild, 0),
    SD_BUS_METHOD("IsChildSelected", "i", "b", &IsChildSelected, 0),
    SD_BUS_METHOD("SelectAll", "", "b", &ActOnAll<&SelectAllLines>, 0),
    SD_BUS_METHOD("ClearSelection", "", "b", &ActOnAll<&ClearSelectedLines>, 0),
    SD_BUS_METHOD("DeselectChild", "i", "b", &ActOnChild<&DeselectLine>, 0),
    SD_BUS_VTABLE_END,
};
// clang-format on

}  // namespace platform::desktop

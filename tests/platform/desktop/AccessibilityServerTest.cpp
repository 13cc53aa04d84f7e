// The accessibility server's events as a screen reader hears them, on a bus of the test's own: a registry of the
// test's making embeds the application and says that a reader listens, and then hears what the windows' changes
// become on the bus: what typing took out and put in, where the caret went, a message box's buttons taking the
// keyboard in turn, a combo box's new choice.

#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop/AccessibilityServer.h"
#include "platform/testing/Desktop.h"
#include "tests/support/PrivateBus.h"
#include "tests/support/Recorder.h"

using namespace platform::testing;
using namespace platform::desktop;
using namespace std::chrono_literals;

namespace {

// The desktop's registry as far as the server asks it, and a reader that listens for everything.
class Registry {
  public:
    explicit Registry(const std::string& address) {
        sd_bus* bus = nullptr;
        if (sd_bus_new(&bus) < 0) return;
        bus_.reset(bus);
        if (sd_bus_set_address(bus, address.c_str()) < 0 || sd_bus_set_bus_client(bus, 1) < 0 ||
            sd_bus_start(bus) < 0 || sd_bus_request_name(bus, "org.a11y.atspi.Registry", 0) < 0)
            return;
        sd_bus_slot* slot = nullptr;
        ready_ = sd_bus_add_object_vtable(bus, &slot, kRootPath, "org.a11y.atspi.Socket", kSocket, this) >= 0 &&
                 (slots_.emplace_back(slot), true) &&
                 sd_bus_add_object_vtable(bus, &slot, "/org/a11y/atspi/registry", "org.a11y.atspi.Registry",
                                          kRegistry, this) >= 0 &&
                 (slots_.emplace_back(slot), true) &&
                 sd_bus_add_match(bus, &slot, "type='signal',path_namespace='/org/a11y/atspi/accessible'", &Heard,
                                  this) >= 0 &&
                 (slots_.emplace_back(slot), true);
    }

    bool Ready() const { return ready_; }
    bool Asked() const { return asked_; }
    // What was heard, as "Member:detail id detail1 detail2 'text'" (the text when the event carries one).
    std::vector<std::string> heard;

    void Drain() {
        while (sd_bus_process(bus_.get(), nullptr) > 0) {
        }
    }
    // Runs the window's loop and this bus until the condition holds.
    bool WaitFor(const std::function<bool()>& condition) {
        for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
            DispatchPending();
            Drain();
            if (condition()) return true;
            sd_bus_wait(bus_.get(), 5000);
        }
        return false;
    }
    // The events about one object whose member starts with `member`, without the object's id.
    std::vector<std::string> About(const std::string& id, const std::string& member) const {
        std::vector<std::string> found;
        for (const std::string& event : heard) {
            const size_t space = event.find(' ');
            if (event.starts_with(member) && event.compare(space + 1, id.size() + 1, id + " ") == 0)
                found.push_back(event.substr(0, space) + event.substr(space + 1 + id.size()));
        }
        return found;
    }

    // Asks an object of the server as a reader would, without blocking the loop that answers: its yes or no, or
    // nothing when it answered with an error.
    template <typename... Arguments>
    std::optional<bool> Ask(const std::string& id, const char* interface, const char* member, const char* types,
                            Arguments... arguments) {
        answer_.reset();
        answered_ = false;
        const std::string path = std::string(kObjectPrefix) + "/" + id;
        if (sd_bus_call_method_async(bus_.get(), nullptr, server_.c_str(), path.c_str(), interface, member, &Answered,
                                     this, types, arguments...) < 0 ||
            !WaitFor([&] { return answered_; }))
            return {};
        return answer_;
    }

  private:
    static int Embed(sd_bus_message* call, void* userdata, sd_bus_error*) {
        auto* registry = static_cast<Registry*>(userdata);
        registry->server_ = sd_bus_message_get_sender(call);
        const char* unique = nullptr;
        sd_bus_get_unique_name(registry->bus_.get(), &unique);
        return sd_bus_reply_method_return(call, "(so)", unique, kRootPath);
    }
    static int Answered(sd_bus_message* reply, void* userdata, sd_bus_error*) {
        auto* registry = static_cast<Registry*>(userdata);
        registry->answered_ = true;
        int yes = 0;
        if (!sd_bus_message_is_method_error(reply, nullptr) && sd_bus_message_read(reply, "b", &yes) > 0)
            registry->answer_ = yes != 0;
        return 0;
    }
    static int RegisteredEvents(sd_bus_message* call, void* userdata, sd_bus_error*) {
        auto* registry = static_cast<Registry*>(userdata);
        registry->asked_ = true;
        const char* unique = nullptr;
        sd_bus_get_unique_name(registry->bus_.get(), &unique);
        return sd_bus_reply_method_return(call, "a(ss)", 1, unique, "object:");
    }
    static int Heard(sd_bus_message* signal, void* userdata, sd_bus_error*) {
        const char* detail = nullptr;
        int32_t first = 0, second = 0;
        if (sd_bus_message_read(signal, "sii", &detail, &first, &second) < 0) return 0;
        const std::string path = sd_bus_message_get_path(signal);
        std::string event = std::string(sd_bus_message_get_member(signal)) + (*detail ? ":" : "") + detail + " " +
                            path.substr(path.rfind('/') + 1) + " " + std::to_string(first) + " " +
                            std::to_string(second);
        const char* contents = nullptr;
        const char* text = nullptr;
        if (sd_bus_message_peek_type(signal, nullptr, &contents) > 0 && std::string(contents) == "s" &&
            sd_bus_message_read(signal, "v", "s", &text) >= 0)
            event += " '" + std::string(text) + "'";
        static_cast<Registry*>(userdata)->heard.push_back(event);
        return 0;
    }

    static constexpr sd_bus_vtable kSocket[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("Embed", "(so)", "(so)", &Registry::Embed, 0),
        SD_BUS_VTABLE_END,
    };
    static constexpr sd_bus_vtable kRegistry[] = {
        SD_BUS_VTABLE_START(0),
        SD_BUS_METHOD("GetRegisteredEvents", "", "a(ss)", &Registry::RegisteredEvents, 0),
        SD_BUS_VTABLE_END,
    };

    std::unique_ptr<sd_bus, BusDeleter> bus_;
    std::vector<BusSlot> slots_;
    bool ready_ = false;
    bool asked_ = false;
    std::string server_;
    bool answered_ = false;
    std::optional<bool> answer_;
};

class AccessibilityServerEvents : public ::testing::Test {
  protected:
    AccessibilityServerEvents() : display_(UseHeadlessDisplay()) {
        InitCommonControls();
        frame_ = recorder_.TopLevel("Korvo", 100, 50, 400, 300, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
        DispatchPending();
    }
    ~AccessibilityServerEvents() override {
        server_.reset();
        ResetDesktop();
    }

    // Serves the bus with a reader listening; false when the test's bus cannot be had.
    bool Serve() {
        if (!bus_.Running() || !registry_.Ready()) return false;
        server_ = AccessibilityServer::Connect(bus_.Address(), {"test", "1"});
        return server_ && registry_.WaitFor([&] { return registry_.Asked() && server_->Listening(); });
    }

    HWND Make(const char* cls, const char* text, DWORD style, RECT r) {
        return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                               r.bottom - r.top, frame_, nullptr, nullptr, nullptr);
    }

    PrivateBus bus_;
    Registry registry_{bus_.Address()};
    platform::display::HeadlessDisplay& display_;
    Recorder recorder_;
    HWND frame_ = nullptr;
    std::unique_ptr<AccessibilityServer> server_;
};

std::string Id(HWND window) { return IdOf({AccessibleRef::Kind::Window, window, 0}); }

}  // namespace

TEST_F(AccessibilityServerEvents, TypingIsHeardAsWhatItTookOutAndPutInAndTheCaretAsWhereItWent) {
    ASSERT_TRUE(Serve()) << "no bus of the test's own (dbus-daemon)";
    HWND edit = Make("EDIT", "abc", ES_AUTOHSCROLL, {10, 10, 210, 32});
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 3, 3);
    const std::string id = Id(edit);
    std::vector<std::string> text;
    const auto hear = [&](std::vector<std::string> wanted) {
        EXPECT_TRUE(registry_.WaitFor([&] { return registry_.About(id, "Text").size() >= text.size() + wanted.size(); }));
        text.insert(text.end(), wanted.begin(), wanted.end());
        return registry_.About(id, "Text");
    };
    EXPECT_EQ(hear({"TextCaretMoved 3 0"}), text);

    Type("x");
    EXPECT_EQ(hear({"TextChanged:insert 3 1 'x'", "TextCaretMoved 4 0"}), text) << "what was typed before the caret";
    PressKey(VK_BACK);
    EXPECT_EQ(hear({"TextChanged:delete 3 1 'x'", "TextCaretMoved 3 0"}), text);
    // A "b" typed before the "b" is heard where it was typed, not after it, where the same text would have it.
    SendMessageA(edit, EM_SETSEL, 1, 1);
    Type("b");
    EXPECT_EQ(hear({"TextCaretMoved 1 0", "TextChanged:insert 1 1 'b'", "TextCaretMoved 2 0"}), text);
    // A selection grown back from the caret leaves the caret where it stood.
    SendMessageA(edit, EM_SETSEL, 0, 2);
    EXPECT_EQ(hear({"TextSelectionChanged 0 0"}), text);
    // The program's new text is all of it, in characters; the caret goes to its start.
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("夜 xyz"));
    EXPECT_EQ(hear({"TextChanged:delete 0 4 'abbc'", "TextChanged:insert 0 5 '夜 xyz'", "TextCaretMoved 0 0",
                    "TextSelectionChanged 0 0"}),
              text);

    // A reader's own change through EditableText is typed into the edit from the loop where it asks, and heard as
    // typing there is.
    EXPECT_EQ(registry_.Ask(id, "org.a11y.atspi.EditableText", "InsertText", "isi", 1, "+", 1), true);
    EXPECT_EQ(hear({"TextCaretMoved 1 0", "TextChanged:insert 1 1 '+'", "TextCaretMoved 2 0"}), text);
    EXPECT_EQ(registry_.Ask(id, "org.a11y.atspi.EditableText", "DeleteText", "ii", 0, 9), false) << "past the end";
    SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_EQ(registry_.Ask(id, "org.a11y.atspi.EditableText", "InsertText", "isi", 0, "-", 1), std::nullopt)
        << "a read-only edit offers no change";
    SendMessageA(edit, EM_SETREADONLY, FALSE, 0);

    // A password's characters are heard as the mask it shows.
    HWND password = Make("EDIT", "", ES_PASSWORD | ES_AUTOHSCROLL, {10, 40, 210, 62});
    SetFocus(password);
    Type("pw");
    const std::string secret = Id(password);
    EXPECT_TRUE(registry_.WaitFor([&] { return registry_.About(secret, "TextChanged").size() == 2; }));
    EXPECT_EQ(registry_.About(secret, "TextChanged"),
              (std::vector<std::string>{"TextChanged:insert 0 1 '●'", "TextChanged:insert 1 1 '●'"}));
}

TEST_F(AccessibilityServerEvents, TheKeyboardIsHeardAtAMessageBoxsButtonAndAListsLineAndAComboBoxsChoiceRenamesIt) {
    ASSERT_TRUE(Serve()) << "no bus of the test's own (dbus-daemon)";
    // The box waits in a loop of its own, which serves the bus too: a timer of the frame's moves the keyboard once
    // the first button is heard to have it, and ends the box once the second is.
    static Registry* registry = nullptr;
    static int ticks = 0;
    registry = &registry_;
    ticks = 0;
    SetTimer(frame_, 1, 10, [](HWND, UINT, UINT_PTR, DWORD) {
        registry->Drain();
        const auto focused = [](const char* part) {
            for (const std::string& event : registry->heard)
                if (event.starts_with("Focus ") && event.find(std::string(part) + " ") != std::string::npos)
                    return true;
            return false;
        };
        if (++ticks == 500) PressKey(VK_ESCAPE);  // rather than wait for ever should the events not come
        if (ticks % 10) return;
        if (focused("_p2")) PressKey(VK_ESCAPE);
        else if (focused("_p1")) PressKey(VK_TAB);
    });
    EXPECT_EQ(MessageBoxA(frame_, "Stop playing?", "Korvo", MB_OKCANCEL), IDCANCEL);
    KillTimer(frame_, 1);
    // The box itself takes the keyboard, and hands it to its default button: a reader hears the button.
    std::vector<std::string> focus;
    for (const std::string& event : registry_.heard)
        if (event.starts_with("Focus ")) {
            const std::string id = event.substr(6, event.find(' ', 6) - 6);
            focus.push_back(id.substr(std::min(id.find('_'), id.size())));
        }
    EXPECT_EQ(focus, (std::vector<std::string>{"_p1", "_p2"})) << "OK first, then Cancel, and never the box (\"\")";

    HWND combo = Make("COMBOBOX", "", CBS_DROPDOWNLIST, {10, 10, 210, 200});
    for (const char* line : {"a: [System]", "b: [Music]"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    const std::string id = Id(combo);
    EXPECT_TRUE(registry_.WaitFor([&] { return !registry_.About(id, "PropertyChange").empty(); }));
    EXPECT_EQ(registry_.About(id, "PropertyChange"),
              std::vector<std::string>{"PropertyChange:accessible-name 0 0 'b: [Music]'"});
    EXPECT_EQ(registry_.About(id, "SelectionChanged"), std::vector<std::string>{"SelectionChanged 0 0"});

    // A list with the keyboard is read at its keyboard line, which follows the keys.
    HWND list = Make("LISTBOX", "", LBS_NOTIFY, {220, 10, 390, 200});
    for (const char* line : {"One", "Two", "Three"}) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    registry_.heard.clear();
    SetFocus(list);
    PressKey(VK_DOWN);
    const std::string second = IdOf({AccessibleRef::Kind::Line, list, 1});
    EXPECT_TRUE(registry_.WaitFor([&] { return !registry_.About(second, "Focus").empty(); }));
    focus.clear();
    for (const std::string& event : registry_.heard)
        if (event.starts_with("Focus ")) focus.push_back(event.substr(6, event.find(' ', 6) - 6));
    EXPECT_EQ(focus, (std::vector<std::string>{IdOf({AccessibleRef::Kind::Line, list, 0}), second}));
}

TEST_F(AccessibilityServerEvents, AWindowGoneIsHeardGoneWithEverythingItHeldAndLeavesOnlyItsParent) {
    ASSERT_TRUE(Serve()) << "no bus of the test's own (dbus-daemon)";
    // The frame holds a panel, which holds three buttons and a box, which holds a button of its own.
    HWND panel = recorder_.Child(frame_, 10, 10, 300, 100);
    HWND buttons[3] = {};
    for (int i = 0; i < 3; ++i)
        buttons[i] = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10 + 60 * i, 10, 50, 24,
                                     panel, nullptr, nullptr, nullptr);
    HWND box = recorder_.Child(panel, 10, 40, 100, 50);
    HWND inner = CreateWindowExA(0, "BUTTON", "i", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 5, 5, 50, 24, box, nullptr,
                                 nullptr, nullptr);
    const std::string panelId = Id(panel), frameId = Id(frame_), boxId = Id(box), innerId = Id(inner);
    const std::string ids[3] = {Id(buttons[0]), Id(buttons[1]), Id(buttons[2])};
    ASSERT_TRUE(registry_.WaitFor([&] { return registry_.About(boxId, "ChildrenChanged:add").size() == 1; }));
    registry_.heard.clear();

    // The one destroyed leaves its parent's children at its place there.
    DestroyWindow(buttons[1]);
    ASSERT_TRUE(registry_.WaitFor([&] { return !registry_.About(ids[1], "StateChanged:defunct").empty(); }));
    const auto children = [&](const std::string& id) { return registry_.About(id, "ChildrenChanged"); };
    EXPECT_EQ(children(panelId), std::vector<std::string>{"ChildrenChanged:remove 1 0"});
    EXPECT_EQ(registry_.About(ids[1], "StateChanged:defunct"), std::vector<std::string>{"StateChanged:defunct 1 0"});
    registry_.heard.clear();

    // The panel leaves the frame's children; what it held, to the last level, is gone with it and leaves no
    // children of its own.
    DestroyWindow(panel);
    ASSERT_TRUE(registry_.WaitFor([&] { return !registry_.About(innerId, "StateChanged:defunct").empty(); }));
    EXPECT_EQ(children(frameId), std::vector<std::string>{"ChildrenChanged:remove 0 0"});
    EXPECT_EQ(children(panelId), std::vector<std::string>{});
    EXPECT_EQ(children(boxId), std::vector<std::string>{});
    for (const std::string& id : {panelId, ids[0], ids[2], boxId, innerId})
        EXPECT_EQ(registry_.About(id, "StateChanged:defunct"), std::vector<std::string>{"StateChanged:defunct 1 0"})
            << id;
}

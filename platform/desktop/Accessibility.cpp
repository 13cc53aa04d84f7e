// Whether the desktop wants accessibility, and the accessibility bus's connection while it does. The desktop's bus
// launcher owns a name on the session bus and says there whether accessibility is enabled or a screen reader runs;
// the program listens for exactly those two changes and asks nothing else, so that while accessibility is off it
// holds one idle connection and is never woken. The launcher is never started by asking it: its name can be
// activated, so the program asks only once the name has an owner.

#include <stdlib.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/desktop/Accessibility.h"
#include "platform/desktop/AccessibilityServer.h"

namespace platform::desktop {
namespace {

constexpr const char* kLauncher = "org.a11y.Bus";
constexpr const char* kLauncherPath = "/org/a11y/bus";
constexpr const char* kStatus = "org.a11y.Status";

Program& Served() {
    static Program program;
    return program;
}

std::unique_ptr<AccessibilityServer>& Server() {
    static std::unique_ptr<AccessibilityServer> server;
    return server;
}

class DesktopWatch final : public user::LoopSource {
  public:
    explicit DesktopWatch(sd_bus* bus) : bus_(bus) {}
    ~DesktopWatch() override { user::RemoveLoopSource(this); }

    // Listens on the session bus; nothing where there is none.
    static std::unique_ptr<DesktopWatch> Open();

    pollfd Watch(std::optional<std::chrono::steady_clock::time_point>& due) override;
    void Serve() override;

  private:
    static DesktopWatch& Of(void* userdata) { return *static_cast<DesktopWatch*>(userdata); }
    bool Listen();
    void AskStatus();
    static int OwnerChanged(sd_bus_message* signal, void* userdata, sd_bus_error*);
    static int StatusChanged(sd_bus_message* signal, void* userdata, sd_bus_error*);
    static int HasOwner(sd_bus_message* reply, void* userdata, sd_bus_error*);
    static int Status(sd_bus_message* reply, void* userdata, sd_bus_error*);
    static int Address(sd_bus_message* reply, void* userdata, sd_bus_error*);
    void Want(bool on);

    std::unique_ptr<sd_bus, BusDeleter> bus_;
    std::vector<BusSlot> matches_;
    bool wanted_ = false;
};

std::unique_ptr<DesktopWatch>& Watching() {
    static std::unique_ptr<DesktopWatch> watch;
    return watch;
}

std::unique_ptr<DesktopWatch> DesktopWatch::Open() {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return nullptr;
    auto watch = std::make_unique<DesktopWatch>(bus);
    if (!watch->Listen()) return nullptr;
    user::AddLoopSource(watch.get());
    return watch;
}

bool DesktopWatch::Listen() {
    // The launcher's coming and going, and its status: narrow rules, so that no other name's changes wake us.
    static constexpr const char* kRules[] = {
        "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',interface='org.freedesktop.DBus',"
        "member='NameOwnerChanged',arg0='org.a11y.Bus'",
        "type='signal',sender='org.a11y.Bus',path='/org/a11y/bus',interface='org.freedesktop.DBus.Properties',"
        "member='PropertiesChanged',arg0='org.a11y.Status'",
    };
    sd_bus_message_handler_t handlers[] = {&OwnerChanged, &StatusChanged};
    sd_bus_slot* slot = nullptr;
    for (size_t i = 0; i < 2; ++i) {
        if (sd_bus_add_match_async(bus_.get(), &slot, kRules[i], handlers[i], nullptr, this) < 0) return false;
        matches_.emplace_back(slot);
    }
    // Asked after the rules are in place, so that no change slips in between.
    return sd_bus_call_method_async(bus_.get(), nullptr, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                    "org.freedesktop.DBus", "NameHasOwner", &HasOwner, this, "s", kLauncher) >= 0;
}

void DesktopWatch::AskStatus() {
    sd_bus_call_method_async(bus_.get(), nullptr, kLauncher, kLauncherPath, "org.freedesktop.DBus.Properties",
                             "GetAll", &Status, this, "s", kStatus);
}

int DesktopWatch::OwnerChanged(sd_bus_message* signal, void* userdata, sd_bus_error*) {
    const char* name = nullptr;
    const char* before = nullptr;
    const char* after = nullptr;
    if (sd_bus_message_read(signal, "sss", &name, &before, &after) < 0) return 0;
    if (after && *after) Of(userdata).AskStatus();
    else Of(userdata).Want(false);
    return 0;
}

int DesktopWatch::StatusChanged(sd_bus_message*, void* userdata, sd_bus_error*) {
    // Each change names one property; both are read again rather than followed one by one.
    Of(userdata).AskStatus();
    return 0;
}

int DesktopWatch::HasOwner(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    int owned = 0;
    if (!sd_bus_message_is_method_error(reply, nullptr) && sd_bus_message_read(reply, "b", &owned) > 0 && owned)
        Of(userdata).AskStatus();
    return 0;
}

int DesktopWatch::Status(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    if (sd_bus_message_is_method_error(reply, nullptr) || sd_bus_message_enter_container(reply, 'a', "{sv}") < 0)
        return 0;
    bool on = false;
    while (sd_bus_message_enter_container(reply, 'e', "sv") > 0) {
        const char* property = nullptr;
        int value = 0;
        if (sd_bus_message_read(reply, "s", &property) < 0) return 0;
        const bool flag = std::strcmp(property, "IsEnabled") == 0 || std::strcmp(property, "ScreenReaderEnabled") == 0;
        if (flag && sd_bus_message_read(reply, "v", "b", &value) > 0) on = on || value;
        else if (sd_bus_message_skip(reply, "v") < 0) return 0;
        if (sd_bus_message_exit_container(reply) < 0) return 0;
    }
    Of(userdata).Want(on);
    return 0;
}

void DesktopWatch::Want(bool on) {
    wanted_ = on;
    if (!on) {
        Server().reset();
        return;
    }
    if (Server()) return;
    sd_bus_call_method_async(bus_.get(), nullptr, kLauncher, kLauncherPath, kLauncher, "GetAddress", &Address, this,
                             "");
}

int DesktopWatch::Address(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    const char* address = nullptr;
    // Switched off again while the launcher started its bus, or refused: off until the desktop says otherwise.
    if (!Of(userdata).wanted_ || Server() || sd_bus_message_is_method_error(reply, nullptr) ||
        sd_bus_message_read(reply, "s", &address) < 0 || !*address)
        return 0;
    Server() = AccessibilityServer::Connect(address, Served());
    return 0;
}

pollfd DesktopWatch::Watch(std::optional<std::chrono::steady_clock::time_point>& due) {
    return WatchBus(bus_.get(), due);
}

void DesktopWatch::Serve() {
    // The session ended: accessibility goes with it, and the program plays on.
    if (ProcessBus(bus_.get()) < 0) {
        Server().reset();
        Watching().reset();
    }
}

bool TurnedOffForGood() {
    const char* bridge = getenv("NO_AT_BRIDGE");
    const char* ours = getenv("KORVO_ACCESSIBILITY");
    return (bridge && std::strcmp(bridge, "1") == 0) || (ours && std::strcmp(ours, "0") == 0);
}

}  // namespace

void ForgetAccessibilityServer() { Server().reset(); }

}  // namespace platform::desktop

using namespace platform::desktop;

BOOL WINAPI StartAccessibilityA(const ACCESSIBILITYA* accessibility) {
    if (!accessibility) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (Watching() || Server()) return TRUE;
    Served().name = accessibility->lpszName ? accessibility->lpszName : "";
    Served().version = accessibility->lpszVersion ? accessibility->lpszVersion : "";
    SetPartsProvider(accessibility->lpfnListParts, accessibility->lpfnClickPart);
    if (TurnedOffForGood()) {
        SetLastError(ERROR_NOT_CONNECTED);
        return FALSE;
    }
    // A bus named by the environment is the one to use, whatever the desktop says: it is on.
    if (const char* address = getenv("AT_SPI_BUS_ADDRESS"); address && *address) {
        Server() = AccessibilityServer::Connect(address, Served());
        if (Server()) return TRUE;
        SetLastError(ERROR_NOT_CONNECTED);
        return FALSE;
    }
    Watching() = DesktopWatch::Open();
    if (Watching()) return TRUE;
    SetLastError(ERROR_NOT_CONNECTED);
    return FALSE;
}

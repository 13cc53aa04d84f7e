// The desktop's media controls: a window that plays names itself on the session bus as a media player (the
// interface every Linux desktop reads for its media keys, panel player and lock screen) and answers from what it
// last published. Requests become WM_APPCOMMAND messages posted to the window, so the program decides on its own
// thread, in its own loop, what a request does; the bus itself is served from that loop too, between messages.

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/desktop/Bus.h"
#include "platform/desktop/MediaSession.h"
#include "platform/kernel/Errors.h"
#include "platform/kernel/Names.h"
#include "platform/kernel/Paths.h"
#include "platform/user/Classes.h"
#include "platform/user/WindowSystem.h"

namespace platform::desktop {
namespace {

using user::LoopSource;
using user::Window;
using user::WindowSystem;

void ForgetMediaSessionOf(HWND window);

constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

struct Published {
    DWORD state = MEDIASTATE_STOPPED;
    DWORD flags = 0;
    std::string title;
    std::string folder;
    DWORD length = 0;
    DWORD position = 0;
};

// Every character outside the unreserved set and "/" is escaped, so that any file name makes a valid address.
std::string FileUrl(const std::string& posixPath) {
    std::string url = "file://";
    for (unsigned char c : posixPath) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                           c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            url += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            url += escaped;
        }
    }
    return url;
}

// A Windows path on disk; the text as it is when it names no place.
std::string PosixPath(const std::string& windowsPath) {
    std::string posix;
    DWORD error = 0;
    return kernel::ResolvePath(windowsPath, posix, error) ? posix : windowsPath;
}

class MediaSession : public LoopSource {
  public:
    MediaSession(HWND window, sd_bus* bus) : window_(window), bus_(bus) {}
    ~MediaSession() override { user::RemoveLoopSource(this); }

    // Connects, claims the player's name and starts serving; nothing where there is no session bus.
    static std::unique_ptr<MediaSession> Open(HWND window, const MEDIASESSIONA& first);

    HWND Handle() const { return window_; }
    // Takes what the window shows now and tells the desktop what changed.
    void Update(const MEDIASESSIONA& session);

    pollfd Watch(std::optional<std::chrono::steady_clock::time_point>& due) override;
    void Serve() override;

  private:
    static const sd_bus_vtable kRootTable[];
    static const sd_bus_vtable kPlayerTable[];

    static MediaSession& Of(void* userdata) { return *static_cast<MediaSession*>(userdata); }
    static int Command(sd_bus_message* message, void* userdata, short command);
    static int Raise(sd_bus_message* message, void* userdata, sd_bus_error* error);
    static void RaiseWindow(HWND window);
    // A request for what one of the window's buttons does.
    template <short command>
    static int Request(sd_bus_message* message, void* userdata, sd_bus_error*) {
        return Command(message, userdata, command);
    }
    // The player cannot seek from the desktop or open addresses: such requests change nothing.
    static int Ignore(sd_bus_message* message, void*, sd_bus_error*) {
        return sd_bus_reply_method_return(message, "");
    }
    static int NotSupported(sd_bus_message*, void*, sd_bus_error* error) {
        return sd_bus_error_set_const(error, SD_BUS_ERROR_NOT_SUPPORTED, "The player opens folders, not addresses.");
    }

    static int GetTrue(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
        return sd_bus_message_append(reply, "b", 1);
    }
    static int GetFalse(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
        return sd_bus_message_append(reply, "b", 0);
    }
    static int GetOne(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
        return sd_bus_message_append(reply, "d", 1.0);
    }
    static int GetNoNames(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                          sd_bus_error*) {
        return sd_bus_message_append_strv(reply, nullptr);
    }
    static int GetIdentity(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                           sd_bus_error*) {
        return sd_bus_message_append(reply, "s", Of(userdata).identity_.c_str());
    }
    static int GetDesktopEntry(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                               sd_bus_error*) {
        return sd_bus_message_append(reply, "s", Of(userdata).name_.c_str());
    }
    static int GetStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                         sd_bus_error*);
    static int GetFlag(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                       void* userdata, sd_bus_error*);
    static int GetPosition(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                           sd_bus_error*) {
        return sd_bus_message_append(reply, "x", static_cast<int64_t>(Of(userdata).shown_.position) * 1000);
    }
    static int GetMetadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                           sd_bus_error*);

    bool Claim(const MEDIASESSIONA& first);

    HWND window_;
    std::unique_ptr<sd_bus, BusDeleter> bus_;
    std::array<BusSlot, 2> tables_;
    std::string name_;
    std::string identity_;
    Published shown_;
    unsigned track_ = 0;  // counts the files shown, for the track's identity
    bool raiseAsked_ = false;
};

// clang-format off
const sd_bus_vtable MediaSession::kRootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", &MediaSession::Raise, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Quit", "", "", &MediaSession::Request<APPCOMMAND_CLOSE>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("CanQuit", "b", &MediaSession::GetTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanRaise", "b", &MediaSession::GetTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("HasTrackList", "b", &MediaSession::GetFalse, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Identity", "s", &MediaSession::GetIdentity, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("DesktopEntry", "s", &MediaSession::GetDesktopEntry, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", &MediaSession::GetNoNames, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", &MediaSession::GetNoNames, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable MediaSession::kPlayerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Next", "", "", &MediaSession::Request<APPCOMMAND_MEDIA_NEXTTRACK>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Previous", "", "", &MediaSession::Request<APPCOMMAND_MEDIA_PREVIOUSTRACK>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Pause", "", "", &MediaSession::Request<APPCOMMAND_MEDIA_PAUSE>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("PlayPause", "", "", &MediaSession::Request<APPCOMMAND_MEDIA_PLAY_PAUSE>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Stop", "", "", &MediaSession::Request<APPCOMMAND_MEDIA_STOP>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Play", "", "", &MediaSession::Request<APPCOMMAND_MEDIA_PLAY>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Seek", "x", "", &MediaSession::Ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SetPosition", "ox", "", &MediaSession::Ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("OpenUri", "s", "", &MediaSession::NotSupported, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_SIGNAL("Seeked", "x", 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", &MediaSession::GetStatus, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("Rate", "d", &MediaSession::GetOne, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("MinimumRate", "d", &MediaSession::GetOne, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("MaximumRate", "d", &MediaSession::GetOne, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Volume", "d", &MediaSession::GetOne, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Metadata", "a{sv}", &MediaSession::GetMetadata, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("Position", "x", &MediaSession::GetPosition, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", &MediaSession::GetFlag, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("CanGoPrevious", "b", &MediaSession::GetFlag, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("CanPlay", "b", &MediaSession::GetFlag, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("CanPause", "b", &MediaSession::GetFlag, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("CanSeek", "b", &MediaSession::GetFalse, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanControl", "b", &MediaSession::GetTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};
// clang-format on

std::unique_ptr<MediaSession> MediaSession::Open(HWND window, const MEDIASESSIONA& first) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_user(&bus) < 0) return nullptr;
    auto session = std::make_unique<MediaSession>(window, bus);
    if (!session->Claim(first)) return nullptr;
    user::AddLoopSource(session.get());
    return session;
}

bool MediaSession::Claim(const MEDIASESSIONA& first) {
    name_ = first.lpszName && *first.lpszName ? first.lpszName : "player";
    identity_ = first.lpszIdentity ? first.lpszIdentity : name_;
    // The tables are in place before the name is claimed: a desktop asks the moment the name appears.
    sd_bus_slot* slot = nullptr;
    if (sd_bus_add_object_vtable(bus_.get(), &slot, kObjectPath, kRootInterface, kRootTable, this) < 0) return false;
    tables_[0].reset(slot);
    if (sd_bus_add_object_vtable(bus_.get(), &slot, kObjectPath, kPlayerInterface, kPlayerTable, this) < 0)
        return false;
    tables_[1].reset(slot);
    shown_.state = first.dwState;
    shown_.flags = first.dwFlags;
    shown_.title = first.lpszTitle ? first.lpszTitle : "";
    shown_.folder = first.lpszFolder ? first.lpszFolder : "";
    shown_.length = first.dwLength;
    shown_.position = first.dwPosition;
    track_ = shown_.title.empty() ? 0 : 1;
    // A second copy of the program takes a name of its own, as the desktop's convention has it.
    const std::string base = std::string(kRootInterface) + "." + name_;
    if (sd_bus_request_name(bus_.get(), base.c_str(), 0) >= 0) return true;
    const std::string instance = base + ".instance" + std::to_string(getpid());
    return sd_bus_request_name(bus_.get(), instance.c_str(), 0) >= 0;
}

void MediaSession::Update(const MEDIASESSIONA& session) {
    shown_.position = session.dwPosition;
    const char* title = session.lpszTitle ? session.lpszTitle : "";
    const char* folder = session.lpszFolder ? session.lpszFolder : "";
    std::vector<const char*> changed;
    if (session.dwState != shown_.state) {
        shown_.state = session.dwState;
        changed.push_back("PlaybackStatus");
    }
    if (shown_.title != title || shown_.folder != folder || shown_.length != session.dwLength) {
        if (shown_.title != title || shown_.folder != folder) ++track_;
        shown_.title = title;
        shown_.folder = folder;
        shown_.length = session.dwLength;
        changed.push_back("Metadata");
    }
    static constexpr std::pair<DWORD, const char*> kFlags[] = {{MEDIAFLAG_CANPLAY, "CanPlay"},
                                                               {MEDIAFLAG_CANPAUSE, "CanPause"},
                                                               {MEDIAFLAG_CANGONEXT, "CanGoNext"},
                                                               {MEDIAFLAG_CANGOPREVIOUS, "CanGoPrevious"}};
    for (const auto& [flag, property] : kFlags)
        if ((session.dwFlags ^ shown_.flags) & flag) changed.push_back(property);
    shown_.flags = session.dwFlags;
    if (changed.empty()) return;
    changed.push_back(nullptr);
    // A desktop that misses this reads the properties afresh when it next looks: nothing to do on failure.
    sd_bus_emit_properties_changed_strv(bus_.get(), kObjectPath, kPlayerInterface, const_cast<char**>(changed.data()));
}

pollfd MediaSession::Watch(std::optional<std::chrono::steady_clock::time_point>& due) {
    return WatchBus(bus_.get(), due);
}

void MediaSession::Serve() {
    const int result = ProcessBus(bus_.get());
    const HWND window = window_;
    const bool raise = std::exchange(raiseAsked_, false);
    // The bus went away (the desktop session ended, say): the program plays on without it.
    if (result < 0) ForgetMediaSessionOf(window);
    // Outside the bus's dispatch: activation runs the program's window procedures, which may end the session.
    if (raise) RaiseWindow(window);
}

int MediaSession::Command(sd_bus_message* message, void* userdata, short command) {
    const HWND window = Of(userdata).window_;
    PostMessageA(window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(0, static_cast<WORD>(command) | FAPPCOMMAND_OEM));
    return sd_bus_reply_method_return(message, "");
}

int MediaSession::Raise(sd_bus_message* message, void* userdata, sd_bus_error*) {
    Of(userdata).raiseAsked_ = true;
    return sd_bus_reply_method_return(message, "");
}

void MediaSession::RaiseWindow(HWND window) {
    if (IsIconic(window)) PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    SetForegroundWindow(window);
    // Already the active window, it may still be behind another program's.
    if (Window* shown = WindowSystem::Get().Find(window); shown && shown->native) shown->native->Activate();
}

int MediaSession::GetStatus(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                            sd_bus_error*) {
    const DWORD state = Of(userdata).shown_.state;
    const char* status = state == MEDIASTATE_PLAYING ? "Playing" : state == MEDIASTATE_PAUSED ? "Paused" : "Stopped";
    return sd_bus_message_append(reply, "s", status);
}

int MediaSession::GetFlag(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply,
                          void* userdata, sd_bus_error*) {
    const std::string_view name = property;
    const DWORD flag = name == "CanPlay"     ? MEDIAFLAG_CANPLAY
                       : name == "CanPause"  ? MEDIAFLAG_CANPAUSE
                       : name == "CanGoNext" ? MEDIAFLAG_CANGONEXT
                                             : MEDIAFLAG_CANGOPREVIOUS;
    return sd_bus_message_append(reply, "b", (Of(userdata).shown_.flags & flag) != 0);
}

int MediaSession::GetMetadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void* userdata,
                              sd_bus_error*) {
    const MediaSession& session = Of(userdata);
    const Published& shown = session.shown_;
    int result = sd_bus_message_open_container(reply, 'a', "{sv}");
    if (result < 0) return result;
    if (shown.title.empty()) {
        result = sd_bus_message_append(reply, "{sv}", "mpris:trackid", "o", kNoTrack);
    } else {
        const std::string track = "/org/korvo/track/" + std::to_string(session.track_);
        const std::string folder = PosixPath(shown.folder);
        const std::string url =
            FileUrl(PosixPath(shown.folder + (shown.folder.ends_with('\\') ? "" : "\\") + shown.title));
        // The bus takes only valid UTF-8; the address keeps the name's own bytes.
        const std::string title = kernel::ShownText(shown.title, true);
        const std::string album = kernel::ShownText(folder, true);
        result = sd_bus_message_append(reply, "{sv}{sv}{sv}{sv}{sv}", "mpris:trackid", "o", track.c_str(),
                                       "xesam:title", "s", title.c_str(), "xesam:album", "s", album.c_str(),
                                       "xesam:url", "s", url.c_str(), "mpris:length", "x",
                                       static_cast<int64_t>(shown.length) * 1000);
    }
    return result < 0 ? result : sd_bus_message_close_container(reply);
}

std::unique_ptr<MediaSession>& Current() {
    static std::unique_ptr<MediaSession> session;
    return session;
}

// The window whose session could not be opened: it is not tried again at every call.
HWND& Refused() {
    static HWND window = nullptr;
    return window;
}

void ForgetMediaSessionOf(HWND window) {
    if (Current() && Current()->Handle() == window) Current().reset();
    if (Refused() == window) Refused() = nullptr;
}

}  // namespace
}  // namespace platform::desktop

using namespace platform::desktop;

BOOL WINAPI SetMediaSessionA(HWND hWnd, const MEDIASESSIONA* session) {
    // A session ends with its window.
    static const bool watching = (platform::user::WatchWindowEnds(&ForgetMediaSessionOf), true);
    (void)watching;
    WindowSystem& system = WindowSystem::Get();
    if (!session) {
        if (Current() && (!hWnd || Current()->Handle() == hWnd)) Current().reset();
        return TRUE;
    }
    if (!system.FindOrFail(hWnd)) return FALSE;
    if (Current() && Current()->Handle() == hWnd) {
        Current()->Update(*session);
        return TRUE;
    }
    if (Refused() == hWnd) {
        SetLastError(ERROR_NOT_CONNECTED);
        return FALSE;
    }
    Current() = MediaSession::Open(hWnd, *session);
    if (!Current()) {
        Refused() = hWnd;
        SetLastError(ERROR_NOT_CONNECTED);
        return FALSE;
    }
    return TRUE;
}

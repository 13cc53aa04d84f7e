// Drives that come and go while the program runs: a USB stick plugged in or pulled, a share mounted, a disc put in.
// The mount table is watched from the message loop's own wait (the kernel flags it after every change, so nothing
// wakes otherwise), and every top-level window hears of each volume with WM_DEVICECHANGE, as on Windows.

#include <cstdint>
#include <utility>

#include "platform/kernel/Volumes.h"
#include "platform/user/WindowSystem.h"

namespace platform::user {
namespace {

// The letters of the drives that hold a medium now, bit 0 for A:.
uint32_t ReadyLetters() {
    uint32_t letters = 0;
    for (const kernel::Volume& volume : kernel::Mounts()->volumes)
        if (volume.ready && volume.letter >= 'A' && volume.letter <= 'Z') letters |= 1u << (volume.letter - 'A');
    return letters;
}

class DeviceWatch final : public LoopSource {
  public:
    DeviceWatch() : letters_(ReadyLetters()), source_(kernel::VolumeSourceGeneration()) {}

    // Asked before every wait of the loop: the descriptor is asked for again only when the table was replaced.
    pollfd Watch(std::optional<std::chrono::steady_clock::time_point>&) override {
        // Another table put in place (as tests do) is where the drives are from then on, not a change of them.
        if (const uint64_t source = kernel::VolumeSourceGeneration(); source != source_ || !watched_) {
            source_ = source;
            letters_ = ReadyLetters();
            watch_.fd = kernel::VolumeChangeDescriptor(watch_.events);
            watched_ = true;
        }
        return pollfd{watch_.fd, watch_.events, 0};
    }

    void Serve() override {
        kernel::TakeVolumeChange();
        const uint32_t now = ReadyLetters();
        const uint32_t before = std::exchange(letters_, now);
        if (const uint64_t source = kernel::VolumeSourceGeneration(); source != source_) {
            source_ = source;
            return;
        }
        Tell(DBT_DEVICEREMOVECOMPLETE, before & ~now);
        Tell(DBT_DEVICEARRIVAL, now & ~before);
    }

  private:
    // One notice a volume, sent to every top-level window.
    static void Tell(WPARAM event, uint32_t letters) {
        for (int n = 0; n < 26; ++n) {
            if (!(letters & (1u << n))) continue;
            DEV_BROADCAST_VOLUME volume{};
            volume.dbcv_size = sizeof volume;
            volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
            volume.dbcv_unitmask = 1u << n;
            if (auto found = kernel::FindVolume(static_cast<char>('A' + n)); found && found->driveType == DRIVE_REMOTE)
                volume.dbcv_flags = DBTF_NET;
            for (HWND window : WindowSystem::Get().TopLevelWindows())
                SendMessageA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
        }
    }

    uint32_t letters_;
    uint64_t source_;
    bool watched_ = false;
    pollfd watch_{-1, 0, 0};
};

}  // namespace

void WatchDeviceChanges() {
    // One watch for the life of the process, which the loop may consult until its very end.
    [[maybe_unused]] static DeviceWatch* watch = [] {
        auto* made = new DeviceWatch;
        AddLoopSource(made);
        return made;
    }();
}

}  // namespace platform::user

#include "platform/testing/LiveObjects.h"

#include "platform/gdi/Objects.h"
#include "platform/mci/MciSystem.h"
#include "platform/user/WindowSystem.h"

namespace platform::testing {

std::string LiveObjects::Describe() const {
    return "windows " + std::to_string(topLevelWindows) + "+" + std::to_string(childWindows) + " (" +
           std::to_string(windowObjects) + " objects), GDI objects " + std::to_string(gdiObjects) + ", timers " +
           std::to_string(timers) + ", MCI devices " + std::to_string(mciDevices);
}

LiveObjects CountLiveObjects() {
    LiveObjects counts;
    // Through the program's own calls, so a window counts exactly when the program could still reach it.
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            auto* counts = reinterpret_cast<LiveObjects*>(param);
            ++counts->topLevelWindows;
            EnumChildWindows(
                window,
                [](HWND, LPARAM param) {
                    ++reinterpret_cast<LiveObjects*>(param)->childWindows;
                    return TRUE;
                },
                param);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&counts));
    user::WindowSystem& system = user::WindowSystem::Get();
    counts.windowObjects = system.WindowObjectCount();
    counts.timers = user::TimerCount();
    counts.gdiObjects = gdi::LiveObjectCount();
    counts.mciDevices = mci::MciSystem::Get().OpenDeviceCount();
    return counts;
}

}  // namespace platform::testing

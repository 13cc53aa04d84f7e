// Drives that come and go while the program runs, on a table of drives the test changes as a stick would be
// plugged in and pulled: every top-level window hears of each volume with WM_DEVICECHANGE.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/testing/FakeVolumes.h"
#include "tests/support/TempFolder.h"

using namespace platform::testing;

namespace {

struct Notice {
    WPARAM event;
    DWORD letters;
    WORD flags;
    bool operator==(const Notice&) const = default;
};
std::vector<Notice> notices;

LRESULT CALLBACK Listener(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DEVICECHANGE) {
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        EXPECT_EQ(header->dbch_devicetype, static_cast<DWORD>(DBT_DEVTYP_VOLUME));
        EXPECT_EQ(header->dbch_size, sizeof(DEV_BROADCAST_VOLUME));
        const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam);
        notices.push_back({wParam, volume->dbcv_unitmask, volume->dbcv_flags});
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

Volume Drive(char letter, const std::filesystem::path& mountPoint, UINT type) {
    Volume volume;
    volume.letter = letter;
    volume.mountPoint = mountPoint.string();
    volume.driveType = type;
    return volume;
}

constexpr DWORD Letter(char letter) { return 1u << (letter - 'A'); }

}  // namespace

TEST(DeviceChanges, TopLevelWindowsHearOfEachDriveThatComesOrGoes) {
    UseHeadlessDisplay();
    TempFolder folder;
    const Volume stick = Drive('E', folder.MakeFolder("e"), DRIVE_REMOVABLE);
    const Volume share = Drive('N', folder.MakeFolder("n"), DRIVE_REMOTE);
    const Volume disk = Drive('D', folder.MakeFolder("d"), DRIVE_FIXED);
    FakeVolumeTable table({RootVolume(), disk});
    WNDCLASSA cls{};
    cls.lpfnWndProc = Listener;
    cls.lpszClassName = "DeviceListener";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, "DeviceListener", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    notices.clear();
    DispatchPending();
    EXPECT_TRUE(notices.empty()) << "nothing came or went";

    table.Change({RootVolume(), disk, stick, share});
    DispatchPending();
    EXPECT_EQ(notices, (std::vector<Notice>{{DBT_DEVICEARRIVAL, Letter('E'), 0},
                                            {DBT_DEVICEARRIVAL, Letter('N'), DBTF_NET}}));
    notices.clear();
    table.Change({RootVolume(), stick, share});
    table.Change({RootVolume(), share});
    DispatchPending();
    EXPECT_EQ(notices, (std::vector<Notice>{{DBT_DEVICEREMOVECOMPLETE, Letter('D'), 0},
                                            {DBT_DEVICEREMOVECOMPLETE, Letter('E'), 0}}))
        << "two changes before the loop looked: each drive told of once";

    // Another table put in place is where the drives are from then on, not a change of them.
    notices.clear();
    {
        FakeVolumeTable other({RootVolume(), disk, stick});
        DispatchPending();
    }
    DispatchPending();
    EXPECT_TRUE(notices.empty());
    DestroyWindow(window);
    UnregisterClassA("DeviceListener", nullptr);
}

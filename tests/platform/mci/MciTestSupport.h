#pragma once
// Playing through mciSendCommandA on the virtual clock, to the null output, with a window that receives the
// completion notices, in a folder of the test's own that is also the current directory.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/testing/VirtualClock.h"
#include "platform/win32.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempFolder.h"

class MciTest : public ::testing::Test {
  protected:
    static constexpr int kOutputRate = 44100;

    MciTest();
    ~MciTest() override;

    // MCI_OPEN of an element (relative to the folder) or, with an empty name, of a device type alone.
    MCIERROR Open(const std::string& element, MCIDEVICEID& id, const char* type = nullptr);
    DWORD Status(MCIDEVICEID id, DWORD item, MCIERROR* error = nullptr);
    // A command whose parameter block holds no more than the callback (our window).
    MCIERROR Send(MCIDEVICEID id, UINT command, DWORD flags = MCI_WAIT);
    MCIERROR Play(MCIDEVICEID id, DWORD flags = MCI_NOTIFY, DWORD from = 0, DWORD to = 0);
    MCIERROR SeekTo(MCIDEVICEID id, DWORD to);
    MCIERROR SetTimeFormat(MCIDEVICEID id, DWORD format);
    DWORD Capability(MCIDEVICEID id, DWORD item);
    // Lets virtual time pass, running the message loop so that notices arrive.
    void Pass(std::chrono::milliseconds time);
    // The MM_MCINOTIFY codes received for a device, oldest first; forgets them.
    std::vector<WPARAM> TakeNotices(MCIDEVICEID id);
    static std::string ErrorText(MCIERROR error);

    platform::display::HeadlessDisplay& display_;
    platform::testing::VirtualClock clock_;
    TempFolder folder_;
    CurrentDirectoryGuard directory_;
    Recorder recorder_;
    HWND window_ = nullptr;
};

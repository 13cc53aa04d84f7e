// A song on a share that stopped answering after the song was listed: opening it is a failure to read it, soon,
// and never a device or a window held for as long as the share is gone.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/mci/MciSystem.h"
#include "platform/win32.h"
#include "tests/support/StallingShare.h"
#include "tests/support/TempFolder.h"

TEST(MciStallingShare, ASongOnAShareThatStoppedAnsweringFailsToOpenAsUnreadable) {
    TempFolder folder;
    folder.MakeFolder("share");
    auto share = std::make_unique<StallingShare>(KORVO_STALLING_SHARE, folder.Path() / "share");
    if (!share->Mounted()) GTEST_SKIP() << "this machine cannot mount a FUSE file system";
    const std::string song = folder.WindowsPath("share\\Music\\song.mp3");
    EXPECT_NE(GetFileAttributesA(song.c_str()), INVALID_FILE_ATTRIBUTES) << "the song is there while it answers";
    share->Stall();

    std::string noOutput;
    ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", 44100, {}}, noOutput)) << noOutput;
    MCI_OPEN_PARMSA open{};
    open.lpstrElementName = song.c_str();
    MCIERROR openError = 0;
    ASSERT_TRUE(EndsInTime(
        [&] { openError = mciSendCommandA(0, MCI_OPEN, MCI_WAIT | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)); },
        share));
    EXPECT_EQ(openError, static_cast<MCIERROR>(MCIERR_FILE_READ));
    if (openError == 0) mciSendCommandA(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
}

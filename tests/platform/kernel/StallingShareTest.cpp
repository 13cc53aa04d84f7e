// A share that stops answering, as a network share does when its server goes away: listing the folder that holds
// it never looks into it, and a look into it gives up after about a second with "not ready". Each call is bounded
// by a limit far beyond that second: a call that would hang the suite fails instead.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

#include "platform/kernel/Patience.h"
#include "platform/win32.h"
#include "tests/support/FileSearches.h"
#include "tests/support/StallingShare.h"
#include "tests/support/TempFolder.h"

namespace {

std::string toldOfWait;
void WatchWait(bool waiting) { toldOfWait += waiting ? "busy " : "idle "; }

}  // namespace

TEST(StallingShare, ItsFolderIsListedWithoutALookInAndALookInGivesUpAsNotReady) {
    TempFolder folder;
    folder.MakeFolder("share");
    folder.Write("local.mp3", "x");
    auto share = std::make_unique<StallingShare>(KORVO_STALLING_SHARE, folder.Path() / "share");
    if (!share->Mounted()) GTEST_SKIP() << "this machine cannot mount a FUSE file system";
    const std::string music = folder.WindowsPath("share\\Music");

    // While it answers, it is a folder like another.
    DWORD error = 0;
    EXPECT_EQ(GetFileAttributesA(music.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(Search(music + "\\*.mp3", &error).count("song.mp3"), 1u);

    share->Stall();
    auto bounded = [&share](std::function<void()> call) { return EndsInTime(std::move(call), share); };
    std::map<std::string, DWORD> listed;
    ASSERT_TRUE(bounded([&] { listed = Search(folder.WindowsPath("*"), &error); })) << "the folder holding it hung";
    EXPECT_EQ(listed["share"], static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY)) << "its kind from the folder's entry";
    EXPECT_EQ(listed["local.mp3"], static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));

    DWORD attributes = 0, attributesError = 0, searchError = 0, changeError = 0;
    ASSERT_TRUE(bounded([&] {
        attributes = GetFileAttributesA(music.c_str());
        attributesError = GetLastError();
    }));
    EXPECT_EQ(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributesError, static_cast<DWORD>(ERROR_NOT_READY));
    ASSERT_TRUE(bounded([&] { Search(music + "\\*.mp3", &searchError); }));
    EXPECT_EQ(searchError, static_cast<DWORD>(ERROR_NOT_READY));
    CurrentDirectoryGuard stay;
    // The wait is told of while it lasts, so that the window can show the busy cursor, and its end too.
    platform::kernel::WatchLongWaits(&WatchWait);
    ASSERT_TRUE(bounded([&] {
        if (!SetCurrentDirectoryA(music.c_str())) changeError = GetLastError();
    }));
    platform::kernel::WatchLongWaits(nullptr);
    EXPECT_EQ(changeError, static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(toldOfWait, "busy idle ");
}

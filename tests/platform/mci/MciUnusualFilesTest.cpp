// Files that are valid but leave out what players usually rely on, and damaged files whose headers claim what
// their data does not hold.

#include <sndfile.h>

#include <chrono>

#include "tests/support/MediaFixtures.h"
#include "tests/platform/mci/MciTestSupport.h"

using namespace std::chrono_literals;

namespace {

class MciUnusualFiles : public MciTest {};

}  // namespace

TEST_F(MciUnusualFiles, AFlacStreamWithoutItsLengthIsCountedBeforeItPlays) {
    constexpr int kRate = 8000, kFrames = 6000;
    ASSERT_TRUE(WriteSound(folder_.Path() / "full.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kRate, 1,
                           Tone(kRate, 1, kFrames)));
    std::string stream = folder_.Read("full.flac");
    ASSERT_EQ(stream.substr(0, 4), "fLaC");
    // The stream information block comes first; its total of samples, 36 bits from the low half of its 14th byte,
    // is 0 when the encoder did not know it.
    stream[8 + 13] = static_cast<char>(stream[8 + 13] & 0xF0);
    for (int i = 14; i < 18; ++i) stream[8 + i] = '\0';
    folder_.Write("stream.flac", stream);
    // Nothing but the stream information: no frame at all.
    folder_.Write("empty.wav", stream.substr(0, 8 + 34));

    MCIDEVICEID id = 0;
    ASSERT_EQ(Open("stream.flac", id), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), static_cast<DWORD>(kFrames * 1000 / kRate));
    EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_BYTES), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), static_cast<DWORD>(kFrames * 2));
    EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_SAMPLES), 0u);
    EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), static_cast<DWORD>(kFrames));
    EXPECT_EQ(Play(id), 0u);
    Pass(1000ms);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    EXPECT_EQ(Status(id, MCI_STATUS_POSITION), static_cast<DWORD>(kFrames));
    EXPECT_EQ(Send(id, MCI_CLOSE), 0u);

    ASSERT_EQ(Open("empty.wav", id), 0u);
    for (DWORD format : {MCI_FORMAT_MILLISECONDS, MCI_FORMAT_BYTES, MCI_FORMAT_SAMPLES}) {
        EXPECT_EQ(SetTimeFormat(id, format), 0u);
        EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 0u) << format;
    }
    EXPECT_EQ(Play(id), 0u);
    EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
    EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
    EXPECT_EQ(Send(id, MCI_CLOSE), 0u);
}

// A player that is ended while it plays, for the media tests. Its main form holds a media device, opens a WAV file
// when it is first activated (as the main window does at start-up, inside the message loop) and plays it to a
// capture file. Once it has played for a while it prints "playing <milliseconds>" and ends the way its first
// argument says: "close" closes the main form, so that the loop ends and main returns; "exit" calls std::exit from
// inside the loop, with the device still playing.
// Usage: korvo_media_exit_program close|exit <WAV file in Windows form> <capture file>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "frame/Application.h"
#include "frame/Forms.h"
#include "media/MediaPlayer.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "runtime/Exception.h"

namespace {

constexpr int kPlayedEnough = 200;  // milliseconds: well into the file, with the decoder and output busy

std::string mode, mediaFile, captureFile;

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::exit(3);
}

class TPlayerForm : public TForm {
  public:
    explicit TPlayerForm(TComponent* owner) : TForm(owner), player_(new TMediaPlayer(this)) {
        player_->SetParent(this);
        OnActivate = [this](TObject*) {
            if (!started_) Start();
        };
    }

  private:
    void Start() {
        started_ = true;
        std::string error;
        if (!platform::mci::MciSystem::Get().UseOutput({"capture", 44100, captureFile}, error)) Fail(error);
        try {
            player_->SetFileName(mediaFile);
            player_->OpenMedia();
            player_->SetTimeUnit(0);
            player_->StartPlayback();
        } catch (const Exception& failure) {
            Fail(failure.Message());
        }
        self_ = this;
        SetTimer(nullptr, 0, 20, Check);
    }

    static void CALLBACK Check(HWND, UINT, UINT_PTR id, DWORD) {
        TMediaPlayer* player = self_->player_;
        if (player->DeviceMode() != mdPlaying) Fail("the device stopped playing");
        const int32_t position = player->PlayPosition();
        if (position < kPlayedEnough) return;
        KillTimer(nullptr, id);
        std::printf("playing %d\n", position);
        std::fflush(stdout);
        if (mode == "exit") std::exit(0);
        self_->RequestClose();
    }

    static inline TPlayerForm* self_ = nullptr;
    TMediaPlayer* player_;
    bool started_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    mode = argv[1];
    mediaFile = argv[2];
    captureFile = argv[3];
    platform::testing::UseHeadlessDisplay();
    try {
        TApplication& application = Application();
        TPlayerForm* form = nullptr;
        application.MakeForm(form);
        application.RunLoop();
    } catch (const Exception& failure) {
        Fail(failure.Message());  // a headless error box would wait for a click that never comes
    }
    return 0;
}

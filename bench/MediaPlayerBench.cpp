// Plays one file through the media device component in real time to the null output and ends with it: by
// default when the device's completion notice arrives; with --poll by polling every 10 ms as the player does
// (time format, length and position on each tick) until the position reaches the length. The sound benchmark
// runs it as a child process and reads its CPU time and peak memory.
//
// Usage: korvo_bench_mediaplayer [--poll] FILE [OUTPUT-RATE]

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "frame/Application.h"
#include "frame/Forms.h"
#include "media/MediaPlayer.h"
#include "platform/kernel/Paths.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"

namespace {

TMediaPlayer* player = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    player->SetTimeUnit(0);
    if (player->PlayPosition() == player->MediaLength()) PostQuitMessage(0);
}

}  // namespace

int main(int argc, char** argv) {
    const bool poll = argc > 1 && std::string(argv[1]) == "--poll";
    if (argc < 2 + poll) {
        std::fprintf(stderr, "usage: %s [--poll] FILE [OUTPUT-RATE]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path file = std::filesystem::absolute(argv[1 + poll]);
    const int rate = argc > 2 + poll ? std::atoi(argv[2 + poll]) : 48000;
    // No window is shown: the component's window only receives the device's notices.
    platform::testing::UseHeadlessDisplay();
    std::string error;
    if (!platform::mci::MciSystem::Get().UseOutput({"null", rate, {}}, error)) {
        std::fprintf(stderr, "no null output: %s\n", error.c_str());
        return 1;
    }
    SetCurrentDirectoryA(platform::kernel::WindowsPathOf(file.parent_path().string()).c_str());
    try {
        auto* form = new TForm(&Application());
        player = new TMediaPlayer(form);
        player->SetVisible(false);
        player->SetParent(form);
        player->SetFileName(file.filename().string());
        player->OpenMedia();
        player->SetTimeUnit(0);
        player->MediaLength();
        if (poll) {
            SetTimer(nullptr, 0, 10, Tick);
        } else {
            player->OnNotify = [](TObject*) {
                if (player->NotifyResult() == nvSuccessful && player->DeviceMode() == mdStopped) PostQuitMessage(0);
            };
        }
        player->StartPlayback();
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
        delete form;
    } catch (const Exception& failure) {
        std::fprintf(stderr, "%s\n", failure.Message().c_str());
        return 1;
    }
    return 0;
}

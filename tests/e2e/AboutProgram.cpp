// The about box shown modally, as the main window shows it, for the end-to-end test: it says when the box is on
// the screen and, at the end, the result of the modal run.

#include <cstdio>

#include "app/AboutBox.h"
#include "frame/Application.h"

int main() {
    try {
        TApplication& application = Application();
        application.RunStartupHook();
        application.SetAppTitle("Korvo Music Player");
        AboutBox = new TAboutBox(&application);
        SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
            if (!AboutBox || !AboutBox->Showing()) return;
            KillTimer(nullptr, id);
            std::printf("shown\n");
            std::fflush(stdout);
        });
        TModalResult result = AboutBox->RunModal();
        delete AboutBox;
        AboutBox = nullptr;
        std::printf("result %d\n", result);
        std::fflush(stdout);
    } catch (...) {
        ShowStartupErrorAndExit();
    }
    return 0;
}

// The about box shown modally, as the main window shows it, for the end-to-end test: it says when the box is on
// the screen, the release of each key the box has handled, and, at the end, the result of the modal run. Started
// with "--headless", it draws the box in memory instead and says its pixels.

#include <cstdio>
#include <string>

#include "app/AboutBox.h"
#include "frame/Application.h"
#include "tests/e2e/HeadlessRendering.h"

namespace {

void SayShownWhenIdle() {
    e2e::WhenIdle([] {
        if (AboutBox && AboutBox->Showing()) e2e::Say("shown");
        else SayShownWhenIdle();
    });
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const bool headless = e2e::UseHeadlessWhenAsked(argc, argv);
        TApplication& application = Application();
        application.RunStartupHook();
        application.SetAppTitle("Korvo Music Player");
        AboutBox = new TAboutBox(&application);
        if (headless) {
            e2e::WhenIdle([] {
                e2e::SayPixels(AboutBox->Handle());
                AboutBox->SetModalResult(mrCancel);
            });
            AboutBox->RunModal();
            return 0;
        }
        // A key's release comes after the box has done what the key asked for, so a box still there to hear it
        // was not closed by it.
        AboutBox->SetKeyPreview(true);
        AboutBox->OnKeyUp = [](TObject*, WORD& key, TShiftState) { e2e::Say("key up " + std::to_string(key)); };
        SayShownWhenIdle();
        TModalResult result = AboutBox->RunModal();
        delete AboutBox;
        AboutBox = nullptr;
        e2e::Say("result " + std::to_string(result));
    } catch (...) {
        ShowStartupErrorAndExit();
    }
    return 0;
}

// The player's main window drawn in memory, for the end-to-end test that holds the real window against it: the
// same layout over the same music folder, with the program's settings looked for in the folder given (the real
// program's own), said as pixels once the window is shown and idle. Usage: --headless <program folder>.

#include <cstdlib>
#include <string>

#include "app/Korvo.h"
#include "frame/Application.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/FakeProgramPath.h"
#include "tests/e2e/HeadlessRendering.h"

int main(int argc, char** argv) {
    if (argc != 3 || !e2e::UseHeadlessWhenAsked(argc, argv)) return 2;
    // Settings are read from the real program's folder and never written: the window is never closed.
    platform::testing::FakeProgramPath programPath(std::string(argv[2]) + "/korvo");
    std::string error;
    if (!platform::mci::MciSystem::Get().UseOutput({"null", 44100, {}}, error)) return 3;
    try {
        TApplication& application = Application();
        application.SetAppTitle("Korvo Music Player");
        application.MakeForm(Korvo);
        e2e::WhenIdle([] {
            e2e::SayPixels(Korvo->Handle());
            std::_Exit(0);
        });
        application.RunLoop();
    } catch (...) {
        ShowStartupErrorAndExit();
    }
    return 0;
}

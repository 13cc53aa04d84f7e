// Program entry: the application with its title, the main window read from its layout, one about box kept hidden
// for the whole run, the offer to screen readers, and the message loop until the main window has closed.

#include "app/AboutBox.h"
#include "app/Korvo.h"
#include "app/KorvoAccessibility.h"
#include "frame/Application.h"

int main() {
    try {
        TApplication& application = Application();
        application.RunStartupHook();
        application.SetAppTitle("Korvo Music Player");
        application.MakeForm(Korvo);
        application.MakeForm(AboutBox);
        OfferToScreenReaders();
        application.RunLoop();
    } catch (...) {
        ShowStartupErrorAndExit();
    }
    return 0;
}

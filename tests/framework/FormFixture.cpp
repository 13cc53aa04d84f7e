#include "tests/framework/FormFixture.h"

Controls::Controls() {
    static const bool headless = (platform::testing::UseHeadlessDisplay(), true);
    (void)headless;
    Application();
    form_ = new TForm(&Application());
    form_->SetBounds(40, 40, 360, 280);
}

Controls::~Controls() {
    delete form_;
    platform::testing::DispatchPending();
}

void Controls::Show() {
    form_->Show();
    platform::testing::DispatchPending();
}

void Controls::HandleMessages() {
    MSG waiting;
    // Only while something waits: with nothing to do, the application's loop would wait for more.
    while (PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE) && waiting.message != WM_QUIT)
        Application().HandleNextMessage();
}

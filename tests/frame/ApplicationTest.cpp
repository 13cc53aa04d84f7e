// The application: a whole run from start to close, log-off, and the error box with its text rule.

#include <stdexcept>
#include <string>

#include "frame/Forms.h"
#include "frame/Timer.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "platform/user/WindowSystem.h"
#include "runtime/Exception.h"
#include "tests/frame/FrameFixture.h"

using namespace platform::testing;

namespace {

constexpr char kMainLayout[] = R"({
  "class": "TMainForm", "name": "MainForm",
  "properties": { "Caption": "Korvo", "ClientWidth": 300, "ClientHeight": 200,
                  "OnActivate": "Activated", "OnDeactivate": "Deactivated", "OnCloseQuery": "CloseAsked",
                  "OnClose": "Closed" },
  "children": [
    { "class": "TTimer", "name": "Timer1", "properties": { "Interval": 10, "OnTimer": "Ticked" } },
    { "class": "TButton", "name": "PlayButton",
      "properties": { "Left": 8, "Top": 8, "Width": 75, "Height": 25, "Caption": "再生", "OnClick": "PlayClicked" } }
  ]
})";

class TMainForm : public TForm {
  public:
    explicit TMainForm(TComponent* owner) : TForm(owner) {
        ReadLayoutText(*this, kMainLayout,
                       {{"Activated", TNotifyEvent([this](TObject*) { ++activated; })},
                        {"Deactivated", TNotifyEvent([this](TObject*) { ++deactivated; })},
                        {"CloseAsked", TCloseQueryEvent([this](TObject*, bool& canClose) {
                             ++closeAsked;
                             canClose = allowClose;
                         })},
                        {"Closed", TCloseEvent([this](TObject*, TCloseAction&) { ++closed; })},
                        {"Ticked", TNotifyEvent([this](TObject*) { ++ticks; })},
                        {"PlayClicked", TNotifyEvent([this](TObject*) {
                             if (onPlay) onPlay();
                         })}});
        playButton = FindRequired<TButton>(*this, "PlayButton");
    }
    ~TMainForm() override {
        if (onDestroy) onDestroy(*this);
    }

    TButton* playButton;
    // Runs first thing in the destructor, while the form and its window are whole.
    std::function<void(TMainForm&)> onDestroy;
    std::function<void()> onPlay;
    bool allowClose = true;
    int activated = 0, deactivated = 0, closeAsked = 0, closed = 0, ticks = 0;
};

class TSmallDialog : public TForm {
  public:
    explicit TSmallDialog(TComponent* owner) : TForm(owner) {
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetClientSize(200, 80);
        auto* ok = new TButton(this);
        ok->SetParent(this);
        ok->SetBounds(60, 40, 75, 25);
        ok->SetText("OK");
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        OnActivate = [this](TObject*) { ++activated; };
        OnDeactivate = [this](TObject*) { ++deactivated; };
    }
    int activated = 0, deactivated = 0;
};

// Shows the error being thrown by `raise` through the application and reads the box that appears.
struct Shown {
    std::optional<std::string> text;
    std::string caption;
};

template <typename Raise>
Shown ReportedBox(Raise raise) {
    Shown shown;
    Script script({[&] {
        shown.text = ActiveMessageBoxText();
        shown.caption = ActiveCaption();
        PressKey(VK_RETURN);
    }});
    try {
        raise();
    } catch (...) {
        Application().ReportException(nullptr);
    }
    return shown;
}

}  // namespace

TEST_F(FrameTest, AWholeRunActivatesTheMainFormOnceAndEndsWithOneOnClose) {
    RunInOwnProcess([] {
        TApplication& application = Application();
        EXPECT_EQ(application.AppTitle(), "korvo_frame_tests") << "the executable's name before a title is set";
        application.RunStartupHook();
        application.SetAppTitle("Korvo Music Player");
        TMainForm* main = nullptr;
        application.MakeForm(main);
        TSmallDialog* spare = nullptr;
        application.MakeForm(spare);
        ASSERT_EQ(application.MainForm(), main);
        EXPECT_TRUE(main->HandleAllocated());
        EXPECT_FALSE(main->Visible());
        EXPECT_FALSE(spare->HandleAllocated()) << "later forms are only constructed";

        int stepsBeforeActivation = -1;
        int steps = 0;
        main->OnActivate = [&](TObject*) {
            ++main->activated;
            stepsBeforeActivation = steps;
        };
        int ticksBeforeDialog = 0, ticksInDialog = 0;
        TModalResult dialogResult = mrNone;
        int dialogActivated = 0, dialogDeactivated = 0;
        bool iconic = false, visibleAtEnd = false;
        auto step = [&](std::function<void()> body) {
            return [&steps, body] {
                ++steps;
                body();
            };
        };
        Script script({
            step([&] { ticksBeforeDialog = main->ticks; }),
            step([&] {
                auto* dialog = new TSmallDialog(main);
                dialogResult = dialog->RunModal();
                dialogActivated = dialog->activated;
                dialogDeactivated = dialog->deactivated;
                delete dialog;
            }),
            step([&] { ticksInDialog = main->ticks; }),  // runs inside the dialog's loop
            step([] { PressKey(VK_RETURN); }),
            step([&] { MinimizeBox(main->Handle()); }),
            step([&] {
                iconic = IsIconic(main->Handle());
                RestoreFromTaskbar(main->Handle());
            }),
            step([&] { SwitchAway(main->Handle()); }),
            step([&] { Click(main->Handle(), 150, 150); }),
            step([&] {
                main->allowClose = false;
                CloseBox(main->Handle());
            }),
            step([&] {
                main->allowClose = true;
                CloseBox(main->Handle());
            }),
        });
        // Shut-down destroys the forms when the loop ends, the newest first, without asking or telling them.
        TComponentWatch spareWatch(spare);
        int spareActivated = 0;
        spare->OnActivate = [&](TObject*) { ++spareActivated; };
        bool spareGoneFirst = false;
        struct {
            int activated = -1, deactivated = -1, closeAsked = -1, closed = -1;
        } seen;
        main->onDestroy = [&](TMainForm& form) {
            visibleAtEnd = IsWindowVisible(form.Handle());
            spareGoneFirst = spareWatch.Destroyed();
            seen.activated = form.activated;
            seen.deactivated = form.deactivated;
            seen.closeAsked = form.closeAsked;
            seen.closed = form.closed;
        };
        TComponentWatch mainWatch(main);
        application.RunLoop();

        EXPECT_TRUE(mainWatch.Destroyed()) << "the forms are gone when RunLoop returns";
        EXPECT_TRUE(spareGoneFirst);
        EXPECT_EQ(application.MainForm(), nullptr);
        EXPECT_EQ(stepsBeforeActivation, 0) << "OnActivate runs before the loop takes its first message";
        EXPECT_EQ(seen.activated, 1);
        EXPECT_EQ(seen.deactivated, 0);
        EXPECT_EQ(spareActivated, 0);
        EXPECT_EQ(dialogResult, mrOk);
        EXPECT_EQ(dialogActivated, 1);
        EXPECT_EQ(dialogDeactivated, 1);
        EXPECT_GT(ticksInDialog, ticksBeforeDialog) << "the timer ticks inside the modal run";
        EXPECT_TRUE(iconic);
        EXPECT_EQ(seen.closeAsked, 2);
        EXPECT_EQ(seen.closed, 1) << "shut-down runs no OnClose";
        EXPECT_TRUE(visibleAtEnd) << "the main form stays on the screen until it is destroyed";
        EXPECT_TRUE(application.QuitRequested());
        EXPECT_FALSE(application.Running());
    });
}

TEST_F(FrameTest, LoggingOffEndsTheLoopWithoutOnClose) {
    RunInOwnProcess([] {
        TMainForm* main = nullptr;
        Application().MakeForm(main);
        int closeAsked = -1, closed = -1;
        main->onDestroy = [&](TMainForm& form) {
            closeAsked = form.closeAsked;
            closed = form.closed;
        };
        Script script({[] { platform::user::SendSessionEnd(); }});
        Application().RunLoop();
        EXPECT_TRUE(Application().QuitRequested());
        EXPECT_EQ(closeAsked, 1) << "the form answers the end query";
        EXPECT_EQ(closed, 0);
    });
}

TEST_F(FrameTest, TheErrorBoxAddsAStopOnlyAfterCharactersThatSortAboveIt) {
    Application().SetAppTitle("Korvo Music Player");
    struct Case {
        std::string message;
        std::string shown;
    };
    const Case cases[] = {
        {"再生できません", "再生できません."},
        {"エラー番号 42", "エラー番号 42."},
        {"ファイルがありません.", "ファイルがありません."},
        {"止まりました!", "止まりました!"},
        {"(C:)", "(C:)"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Shown shown = ReportedBox([&] { throw Exception(c.message); });
        EXPECT_EQ(shown.text, c.shown);
        EXPECT_EQ(shown.caption, "Korvo Music Player");
    }
    EXPECT_EQ(ReportedBox([] { throw EAbort(); }).text, std::nullopt) << "EAbort is dropped silently";
    Shown foreign = ReportedBox([] { throw std::runtime_error("boom"); });
    EXPECT_EQ(foreign.caption, "アプリケーション エラー");
    ASSERT_TRUE(foreign.text);
    EXPECT_NE(foreign.text->find("がモジュール korvo_frame_tests の "), std::string::npos) << *foreign.text;
    EXPECT_NE(foreign.text->find("\nboom."), std::string::npos) << *foreign.text;
}

TEST_F(FrameTest, AnErrorInAClickHandlerShowsOneBoxAndTheProgramGoesOn) {
    Application().SetAppTitle("Korvo Music Player");
    auto* form = new TMainForm(&Application());
    form->onPlay = [] { throw Exception(std::string("再生できません")); };
    form->Show();
    std::vector<std::string> boxes;
    Script script({[&] { Click(form->playButton->Handle(), 10, 10); },
                   [&] {
                       if (auto text = ActiveMessageBoxText()) boxes.push_back(*text);
                       PressKey(VK_RETURN);
                   },
                   [] {}});
    EXPECT_TRUE(RunUntil([&] { return script.Done(); }, std::chrono::seconds(5)));
    EXPECT_EQ(boxes, std::vector<std::string>{"再生できません."});
    EXPECT_TRUE(form->Visible());
    delete form;
}

TEST_F(FrameTest, AFailingTimerShowsOneBoxPerTickAndKeepsTicking) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&](TObject*) {
        if (++ticks <= 3) throw Exception(std::string("デバイスがありません"));
    });
    std::vector<std::string> boxes;
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < 6; ++i)
        steps.push_back([&] {
            if (auto text = ActiveMessageBoxText()) {
                boxes.push_back(*text);
                PressKey(VK_RETURN);
            }
        });
    Script script(std::move(steps));
    EXPECT_TRUE(RunUntil([&] { return script.Done(); }, std::chrono::seconds(5)));
    EXPECT_EQ(boxes.size(), 3u);
    int ticksAfterBoxes = ticks;
    RunFor(std::chrono::milliseconds(100));
    EXPECT_GT(ticks, ticksAfterBoxes) << "the timer keeps running after the boxes";
    EXPECT_EQ(ActiveMessageBoxText(), std::nullopt);
}

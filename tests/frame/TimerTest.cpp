// The periodic timer: when a change restarts its period and when it leaves it running, and a timer read from a
// layout running before its form is shown.

#include <chrono>
#include <vector>

#include "frame/Forms.h"
#include "frame/Timer.h"
#include "framework/Layout.h"
#include "tests/frame/FrameFixture.h"

using namespace std::chrono_literals;
using platform::testing::RunFor;

namespace {

class TTimerForm : public TForm {
  public:
    explicit TTimerForm(TComponent* owner) : TForm(owner) {
        ReadLayoutText(*this, R"({ "class": "TTimerForm", "name": "TimerForm", "children": [
            { "class": "TTimer", "name": "Timer1", "properties": { "Interval": 10, "OnTimer": "Ticked" } } ] })",
                       {{"Ticked", TNotifyEvent([this](TObject*) { ++ticks; })}});
    }
    int ticks = 0;
};

}  // namespace

TEST_F(FrameTest, OnlyAChangeThatLetsTheTimerRunRestartsItsPeriod) {
    TTimer timer(nullptr);
    auto start = clock_.Elapsed();
    std::vector<long> at;  // milliseconds since start of each tick
    TNotifyEvent handler = [&](TObject* sender) {
        EXPECT_EQ(sender, &timer);
        at.push_back(static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(clock_.Elapsed() - start).count()));
    };
    auto now = [&] { return std::chrono::duration_cast<std::chrono::milliseconds>(clock_.Elapsed() - start).count(); };

    timer.SetInterval(100);
    RunFor(150ms);
    EXPECT_TRUE(at.empty()) << "no handler, no ticks";
    // Ticks come on the system's clock tick of 1/64 s: a period of 100 ms is seven of them, 109.375 ms, and the
    // first tick comes on the clock tick at or after the interval. Here the start is on a clock tick.
    start = clock_.Elapsed();
    timer.SetOnTimer(handler);  // starts: ticks at 100, 209.4
    RunFor(250ms);
    timer.SetEnabled(true);  // the values it already has: the period runs on, next tick at 318.8
    timer.SetInterval(100);
    RunFor(100ms);
    EXPECT_EQ(at, (std::vector<long>{100, 209, 318}));

    timer.SetOnTimer(handler);  // at 350, the same handler again: next tick at 459.4
    RunFor(150ms);
    timer.SetEnabled(false);  // at 500
    RunFor(50ms);
    timer.SetEnabled(true);  // at 550: next at 662.5
    RunFor(120ms);
    EXPECT_EQ(at, (std::vector<long>{100, 209, 318, 459, 662}));

    timer.SetInterval(0);  // at 670: stopped, though still enabled
    EXPECT_TRUE(timer.Enabled());
    RunFor(300ms);
    timer.SetInterval(100);  // at 970: next at 1084.4
    RunFor(150ms);
    timer.SetInterval(40);  // at 1120, another period: next at 1162.5
    RunFor(50ms);
    EXPECT_EQ(at, (std::vector<long>{100, 209, 318, 459, 662, 1084, 1162}));

    timer.SetOnTimer(nullptr);  // at 1170: stopped, Enabled keeps its value
    EXPECT_TRUE(timer.Enabled());
    RunFor(300ms);
    EXPECT_EQ(at.size(), 7u);
    EXPECT_EQ(now(), 1470);
}

TEST_F(FrameTest, ATimerFromALayoutRunsBeforeItsFormIsShown) {
    auto* form = new TTimerForm(&Application());
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->ticks, 0) << "the first tick waits for the message loop";
    RunFor(16ms);  // a clock tick: the shortest period there is
    EXPECT_EQ(form->ticks, 1);
    auto* timer = FindRequired<TTimer>(*form, "Timer1");
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 10u);
    delete form;
    RunFor(50ms);  // no tick reaches a destroyed timer
}

TEST_F(FrameTest, TheTimerKeepsTickingInsideAModalRun) {
    auto* form = new TTimerForm(&Application());
    auto* dialog = new TForm(&Application());
    dialog->SetClientSize(100, 50);
    int before = 0, inside = 0;
    Script script({[&] { before = form->ticks; }, [] {}, [&] {
                       inside = form->ticks;
                       dialog->SetModalResult(mrOk);
                   }});
    EXPECT_EQ(dialog->RunModal(), mrOk);
    EXPECT_GE(inside - before, 3);
    delete dialog;
    delete form;
}

#pragma once
// What the frame's tests share: the headless display and virtual time, the process's one application object,
// scripted user steps that run from inside whatever message loop is running, and reading message boxes.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "frame/Application.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"

class FrameTest : public ::testing::Test {
  protected:
    FrameTest();
    platform::testing::VirtualClock clock_;
};

// Steps run one per tick of a timer of their own (every 20 ms), from whichever loop takes messages: the
// application's, a modal form's or a message box's. A step that opens a dialog returns only when the dialog
// closes; the steps after it run inside the dialog's loop meanwhile.
class Script {
  public:
    explicit Script(std::vector<std::function<void()>> steps);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    bool Done() const { return next_ >= steps_.size(); }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
};

// Hears of a component's destruction.
class TComponentWatch : public TComponent {
  public:
    explicit TComponentWatch(TComponent* watched) : TComponent(nullptr) { watched->FreeNotification(this); }
    bool Destroyed() const { return destroyed_; }

  protected:
    void Notification(TComponent* component, TOperation operation) override {
        TComponent::Notification(component, operation);
        if (operation == TOperation::opRemove) destroyed_ = true;
    }

  private:
    bool destroyed_ = false;
};

// Runs body in a fresh copy of the test program (a death test's child), for steps that change the process for
// good: the application's message loop and its quit flag. The child ends with exit code 0 when body's checks
// held.
void RunInOwnProcess(const std::function<void()>& body);

// The text of the message box that is the active window, or nothing when none is.
std::optional<std::string> ActiveMessageBoxText();
// The caption of the active window.
std::string ActiveCaption();

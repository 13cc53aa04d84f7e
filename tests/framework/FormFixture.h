#pragma once
// What the framework's tests share: the headless display and virtual time, and a form to put controls on. The form
// is the frame's own, so that the focus, the enter and exit events and the dialog keys run as in the program.

#include <gtest/gtest.h>

#include <string>

#include "frame/Application.h"
#include "frame/Forms.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/VirtualClock.h"

class Controls : public ::testing::Test {
  protected:
    Controls();
    // The desktop stays: the application's window lives as long as the process.
    ~Controls() override;

    // A control of the form, named, on `parent` at these bounds.
    template <typename T>
    T* Place(TWinControl* parent, const std::string& name, int left, int top, int width, int height) {
        auto* control = new T(form_);
        control->SetName(name);
        control->SetParent(parent);
        control->SetBounds(left, top, width, height);
        return control;
    }
    // Shows the form and handles what that sends.
    void Show();
    // Takes every waiting message through the application, as the program's loop does: a key is offered to the
    // focused control and its form (Tab, the arrows) before it is dispatched.
    void HandleMessages();

    platform::testing::VirtualClock clock_;
    TForm* form_ = nullptr;
};

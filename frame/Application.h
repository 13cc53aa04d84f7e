#pragma once
// The application object: its hidden window (the owner of every form, the one the taskbar knows), the title, the
// main form, the message loop, the error display, message boxes, hints, and minimising the program as a whole.

#include <new>
#include <string>

#include "frame/Forms.h"
#include "framework/Component.h"
#include "runtime/Colors.h"

class THintWindow;

class TApplication : public TComponent {
  public:
    explicit TApplication(TComponent* owner);
    ~TApplication() override;

    HWND Handle() const { return handle_; }
    std::string AppTitle() const;
    void SetAppTitle(const std::string& title);
    TCustomForm* MainForm() const { return mainForm_; }
    bool QuitRequested() const { return quitRequested_; }
    bool Running() const { return running_; }

    // Runs the start-up hook, when one is registered (none is, in this program).
    void RunStartupHook();
    // Makes a form owned by the application; the first form becomes the main form and gets its window at once.
    // The reference points at the form while its constructor runs (so code run by it can use the reference), and
    // is empty again if construction fails.
    template <typename T>
    void MakeForm(T*& reference) {
        void* storage = ::operator new(sizeof(T));
        reference = static_cast<T*>(storage);
        T* form = nullptr;
        try {
            form = new (storage) T(this);  // owned by the application from here on
        } catch (...) {
            reference = nullptr;
            ::operator delete(storage);
            throw;
        }
        AdoptForm(form);
    }
    // Shows the main form, takes messages until the program is asked to end, and then shuts the application down:
    // every component it owns is destroyed, newest first, without close events, while everything they use still
    // exists. The program then ends by returning from main. A program ended by std::exit instead leaves its forms
    // as they are, as a process that ends on Windows does; the platform takes its own parts down.
    void RunLoop();
    void RequestQuit();
    void HandleNextMessage();
    // Shows the error being handled (call from a catch block); an EAbort is dropped.
    void ReportException(TObject* sender);
    int AppMessageBox(const std::string& text, const std::string& caption, UINT flags);

    // Runs each time the program has taken every message there was, before it waits for the next.
    TNotifyEvent OnIdle;

    void Minimize();
    void Restore();
    bool Minimized() const { return minimized_; }

    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    int HintPause() const { return hintPause_; }
    int HintShortPause() const { return hintShortPause_; }
    int HintHidePause() const { return hintHidePause_; }
    TColor HintColor() const { return hintColor_; }
    void CancelHint();
    THintWindow* HintWindow() const { return hintWindow_; }

  protected:
    void Notification(TComponent* component, TOperation operation) override;

  private:
    friend LRESULT CALLBACK ApplicationWindowProc(HWND, UINT, WPARAM, LPARAM);
    void AdoptForm(TCustomForm* form);
    bool OfferKey(MSG& message);
    void Idle();
    void TrackHint();
    void ShowHintNow();
    void TakeMessages();
    void ShutDown();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    TCustomForm* mainForm_ = nullptr;
    bool quitRequested_ = false;
    bool running_ = false;
    bool minimized_ = false;
    bool shutDown_ = false;
    bool showHint_ = true;
    int hintPause_ = 500;
    int hintShortPause_ = 0;
    int hintHidePause_ = 2500;
    TColor hintColor_ = clInfoBk;
    THintWindow* hintWindow_ = nullptr;
    TControl* hintControl_ = nullptr;
    bool hintShowing_ = false;
    UINT_PTR hintTimer_ = 0;
    UINT_PTR hideTimer_ = 0;

    friend void CALLBACK HintTimerExpired(HWND, UINT, UINT_PTR, DWORD);
};

// The program's one application object, made (with its window) on first use.
TApplication& Application();

// The runtime's own error box for an error that escaped the program's start-up: shows it and ends the process
// with exit code 1. Call from a catch block.
[[noreturn]] void ShowStartupErrorAndExit();
// The runtime's error box alone (caption, class, module, message), for errors that are not the program's own
// exceptions. Call from a catch block.
void ShowRuntimeErrorBox();

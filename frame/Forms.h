#pragma once
// Forms: the program's top-level windows. A form tracks its focused control and runs OnActivate only when it
// becomes the form that last had the focus; it runs modally with a loop of its own; it closes through a fixed
// sequence of questions and events; and it turns dialog keys (Tab, arrows, Enter, Escape) into moves of the
// focus and clicks of its buttons.

#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>

#include "framework/WinControl.h"
#include "runtime/Bitmap.h"
#include "runtime/Set.h"

using TModalResult = int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;

enum class TCloseAction { CloseNone, CloseHide, CloseFree, CloseMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum class TPosition { poDesigned, poDefault, poScreenCenter };

class TCustomForm : public TFormBase {
  public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    bool Active() const { return active_; }

    bool KeyPreview() const override { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    int ModalResult() const override { return modalResult_; }
    void SetModalResult(int value) override { modalResult_ = value; }
    bool Modal() const { return modal_; }

    // The modal run: shows the form, runs its own loop until ModalResult is set and the form agrees to close,
    // hides it and gives back everything the run changed. Returns the final ModalResult.
    TModalResult RunModal();
    void RequestClose();
    bool QueryClose();
    // Destroys the form once the message that asked for it has been handled.
    void ReleaseLater();
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    void SetVisible(bool value) override;
    bool Showing() const override;
    RECT ClientRect() const override;
    void SetClientSize(int width, int height) override;
    POINT ClientOrigin() const override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value) { borderStyle_ = value; }
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value) { borderIcons_ = value; }
    TPosition Position() const { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    // The picture the desktop shows for the form's window (title bar, task bar, window switcher), without the
    // pixels of its transparent colour: the bottom-left pixel's unless one is set, clNone for none. A change to
    // it reaches the window at once; an empty picture leaves the window the desktop's own icon.
    TBitmap& Icon() { return icon_; }
    void SetIcon(const TBitmap& value) { icon_.Assign(value); }

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    void SetFocusedControl(TWinControl* control) override;
    void ForgetControl(TControl* control) override;
    void FocusControl(TWinControl* control) override;
    bool PreviewKeyDown(WORD& key, TShiftState shift) override;
    bool PreviewKeyPress(char& key) override;
    bool PreviewKeyUp(WORD& key, TShiftState shift) override;
    void SetFocus() override;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Loaded() override;
    virtual void Activate();
    virtual void Deactivate();

  private:
    friend class TApplication;
    void EndModal();
    void SetActive(bool active);
    void FocusWindow();
    void TakeFocus();
    bool SendFocusNotification(TWinControl* control, UINT message);
    bool DialogKey(WORD key, LPARAM keyData);
    RECT NonClientInsets() const;
    void StyleParams(TCreateParams& params) const;
    void PlaceAtScreenCentre();
    // Makes an icon of the picture and gives it to the window in place of the one it had.
    void UpdateIcon();

    struct IconDeleter {
        void operator()(HICON icon) const { DestroyIcon(icon); }
    };
    using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;  // the end of the chain the enter and exit events have reached
    bool active_ = false;
    bool keyPreview_ = false;
    bool modal_ = false;
    bool showingChange_ = false;  // OnShow or OnHide is running
    bool activatedWhileLoading_ = false;
    bool placed_ = false;
    TModalResult modalResult_ = mrNone;
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TPosition position_ = TPosition::poDesigned;
    TBitmap icon_;
    IconHandle iconHandle_;  // the icon the window holds
};

class TForm : public TCustomForm {
  public:
    using TCustomForm::TCustomForm;
};

// Every focus change counts here, so that a handler that moves the focus again can stop the change around it.
int FocusChanges();
// Puts the count back after a modal run, so a focus change that was under way before it goes on.
void RestoreFocusChanges(int value);

#pragma once
// Windowed controls: a control with a platform window of its own, made when first needed and made again (keeping
// the control's state) when a setting calls for another kind of window. The window's messages reach the object's
// WndProc; what a parent window hears about a child (commands, owner drawing, scrolling, colours) is passed on to
// the child control as a CN_* notification; keys are offered to the focused control and its form first.

#include <string>
#include <vector>

#include "framework/Control.h"
#include "runtime/Brush.h"

class TFormBase;

// What a windowed control asks the platform for when its window is made.
struct TCreateParams {
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;  // the parent window, or the owner window of a form
    std::string className;  // a built-in class ("LISTBOX") or the framework class's own
    UINT classStyle = CS_DBLCLKS;
    bool builtInClass = false;
    HMENU id = nullptr;
};

class TWinControl : public TControl {
  public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Destroys the window, saving what the control keeps in it, and makes it again when the control shows.
    void RecreateWnd();

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }
    TControl* ControlAtPos(POINT point, bool allowDisabled) const;
    // The controls screen readers read as parts of this window (ReadAsPart), in the order they are listed and
    // numbered, hidden ones included so that a part keeps its number while others hide.
    std::vector<TControl*> ReaderParts() const;

    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    POINT ClientOrigin() const override;
    void SetVisible(bool value) override;
    bool Showing() const override;
    std::string Text() const override;
    void SetText(const std::string& value) override;

    void Invalidate() override;
    void Update() override;
    void BringToFront() override;

    // Focus and tab order.
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    int TabOrder() const;
    void SetTabOrder(int value);
    virtual bool CanFocus() const;
    bool Focused() const;
    virtual void SetFocus();
    // The next control in tab order after `current` (forward or backward), among this control's descendants.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) const;
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
    std::vector<TWinControl*> TabOrderList() const;

    TBrush& Brush() { return brush_; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

    // The control behind a window of the framework, or nullptr.
    static TWinControl* FindControl(HWND window);

  protected:
    virtual void CreateParams(TCreateParams& params);
    // Makes the window; derived controls hand their state to a new window after calling it.
    virtual void CreateWnd();
    // Takes the state the window holds before the window goes (a list's lines), for the next CreateWnd.
    virtual void DestroyWnd();
    // Brings the window's children and visibility up to date with the controls'.
    void UpdateShowing();

    virtual void PaintWindow(HDC dc);
    void PaintControls(HDC dc);
    void PaintHandler(TMessage& message);
    // Whether this control draws itself through PaintWindow (custom-drawn) rather than leaving it to its window
    // class (a built-in control).
    bool customPaint_ = false;

    void Loaded() override;

    virtual void DoEnter();
    virtual void DoExit();
    virtual bool DoKeyDown(TMessage& message);
    virtual bool DoKeyPress(TMessage& message);
    virtual bool DoKeyUp(TMessage& message);
    // Offers a dialog key (Enter, Escape...) to the controls inside, each container passing it on, until one
    // takes it.
    bool OfferDialogKey(WORD key, LPARAM keyData);

  private:
    friend class TControl;
    friend class TFormBase;
    friend LRESULT CALLBACK FrameworkWindowProc(HWND, UINT, WPARAM, LPARAM);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void DestroyHandle();
    bool HandleWindowMessage(TMessage& message);
    bool HandleChildMessage(TMessage& message);
    bool HandleControlMessage(TMessage& message);
    bool HandleKeyMessage(TMessage& message);
    void Reflect(TMessage& message, HWND child);
    bool RouteMouseToGraphicChild(TMessage& message);
    void HandleKeyNotification(TMessage& message);
    void ApplyFont();

    HWND handle_ = nullptr;
    WNDPROC defaultProc_ = nullptr;
    std::vector<TControl*> controls_;  // all children, in the order they were placed
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    int loadedTabOrder_ = -1;  // the tab order a layout gave, until the parent's layout has been read
    TBrush brush_;
};

// The form (or other top-level container) a control sits on, or nullptr.
TFormBase* GetParentForm(const TControl* control);

// What a form does for the controls on it: tracking the focused control (which runs the enter and exit events
// and the activation rule), moving the focus on request, previewing keys, and ending a modal run.
class TFormBase : public TWinControl {
  public:
    using TWinControl::TWinControl;

    virtual void SetFocusedControl(TWinControl* control) = 0;
    // Told when a control leaves the form or is destroyed.
    virtual void ForgetControl(TControl* control) = 0;
    virtual void FocusControl(TWinControl* control) = 0;
    virtual bool KeyPreview() const = 0;
    virtual int ModalResult() const = 0;
    virtual void SetModalResult(int value) = 0;
    // The form's own key handlers, run first when KeyPreview is set; each returns true when the key was eaten.
    virtual bool PreviewKeyDown(WORD& key, TShiftState shift) = 0;
    virtual bool PreviewKeyPress(char& key) = 0;
    virtual bool PreviewKeyUp(WORD& key, TShiftState shift) = 0;
};

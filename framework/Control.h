#pragma once
// Controls: components with a place on a parent, a size, a colour, a font, a caption and a hint, that take the
// mouse. A control without a window of its own (a graphic control) is drawn on its parent's surface; windowed
// controls are TWinControl.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/Messages.h"
#include "runtime/Colors.h"
#include "runtime/Font.h"

class TWinControl;

// What a class of control is like (constant per class) and what a control is doing (changing at run time).
using TControlStyle = uint32_t;
constexpr TControlStyle csAcceptsControls = 0x0001;
constexpr TControlStyle csCaptureMouse = 0x0002;
constexpr TControlStyle csClickEvents = 0x0008;
constexpr TControlStyle csSetCaption = 0x0020;
constexpr TControlStyle csOpaque = 0x0040;
constexpr TControlStyle csDoubleClicks = 0x0080;

using TControlState = uint32_t;
constexpr TControlState csLButtonDown = 0x0001;
constexpr TControlState csClicked = 0x0002;
constexpr TControlState csFocusing = 0x0020;
constexpr TControlState csCreating = 0x0040;

class TControl : public TComponent {
  public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual RECT ClientRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    virtual void SetClientSize(int width, int height);
    // The client area's top-left corner on the screen.
    virtual POINT ClientOrigin() const;
    POINT ClientToScreen(POINT point) const;
    POINT ScreenToClient(POINT point) const;

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool value);
    // Shown on the screen: visible, and so is every parent.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool value);

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont& Font() { return *font_; }
    const TFont& Font() const { return *font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    // The caption of labels and buttons, the text of edits: one property, as in the layouts.
    virtual std::string Text() const { return text_; }
    virtual void SetText(const std::string& value);
    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& value) { SetText(value); }

    const std::string& Hint() const { return hint_; }
    void SetHint(std::string value);
    bool ShowHint() const;
    void SetShowHint(bool value);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);

    TControlStyle ControlStyle() const { return controlStyle_; }
    TControlState ControlState() const { return controlState_; }

    // Whether a screen reader reads this control as a part of its parent's window: it has no window of its own
    // for the platform to describe, and says something to a user (a tool button, a label; not a bevel).
    virtual bool ReadAsPart() const { return false; }

    LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void WndProc(TMessage& message);
    // What happens to a message no handler took: nothing for a graphic control; the platform's window procedure
    // for a windowed one.
    virtual void DefaultHandler(TMessage& message);

    virtual void Invalidate();
    virtual void Update();
    void Repaint();
    virtual void BringToFront();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;

    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
    void AddState(TControlState state) { controlState_ |= state; }
    void RemoveState(TControlState state) { controlState_ &= ~state; }

    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void Resize();
    void Loaded() override;
    // Text that was set before there was anything to show it on (a windowed control's text goes to its window).
    std::string& StoredText() { return text_; }

    void SetMouseCapture(bool capture);
    // The bounds as the control's window reports them after the user or the platform moved it: stored without
    // moving anything again.
    void StoreBounds(int left, int top, int width, int height);
    void SetVisibleFlag(bool value) { visible_ = value; }

  private:
    friend class TWinControl;
    void HandleMouse(TMessage& message);
    void FontChanged();
    // Tells screen readers of a change to this control as a part of its parent's window.
    void TellReaders(DWORD event);
    void TakeParentFont();
    void TakeParentColor();

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool takingParentFont_ = false;
    std::string text_;
    std::string hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    TControlState controlState_ = 0;
};

// The control that holds the mouse while a button is down on it (a windowed control holds it through its
// window; a graphic control through its parent's).
TControl* CaptureControl();
void SetCaptureControl(TControl* control);

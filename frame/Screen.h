#pragma once
// The screen: the program's forms, the one that is active, the one that last had the focus (whose change is what
// runs OnActivate), the focus forms saved by modal runs, and the mouse cursor.

#include <vector>

#include "framework/Component.h"

class TCustomForm;
class TWinControl;

enum TCursor : int { crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crSizeWE = -9, crHourGlass = -11, crNo = -12 };

class TScreen : public TComponent {
  public:
    explicit TScreen(TComponent* owner) : TComponent(owner) {}

    const std::vector<TCustomForm*>& Forms() const { return forms_; }
    TCustomForm* ActiveForm() const { return activeForm_; }
    TWinControl* ActiveControl() const { return activeControl_; }
    TCustomForm* CurrentFocusForm() const { return currentFocusForm_; }
    std::vector<TCustomForm*>& SavedFocusForms() { return savedFocusForms_; }

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor value);
    // Raised on every cursor change, so a modal run can tell whether the cursor was changed meanwhile.
    int CursorChanges() const { return cursorChanges_; }

  private:
    friend class TCustomForm;
    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);
    void MoveToFront(TCustomForm* form);

    std::vector<TCustomForm*> forms_;  // most recently focused first
    std::vector<TCustomForm*> savedFocusForms_;
    TCustomForm* activeForm_ = nullptr;
    TWinControl* activeControl_ = nullptr;
    TCustomForm* currentFocusForm_ = nullptr;
    TCursor cursor_ = crDefault;
    int cursorChanges_ = 0;
};

TScreen& Screen();

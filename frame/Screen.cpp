#include "frame/Screen.h"

#include <algorithm>

#include "platform/win32.h"

TScreen& Screen() {
    static TScreen* screen = new TScreen(nullptr);  // lives as long as the program, like its windows
    return *screen;
}

void TScreen::SetCursor(TCursor value) {
    ++cursorChanges_;
    if (cursor_ == value) return;
    cursor_ = value;
    LPCSTR shape = IDC_ARROW;
    switch (value) {
        case crHourGlass: shape = IDC_WAIT; break;
        case crCross: shape = IDC_CROSS; break;
        case crIBeam: shape = IDC_IBEAM; break;
        case crSizeWE: shape = IDC_SIZEWE; break;
        case crNo: shape = IDC_NO; break;
        default: break;
    }
    ::SetCursor(LoadCursorA(nullptr, shape));
}

void TScreen::AddForm(TCustomForm* form) {
    if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
    std::erase(forms_, form);
    std::replace(savedFocusForms_.begin(), savedFocusForms_.end(), form, static_cast<TCustomForm*>(nullptr));
    if (activeForm_ == form) {
        activeForm_ = nullptr;
        activeControl_ = nullptr;
    }
    if (currentFocusForm_ == form) currentFocusForm_ = nullptr;
}

void TScreen::MoveToFront(TCustomForm* form) {
    std::erase(forms_, form);
    forms_.insert(forms_.begin(), form);
}

// The program's windowless parts as screen readers see them: each window's tool buttons and labels, named by what
// a sighted user reads there (a button's hint, a label's text), in the order the window holds them.

#include "app/KorvoAccessibility.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "controls/SpeedButton.h"
#include "frame/Application.h"
#include "framework/WinControl.h"
#include "platform/desktop/Accessibility.h"

namespace {

constexpr const char* kName = "korvo";  // as the installed program is named
constexpr const char* kVersion = "1.0";

UINT KindOf(TControl* control) {
    if (dynamic_cast<TSpeedButton*>(control)) return ACCPART_PUSHBUTTON;
    // Anything else read as a part says its text, as a label does.
    return ACCPART_LABEL;
}

// The window's parts in the order, and so with the numbers, in which the framework tells of their changes.
template <typename Visit>
UINT ForEachPart(HWND window, Visit visit) {
    TWinControl* owner = TWinControl::FindControl(window);
    if (!owner) return 0;
    const std::vector<TControl*> parts = owner->ReaderParts();
    for (size_t index = 0; index < parts.size(); ++index)
        visit(static_cast<UINT>(index), KindOf(parts[index]), parts[index]);
    return static_cast<UINT>(parts.size());
}

UINT CALLBACK ListParts(HWND window, ACCPARTA* parts, UINT count) {
    return ForEachPart(window, [&](UINT index, UINT kind, TControl* control) {
        if (index >= count) return;
        ACCPARTA& part = parts[index];
        part = ACCPARTA{};
        part.uKind = kind;
        // A hint may carry a longer text after "|"; the short one is what the button says.
        std::string name = kind == ACCPART_PUSHBUTTON ? control->Hint().substr(0, control->Hint().find('|')) : "";
        if (name.empty()) name = control->Caption();
        const size_t length = std::min(name.size(), sizeof part.szName - 1);
        std::memcpy(part.szName, name.data(), length);
        part.szName[length] = '\0';
        part.rcPart = control->BoundsRect();
        part.fEnabled = control->Enabled();
        part.fVisible = control->Visible();
    });
}

void CALLBACK ClickPart(HWND window, UINT wanted) {
    TSpeedButton* clicked = nullptr;
    ForEachPart(window, [&](UINT index, UINT, TControl* control) {
        if (index == wanted) clicked = dynamic_cast<TSpeedButton*>(control);
    });
    // The button may have been disabled since the reader asked.
    if (!clicked || !clicked->Enabled() || !clicked->Visible()) return;
    try {
        clicked->Click();
    } catch (...) {
        Application().ReportException(clicked);
    }
}

}  // namespace

void OfferToScreenReaders() {
    const ACCESSIBILITYA accessibility{kName, kVersion, &ListParts, &ClickPart};
    // Without a desktop that asks for it, the program runs as before.
    StartAccessibilityA(&accessibility);
}

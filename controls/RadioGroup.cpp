#include "controls/RadioGroup.h"

#include <algorithm>
#include <functional>

#include "framework/ErrorTrap.h"
#include "framework/Layout.h"
#include "runtime/ScopeExit.h"

// The group's lines. Every change reports once, when the outermost update bracket around it closes, so replacing
// all lines rebuilds the buttons once.
class TCustomRadioGroup::TItems : public TStringList {
    // Marks the list changed inside a bracket of its own, which reports the change as it closes.
    template <typename Operation>
    decltype(auto) Changing(Operation operation) {
        runtime::UpdateBracket bracket(*this);
        changed_ = true;
        return operation();
    }

  public:
    std::function<void()> OnChange;

    void ReplaceLine(int32_t index, std::string_view text) override {
        Changing([&] { TStringList::ReplaceLine(index, text); });
    }
    int32_t AppendLine(std::string_view text) override {
        return Changing([&] { return TStringList::AppendLine(text); });
    }
    int32_t AppendLineData(std::string_view text, TLineData data) override {
        return Changing([&] { return TStringList::AppendLineData(text, data); });
    }
    void RemoveAll() override {
        Changing([&] { TStringList::RemoveAll(); });
    }
    void RemoveLine(int32_t index) override {
        Changing([&] { TStringList::RemoveLine(index); });
    }
    void SwapLines(int32_t index1, int32_t index2) override {
        Changing([&] { TStringList::SwapLines(index1, index2); });
    }
    void InsertLine(int32_t index, std::string_view text) override {
        Changing([&] { TStringList::InsertLine(index, text); });
    }
    void MoveLine(int32_t from, int32_t to) override {
        Changing([&] { TStringList::MoveLine(from, to); });
    }
    void UpdateStateChanged(bool updating) override {
        if (updating || !changed_) return;
        changed_ = false;
        if (OnChange) OnChange();
    }

  private:
    bool changed_ = false;
};

TGroupButton::TGroupButton(TCustomRadioGroup& group) : TRadioButton(nullptr), group_(group) {
    SetVisible(false);
    SetEnabled(group.Enabled());
    SetParentShowHint(false);
    SetParent(&group);
}

void TGroupButton::WndProc(TMessage& message) {
    // The group may take this button away from inside its own click (an OnClick that replaces the lines); it is
    // freed only once the last of its messages has been handled.
    struct Handling {
        TGroupButton& button;
        explicit Handling(TGroupButton& b) : button(b) { ++button.handling_; }
        ~Handling() {
            if (--button.handling_ == 0 && button.retired_ && button.group_.HandleAllocated())
                PostMessageA(button.group_.Handle(), CM_RELEASE, 0, 0);
        }
    } handling(*this);
    TRadioButton::WndProc(message);
}

void TGroupButton::Click() { group_.ButtonClick(*this); }

void TGroupButton::ButtonNotified(WORD notifyCode) {
    // A report that arrives while an earlier one is handled (a handler that moved the focus) is ignored.
    if (inClick_) return;
    inClick_ = true;
    try {
        if ((notifyCode == BN_CLICKED || notifyCode == BN_DOUBLECLICKED) && group_.CanModify())
            TRadioButton::ButtonNotified(notifyCode);
    } catch (...) {
        ShowCurrentError(this);
    }
    inClick_ = false;
}

bool TGroupButton::DoKeyDown(TMessage& message) {
    if (TRadioButton::DoKeyDown(message)) return true;
    auto key = static_cast<WORD>(message.WParam);
    if (group_.OnKeyDown) group_.OnKeyDown(&group_, key, KeyDataToShiftState(message.LParam));
    if (key == 0) return true;
    message.WParam = key;
    return false;
}

bool TGroupButton::DoKeyPress(TMessage& message) {
    if (TRadioButton::DoKeyPress(message)) return true;
    char key = static_cast<char>(message.WParam);
    if (group_.OnKeyPress) group_.OnKeyPress(&group_, key);
    if ((key == '\b' || key == ' ') && !group_.CanModify()) key = 0;
    if (key == 0) return true;
    message.WParam = static_cast<unsigned char>(key);
    return false;
}

TCustomRadioGroup::TCustomRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), items_(std::make_unique<TItems>()) {
    // A click on the frame is nobody's choice: only the buttons' clicks reach OnClick.
    SetControlStyle(csSetCaption | csDoubleClicks);
    SetParentColor(true);
    items_->OnChange = [this] { ItemsChanged(); };
}

TCustomRadioGroup::~TCustomRadioGroup() {
    MarkDestroying();
    // Last first, so the list holds only live buttons while each one goes.
    while (!buttons_.empty()) {
        std::unique_ptr<TGroupButton> button = std::move(buttons_.back());
        buttons_.pop_back();
    }
    retired_.clear();
    items_->OnChange = nullptr;
    items_.reset();
}

TStrings& TCustomRadioGroup::Items() { return *items_; }

void TCustomRadioGroup::SetItems(const TStrings& source) { items_->CopyLinesFrom(&source); }

void TCustomRadioGroup::SetItemIndex(int32_t value) {
    if (Loading()) {
        itemIndex_ = value;
        return;
    }
    value = std::clamp(value, -1, ButtonCount() - 1);
    if (value == itemIndex_) return;
    if (itemIndex_ >= 0 && itemIndex_ < ButtonCount()) buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(false);
    itemIndex_ = value;
    // Checking the button raises the group's click.
    if (itemIndex_ >= 0) buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int value) {
    value = std::clamp(value, 1, 16);
    if (columns_ == value) return;
    columns_ = value;
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::ButtonClick(TGroupButton& button) {
    if (updating_ || Destroying()) return;
    auto found = std::find_if(buttons_.begin(), buttons_.end(), [&](const auto& b) { return b.get() == &button; });
    if (found == buttons_.end()) return;  // a button already taken off the group
    itemIndex_ = static_cast<int32_t>(found - buttons_.begin());
    Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this));
    Click();
}

void TCustomRadioGroup::ItemsChanged() {
    if (Loading() || Destroying()) return;
    itemIndex_ = std::min(itemIndex_, items_->LineCount() - 1);
    UpdateButtons();
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    // A layout may name an index beyond its lines; the buttons are checked by it, so it must lie among them.
    itemIndex_ = std::clamp(itemIndex_, -1, items_->LineCount() - 1);
    UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
    SetButtonCount(items_->LineCount());
    for (int i = 0; i < ButtonCount(); ++i) buttons_[static_cast<size_t>(i)]->SetCaption(items_->LineText(i));
    if (itemIndex_ >= 0) {
        updating_ = true;
        ScopeExit done([this] { updating_ = false; });
        buttons_[static_cast<size_t>(itemIndex_)]->SetChecked(true);
    }
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::SetButtonCount(int count) {
    while (ButtonCount() < count) buttons_.push_back(std::make_unique<TGroupButton>(*this));
    while (ButtonCount() > count) {
        std::unique_ptr<TGroupButton> button = std::move(buttons_.back());
        buttons_.pop_back();
        if (button->handling_ > 0) {
            // Its window's message is still being handled further up; it goes when that is done.
            button->retired_ = true;
            button->SetVisible(false);
            retired_.push_back(std::move(button));
        }
    }
}

void TCustomRadioGroup::FreeRetiredButtons() {
    std::erase_if(retired_, [](const auto& button) { return button->handling_ == 0; });
}

void TCustomRadioGroup::ArrangeButtons() {
    if (buttons_.empty() || Loading()) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    // The buttons fill the frame below its caption line, 5 pixels in from either side and 8 from the left.
    int count = ButtonCount();
    int rows = (count + columns_ - 1) / columns_;
    int width = (Width() - 10) / columns_;
    int inner = Height() - metrics.tmHeight - 5;
    int height = inner / rows;
    int top = (inner % rows) / 2 + metrics.tmHeight + 1;
    for (int k = 0; k < count; ++k) {
        TGroupButton& button = *buttons_[static_cast<size_t>(k)];
        // A group too small for its buttons squeezes them to nothing rather than to a negative size.
        button.SetBounds((k / rows) * width + 8, (k % rows) * height + top, std::max(width, 0), std::max(height, 0));
        button.SetVisible(true);
    }
}

void TCustomRadioGroup::Resize() {
    TCustomGroupBox::Resize();
    ArrangeButtons();
}

void TCustomRadioGroup::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CM_ENABLEDCHANGED:
            TCustomGroupBox::WndProc(message);
            for (const auto& button : buttons_) button->SetEnabled(Enabled());
            return;
        case CM_FONTCHANGED:
            TCustomGroupBox::WndProc(message);
            ArrangeButtons();
            return;
        case CM_RELEASE: FreeRetiredButtons(); return;
        default: TCustomGroupBox::WndProc(message); return;
    }
}

bool TCustomRadioGroup::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Items") {
        TStringList lines;
        for (const TLayoutValue& line : value.Items()) lines.AppendLine(line.Text());
        SetItems(lines);
    } else if (name == "ItemIndex") {
        SetItemIndex(value.Integer());
    } else if (name == "Columns") {
        SetColumns(value.Integer());
    } else {
        return TCustomGroupBox::ReadProperty(name, value, context);
    }
    return true;
}

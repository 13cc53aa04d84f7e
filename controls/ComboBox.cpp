#include "controls/ComboBox.h"

#include <vector>

#include "controls/WindowLines.h"
#include "framework/Layout.h"
#include "runtime/Exception.h"

// Items

HWND TComboBoxStrings::Window() const { return comboBox_.Handle(); }

void TComboBoxStrings::CheckIndex(int32_t index) const {
    if (index < 0 || index >= LineCount()) throw EStringListError(Msg::SListIndexError, index);
}

namespace {
using Lines = WindowLines<ComboBoxMessages>;
}  // namespace

int32_t TComboBoxStrings::LineCount() const { return Lines::Count(Window()); }

std::string TComboBoxStrings::LineText(int32_t index) const { return Lines::Text(Window(), index); }

// The range is checked apart: CB_ERR is also a data value a line may hold.
TLineData TComboBoxStrings::LineData(int32_t index) const {
    CheckIndex(index);
    return static_cast<TLineData>(SendMessageA(Window(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void TComboBoxStrings::SetLineData(int32_t index, TLineData data) {
    CheckIndex(index);
    SendMessageA(Window(), CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

int32_t TComboBoxStrings::AppendLine(std::string_view text) { return Lines::Append(Window(), text); }

void TComboBoxStrings::InsertLine(int32_t index, std::string_view text) { Lines::Insert(Window(), index, text); }

void TComboBoxStrings::RemoveLine(int32_t index) {
    SendMessageA(Window(), CB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TComboBoxStrings::RemoveAll() { SendMessageA(Window(), CB_RESETCONTENT, 0, 0); }

int32_t TComboBoxStrings::FindLine(std::string_view text) const { return Lines::FindExact(Window(), text); }

void TComboBoxStrings::UpdateStateChanged(bool updating) {
    SendMessageA(Window(), WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) comboBox_.Invalidate();
}

// The combo box

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TComboBoxStrings>(*this)) {
    // The platform's window takes the mouse itself: it drops its list down and holds the mouse while it is down.
    SetControlStyle(csSetCaption | csDoubleClicks | csOpaque);
    SetBounds(Left(), Top(), 145, 25);
    SetTabStop(true);
    SetParentColor(false);
}

TCustomComboBox::~TCustomComboBox() = default;

void TCustomComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "COMBOBOX";
    params.builtInClass = true;
    params.style |= WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    if (savedItems_) {
        std::unique_ptr<TStringList> saved = std::move(savedItems_);
        items_->CopyLinesFrom(saved.get());
        SetItemIndex(savedItemIndex_);
    }
}

void TCustomComboBox::DestroyWnd() {
    if (items_->LineCount() > 0) {
        auto saved = std::make_unique<TStringList>();
        for (int32_t i = 0, count = items_->LineCount(); i < count; ++i)
            saved->AppendLineData(items_->LineText(i), items_->LineData(i));
        savedItemIndex_ = ItemIndex();
        savedItems_ = std::move(saved);
    }
    TWinControl::DestroyWnd();
}

int32_t TCustomComboBox::ItemIndex() { return static_cast<int32_t>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void TCustomComboBox::SetItemIndex(int32_t value) {
    if (ItemIndex() == value) return;
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TCustomComboBox::SetItemHeight(int value) {
    if (value <= 0 || itemHeight_ == value) return;
    itemHeight_ = value;
    RecreateWnd();
}

bool TCustomComboBox::DroppedDown() { return SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CN_COMMAND: CommandNotification(HIWORD(message.WParam)); return;
        case CN_DRAWITEM:
            DrawOwnerDrawnLine(canvas_, *this, *reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam),
                               [this](int32_t index, const RECT& rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
            message.Result = TRUE;
            return;
        case CN_MEASUREITEM:
            // The field (item -1) and every line of the list alike.
            reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam)->itemHeight = static_cast<UINT>(itemHeight_);
            message.Result = TRUE;
            return;
        default: TWinControl::WndProc(message);
    }
}

void TCustomComboBox::CommandNotification(WORD code) {
    switch (code) {
        case CBN_SELCHANGE: {
            int32_t index = ItemIndex();
            if (index >= 0) SetText(items_->LineText(index));
            Click();
            Change();
            break;
        }
        case CBN_DROPDOWN: DropDown(); break;
        default: break;
    }
}

void TCustomComboBox::DrawItem(int32_t index, const RECT& rect, TOwnerDrawState) {
    DrawLineText(canvas_, rect, items_->LineText(index));
}

bool TCustomComboBox::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "ItemHeight") SetItemHeight(value.Integer());
    else if (name == "OnChange") OnChange = context.Handler<TNotifyEvent>(value.Text());
    else if (name == "OnDropDown") OnDropDown = context.Handler<TNotifyEvent>(value.Text());
    else return TWinControl::ReadProperty(name, value, context);
    return true;
}

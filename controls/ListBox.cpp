#include "controls/ListBox.h"

#include <algorithm>

#include "framework/Layout.h"
#include "framework/LayoutProperties.h"
#include "runtime/Exception.h"

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TListBoxStrings>(*this)) {
    // The platform's list takes the mouse itself and reports selection changes and double clicks.
    SetControlStyle(csSetCaption | csDoubleClicks | csOpaque);
    SetBounds(Left(), Top(), 121, 97);
    SetTabStop(true);
    SetParentColor(false);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.className = "LISTBOX";
    params.builtInClass = true;
    params.style |= WS_HSCROLL | WS_VSCROLL | LBS_HASSTRINGS | LBS_NOTIFY;
    if (sorted_) params.style |= LBS_SORT;
    if (style_ == TListBoxStyle::lbOwnerDrawFixed) params.style |= LBS_OWNERDRAWFIXED;
    else if (style_ == TListBoxStyle::lbOwnerDrawVariable) params.style |= LBS_OWNERDRAWVARIABLE;
    if (multiSelect_) params.style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (!integralHeight_) params.style |= LBS_NOINTEGRALHEIGHT;
    if (columns_ != 0) params.style |= LBS_MULTICOLUMN;
    if (tabWidth_ != 0) params.style |= LBS_USETABSTOPS;
    // Controls have the three-dimensional look here, so a single border is the sunken client edge.
    if (borderStyle_ == TBorderStyle::bsSingle) params.exStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TWinControl::CreateWnd();
    HWND window = Handle();
    if (tabWidth_ != 0) {
        int stops = tabWidth_;
        SendMessageA(window, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stops));
    }
    SetColumnWidth();
    if (savedItems_) {
        // Added one by one, so a window that is sorted now sorts them; the same position stays selected.
        std::unique_ptr<TStringList> saved = std::move(savedItems_);
        items_->CopyLinesFrom(saved.get());
        SetTopIndex(savedTopIndex_);
        SetItemIndex(savedItemIndex_);
    }
}

void TCustomListBox::DestroyWnd() {
    if (items_->LineCount() > 0) {
        auto saved = std::make_unique<TStringList>();
        for (int32_t i = 0, count = items_->LineCount(); i < count; ++i)
            saved->AppendLineData(items_->LineText(i), GetItemData(i));
        savedTopIndex_ = TopIndex();
        savedItemIndex_ = ItemIndex();
        savedItems_ = std::move(saved);
    }
    TWinControl::DestroyWnd();
}

void TCustomListBox::Resize() {
    TWinControl::Resize();
    SetColumnWidth();
}

void TCustomListBox::SetColumnWidth() {
    if (columns_ <= 0 || !HandleAllocated()) return;
    int width = std::max(1, (columns_ + Width() - 3) / columns_);
    SendMessageA(Handle(), LB_SETCOLUMNWIDTH, static_cast<WPARAM>(width), 0);
}

int32_t TCustomListBox::ItemIndex() {
    return static_cast<int32_t>(SendMessageA(Handle(), multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int32_t value) {
    if (ItemIndex() == value) return;
    SendMessageA(Handle(), multiSelect_ ? LB_SETCARETINDEX : LB_SETCURSEL, static_cast<WPARAM>(value), 0);
}

int32_t TCustomListBox::TopIndex() { return static_cast<int32_t>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TCustomListBox::SetTopIndex(int32_t value) {
    if (TopIndex() != value) SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(value), 0);
}

bool TCustomListBox::Selected(int32_t index) {
    LRESULT selected = SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0);
    if (selected < 0) throw EListError(Msg::SListIndexError, index);
    return selected != 0;
}

RECT TCustomListBox::ItemRect(int32_t index) {
    RECT rect{};
    int32_t count = items_->LineCount();
    if (index == 0 || index < count) {
        SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    } else if (index == count) {
        // Where a line after the last would go.
        SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&rect));
        OffsetRect(&rect, 0, rect.bottom - rect.top);
    }
    return rect;
}

void TCustomListBox::SetSorted(bool value) {
    if (sorted_ == value) return;  // in particular no re-sort of a sorted list whose lines were swapped
    sorted_ = value;
    RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
    if (style_ == value) return;
    style_ = value;
    RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool value) {
    if (multiSelect_ == value) return;
    multiSelect_ = value;
    RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool value) {
    if (extendedSelect_ == value) return;
    extendedSelect_ = value;
    RecreateWnd();
}

void TCustomListBox::SetIntegralHeight(bool value) {
    if (integralHeight_ == value) return;
    integralHeight_ = value;
    RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
    if (borderStyle_ == value) return;
    borderStyle_ = value;
    RecreateWnd();
}

int TCustomListBox::ItemHeight() {
    if (style_ != TListBoxStyle::lbStandard || !HandleAllocated()) return itemHeight_;
    RECT rect{};
    SendMessageA(Handle(), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect.bottom - rect.top;
}

void TCustomListBox::SetItemHeight(int value) {
    if (value <= 0 || itemHeight_ == value) return;
    itemHeight_ = value;
    RecreateWnd();
}

void TCustomListBox::SetTabWidth(int value) {
    value = std::max(value, 0);
    if (tabWidth_ == value) return;
    tabWidth_ = value;
    RecreateWnd();
}

void TCustomListBox::SetColumns(int value) {
    if (columns_ == value) return;
    bool layoutChanges = (columns_ == 0) != (value == 0);
    columns_ = value;
    if (layoutChanges) RecreateWnd();
    else SetColumnWidth();
}

TLineData TCustomListBox::GetItemData(int32_t index) {
    return static_cast<TLineData>(SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

void TCustomListBox::SetItemData(int32_t index, TLineData data) {
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data));
}

void TCustomListBox::DeleteString(int32_t index) {
    SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::ResetContent() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }

void TCustomListBox::WndProc(TMessage& message) {
    switch (message.Msg) {
        case CN_COMMAND:
            switch (HIWORD(message.WParam)) {
                case LBN_SELCHANGE:
                    Perform(CM_CHANGED, 0, 0);
                    Click();
                    break;
                case LBN_DBLCLK: DblClick(); break;
                default: break;
            }
            return;
        case CN_DRAWITEM:
            DrawOwnerDrawnLine(canvas_, *this, *reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam),
                               [this](int32_t index, const RECT& rect, TOwnerDrawState state) { DrawItem(index, rect, state); });
            message.Result = TRUE;
            return;
        case CN_MEASUREITEM: MeasureItemNotification(message); return;
        default: TWinControl::WndProc(message);
    }
}

void TCustomListBox::MeasureItemNotification(TMessage& message) {
    auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(message.LParam);
    int height = itemHeight_;
    if (style_ == TListBoxStyle::lbOwnerDrawVariable) MeasureItem(static_cast<int32_t>(item.itemID), height);
    item.itemHeight = static_cast<UINT>(std::max(height, 1));
    message.Result = TRUE;
}

void TCustomListBox::DrawItem(int32_t index, const RECT& rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    if (index < items_->LineCount()) DrawLineText(canvas_, rect, items_->LineText(index));
    else canvas_.FillRect(rect);
}

void TCustomListBox::MeasureItem(int32_t index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

bool TCustomListBox::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Sorted") SetSorted(value.Boolean());
    else if (name == "Style")
        SetStyle(static_cast<TListBoxStyle>(
            ReadEnumeration(value, {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"})));
    else if (name == "MultiSelect") SetMultiSelect(value.Boolean());
    else if (name == "ExtendedSelect") SetExtendedSelect(value.Boolean());
    else if (name == "IntegralHeight") SetIntegralHeight(value.Boolean());
    else if (name == "BorderStyle")
        SetBorderStyle(static_cast<TBorderStyle>(ReadEnumeration(value, {"bsNone", "bsSingle"})));
    else if (name == "ItemHeight") SetItemHeight(value.Integer());
    else if (name == "TabWidth") SetTabWidth(value.Integer());
    else if (name == "Columns") SetColumns(value.Integer());
    else if (name == "OnDrawItem") OnDrawItem = context.Handler<TDrawItemEvent>(value.Text());
    else if (name == "OnMeasureItem") OnMeasureItem = context.Handler<TMeasureItemEvent>(value.Text());
    else return TWinControl::ReadProperty(name, value, context);
    return true;
}

#include "controls/ListBox.h"

#include "controls/WindowLines.h"
#include "runtime/Exception.h"

using runtime::UpdateBracket;

HWND TListBoxStrings::Window() const { return listBox_.Handle(); }

namespace {
using Lines = WindowLines<ListBoxMessages>;
}  // namespace

int32_t TListBoxStrings::LineCount() const { return Lines::Count(Window()); }

std::string TListBoxStrings::LineText(int32_t index) const { return Lines::Text(Window(), index); }

TLineData TListBoxStrings::LineData(int32_t index) const {
    TLineData data = listBox_.GetItemData(index);
    if (data == static_cast<TLineData>(LB_ERR)) throw EStringListError(Msg::SListIndexError, index);
    return data;
}

void TListBoxStrings::SetLineData(int32_t index, TLineData data) { listBox_.SetItemData(index, data); }

int32_t TListBoxStrings::AppendLine(std::string_view text) { return Lines::Append(Window(), text); }

void TListBoxStrings::InsertLine(int32_t index, std::string_view text) { Lines::Insert(Window(), index, text); }

void TListBoxStrings::RemoveLine(int32_t index) { listBox_.DeleteString(index); }

void TListBoxStrings::RemoveAll() { listBox_.ResetContent(); }

int32_t TListBoxStrings::FindLine(std::string_view text) const { return Lines::FindExact(Window(), text); }

void TListBoxStrings::ReplaceLine(int32_t index, std::string_view text) {
    int32_t selected = listBox_.ItemIndex();
    TLineData data = listBox_.InternalGetItemData(index);
    listBox_.InternalSetItemData(index, 0);
    RemoveLine(index);
    // By position, so the line comes back to its index whether or not the list is sorted.
    InsertLineData(index, text, 0);
    listBox_.InternalSetItemData(index, data);
    listBox_.SetItemIndex(selected);
}

void TListBoxStrings::SwapLines(int32_t index1, int32_t index2) {
    UpdateBracket bracket(*this);
    // Both lines are read before anything changes, so an index out of range leaves the list as it was.
    std::string text1 = LineText(index1);
    TLineData data1 = LineData(index1);
    std::string text2 = LineText(index2);
    TLineData data2 = LineData(index2);
    if (index1 == index2) return;
    int32_t selected = listBox_.ItemIndex();
    // Each line is put back by position, so a sorted list is not re-sorted. This is ReplaceLine twice without its
    // reading and restoring of the selection in between: a shuffle makes ten exchanges a line, and every message
    // counts.
    auto replace = [this](int32_t index, const std::string& text, TLineData data) {
        RemoveLine(index);
        InsertLine(index, text);
        listBox_.InternalSetItemData(index, data);
    };
    replace(index1, text2, data2);
    replace(index2, text1, data1);
    listBox_.SetItemIndex(selected == index1 ? index2 : selected == index2 ? index1 : selected);
}

void TListBoxStrings::MoveLine(int32_t from, int32_t to) {
    UpdateBracket bracket(*this);
    if (from == to) return;
    std::string text = LineText(from);
    TLineData data = listBox_.InternalGetItemData(from);
    listBox_.InternalSetItemData(from, 0);
    RemoveLine(from);
    InsertLine(to, text);
    listBox_.InternalSetItemData(to, data);
}

void TListBoxStrings::UpdateStateChanged(bool updating) {
    HWND window = Window();
    SendMessageA(window, WM_SETREDRAW, updating ? FALSE : TRUE, 0);
    if (!updating) listBox_.Repaint();
}

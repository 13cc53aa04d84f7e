#include <algorithm>

#include "runtime/Exception.h"
#include "runtime/Strings.h"

void TStringList::CheckIndex(int32_t index, int32_t count) const {
    if (index < 0 || index >= count) throw EStringListError(Msg::SListIndexError, index);
}

void TStringList::CheckUnsorted() const {
    if (sorted_) throw EStringListError(Msg::SSortedListError);
}

size_t TStringList::SortedPlace(std::string_view text, bool& found) const {
    auto after = std::upper_bound(lines_.begin(), lines_.end(), text, [](std::string_view value, const Line& line) {
        return CompareLines(value, line.text) < 0;
    });
    found = after != lines_.begin() && CompareLines((after - 1)->text, text) == 0;
    return static_cast<size_t>(after - lines_.begin());
}

int32_t TStringList::AddSorted(std::string_view text, TLineData data) {
    bool found = false;
    size_t place = SortedPlace(text, found);
    if (found && duplicates_ == TDuplicates::Ignore) return static_cast<int32_t>(place - 1);
    if (found && duplicates_ == TDuplicates::Reject) throw EStringListError(Msg::SDuplicateLine);
    lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(place), Line{std::string(text), data});
    return static_cast<int32_t>(place);
}

std::string TStringList::LineText(int32_t index) const {
    CheckIndex(index, LineCount());
    return lines_[static_cast<size_t>(index)].text;
}

int32_t TStringList::LineCount() const { return static_cast<int32_t>(lines_.size()); }

TLineData TStringList::LineData(int32_t index) const {
    CheckIndex(index, LineCount());
    return lines_[static_cast<size_t>(index)].data;
}

void TStringList::ReplaceLine(int32_t index, std::string_view text) {
    CheckIndex(index, LineCount());
    auto position = lines_.begin() + index;
    if (!sorted_) {
        position->text = text;
        return;
    }
    Line old = std::move(*position);
    lines_.erase(position);
    try {
        AddSorted(text, old.data);
    } catch (...) {
        lines_.insert(lines_.begin() + index, std::move(old));
        throw;
    }
}

void TStringList::SetLineData(int32_t index, TLineData data) {
    CheckIndex(index, LineCount());
    lines_[static_cast<size_t>(index)].data = data;
}

int32_t TStringList::AppendLine(std::string_view text) { return AppendLineData(text, 0); }

int32_t TStringList::AppendLineData(std::string_view text, TLineData data) {
    if (sorted_) return AddSorted(text, data);
    lines_.push_back(Line{std::string(text), data});
    return LineCount() - 1;
}

void TStringList::RemoveAll() { lines_.clear(); }

void TStringList::RemoveLine(int32_t index) {
    CheckIndex(index, LineCount());
    lines_.erase(lines_.begin() + index);
}

void TStringList::SwapLines(int32_t index1, int32_t index2) {
    CheckIndex(index1, LineCount());
    CheckIndex(index2, LineCount());
    CheckUnsorted();
    std::swap(lines_[static_cast<size_t>(index1)], lines_[static_cast<size_t>(index2)]);
}

int32_t TStringList::FindLine(std::string_view text) const {
    if (!sorted_) return TStrings::FindLine(text);
    auto first = std::lower_bound(lines_.begin(), lines_.end(), text, [](const Line& line, std::string_view value) {
        return CompareLines(line.text, value) < 0;
    });
    if (first == lines_.end() || CompareLines(first->text, text) != 0) return -1;
    return static_cast<int32_t>(first - lines_.begin());
}

void TStringList::InsertLine(int32_t index, std::string_view text) {
    CheckIndex(index, LineCount() + 1);
    CheckUnsorted();
    lines_.insert(lines_.begin() + index, Line{std::string(text), 0});
}

void TStringList::MoveLine(int32_t from, int32_t to) {
    CheckIndex(from, LineCount());
    CheckIndex(to, LineCount());
    CheckUnsorted();
    auto first = lines_.begin();
    if (from < to) std::rotate(first + from, first + from + 1, first + to + 1);
    else std::rotate(first + to, first + from, first + from + 1);
}

void TStringList::SetSorted(bool value) {
    if (sorted_ == value) return;
    sorted_ = value;
    if (sorted_)
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const Line& a, const Line& b) { return CompareLines(a.text, b.text) < 0; });
}

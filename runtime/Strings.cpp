#include "runtime/Strings.h"

#include <cassert>

#include "platform/win32.h"
#include "runtime/Exception.h"

using runtime::UpdateBracket;

int TStrings::CompareLines(std::string_view a, std::string_view b) {
    // An empty view may have no address at all, which the platform refuses.
    const char* textA = a.empty() ? "" : a.data();
    const char* textB = b.empty() ? "" : b.data();
    int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, textA, static_cast<int>(a.size()), textB,
                                static_cast<int>(b.size()));
    return result == CSTR_LESS_THAN ? -1 : result == CSTR_GREATER_THAN ? 1 : 0;
}

void TStrings::CopyLinesFrom(const TObject* source) {
    const auto* lines = dynamic_cast<const TStrings*>(source);
    if (!lines) throw EConvertError(Msg::SAssignError, source ? source->ClassName() : "nil", ClassName());
    // Emptying first would lose the very lines to be copied.
    if (lines == this) return;
    UpdateBracket bracket(*this);
    RemoveAll();
    AppendAll(*lines);
}

void TStrings::ReplaceLine(int32_t index, std::string_view text) {
    UpdateBracket bracket(*this);
    TLineData data = LineData(index);
    RemoveLine(index);
    InsertLineData(index, text, data);
}

void TStrings::UpdateStateChanged(bool) {}

int32_t TStrings::AppendLine(std::string_view text) {
    int32_t index = LineCount();
    InsertLine(index, text);
    return index;
}

int32_t TStrings::AppendLineData(std::string_view text, TLineData data) {
    int32_t index = AppendLine(text);
    SetLineData(index, data);
    return index;
}

void TStrings::AppendAll(const TStrings& source) {
    UpdateBracket bracket(*this);
    if (&source == this) {
        // The list grows while it is read; take the lines as they are now.
        std::vector<std::pair<std::string, TLineData>> copy;
        for (int32_t i = 0, count = LineCount(); i < count; ++i) copy.emplace_back(LineText(i), LineData(i));
        for (const auto& [text, data] : copy) AppendLineData(text, data);
        return;
    }
    for (int32_t i = 0, count = source.LineCount(); i < count; ++i)
        AppendLineData(source.LineText(i), source.LineData(i));
}

void TStrings::SwapLines(int32_t index1, int32_t index2) {
    UpdateBracket bracket(*this);
    std::string text1 = LineText(index1);
    TLineData data1 = LineData(index1);
    std::string text2 = LineText(index2);
    TLineData data2 = LineData(index2);
    ReplaceLine(index1, text2);
    SetLineData(index1, data2);
    ReplaceLine(index2, text1);
    SetLineData(index2, data1);
}

int32_t TStrings::FindLine(std::string_view text) const {
    for (int32_t i = 0, count = LineCount(); i < count; ++i)
        if (CompareLines(LineText(i), text) == 0) return i;
    return -1;
}

void TStrings::MoveLine(int32_t from, int32_t to) {
    if (from == to) return;
    UpdateBracket bracket(*this);
    std::string text = LineText(from);
    TLineData data = LineData(from);
    RemoveLine(from);
    InsertLineData(to, text, data);
}

void TStrings::InsertLineData(int32_t index, std::string_view text, TLineData data) {
    InsertLine(index, text);
    SetLineData(index, data);
}

void TStrings::OpenUpdate() {
    if (updateCount_++ == 0) UpdateStateChanged(true);
}

void TStrings::CloseUpdate() {
    assert(updateCount_ > 0 && "CloseUpdate without OpenUpdate");
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) UpdateStateChanged(false);
}

int32_t TStrings::IndexOfKey(std::string_view key) const {
    for (int32_t i = 0, count = LineCount(); i < count; ++i) {
        std::string line = LineText(i);
        size_t equals = line.find('=');
        if (equals != std::string::npos && CompareLines(std::string_view(line).substr(0, equals), key) == 0)
            return i;
    }
    return -1;
}

std::string TStrings::KeyValue(std::string_view key) const {
    int32_t index = IndexOfKey(key);
    if (index < 0) return {};
    std::string line = LineText(index);
    return line.substr(line.find('=') + 1);
}

void TStrings::SetKeyValue(std::string_view key, std::string_view value) {
    int32_t index = IndexOfKey(key);
    if (value.empty()) {
        if (index >= 0) RemoveLine(index);
        return;
    }
    std::string line = std::string(key) + "=" + std::string(value);
    if (index >= 0) ReplaceLine(index, line);
    else AppendLine(line);
}

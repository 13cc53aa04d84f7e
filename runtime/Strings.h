#pragma once
// TStrings, the abstract list of text lines that every list in the program offers (a list box's Items among
// them), and TStringList, the list that keeps its lines in memory.
//
// Every line carries one data value beside its text. It is pointer sized: lines refer to glyph bitmaps, which do
// not fit 32 bits here. A list copies data values; it never owns or frees what they refer to.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/Object.h"

using TLineData = intptr_t;

class TStrings : public TObject {
  public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;

    // Replaces all lines by those of source, inside one update bracket. A source that is not a string list (or
    // none) raises EConvertError and leaves the list as it was; copying a list into itself changes nothing.
    virtual void CopyLinesFrom(const TObject* source);
    virtual std::string LineText(int32_t index) const = 0;
    virtual int32_t LineCount() const = 0;
    // Every list keeps its lines' data values: a base that dropped them would lose a line's data in SwapLines,
    // ReplaceLine and CopyLinesFrom without a word.
    virtual TLineData LineData(int32_t index) const = 0;
    virtual void ReplaceLine(int32_t index, std::string_view text);
    virtual void SetLineData(int32_t index, TLineData data) = 0;
    // Called when the outermost update bracket opens (true) and when it closes (false).
    virtual void UpdateStateChanged(bool updating);
    // Adds a line and returns the index where it was placed.
    virtual int32_t AppendLine(std::string_view text);
    virtual int32_t AppendLineData(std::string_view text, TLineData data);
    virtual void AppendAll(const TStrings& source);
    virtual void RemoveAll() = 0;
    virtual void RemoveLine(int32_t index) = 0;
    virtual void SwapLines(int32_t index1, int32_t index2);
    // The index of the first line equal to text ignoring letter case, or -1.
    virtual int32_t FindLine(std::string_view text) const;
    virtual void InsertLine(int32_t index, std::string_view text) = 0;
    virtual void MoveLine(int32_t from, int32_t to);

    void InsertLineData(int32_t index, std::string_view text, TLineData data);

    // Brackets nest; only the outermost pair calls UpdateStateChanged, so a list redraws once per batch.
    void OpenUpdate();
    void CloseUpdate();
    bool Updating() const { return updateCount_ > 0; }

    // Lines of the form "key=value". A key matches ignoring letter case; the key of a line is the text before its
    // first "=", so a line without "=" has no key.
    int32_t IndexOfKey(std::string_view key) const;
    // The value of key's line, empty when there is none.
    std::string KeyValue(std::string_view key) const;
    // Replaces key's line, adds one at the end when there is none, and removes it when value is empty.
    void SetKeyValue(std::string_view key, std::string_view value);

    // -1, 0 or 1: the locale's order ignoring letter case, which every list uses for searching and sorting.
    static int CompareLines(std::string_view a, std::string_view b);

  private:
    int32_t updateCount_ = 0;
};

namespace runtime {

// Holds a list's update bracket open for a scope, closing it on every way out.
class UpdateBracket {
  public:
    explicit UpdateBracket(TStrings& strings) : strings_(strings) { strings_.OpenUpdate(); }
    ~UpdateBracket() { strings_.CloseUpdate(); }
    UpdateBracket(const UpdateBracket&) = delete;
    UpdateBracket& operator=(const UpdateBracket&) = delete;

  private:
    TStrings& strings_;
};

}  // namespace runtime

// What a sorted TStringList does with a line equal (ignoring letter case) to one it already holds. An unsorted
// list takes every line.
enum class TDuplicates { Accept, Ignore, Reject };

// Lines kept in memory. While Sorted, lines stay in the locale's order ignoring letter case: AppendLine puts a
// line in its place (after lines equal to it), FindLine searches by halves, and operations that place lines by
// index (InsertLine, SwapLines, MoveLine) raise EStringListError; ReplaceLine moves the new text to its place.
// An index outside the lines raises EStringListError with the index in its message.
class TStringList : public TStrings {
  public:
    std::string LineText(int32_t index) const override;
    int32_t LineCount() const override;
    TLineData LineData(int32_t index) const override;
    void ReplaceLine(int32_t index, std::string_view text) override;
    void SetLineData(int32_t index, TLineData data) override;
    int32_t AppendLine(std::string_view text) override;
    // A line dropped as a duplicate leaves the data of the line it duplicates alone.
    int32_t AppendLineData(std::string_view text, TLineData data) override;
    void RemoveAll() override;
    void RemoveLine(int32_t index) override;
    void SwapLines(int32_t index1, int32_t index2) override;
    int32_t FindLine(std::string_view text) const override;
    void InsertLine(int32_t index, std::string_view text) override;
    void MoveLine(int32_t from, int32_t to) override;

    bool Sorted() const { return sorted_; }
    // Turning sorting on sorts the lines already held; duplicates among them stay.
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates value) { duplicates_ = value; }

  private:
    struct Line {
        std::string text;
        TLineData data = 0;
    };

    void CheckIndex(int32_t index, int32_t count) const;
    void CheckUnsorted() const;
    // Where text goes in the sorted lines (after its equals), and whether an equal line is there.
    size_t SortedPlace(std::string_view text, bool& found) const;
    // Adds a line in its sorted place under the duplicates rule; a dropped line gives its equal's index.
    int32_t AddSorted(std::string_view text, TLineData data);

    std::vector<Line> lines_;
    bool sorted_ = false;
    TDuplicates duplicates_ = TDuplicates::Ignore;
};

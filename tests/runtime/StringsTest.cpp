#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Exception.h"
#include "runtime/Strings.h"

namespace {

using Texts = std::vector<std::string>;

// A list that supplies only the operations TStrings leaves abstract (plus data values), as a control's item list
// does, and records what reaches it, so the shared operations are seen working through the virtual slots.
class TRecordingStrings : public TStrings {
  public:
    std::string LineText(int32_t index) const override { return lines_.at(static_cast<size_t>(index)).first; }
    int32_t LineCount() const override { return static_cast<int32_t>(lines_.size()); }
    TLineData LineData(int32_t index) const override { return lines_.at(static_cast<size_t>(index)).second; }
    void SetLineData(int32_t index, TLineData data) override { lines_.at(static_cast<size_t>(index)).second = data; }
    void RemoveAll() override {
        lines_.clear();
        log.push_back("clear");
    }
    void RemoveLine(int32_t index) override { lines_.erase(lines_.begin() + index); }
    void InsertLine(int32_t index, std::string_view text) override {
        lines_.insert(lines_.begin() + index, {std::string(text), 0});
    }
    void UpdateStateChanged(bool updating) override { log.push_back(updating ? "open" : "close"); }

    Texts Lines() const {
        Texts texts;
        for (const auto& line : lines_) texts.push_back(line.first);
        return texts;
    }

    std::vector<std::string> log;

  private:
    std::vector<std::pair<std::string, TLineData>> lines_;
};

class TNotAList : public TObject {};

TEST(Strings, UpdateBracketReportsOnlyTheOutermostPair) {
    TRecordingStrings strings;
    strings.OpenUpdate();
    strings.OpenUpdate();
    EXPECT_TRUE(strings.Updating());
    strings.CloseUpdate();
    EXPECT_EQ(strings.log, (Texts{"open"}));
    strings.CloseUpdate();
    EXPECT_FALSE(strings.Updating());
    EXPECT_EQ(strings.log, (Texts{"open", "close"}));
}

TEST(Strings, CopyLinesFromReplacesAllLinesInOneBracket) {
    TStringList source;
    source.AppendLineData("b", 2);
    source.AppendLineData("a", 1);
    TRecordingStrings target;
    target.AppendLine("old");
    target.log.clear();
    target.CopyLinesFrom(&source);
    EXPECT_EQ(target.Lines(), (Texts{"b", "a"}));
    EXPECT_EQ(target.LineData(1), 1);
    EXPECT_EQ(target.log, (Texts{"open", "clear", "close"}));

    TStringList empty;
    target.CopyLinesFrom(&empty);
    EXPECT_EQ(target.LineCount(), 0);

    source.CopyLinesFrom(&source);
    EXPECT_EQ(source.LineCount(), 2) << "copying a list into itself keeps its lines";
}

TEST(Strings, CopyLinesFromRefusesWhatIsNotAList) {
    TStringList list;
    list.AppendLine("kept");
    TNotAList other;
    try {
        list.CopyLinesFrom(&other);
        FAIL() << "no error raised";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "TNotAList を TStringList に代入することはできません");
    }
    try {
        list.CopyLinesFrom(nullptr);
        FAIL() << "no error raised";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "nil を TStringList に代入することはできません");
    }
    EXPECT_EQ(list.LineCount(), 1);
    EXPECT_EQ(list.LineText(0), "kept");
}

TEST(Strings, SharedOperationsWorkThroughTheAbstractOnes) {
    TRecordingStrings strings;
    EXPECT_EQ(strings.AppendLineData("a", 10), 0);
    EXPECT_EQ(strings.AppendLineData("b", 20), 1);
    EXPECT_EQ(strings.AppendLineData("c", 30), 2);
    strings.log.clear();

    strings.SwapLines(0, 2);
    EXPECT_EQ(strings.Lines(), (Texts{"c", "b", "a"}));
    EXPECT_EQ(strings.LineData(0), 30);
    EXPECT_EQ(strings.LineData(2), 10);
    EXPECT_EQ(strings.log, (Texts{"open", "close"})) << "one bracket around the whole exchange";

    strings.SwapLines(1, 1);
    EXPECT_EQ(strings.Lines(), (Texts{"c", "b", "a"}));

    strings.MoveLine(0, 2);
    EXPECT_EQ(strings.Lines(), (Texts{"b", "a", "c"}));
    EXPECT_EQ(strings.LineData(2), 30);

    strings.ReplaceLine(1, "A");
    EXPECT_EQ(strings.Lines(), (Texts{"b", "A", "c"}));
    EXPECT_EQ(strings.LineData(1), 10) << "a replaced line keeps its data";

    EXPECT_EQ(strings.FindLine("C"), 2);
    EXPECT_EQ(strings.FindLine("x"), -1);

    strings.AppendAll(strings);
    EXPECT_EQ(strings.Lines(), (Texts{"b", "A", "c", "b", "A", "c"})) << "appending a list to itself ends";
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/Exception.h"
#include "runtime/Strings.h"

namespace {

std::vector<std::string> Lines(const TStrings& strings) {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < strings.LineCount(); ++i) lines.push_back(strings.LineText(i));
    return lines;
}

using Texts = std::vector<std::string>;

TEST(StringList, SortedListPutsEachLineInItsPlaceIgnoringCase) {
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.AppendLine("b"), 0);
    EXPECT_EQ(list.AppendLine("C"), 1);
    EXPECT_EQ(list.AppendLine("a"), 0);
    EXPECT_EQ(list.AppendLine("Ab"), 1);
    EXPECT_EQ(list.AppendLine("10"), 0) << "digits sort before letters";
    EXPECT_EQ(Lines(list), (Texts{"10", "a", "Ab", "b", "C"}));
    EXPECT_EQ(list.FindLine("AB"), 2);
    EXPECT_EQ(list.FindLine("c"), 4);
    EXPECT_EQ(list.FindLine("d"), -1);
    EXPECT_EQ(list.FindLine(""), -1);
}

TEST(StringList, DuplicatesFollowThePolicyOfASortedList) {
    TStringList ignoring;
    ignoring.SetSorted(true);
    ignoring.AppendLineData("Music", 1);
    EXPECT_EQ(ignoring.AppendLineData("MUSIC", 2), 0) << "a dropped line gives its equal's index";
    EXPECT_EQ(Lines(ignoring), (Texts{"Music"}));
    EXPECT_EQ(ignoring.LineData(0), 1) << "the dropped line's data does not overwrite the kept line's";

    TStringList accepting;
    accepting.SetSorted(true);
    accepting.SetDuplicates(TDuplicates::Accept);
    accepting.AppendLine("b");
    accepting.AppendLine("a");
    EXPECT_EQ(accepting.AppendLine("A"), 1) << "after the lines equal to it";
    EXPECT_EQ(Lines(accepting), (Texts{"a", "A", "b"}));
    EXPECT_EQ(accepting.FindLine("A"), 0) << "the first of equal lines";

    TStringList rejecting;
    rejecting.SetSorted(true);
    rejecting.SetDuplicates(TDuplicates::Reject);
    rejecting.AppendLine("a");
    EXPECT_THROW(rejecting.AppendLine("A"), EStringListError);
    EXPECT_EQ(Lines(rejecting), (Texts{"a"}));

    TStringList unsorted;
    unsorted.AppendLine("a");
    unsorted.AppendLine("a");
    EXPECT_EQ(unsorted.LineCount(), 2) << "an unsorted list takes every line";
}

TEST(StringList, SortingOnSortsLinesAlreadyThereAndOffKeepsTheirOrder) {
    TStringList list;
    for (const char* text : {"c", "B", "a"}) list.AppendLineData(text, text[0]);
    list.SetSorted(true);
    EXPECT_EQ(Lines(list), (Texts{"a", "B", "c"}));
    EXPECT_EQ(list.LineData(1), 'B') << "data travels with its line";
    list.SetSorted(false);
    list.AppendLine("0");
    EXPECT_EQ(Lines(list), (Texts{"a", "B", "c", "0"})) << "unsorted lines go to the end";
}

TEST(StringList, PlacingByIndexIsRefusedWhileSorted) {
    TStringList list;
    list.SetSorted(true);
    list.AppendLine("a");
    list.AppendLine("b");
    EXPECT_THROW(list.InsertLine(0, "z"), EStringListError);
    EXPECT_THROW(list.SwapLines(0, 1), EStringListError);
    EXPECT_THROW(list.MoveLine(0, 1), EStringListError);
    EXPECT_EQ(Lines(list), (Texts{"a", "b"}));
    list.ReplaceLine(0, "c");
    EXPECT_EQ(Lines(list), (Texts{"b", "c"})) << "a replaced line moves to its sorted place";
}

TEST(StringList, IndexOutsideTheLinesRaisesWithTheIndex) {
    TStringList list;
    for (const char* text : {"a", "b", "c", "d", "e"}) list.AppendLine(text);
    try {
        list.LineText(5);
        FAIL() << "no error raised";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "リストのインデックスが範囲を超えています (5)");
    }
    EXPECT_THROW(list.LineText(-1), EStringListError);
    EXPECT_THROW(list.SwapLines(0, 5), EStringListError);
    EXPECT_THROW(list.InsertLine(6, "x"), EStringListError);
    EXPECT_EQ(Lines(list), (Texts{"a", "b", "c", "d", "e"}));
}

TEST(StringList, LinesCarryPointerSizedData) {
    TStringList list;
    int glyph = 0;
    auto data = reinterpret_cast<TLineData>(&glyph);
    list.AppendLineData("folder", data);
    list.InsertLineData(0, "drive", -1);
    list.InsertLine(2, "end");
    list.MoveLine(0, 2);
    EXPECT_EQ(Lines(list), (Texts{"folder", "end", "drive"}));
    EXPECT_EQ(list.LineData(0), data);
    EXPECT_EQ(list.LineData(2), -1);
}

TEST(StringList, KeyLinesAreFoundIgnoringCaseAndSetInPlace) {
    TStringList list;
    list.AppendLine("comment");
    list.AppendLine("Left=10");
    list.AppendLine("Top=20=x");
    EXPECT_EQ(list.IndexOfKey("left"), 1);
    EXPECT_EQ(list.IndexOfKey("comment"), -1) << "a line without = has no key";
    EXPECT_EQ(list.KeyValue("TOP"), "20=x");
    EXPECT_EQ(list.KeyValue("Width"), "");
    list.SetKeyValue("left", "15");
    list.SetKeyValue("Width", "300");
    list.SetKeyValue("Top", "");
    EXPECT_EQ(Lines(list), (Texts{"comment", "left=15", "Width=300"}));
}

}  // namespace

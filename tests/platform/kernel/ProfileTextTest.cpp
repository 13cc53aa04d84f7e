#include "platform/kernel/ProfileText.h"

#include <gtest/gtest.h>

#include <vector>

using platform::kernel::ProfileText;
using namespace std::string_literals;
using WriteResult = ProfileText::WriteResult;

namespace {

std::string ValueOr(const ProfileText& text, std::string_view section, std::string_view key) {
    auto value = text.Value(section, key);
    return value ? std::string(*value) : "(none)";
}

std::vector<std::string> SectionNames(const ProfileText& text) {
    std::vector<std::string> names;
    text.VisitSectionNames([&](std::string_view name) {
        names.emplace_back(name);
        return true;
    });
    return names;
}

std::vector<std::string> KeyNames(const ProfileText& text, std::string_view section) {
    std::vector<std::string> names;
    text.VisitKeyNames(section, [&](std::string_view name) {
        names.emplace_back(name);
        return true;
    });
    return names;
}

// GetString's buffer as bytes: the count it returns, then as many further bytes as the list forms promise.
std::string Get(const ProfileText& text, const char* app, const char* key, const char* fallback, DWORD size) {
    std::string buffer(size + 1, '#');
    DWORD count = text.GetString(app, key, fallback, buffer.data(), size);
    return std::string(buffer.data(), std::min<size_t>(count + 2, size)) + "|" + std::to_string(count);
}

std::string Set(std::string bytes, const char* app, const char* key, const char* value) {
    ProfileText text(std::move(bytes));
    text.Write(app, key, value);
    return text.Bytes();
}

}  // namespace

TEST(ProfileText, SectionAndKeyNamesMatchIgnoringCaseAndBlanks) {
    ProfileText text("[Play]\nStyle=2\n[  Main Window\t]\n  Top  =5\n[Café]\nKÉY=é\n[設定]\nキー=値\n");
    EXPECT_EQ(ValueOr(text, "play", "STYLE"), "2");
    EXPECT_EQ(ValueOr(text, " Play ", "\tstyle "), "2");
    EXPECT_EQ(ValueOr(text, "main window", "top"), "5");
    EXPECT_EQ(ValueOr(text, "CAFÉ", "kéy"), "é");
    EXPECT_EQ(ValueOr(text, "設定", "キー"), "値");
    EXPECT_EQ(ValueOr(text, "Pla", "Style"), "(none)");
    EXPECT_EQ(ValueOr(text, "Play", "Styles"), "(none)");
    EXPECT_EQ(ValueOr(text, "MainWindow", "Top"), "(none)");  // blanks inside a name are part of it
}

TEST(ProfileText, ValuesLoseSurroundingBlanksAndMatchingQuotes) {
    ProfileText text(
        "[S]\nplain =  x y  \t\ndouble=\"q\"\nsingle='q'\nmixed=\"q'\nlone=\"\nempty=\nquoted=  \"  padded  \"  \n"
        "spaced key = v\nequals=a=b\n");
    EXPECT_EQ(ValueOr(text, "S", "plain"), "x y");
    EXPECT_EQ(ValueOr(text, "S", "double"), "q");
    EXPECT_EQ(ValueOr(text, "S", "single"), "q");
    EXPECT_EQ(ValueOr(text, "S", "mixed"), "\"q'");
    EXPECT_EQ(ValueOr(text, "S", "lone"), "\"");
    EXPECT_EQ(ValueOr(text, "S", "empty"), "");
    EXPECT_EQ(ValueOr(text, "S", "quoted"), "  padded  ");
    EXPECT_EQ(ValueOr(text, "S", "spaced key"), "v");
    EXPECT_EQ(ValueOr(text, "S", "equals"), "a=b");
}

TEST(ProfileText, CommentsTextWithoutEqualsAndKeysOutsideSectionsAreNeverKeys) {
    ProfileText text("loose=1\n[S]\n;k=2\n  ; j=3\nnoequals\n=5\n  =6\nk=7\n[]\nhidden=8\n");
    EXPECT_EQ(ValueOr(text, "S", ";k"), "(none)");
    EXPECT_EQ(ValueOr(text, "S", "; j"), "(none)");
    EXPECT_EQ(ValueOr(text, "S", "noequals"), "(none)");
    EXPECT_EQ(ValueOr(text, "", "loose"), "(none)");
    EXPECT_EQ(ValueOr(text, "", "hidden"), "(none)");
    EXPECT_EQ(KeyNames(text, "S"), std::vector<std::string>{"k"});  // "[]" starts a section of its own
    EXPECT_EQ(SectionNames(text), std::vector<std::string>{"S"});
}

TEST(ProfileText, HeadersEndAtTheLastBracket) {
    ProfileText text("[a]b] trailing text\nk=1\n[open\nk=2\n  [ spaced ]  \nk=3\n");
    EXPECT_EQ(SectionNames(text), (std::vector<std::string>{"a]b", "open", "spaced"}));
    EXPECT_EQ(ValueOr(text, "a]b", "k"), "1");
    EXPECT_EQ(ValueOr(text, "open", "k"), "2");
    EXPECT_EQ(ValueOr(text, "spaced", "k"), "3");
}

TEST(ProfileText, TheFirstOfDuplicateSectionsAndKeysWins) {
    ProfileText text("[S]\na=1\nA=2\n[s]\na=3\nb=4\n");
    EXPECT_EQ(ValueOr(text, "S", "a"), "1");
    EXPECT_EQ(ValueOr(text, "S", "b"), "(none)");
    EXPECT_EQ(KeyNames(text, "s"), (std::vector<std::string>{"a", "A"}));
    EXPECT_EQ(SectionNames(text), (std::vector<std::string>{"S", "s"}));
    EXPECT_EQ(Set(text.Bytes(), "s", "A", "9"), "[S]\na=9\nA=2\n[s]\na=3\nb=4\n");
    EXPECT_EQ(Set(text.Bytes(), "s", "b", "9"), "[S]\na=1\nA=2\nb=9\n[s]\na=3\nb=4\n");
}

TEST(ProfileText, OddFilesReadWithoutHarm) {
    EXPECT_EQ(ValueOr(ProfileText("[S]\r\na = 1 \r\nb=2"), "S", "a"), "1");
    EXPECT_EQ(ValueOr(ProfileText("[S]\r\na = 1 \r\nb=2"), "S", "b"), "2");  // no final line end
    EXPECT_EQ(ValueOr(ProfileText("\xEF\xBB\xBF[S]\nk=v\n"), "S", "k"), "v");
    EXPECT_EQ(ValueOr(ProfileText("[S]\nk=v\r\r\n"), "S", "k"), "v");  // a stray CR is a blank
    ProfileText binary("[S]\nk=a\0b\nz=\xFF\xFE\n"s);
    EXPECT_EQ(ValueOr(binary, "S", "k"), "a\0b"s);
    EXPECT_EQ(ValueOr(binary, "S", "z"), "\xFF\xFE");
    EXPECT_EQ(ValueOr(ProfileText("\xEF\xBB[S]\nk=v\n"), "S", "k"), "(none)");  // half a mark is text

    std::string longValue(1 << 20, 'x');
    ProfileText longLine("[S]\nk=" + longValue + "\nafter=1");
    EXPECT_EQ(ValueOr(longLine, "S", "k"), longValue);
    EXPECT_EQ(ValueOr(longLine, "S", "after"), "1");
}

TEST(ProfileText, ValuesAreCutToTheBufferAndMissingOnesGiveTheDefault) {
    // "#" marks a byte that the call left alone.
    ProfileText text("[S]\nk=hello\n");
    EXPECT_EQ(Get(text, "S", "k", "d", 64), "hello\0#|5"s);
    EXPECT_EQ(Get(text, "S", "k", "d", 4), "hel\0|3"s);
    EXPECT_EQ(Get(text, "S", "k", "d", 1), "\0|0"s);
    EXPECT_EQ(Get(text, "S", "missing", "def  \t", 64), "def\0#|3"s);
    EXPECT_EQ(Get(text, "T", "k", "  lead", 64), "  lead\0#|6"s);
    EXPECT_EQ(Get(text, "S", "missing", nullptr, 64), "\0#|0"s);
    EXPECT_EQ(Get(text, "S", "missing", "default", 4), "def\0|3"s);

    char untouched = '#';
    EXPECT_EQ(text.GetString("S", "k", "d", &untouched, 0), 0u);
    EXPECT_EQ(untouched, '#');
}

TEST(ProfileText, NameListsEndInTwoZerosAndAreCutWithSizeMinusTwo) {
    ProfileText text("[A]\nx=1\nyy=2\n[BB]\n[ ]\n[C]\n");
    EXPECT_EQ(Get(text, nullptr, "ignored", "d", 64), "A\0BB\0C\0\0#|7"s);
    EXPECT_EQ(Get(text, nullptr, nullptr, "d", 8), "A\0BB\0C\0\0|7"s);
    EXPECT_EQ(Get(text, nullptr, nullptr, "d", 7), "A\0BB\0\0\0|5"s);
    EXPECT_EQ(Get(text, nullptr, nullptr, "d", 5), "A\0B\0\0|3"s);
    EXPECT_EQ(Get(text, nullptr, nullptr, "d", 2), "\0\0|0"s);
    EXPECT_EQ(Get(text, nullptr, nullptr, "d", 1), "\0|0"s);
    EXPECT_EQ(Get(text, "a", nullptr, "d", 64), "x\0yy\0\0#|5"s);
    EXPECT_EQ(Get(text, "a", nullptr, "d", 5), "x\0y\0\0|3"s);
    EXPECT_EQ(Get(text, "BB", nullptr, "d", 64), "\0\0|0"s);
    EXPECT_EQ(Get(text, "missing", nullptr, "d", 64), "\0\0|0"s);
    EXPECT_EQ(Get(ProfileText(), nullptr, nullptr, "d", 64), "\0\0|0"s);
}

TEST(ProfileText, ChangingAValueKeepsEverythingElseOfTheFile) {
    std::string file = "\xEF\xBB\xBF; settings\r\n[Play]\r\nSTYLE = 1   \r\nRepeat=0\r\n\r\n[File]\r\nmask=*.mp3";
    EXPECT_EQ(Set(file, "play", "style", "2"),
              "\xEF\xBB\xBF; settings\r\n[Play]\r\nSTYLE = 2\r\nRepeat=0\r\n\r\n[File]\r\nmask=*.mp3");
    EXPECT_EQ(Set(file, "File", "Mask", "*.wav"),
              "\xEF\xBB\xBF; settings\r\n[Play]\r\nSTYLE = 1   \r\nRepeat=0\r\n\r\n[File]\r\nmask=*.wav");
    EXPECT_EQ(Set("[S]\nk=\nj=1\n", "S", "k", "v"), "[S]\nk=v\nj=1\n");
    EXPECT_EQ(Set("[S]\nk = old\n", "S", "k", ""), "[S]\nk =\n");
    EXPECT_EQ(Set("[S]\nk = old\n", "S", "k", " v "), "[S]\nk = v \n");  // and so again and again
}

TEST(ProfileText, NewKeysEndTheirSectionBeforeItsTrailingBlankLines) {
    EXPECT_EQ(Set("[A]\na=1\n; note\n\n\n[B]\nb=1\n", "a", "n", "v"), "[A]\na=1\n; note\nn=v\n\n\n[B]\nb=1\n");
    EXPECT_EQ(Set("[A]\n\n[B]\n", "A", "n", "v"), "[A]\nn=v\n\n[B]\n");
    EXPECT_EQ(Set("[A]\r\na=1", "A", "n", "v"), "[A]\r\na=1\r\nn=v\r\n");
    EXPECT_EQ(Set("[A]", "A", "n", "v"), "[A]\nn=v\n");
    EXPECT_EQ(Set("[A]\na=1\n  \t", "A", "n", "v"), "[A]\na=1\nn=v\n  \t");
}

TEST(ProfileText, NewSectionsGoAtTheEndAfterABlankLine) {
    EXPECT_EQ(Set("", " Play ", " Style ", "1"), "[Play]\nStyle=1\n");
    EXPECT_EQ(Set("\xEF\xBB\xBF", "S", "k", "v"), "\xEF\xBB\xBF[S]\nk=v\n");
    EXPECT_EQ(Set("[A]\na=1\n", "B", "k", "v"), "[A]\na=1\n\n[B]\nk=v\n");
    EXPECT_EQ(Set("[A]\na=1\n\n", "B", "k", "v"), "[A]\na=1\n\n[B]\nk=v\n");
    EXPECT_EQ(Set("[A]\r\na=1", "B", "k", "v"), "[A]\r\na=1\r\n\r\n[B]\r\nk=v\r\n");
    EXPECT_EQ(Set("loose=1\n", "B", "k", "  v  "), "loose=1\n\n[B]\nk=  v  \n");
}

TEST(ProfileText, RemovalsTakeOnlyTheirLines) {
    std::string file = "top\n[A]\na=1\n; about b\nb=2\nA=3\n\n[B]\na=1\n[a]\nc=4\n";
    ProfileText keys(file);
    EXPECT_TRUE(keys.RemoveKey("a", "A"));
    EXPECT_EQ(keys.Bytes(), "top\n[A]\n; about b\nb=2\n\n[B]\na=1\n[a]\nc=4\n");
    EXPECT_FALSE(keys.RemoveKey("A", "missing"));
    EXPECT_FALSE(keys.RemoveKey("missing", "b"));
    EXPECT_EQ(keys.Bytes(), "top\n[A]\n; about b\nb=2\n\n[B]\na=1\n[a]\nc=4\n");

    ProfileText sections(file);
    EXPECT_TRUE(sections.RemoveSection(" a "));
    EXPECT_EQ(sections.Bytes(), "top\n[B]\na=1\n");
    EXPECT_FALSE(sections.RemoveSection("missing"));
    EXPECT_EQ(sections.Bytes(), "top\n[B]\na=1\n");

    ProfileText marked("\xEF\xBB\xBF[A]\r\na=1\r\n");
    EXPECT_EQ(marked.Write("A", nullptr, nullptr), WriteResult::Changed);
    EXPECT_EQ(marked.Bytes(), "\xEF\xBB\xBF");
}

TEST(ProfileText, WritesThatWouldBreakTheFileAreRefused) {
    const std::string file = "[S]\nk=v\n";
    auto refused = [&](const char* app, const char* key, const char* value) {
        ProfileText text(file);
        return text.Write(app, key, value) == WriteResult::Refused && text.Bytes() == file &&
               !ProfileText::Accepts(app, key, value);
    };
    EXPECT_TRUE(refused("S", "k", "two\nlines"));
    EXPECT_TRUE(refused("S", "k", "two\r\nlines"));
    EXPECT_TRUE(refused("S", "k", "cr\r"));
    EXPECT_TRUE(refused("S", "a\nb", "v"));
    EXPECT_TRUE(refused("S", "a=b", "v"));
    EXPECT_TRUE(refused("S", " ;comment", "v"));
    EXPECT_TRUE(refused("S", "[header]", "v"));
    EXPECT_TRUE(refused("S", " \t", "v"));
    EXPECT_TRUE(refused("S", "", nullptr));
    EXPECT_TRUE(refused("a]b", "k", "v"));
    EXPECT_TRUE(refused("S\n", "k", "v"));
    EXPECT_TRUE(refused("  ", nullptr, nullptr));
    EXPECT_TRUE(refused(nullptr, "k", "v"));

    ProfileText text(file);
    EXPECT_EQ(text.Write("S", "missing", nullptr), WriteResult::Unchanged);
    EXPECT_EQ(text.Write("T", nullptr, nullptr), WriteResult::Unchanged);
    EXPECT_EQ(text.Write("S", "k", "v"), WriteResult::Changed);  // written even when equal
    EXPECT_EQ(text.Bytes(), file);
    EXPECT_EQ(text.Write("S", "a;b[c]", "x=y ; \"z\""), WriteResult::Changed);
    EXPECT_EQ(ValueOr(text, "S", "a;b[c]"), "x=y ; \"z\"");
}

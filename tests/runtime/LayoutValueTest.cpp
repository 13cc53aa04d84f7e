#include "runtime/LayoutValue.h"

#include <gtest/gtest.h>

#include "runtime/Exception.h"
#include "runtime/JsonReader.h"

namespace {

using Texts = std::vector<std::string>;

// The message of the error that reading text raises, or "no error".
std::string ParseError(std::string_view text) {
    try {
        TLayoutValue::Parse(text);
    } catch (const EConvertError& error) {
        return error.Message();
    }
    return "no error";
}

std::string Nested(int depth, std::string_view open, std::string_view inner, std::string_view close) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}

TEST(LayoutValue, ReadsEveryKindAndKeepsMembersInTheFilesOrder) {
    TLayoutValue value = TLayoutValue::Parse(
        "\xEF\xBB\xBF{ \"z\": -12, \"a\": [true, false, null], \"m\": { \"x\": \"y\" }, \"z\": 7, \"f\": 1.5 }");
    Texts names;
    for (const auto& [name, member] : value.Members()) names.push_back(name);
    EXPECT_EQ(names, (Texts{"z", "a", "m", "f"})) << "a repeated name keeps its first place";
    EXPECT_EQ(value.Member("z")->Integer(), 7) << "and takes its last value";
    std::vector<TLayoutValue> items = value.Member("a")->Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_TRUE(items[0].Boolean());
    EXPECT_FALSE(items[1].Boolean());
    EXPECT_FALSE(items[2].IsBoolean() || items[2].IsNumber() || items[2].IsText() || items[2].IsList());
    EXPECT_EQ(value.Member("m")->Member("x")->Text(), "y");
    EXPECT_FALSE(value.Member("missing").has_value());
    EXPECT_TRUE(value.Member("f")->IsNumber());
    EXPECT_THROW(value.Member("f")->Integer(), EConvertError) << "a fraction is no integer";
    EXPECT_THROW(value.Member("m")->Text(), EConvertError);
    EXPECT_THROW(items[0].Items(), EConvertError);
    EXPECT_THROW(value.Member("a")->Member("x"), EConvertError);
}

TEST(LayoutValue, PartsOutliveTheValueTheyCameFrom) {
    std::optional<TLayoutValue> caption;
    std::vector<TLayoutValue> items;
    {
        TLayoutValue layout = TLayoutValue::Parse(R"({ "properties": { "Caption": "再生" }, "items": [1, 2] })");
        caption = layout.Member("properties")->Member("Caption");
        items = layout.Member("items")->Items();
    }
    EXPECT_EQ(caption->Text(), "再生");
    EXPECT_EQ(items[1].Integer(), 2);
}

TEST(LayoutValue, IntegersAreWhole32BitNumbers) {
    EXPECT_EQ(TLayoutValue::Parse("-2147483648").Integer(), INT32_MIN);
    EXPECT_EQ(TLayoutValue::Parse("2147483647").Integer(), INT32_MAX);
    EXPECT_EQ(TLayoutValue::Parse("-0").Integer(), 0);
    for (const char* text : {"2147483648", "-2147483649", "18446744073709551615", "99999999999999999999999", "1e2",
                             "1.0", "1E400", "\"12\"", "true"})
        EXPECT_THROW(TLayoutValue::Parse(text).Integer(), EConvertError) << text;
}

TEST(LayoutValue, EscapesBecomeUtf8) {
    EXPECT_EQ(TLayoutValue::Parse(R"("\"\\\/\b\f\n\r\t")").Text(), "\"\\/\b\f\n\r\t");
    EXPECT_EQ(TLayoutValue::Parse(R"("\u0041\u00e9\u3042\uD83C\uDFB5")").Text(), "A\u00e9\u3042\U0001F3B5");
    EXPECT_EQ(TLayoutValue::Parse(R"("a\u0000b")").Text(), std::string("a\0b", 3));
    EXPECT_EQ(TLayoutValue::Parse("\"ＭＳ Ｐゴシック\"").Text(), "ＭＳ Ｐゴシック");
}

TEST(LayoutValue, MalformedTextIsRefusedWithItsPlace) {
    EXPECT_EQ(ParseError("{\n  \"a\": tru }"), "レイアウトを読めません: parse error at line 2, column 8: expected a value");
    EXPECT_EQ(ParseError("[1, 2"),
              "レイアウトを読めません: parse error at line 1, column 6: unexpected end of text; expected ',' or ']'");
    const std::string faults[] = {
        "", "  ", "{", "[", "[1,]", "{\"a\":1,}", "{\"a\" 1}", "{a:1}", "{\"a\":}", "[1 2]", "\"abc", "\"abc\\",
        "\"\\x\"", "\"\\u12\"", "\"\\u12G4\"", "\"\\ud800\"", "\"\\udc00\"", "\"\\ud800\\u0041\"", "\"\\ud800x\"",
        "\"a\nb\"", "01", "-", "1.", "1e", "1e+", ".5", "+1", "[1] x", "{} {}", "nul", "True", "\"\xff\"",
        "\"\xc0\xaf\"", "\"\xed\xa0\x80\"", "\"\xf4\x90\x80\x80\"", "\"\xe3\x81\"", "\"\xe3\x81",
        std::string("[1,\0]", 5), std::string("1\0", 2)};
    for (const std::string& text : faults)
        EXPECT_EQ(ParseError(text).rfind("レイアウトを読めません: parse error at line ", 0), 0u) << text;
}

TEST(LayoutValue, NestingStopsAtTheCap) {
    using runtime::kMaxJsonDepth;
    EXPECT_EQ(ParseError(Nested(kMaxJsonDepth, "[", "1", "]")), "no error");
    EXPECT_EQ(ParseError(Nested(kMaxJsonDepth, "{\"a\":", "1", "}")), "no error");
    EXPECT_NE(ParseError(Nested(kMaxJsonDepth + 1, "[", "1", "]")).find("nested deeper than 200"), std::string::npos);
    EXPECT_NE(ParseError(Nested(kMaxJsonDepth + 1, "{\"a\":", "1", "}")).find("nested deeper"), std::string::npos);
    EXPECT_NE(ParseError(std::string(1000000, '[')).find("nested deeper"), std::string::npos);
}

TEST(LayoutValue, DescribesCompactlyAndCutsBetweenCharacters) {
    TLayoutValue value = TLayoutValue::Parse("{ \"a\" : [ 1 , -2.5e3 ], \"b\": \"q\\\"\\n\\u0001\", \"c\": null }");
    EXPECT_EQ(value.Describe(), R"({"a":[1,-2.5e3],"b":"q\"\n\u0001","c":null})");
    std::string japanese;
    for (int i = 0; i < 30; ++i) japanese += "あ";
    // A quote and 18 three-byte characters fill 55 bytes; the 19th would cross the cut at 57.
    std::string cut = TLayoutValue::Parse("\"" + japanese + "\"").Describe();
    EXPECT_EQ(cut, "\"" + japanese.substr(0, 18 * 3) + "...");
    try {
        TLayoutValue::Parse(R"({"Left": "x"})").Member("Left")->Integer();
        ADD_FAILURE() << "a text was read as an integer";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), "レイアウトの値 \"x\" は integer ではありません");
    }
}

}  // namespace

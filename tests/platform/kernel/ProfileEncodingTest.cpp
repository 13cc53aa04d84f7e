#include "platform/kernel/ProfileEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"
#include "tests/support/TempFolder.h"

using platform::kernel::DecodeProfile;
using platform::kernel::EncodeProfile;
using platform::kernel::ProfileEncoding;
using namespace std::string_literals;

namespace {

// A file as another program writes it: a byte order mark, then each code unit in the given byte order.
template <typename Unit>
std::string UnicodeFile(std::basic_string_view<Unit> text, bool bigEndian) {
    std::basic_string<Unit> units = std::basic_string<Unit>(1, Unit(0xFEFF)) + std::basic_string<Unit>(text);
    std::string file;
    for (Unit unit : units) {
        for (size_t i = 0; i < sizeof(Unit); ++i) {
            size_t shift = 8 * (bigEndian ? sizeof(Unit) - 1 - i : i);
            file += static_cast<char>((static_cast<uint32_t>(unit) >> shift) & 0xFF);
        }
    }
    return file;
}

std::string Utf16File(std::u16string_view text, bool bigEndian = false) { return UnicodeFile(text, bigEndian); }

std::string Read(const std::string& file, const char* app, const char* key) {
    char buffer[256];
    return std::string(buffer, GetPrivateProfileStringA(app, key, "default", buffer, sizeof buffer, file.c_str()));
}

DWORD WriteFails(const std::string& file, const char* app, const char* key, const char* value) {
    SetLastError(0);
    return WritePrivateProfileStringA(app, key, value, file.c_str()) ? 0 : GetLastError();
}

}  // namespace

TEST(ProfileEncoding, UnicodeFilesDecodeToUtf8AndEncodeBackByteForByte) {
    const std::string utf8 = "; 設定\r\n[Play]\r\nStyle=1\r\n[曲]\r\n名前=🎵 \0音\r\n"s;
    const std::u16string utf16 = u"; 設定\r\n[Play]\r\nStyle=1\r\n[曲]\r\n名前=🎵 \0音\r\n"s;
    const std::u32string utf32 = U"; 設定\r\n[Play]\r\nStyle=1\r\n[曲]\r\n名前=🎵 \0音\r\n"s;
    struct Case {
        std::string file;
        ProfileEncoding encoding;
    };
    const std::vector<Case> cases = {
        {UnicodeFile<char16_t>(utf16, false), ProfileEncoding::Utf16LittleEndian},
        {UnicodeFile<char16_t>(utf16, true), ProfileEncoding::Utf16BigEndian},
        {UnicodeFile<char32_t>(utf32, false), ProfileEncoding::Utf32LittleEndian},
        {UnicodeFile<char32_t>(utf32, true), ProfileEncoding::Utf32BigEndian},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.encoding));
        auto content = DecodeProfile(c.file);
        EXPECT_EQ(content.encoding, c.encoding);
        EXPECT_TRUE(content.exact);
        EXPECT_EQ(content.text, utf8);
        EXPECT_EQ(EncodeProfile(content.text, c.encoding), c.file);
    }

    // A mark alone is an empty file of that encoding, and an empty text keeps its mark.
    EXPECT_EQ(DecodeProfile("\xFF\xFE").encoding, ProfileEncoding::Utf16LittleEndian);
    EXPECT_EQ(DecodeProfile("\xFF\xFE").text, "");
    EXPECT_EQ(EncodeProfile("", ProfileEncoding::Utf16BigEndian), "\xFE\xFF");
    // The largest code points of each length, and the first one beyond UTF-16's single units.
    const std::string edges = "\x7F\xDF\xBF\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    EXPECT_EQ(EncodeProfile(edges, ProfileEncoding::Utf16LittleEndian),
              "\xFF\xFE\x7F\x00\xFF\x07\xFF\xFF\x00\xD8\x00\xDC\xFF\xDB\xFF\xDF"s);
    EXPECT_EQ(DecodeProfile(*EncodeProfile(edges, ProfileEncoding::Utf16LittleEndian)).text, edges);
}

TEST(ProfileEncoding, FilesWithoutAUnicodeMarkAreTakenByteForByte) {
    for (const std::string& file :
         {""s, "[S]\nk=v\n"s, "\xEF\xBB\xBF[S]\nk=v\n"s, "\xFF[S]\n"s, "\xFE"s, "\x82\xA0\xFF\xFE"s}) {
        auto content = DecodeProfile(file);
        EXPECT_EQ(content.encoding, ProfileEncoding::Bytes);
        EXPECT_TRUE(content.exact);
        EXPECT_EQ(content.text, file);
        EXPECT_EQ(EncodeProfile(file, ProfileEncoding::Bytes), file);
    }
}

TEST(ProfileEncoding, BrokenUnicodeFilesReadAroundTheBreakAndAreMarkedInexact) {
    auto decoded = [](const std::string& file) {
        auto content = DecodeProfile(file);
        return content.exact ? "(exact)" : content.text;
    };
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(decoded("\xFF\xFE" "A\0" "\x00\xD8" "B\0"s), "A" + replacement + "B");  // a high surrogate alone
    EXPECT_EQ(decoded("\xFF\xFE" "A\0" "\x00\xDC" "B\0"s), "A" + replacement + "B");  // a low surrogate alone
    EXPECT_EQ(decoded("\xFE\xFF" "\0A" "\xD8\x00"s), "A" + replacement);              // the pair cut short
    EXPECT_EQ(decoded("\xFF\xFE" "A\0" "B"s), "A" + replacement);                     // half a unit
    EXPECT_EQ(decoded("\xFF\xFE\0\0" "A\0\0\0" "\0\0\x11\0" "B\0\0\0"s), "A" + replacement + "B");
    EXPECT_EQ(decoded("\0\0\xFE\xFF" "\0\0\xD8\0" "\0\0\0A" "\0\0"s), replacement + "A" + replacement);
    EXPECT_EQ(decoded("\xFF\xFE" "A\0" "\x3C\xD8\xB5\xDF"s), "(exact)");
}

TEST(ProfileEncoding, OnlyValidUtf8HasAUnicodeForm) {
    for (const char* text : {"\x80", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
                             "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xE8\xA8", "a\xFF"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(EncodeProfile(text, ProfileEncoding::Utf16LittleEndian));
        EXPECT_FALSE(EncodeProfile(text, ProfileEncoding::Utf32BigEndian));
        EXPECT_EQ(EncodeProfile(text, ProfileEncoding::Bytes), text);
    }
}

TEST(Profile, Utf16FilesAreReadAndWrittenInTheirOwnEncoding) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        TempFolder folder;
        const std::string ini = folder.WindowsPath("Korvo.ini");
        folder.Write("Korvo.ini", Utf16File(u"; 設定\r\n[Play]\r\nStyle = 1\r\n\r\n[Data]\r\nDirectory=C:\\音楽\r\n",
                                            bigEndian));

        EXPECT_EQ(Read(ini, "play", "STYLE"), "1");
        EXPECT_EQ(Read(ini, "Data", "Directory"), "C:\\音楽");
        EXPECT_EQ(Read(ini, nullptr, nullptr), "Play\0Data\0"s);

        EXPECT_EQ(WriteFails(ini, "Play", "Style", "2"), 0u);
        EXPECT_EQ(WriteFails(ini, "Data", "Directory", "D:\\曲"), 0u);
        EXPECT_EQ(WriteFails(ini, "MainWindow", "Top", "10"), 0u);
        EXPECT_EQ(WriteFails(ini, "MainWindow", "Left", "20"), 0u);
        EXPECT_EQ(WriteFails(ini, "MainWindow", "Left", nullptr), 0u);
        const std::string saved = Utf16File(
            u"; 設定\r\n[Play]\r\nStyle = 2\r\n\r\n[Data]\r\nDirectory=D:\\曲\r\n\r\n[MainWindow]\r\nTop=10\r\n",
            bigEndian);
        EXPECT_EQ(folder.Read("Korvo.ini"), saved);
        EXPECT_EQ(Read(ini, "Data", "Directory"), "D:\\曲");

        // Text in another 8-bit encoding has no UTF-16 form: refused, with the file as it was.
        EXPECT_EQ(WriteFails(ini, "Data", "Directory", "C:\\\x89\xB9\x8Ay"), ERROR_NO_UNICODE_TRANSLATION);
        EXPECT_EQ(WriteFails(ini, "\x89\xB9", "k", "v"), ERROR_NO_UNICODE_TRANSLATION);
        EXPECT_EQ(folder.Read("Korvo.ini"), saved);
    }
}

TEST(Profile, ABrokenUnicodeFileReadsAroundTheBreakAndIsNeverRewritten) {
    TempFolder folder;
    const std::string ini = folder.WindowsPath("Korvo.ini");
    const std::string loneSurrogate = "\x00\xD8"s;
    const std::string original =
        Utf16File(u"[S]\r\nk=v\r\nbroken=") + loneSurrogate + Utf16File(u"\r\nj=w\r\n").substr(2);  // one mark
    folder.Write("Korvo.ini", original);

    EXPECT_EQ(Read(ini, "S", "k"), "v");
    EXPECT_EQ(Read(ini, "S", "j"), "w");
    EXPECT_EQ(Read(ini, "S", "broken"), "\xEF\xBF\xBD");
    // Writing it back would lose the lone surrogate, so no write goes through.
    EXPECT_EQ(WriteFails(ini, "S", "k", "x"), ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(WriteFails(ini, "S", "broken", nullptr), ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(WriteFails(ini, "S", "missing", nullptr), 0u);  // nothing to remove, nothing written
    EXPECT_EQ(folder.Read("Korvo.ini"), original);
}

#include "frame/IniFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/Exception.h"
#include "tests/support/TempFolder.h"

namespace {

using Texts = std::vector<std::string>;

Texts Lines(const TStrings& strings) {
    Texts lines;
    for (int32_t i = 0; i < strings.LineCount(); ++i) lines.push_back(strings.LineText(i));
    return lines;
}

// A profile kept in memory, supplying only the text operations: the typed ones must reach it through them.
class TMemoryIniFile : public TCustomIniFile {
  public:
    TMemoryIniFile() : TCustomIniFile("memory") {}

    std::string ReadText(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const override {
        auto found = values.find(section + "/" + key);
        return found == values.end() ? defaultValue : found->second;
    }
    void WriteText(const std::string& section, const std::string& key, const std::string& value) override {
        values[section + "/" + key] = value;
    }
    void ReadKeyNames(const std::string&, TStrings&) const override {}
    void ReadSectionNames(TStrings&) const override {}
    void ReadKeyValues(const std::string&, TStrings&) const override {}
    void RemoveSection(const std::string&) override {}
    void RemoveKey(const std::string&, const std::string&) override {}
    void Flush() override {}

    std::map<std::string, std::string> values;
};

TEST(CustomIniFile, TypedOperationsGoThroughTheTextOperations) {
    TMemoryIniFile ini;
    ini.WriteNumber("S", "Number", -5);
    ini.WriteFlag("S", "On", true);
    ini.WriteFlag("S", "Off", false);
    ini.WriteReal("S", "Real", 2.5);
    TDateTime moment = TextToDateTime("2024/03/07 9:05:03");
    ini.WriteTimestamp("S", "When", moment);
    ini.WriteCalendarDate("S", "Day", moment);
    ini.WriteClockTime("S", "Clock", moment);
    EXPECT_EQ(ini.values, (std::map<std::string, std::string>{{"S/Number", "-5"},
                                                               {"S/On", "1"},
                                                               {"S/Off", "0"},
                                                               {"S/Real", "2.5"},
                                                               {"S/When", "2024/03/07 9:05:03"},
                                                               {"S/Day", "2024/03/07"},
                                                               {"S/Clock", "9:05:03"}}));
    EXPECT_EQ(ini.ReadNumber("S", "Number", 0), -5);
    EXPECT_TRUE(ini.ReadFlag("S", "On", false));
    EXPECT_FALSE(ini.ReadFlag("S", "Off", true));
    EXPECT_TRUE(ini.ReadFlag("S", "missing", true));
    EXPECT_EQ(ini.ReadReal("S", "Real", 0), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadTimestamp("S", "When", 0), moment);
    EXPECT_EQ(ini.ReadCalendarDate("S", "Day", 0), TextToDate("2024/03/07"));
    EXPECT_DOUBLE_EQ(ini.ReadClockTime("S", "Clock", 0), TextToTime("9:05:03"));

    ini.WriteText("S", "Bad", "tomorrow");
    EXPECT_EQ(ini.ReadCalendarDate("S", "Bad", 1.5), 1.5) << "unreadable text gives the default";
    EXPECT_EQ(ini.ReadReal("S", "Bad", 1.5), 1.5);
    EXPECT_EQ(ini.ReadNumber("S", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadClockTime("S", "missing", 0.5), 0.5);
}

TEST(IniFile, MissingFileGivesDefaultsAndIsNotCreated) {
    TempFolder folder;
    {
        TIniFile ini(folder.WindowsPath("Korvo.ini"));
        EXPECT_EQ(ini.FilePath(), folder.WindowsPath("Korvo.ini"));
        EXPECT_EQ(ini.ReadText("Directory", "Path", "C:\\"), "C:\\");
        EXPECT_EQ(ini.ReadNumber("MainWindow", "Left", 120), 120);
        EXPECT_TRUE(ini.ReadFlag("Style", "Repeat", true));
        TStringList names;
        names.AppendLine("stale");
        ini.ReadSectionNames(names);
        EXPECT_EQ(names.LineCount(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Korvo.ini"));
    TIniFile nowhere(folder.WindowsPath("no\\such\\folder\\Korvo.ini"));
    EXPECT_EQ(nowhere.ReadNumber("S", "K", 3), 3);
}

TEST(IniFile, ReadsValuesAndNumbersFromTheFile) {
    TempFolder folder;
    folder.Write("Korvo.ini",
                 "[MainWindow]\nLeft=12\nTop=0x1F\nWidth=\" 12\"\nHeight=\"12 \"\nLong=2147483648\n"
                 "[Style]\nMask=*.mp3;*.wav\n");
    TIniFile ini(folder.WindowsPath("Korvo.ini"));
    EXPECT_EQ(ini.ReadNumber("MainWindow", "Left", -1), 12);
    EXPECT_EQ(ini.ReadNumber("mainwindow", "TOP", -1), 31);
    EXPECT_EQ(ini.ReadNumber("MainWindow", "Width", -1), 12);
    EXPECT_EQ(ini.ReadNumber("MainWindow", "Height", -1), -1);
    EXPECT_EQ(ini.ReadNumber("MainWindow", "Long", -1), -1);
    EXPECT_EQ(ini.ReadText("Style", "Mask", ""), "*.mp3;*.wav");
    EXPECT_EQ(ini.ReadText("Style", "Missing", "def"), "def");
}

TEST(IniFile, WritesNumbersAndEmptyValuesAsKeys) {
    TempFolder folder;
    TIniFile ini(folder.WindowsPath("Korvo.ini"));
    ini.WriteNumber("MainWindow", "Left", -5);
    ini.WriteNumber("MainWindow", "Top", 0);
    ini.WriteText("Style", "Mask", "");
    EXPECT_EQ(ini.ReadText("MainWindow", "Left", ""), "-5");
    EXPECT_EQ(ini.ReadText("MainWindow", "Top", ""), "0");
    EXPECT_EQ(ini.ReadText("Style", "Mask", "default"), "") << "an empty value is written, not a removal";
    TStringList keys;
    ini.ReadKeyNames("Style", keys);
    EXPECT_EQ(Lines(keys), (Texts{"Mask"}));
    std::string file = folder.Read("Korvo.ini");
    EXPECT_NE(file.find("Left=-5"), std::string::npos) << file;
    EXPECT_NE(file.find("Top=0"), std::string::npos) << file;
}

TEST(IniFile, ValuesComeBackWithAtMost2047Bytes) {
    TempFolder folder;
    TIniFile ini(folder.WindowsPath("Korvo.ini"));
    ini.WriteText("S", "Long", std::string(3000, 'v'));
    EXPECT_EQ(ini.ReadText("S", "Long", ""), std::string(2047, 'v'));
    EXPECT_EQ(ini.ReadText("S", "Missing", std::string(3000, 'd')), std::string(2047, 'd'));
}

TEST(IniFile, FailedWriteRaisesPlainExceptionNamingThePath) {
    TempFolder folder;
    folder.MakeFolder("Folder.ini");
    // A path in a folder that does not exist, and a "file" that is a folder.
    for (std::string path : {folder.WindowsPath("missing\\Korvo.ini"), folder.WindowsPath("Folder.ini")}) {
        TIniFile ini(path);
        for (auto write : {+[](TIniFile& file) { file.WriteText("S", "K", "v"); },
                           +[](TIniFile& file) { file.WriteNumber("S", "K", 1); },
                           +[](TIniFile& file) { file.WriteText("S", "K", ""); }}) {
            try {
                write(ini);
                ADD_FAILURE() << "no error raised for " << path;
            } catch (const Exception& e) {
                EXPECT_EQ(e.ClassName(), "Exception");
                EXPECT_EQ(e.Message(), path + " に書き込めません");
            }
        }
        ini.RemoveKey("S", "K");
        ini.Flush();
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing"));
    TIniFile unreadable(folder.WindowsPath("Folder.ini"));
    EXPECT_THROW(unreadable.RemoveSection("S"), Exception);
}

TEST(IniFile, ListsNamesInOneUpdateBracket) {
    class TCountingList : public TStringList {
      public:
        void UpdateStateChanged(bool updating) override { log += updating ? "(" : ")"; }
        std::string log;
    };
    TempFolder folder;
    folder.Write("Korvo.ini", "[Directory]\nPath=C:\\\n[MainWindow]\nLeft=1\nTop=2\n");
    TIniFile ini(folder.WindowsPath("Korvo.ini"));
    TCountingList names;
    names.AppendLine("stale");
    ini.ReadSectionNames(names);
    EXPECT_EQ(Lines(names), (Texts{"Directory", "MainWindow"}));
    EXPECT_EQ(names.log, "()");
    ini.ReadKeyNames("mainwindow", names);
    EXPECT_EQ(Lines(names), (Texts{"Left", "Top"}));
}

TEST(IniFile, ReadKeyValuesSetsTheTargetsLinesKeyByKey) {
    TempFolder folder;
    folder.Write("Korvo.ini", "[S]\na=1\nb=\nc=3\n");
    TIniFile ini(folder.WindowsPath("Korvo.ini"));
    TStringList target;
    for (const char* line : {"A=old", "x=keep", "B=gone"}) target.AppendLine(line);
    ini.ReadKeyValues("S", target);
    EXPECT_EQ(Lines(target), (Texts{"a=1", "x=keep", "c=3"}));
}

TEST(IniFile, RemovesKeysAndSections) {
    TempFolder folder;
    folder.Write("Korvo.ini", "[S]\na=1\nb=2\n[T]\nc=3\n");
    TIniFile ini(folder.WindowsPath("Korvo.ini"));
    ini.RemoveKey("S", "a");
    ini.RemoveSection("T");
    EXPECT_EQ(ini.ReadText("S", "a", "gone"), "gone");
    EXPECT_EQ(ini.ReadText("S", "b", ""), "2");
    EXPECT_EQ(ini.ReadText("T", "c", "gone"), "gone");
}

TEST(IniFile, DestroyingAfterWritesTouchesNothing) {
    TempFolder folder;
    auto ini = std::make_unique<TIniFile>(folder.WindowsPath("Korvo.ini"));
    ini->WriteText("S", "K", "v");
    std::string before = folder.Read("Korvo.ini");
    // Something else changes the file; a destructor that saved anything would undo or touch it.
    folder.Write("Korvo.ini", before + "[Other]\nx=1\n");
    auto modified = std::filesystem::last_write_time(folder.Path() / "Korvo.ini");
    ini.reset();
    EXPECT_EQ(folder.Read("Korvo.ini"), before + "[Other]\nx=1\n");
    EXPECT_EQ(std::filesystem::last_write_time(folder.Path() / "Korvo.ini"), modified);
}

}  // namespace

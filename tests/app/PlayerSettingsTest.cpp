// The player's start-up and shut-down: what Korvo.ini gives the window at its first activation, what closing writes
// back, the settings dialog, and the program's entry sequence.

#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/AboutBox.h"
#include "app/DlgSetEnv.h"
#include "frame/Application.h"
#include "platform/testing/Desktop.h"
#include "tests/app/PlayerFixture.h"
#include "tests/frame/FrameFixture.h"
#include "tests/support/MediaFixtures.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

const std::string kTitle = "Korvo Music Player";

void ClickOn(TWinControl& control) { Click(control.Handle(), control.Width() / 2, control.Height() / 2); }

// The settings dialog as the user fills it in: a style (-1 leaves it), the repeat box clicked or not, a new mask
// typed (empty leaves it), then OK or Cancel.
struct DialogSteps {
    int style = -1;
    bool toggleRepeat = false;
    std::string mask;
    bool ok = true;
};

int IndexOfLine(TCustomListBox& list, const std::string& text) {
    for (int32_t i = 0; i < list.Items().LineCount(); ++i)
        if (list.Items().LineText(i) == text) return i;
    return -1;
}

class PlayerSettingsTest : public PlayerTest {
  protected:
    // Presses the settings button and fills in the dialog that opens, from inside its loop.
    void UseDialog(const DialogSteps& steps) {
        bool opened = false;
        std::vector<std::function<void()>> script{[&] { opened = dlgSetEnv != nullptr; }};
        if (steps.style >= 0) script.push_back([&] { ClickOn(*dlgSetEnv->rgpPlayStyle->Buttons(steps.style)); });
        if (steps.toggleRepeat) script.push_back([] { ClickOn(*dlgSetEnv->cbxRepeat); });
        if (!steps.mask.empty()) {
            script.push_back([] { dlgSetEnv->edtFileMask->SetFocus(); });  // which selects its whole text
            script.push_back([&] { Type(steps.mask); });
        }
        script.push_back([&] { ClickOn(steps.ok ? *dlgSetEnv->OKBtn : *dlgSetEnv->CancelBtn); });
        Script run(std::move(script));
        Press(korvo_->sbnSetEnv);
        EXPECT_TRUE(opened);
        EXPECT_TRUE(run.Done()) << "the dialog closed before its steps were done";
        EXPECT_EQ(dlgSetEnv, nullptr) << "the dialog is gone once it closed";
    }

    // Moves the directory list into a folder it lists, as a double click on its line does.
    void OpenFolder(const std::string& name) {
        TDirectoryListBox& list = *korvo_->DirectoryListBox;
        int index = IndexOfLine(list, name);
        ASSERT_GE(index, 0) << name;
        RECT line = list.ItemRect(index);
        DoubleClick(list.Handle(), (line.left + line.right) / 2, (line.top + line.bottom) / 2);
        DispatchPending();
    }
};

// The file as a close writes it: four sections, in the order of the writes.
std::string Saved(const std::string& mask, int style, int repeat, int top, int left, const std::string& folder) {
    return "[File]\nMask=" + mask + "\n\n[Play]\nStyle=" + std::to_string(style) +
           "\nRepeat=" + std::to_string(repeat) + "\n\n[MainWindow]\nTop=" + std::to_string(top) +
           "\nLeft=" + std::to_string(left) + "\n\n[Data]\nDirectory=" + folder + "\n";
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(PlayerSettingsTest, AFirstRunTakesTheDefaultsAndTheUsersMusicFolder) {
    WriteWave("b.wav", 1500);
    WriteWave("a.wav", 1500);
    WriteMp3("c.mp3", 200);
    WriteAiff("d.aif", 200);
    WriteMidi("e.mid");
    ASSERT_TRUE(WriteSound(MusicFolder() / "f.au", SF_FORMAT_AU | SF_FORMAT_PCM_16, kRate, 1, Tone(kRate, 1, 4410)));
    WriteFile("notes.txt", "not music");
    WriteFile("g.flac", "not in the mask");

    TKorvo& korvo = Start();
    EXPECT_EQ(korvo.SettingsPath(), SettingsFilePath());
    EXPECT_FALSE(std::filesystem::exists(SettingsFile())) << "nothing is written before the window closes";
    EXPECT_EQ(korvo.Left(), 0);
    EXPECT_EQ(korvo.Top(), 0);
    EXPECT_EQ(korvo.PlayStyle(), 0);
    EXPECT_FALSE(korvo.RepeatOn());
    EXPECT_EQ(korvo.FileListBox->Mask(), kDefaultMask);
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Sequential");
    EXPECT_EQ(korvo.DirectoryListBox->DirPath(), MusicFolderPath());

    // The folder became the playlist in file-name order, and its first file is open and stopped.
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a.wav", "b.wav", "c.mp3", "d.aif", "e.mid", "f.au"}));
    EXPECT_EQ(Selected(), "a.wav");
    EXPECT_EQ(Caption(), kTitle + " - a.wav");
    EXPECT_EQ(korvo.MediaPlayer->DeviceMode(), mdStopped);
    EXPECT_EQ(Transport(), "10001");
    EXPECT_EQ(korvo.lblLength->Caption(), "Length  0: 1");
    EXPECT_EQ(korvo.lblPosition->Caption(), "Time  0: 0");
    EXPECT_EQ(korvo.TrackBar->Max(), 1500);
    EXPECT_FALSE(korvo.Timer->Enabled()) << "nothing plays until the user starts it";
    EXPECT_TRUE(korvo.AutoAdvance());
    EXPECT_TRUE(korvo.sbnSetEnv->Enabled());
    RunFor(200ms);
    EXPECT_EQ(korvo.MediaPlayer->DeviceMode(), mdStopped);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerSettingsTest, AFolderThatIsNotThereFallsBackToTheRootWithoutAMessage) {
    // No music folder in the home folder: the default names nothing.
    TKorvo& korvo = Start();
    EXPECT_EQ(korvo.DirectoryListBox->DirPath(), "C:\\");

    // A saved folder that has gone since.
    WriteWave("a.wav", 200);
    WriteSettings("[Data]\nDirectory=" + home_.WindowsPath("Gone") + "\n");
    Start();
    EXPECT_EQ(korvo_->DirectoryListBox->DirPath(), "C:\\");
    RunFor(100ms);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerSettingsTest, TheFolderAlreadyShownBuildsNoPlaylistAndTheIdleTimerReportsNothing) {
    WriteWave("a.wav", 200);
    WriteSettings("[Data]\nDirectory=" + MusicFolderPath() + "\n");
    TKorvo& korvo = Start(MusicFolderPath());  // where the directory list starts
    EXPECT_EQ(korvo.DirectoryListBox->DirPath(), MusicFolderPath());
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Caption(), kTitle);
    EXPECT_EQ(Transport(), "00000");
    // The timer was left running from the layout with no device open: its ticks show and report nothing.
    EXPECT_TRUE(korvo.Timer->Enabled());
    RunFor(300ms);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(korvo.lblLength->Caption(), "");
    EXPECT_EQ(korvo.lblPosition->Caption(), "");
    EXPECT_EQ(korvo.TrackBar->Position(), 0);
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Sequential");
}

TEST_F(PlayerSettingsTest, StoredNumbersFollowTheIntegerRuleAndKeepTheirLowByte) {
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav", "g.wav"}) WriteWave(name, 200);
    WriteMp3("h.mp3", 200);
    WriteSettings("[MainWindow]\nTop=0x20\nLeft=$10\n[Play]\nStyle=258\nRepeat=256\n[File]\nMask=*.wav\n");
    TKorvo& korvo = Start();
    EXPECT_EQ(korvo.Top(), 32);
    EXPECT_EQ(korvo.Left(), 16);
    EXPECT_EQ(korvo.PlayStyle(), 2) << "258 keeps its low byte";
    EXPECT_FALSE(korvo.RepeatOn()) << "256 keeps its low byte";
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Random");
    EXPECT_EQ(korvo.FileListBox->Mask(), "*.wav");

    // The folder was read before the stored style and mask: all eight files, opened in file-name order, then
    // shuffled in a list that stays marked sorted.
    const std::vector<std::string> all{"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav", "g.wav", "h.mp3"};
    EXPECT_EQ(Sorted(Lines()), all);
    EXPECT_NE(Lines(), all);
    EXPECT_TRUE(korvo.ListBox->Sorted());
    EXPECT_EQ(korvo.ListBox->ItemIndex(), 0);
    EXPECT_EQ(korvo.MediaPlayer->FileName(), "a.wav");
    EXPECT_EQ(Caption(), kTitle + " - a.wav");

    // Values that break the rule give the defaults.
    Discard();
    WriteSettings("[MainWindow]\nTop=12abc\nLeft=\n[Play]\nStyle=1a\nRepeat=0x\n");
    Start();
    EXPECT_EQ(korvo_->Top(), 0);
    EXPECT_EQ(korvo_->Left(), 0);
    EXPECT_EQ(korvo_->PlayStyle(), 0);
    EXPECT_FALSE(korvo_->RepeatOn());
    EXPECT_EQ(Lines(), all);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerSettingsTest, TheDialogAppliesOnOKAndItsMaskWaitsForTheNextFolder) {
    for (const char* name : {"a.wav", "b.wav", "c.wav", "d.wav", "e.wav", "f.wav"}) WriteWave(name, 200);
    WriteMp3("g.mp3", 200);
    WriteWave("more/x.wav", 200);
    WriteMp3("more/y.mp3", 200);
    TKorvo& korvo = Start();
    const std::vector<std::string> all = Lines();
    ASSERT_EQ(all.size(), 7u);

    UseDialog({.style = 2, .toggleRepeat = true, .mask = "*.wav", .ok = false});
    EXPECT_EQ(korvo.PlayStyle(), 0);
    EXPECT_FALSE(korvo.RepeatOn());
    EXPECT_EQ(korvo.FileListBox->Mask(), kDefaultMask);
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Sequential");
    EXPECT_EQ(Lines(), all);

    UseDialog({.style = 2, .toggleRepeat = true, .mask = "*.wav"});
    EXPECT_EQ(korvo.PlayStyle(), 2);
    EXPECT_TRUE(korvo.RepeatOn());
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Random Repeat");
    EXPECT_EQ(korvo.FileListBox->Mask(), "*.wav");
    // Shuffled, with the selection on the new first line, while the open file stays open.
    EXPECT_FALSE(korvo.ListBox->Sorted());
    EXPECT_EQ(Sorted(Lines()), all) << "the mask applies from the next folder";
    EXPECT_NE(Lines(), all);
    EXPECT_EQ(korvo.ListBox->ItemIndex(), 0);
    EXPECT_EQ(korvo.MediaPlayer->FileName(), "a.wav");
    EXPECT_EQ(Caption(), kTitle + " - a.wav");

    // One file leaves the order; file-name order sorts again.
    const std::vector<std::string> shuffled = Lines();
    UseDialog({.style = 1, .toggleRepeat = false, .mask = {}, .ok = true});
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Single Repeat");
    EXPECT_EQ(Lines(), shuffled);
    UseDialog({.style = 0, .toggleRepeat = true, .mask = {}, .ok = true});
    EXPECT_EQ(korvo.lblMode->Caption(), "Mode  Sequential");
    EXPECT_TRUE(korvo.ListBox->Sorted());
    EXPECT_EQ(Lines(), all);

    // The next folder is read with the new mask.
    OpenFolder("more");
    EXPECT_EQ(korvo.DirectoryListBox->DirPath(), MusicFolderPath() + "\\more");
    EXPECT_EQ(Lines(), std::vector<std::string>{"x.wav"});
    EXPECT_EQ(Caption(), kTitle + " - x.wav");
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerSettingsTest, ClosingWritesTheSixKeysAndTheNextStartRestoresThem) {
    WriteWave("a.wav", 200);
    WriteMp3("b.mp3", 200);
    WriteWave("more/c.wav", 200);
    WriteMidi("more/d.mid");
    WriteMp3("more/e.mp3", 200);
    TKorvo& first = Start();
    UseDialog({.style = 1, .toggleRepeat = true, .mask = "*.wav;*.mid"});
    EXPECT_EQ(Lines(), (std::vector<std::string>{"a.wav", "b.mp3"}));
    first.SetBounds(120, 40, first.Width(), first.Height());
    OpenFolder("more");
    EXPECT_EQ(Lines(), (std::vector<std::string>{"c.wav", "d.mid"}));
    Press(first.sbnExit);
    EXPECT_FALSE(IsWindowVisible(first.Handle()));
    EXPECT_EQ(ReadSettings(), Saved("*.wav;*.mid", 1, 1, 40, 120, MusicFolderPath() + "\\more"));

    TKorvo& second = Start();
    EXPECT_EQ(second.DirectoryListBox->DirPath(), MusicFolderPath() + "\\more");
    EXPECT_EQ(second.Left(), 120);
    EXPECT_EQ(second.Top(), 40);
    EXPECT_EQ(second.PlayStyle(), 1);
    EXPECT_TRUE(second.RepeatOn());
    EXPECT_EQ(second.FileListBox->Mask(), "*.wav;*.mid");
    EXPECT_EQ(second.lblMode->Caption(), "Mode  Single Repeat");
    // The first folder of a run is read with the layout's mask; the stored one applies from the next.
    EXPECT_EQ(Lines(), (std::vector<std::string>{"c.wav", "d.mid", "e.mp3"}));
    OpenFolder("Music");
    EXPECT_EQ(Lines(), std::vector<std::string>{"a.wav"});

    // The dialog's values and a window moved since are written at the next close, and only then.
    UseDialog({.style = 0, .toggleRepeat = true, .mask = "*.mp3"});
    second.SetBounds(7, 9, second.Width(), second.Height());
    EXPECT_NE(ReadSettings().find("Style=1"), std::string::npos);
    CloseWindow();
    EXPECT_EQ(ReadSettings(), Saved("*.mp3", 0, 0, 9, 7, MusicFolderPath()));
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerSettingsTest, AFolderOfAnyNameIsEnteredPlayedKeptAndRestored) {
    // Names a Linux music folder really holds: wildcards, a colon, quotes, a backslash, a control character, a
    // folder that ends in a blank.
    const std::string folder = "Disc 1: \"Live\" <x|y> \\ end\t ";
    const std::vector<std::string> files{"Op. 27: No. 2.wav", "Say \"Hi\".wav", "Who Are You?.wav", "back\\slash*.wav"};
    for (const std::string& name : files) WriteWave(folder + "/" + name, 150);
    // As the program reads them: the backslash and the tab carried in private-use characters.
    const std::string shownFolder = "Disc 1: \"Live\" <x|y> \uF05C end\uF009 ";
    const std::vector<std::string> shown{"back\uF05Cslash*.wav", "Op. 27: No. 2.wav", "Say \"Hi\".wav",
                                         "Who Are You?.wav"};
    TKorvo& first = Start();
    OpenFolder(shownFolder);
    EXPECT_EQ(first.DirectoryListBox->DirPath(), MusicFolderPath() + "\\" + shownFolder);
    EXPECT_EQ(Lines(), shown);

    DoubleClickLine(0);
    std::vector<std::string> captions;
    for (const std::string& name : shown) captions.push_back(kTitle + " - " + name);
    captions.push_back(kTitle);
    EXPECT_EQ(CaptionsUntil([&] { return first.MediaPlayer->DeviceHandle() == 0; }), captions);
    EXPECT_TRUE(boxes_.empty()) << boxes_.front();

    Press(first.sbnExit);
    // Quoted, so that the blank at its end is read back.
    EXPECT_EQ(ReadSettings(), Saved(PlayerTest::kDefaultMask, 0, 0, 0, 0,
                                    "\"" + MusicFolderPath() + "\\" + shownFolder + "\""));
    TKorvo& second = Start();
    EXPECT_EQ(second.DirectoryListBox->DirPath(), MusicFolderPath() + "\\" + shownFolder);
    EXPECT_EQ(Lines(), shown);
    EXPECT_TRUE(boxes_.empty());
}

TEST_F(PlayerSettingsTest, ARefusedSaveKeepsTheWindowOpenOnceAndALaterCloseSaves) {
    WriteWave("a.wav", 200);
    // Read-only by its permission bits, which hold for the superuser too.
    WriteSettings("");
    ASSERT_EQ(chmod(SettingsFile().c_str(), 0444), 0);
    const std::string refused = SettingsFilePath() + " に書き込めません\n";

    TKorvo& korvo = Start();
    CloseWindow();
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], refused +
                             "設定を保存できなかったので、ウィンドウは閉じません。"
                             "もう一度閉じると、保存できなくても終了します.");
    EXPECT_TRUE(IsWindowVisible(korvo.Handle()));
    EXPECT_EQ(ReadSettings(), "");

    // The user mends the file and closes again: everything is saved.
    ASSERT_EQ(chmod(SettingsFile().c_str(), 0644), 0);
    CloseWindow();
    EXPECT_EQ(boxes_.size(), 1u);
    EXPECT_FALSE(IsWindowVisible(korvo.Handle()));
    EXPECT_EQ(ReadSettings(), Saved(kDefaultMask, 0, 0, 0, 0, MusicFolderPath()));

    // A file that stays read-only does not hold the window open for good: the second close ends it unsaved.
    WriteSettings("");
    ASSERT_EQ(chmod(SettingsFile().c_str(), 0444), 0);
    TKorvo& again = Start();
    CloseWindow();
    EXPECT_TRUE(IsWindowVisible(again.Handle()));
    CloseWindow();
    ASSERT_EQ(boxes_.size(), 3u);
    EXPECT_EQ(boxes_[2], refused + "設定を保存せずに終了します.");
    EXPECT_FALSE(IsWindowVisible(again.Handle()));
    EXPECT_EQ(ReadSettings(), "");
}

TEST_F(PlayerSettingsTest, AProgramFolderThatTakesNoFilesSendsTheSettingsToTheUsersSettingsFolder) {
    WriteWave("a.wav", 100);
    // A program installed where nothing can be written: its folder cannot take a file.
    platform::testing::FakeProgramPath installed((home_.Path() / "no-such-folder" / "korvo").string());
    TKorvo& korvo = Start();
    const std::string expected = home_.WindowsPath(".config\\korvo\\Korvo.ini");
    EXPECT_EQ(korvo.SettingsPath(), expected);
    CloseWindow();
    std::ifstream saved(home_.Path() / ".config" / "korvo" / "Korvo.ini");
    std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Directory=" + MusicFolderPath()), std::string::npos) << text;
}

TEST_F(PlayerSettingsTest, AnInstalledProgramKeepsItsSettingsInTheUsersSettingsFolderThoughItsFolderTakesFiles) {
    WriteWave("a.wav", 100);
    // Installed into a prefix the user may write, as ~/.local is: a bin folder beside the menu entry, holding a
    // Korvo.ini that is not the program's.
    TempFolder prefix;
    const std::string stray = "[Play]\nStyle=1\n";
    prefix.Write("bin/Korvo.ini", stray);
    std::filesystem::path entry = prefix.Write("share/applications/korvo.desktop", "[Desktop Entry]\n");
    platform::testing::FakeProgramPath installed((prefix.Path() / "bin" / "korvo").string());
    TKorvo& korvo = Start();
    EXPECT_EQ(korvo.SettingsPath(), home_.WindowsPath(".config\\korvo\\Korvo.ini"));
    EXPECT_EQ(korvo.PlayStyle(), 0) << "the stray file is not read";
    CloseWindow();
    EXPECT_EQ(prefix.Read("bin/Korvo.ini"), stray);
    EXPECT_TRUE(std::filesystem::exists(home_.Path() / ".config" / "korvo" / "Korvo.ini"));

    // Without the menu entry the same folder is the program's own: a Korvo.ini there is its settings file.
    std::filesystem::remove(entry);
    TKorvo& again = Start();
    EXPECT_EQ(again.SettingsPath(), prefix.WindowsPath("bin\\Korvo.ini"));
    CloseWindow();
}

TEST_F(PlayerSettingsTest, TheWindowHasItsLayoutsBoundsHintsAndTabOrder) {
    WriteWave("a.wav", 100);
    TKorvo& korvo = Start();
    EXPECT_EQ(korvo.ClientWidth(), 350);
    EXPECT_EQ(korvo.ClientHeight(), 723);
    auto bounds = [](TControl* control) {
        return std::vector<int>{control->Left(), control->Top(), control->Width(), control->Height()};
    };
    EXPECT_EQ(bounds(korvo.ListBox), (std::vector<int>{2, 80, 174, 641}));
    EXPECT_EQ(bounds(korvo.DirectoryListBox), (std::vector<int>{180, 102, 169, 619}));
    EXPECT_EQ(bounds(korvo.TrackBar), (std::vector<int>{0, 66, 352, 12}));
    EXPECT_EQ(bounds(korvo.sbnExit), (std::vector<int>{318, 4, 25, 25}));
    std::vector<std::string> hints;
    for (TSpeedButton* button : {korvo.sbnPlay, korvo.sbnPause, korvo.sbnStop, korvo.sbnPrev, korvo.sbnNext,
                                 korvo.sbnVolume, korvo.sbnSetEnv, korvo.sbnAbout, korvo.sbnExit}) {
        hints.push_back(button->Hint());
        EXPECT_TRUE(button->ShowHint());
    }
    EXPECT_EQ(hints, (std::vector<std::string>{"プレイ", "ポーズ", "ストップ", "前の曲", "次の曲", "ボリューム", "環境設定",
                                               "バージョン情報", "終了"}));
    std::vector<std::string> order;
    for (TWinControl* control : korvo.TabOrderList()) order.push_back(control->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"pnlButtons", "ListBox", "DriveComboBox", "TrackBar", "DirectoryListBox",
                                               "MediaPlayer", "FileListBox", "pnlDisplay"}));
    EXPECT_FALSE(korvo.FileListBox->Visible());
    EXPECT_FALSE(korvo.MediaPlayer->Visible());
    EXPECT_EQ(korvo.ActiveControl(), korvo.ListBox) << "the first control in tab order that takes the focus";
}

TEST_F(PlayerSettingsTest, TheProgramStartsActivatedAndItsExitButtonSavesAndEndsIt) {
    RunInOwnProcess([this] {
        WriteWave("a.wav", 300);
        WriteWave("b.wav", 300);
        TApplication& application = Application();
        application.RunStartupHook();
        application.SetAppTitle("Korvo Music Player");
        application.MakeForm(Korvo);
        application.MakeForm(AboutBox);
        korvo_ = Korvo;
        ASSERT_EQ(application.MainForm(), Korvo);
        EXPECT_FALSE(IsWindowVisible(Korvo->Handle()));
        EXPECT_TRUE(Korvo->Timer->Enabled()) << "the timer counts from the layout on";

        std::string modeAtFirstStep, captionAtFirstStep, captionWhilePlaying;
        bool aboutHidden = false;
        Script script({[&] {
                           modeAtFirstStep = Korvo->lblMode->Caption();
                           captionAtFirstStep = Caption();
                           aboutHidden = AboutBox && !AboutBox->Visible();
                           RECT line = Korvo->ListBox->ItemRect(1);
                           DoubleClick(Korvo->ListBox->Handle(), 10, (line.top + line.bottom) / 2);
                       },
                       [&] { captionWhilePlaying = Caption(); },
                       [&] {
                           TSpeedButton& exit = *Korvo->sbnExit;
                           Click(Korvo->pnlButtons->Handle(), exit.Left() + 12, exit.Top() + 12);
                       }});
        TComponentWatch watch(Korvo);
        application.RunLoop();
        korvo_ = nullptr;

        EXPECT_EQ(modeAtFirstStep, "Mode  Sequential") << "FormActivate ran before the first message";
        EXPECT_EQ(captionAtFirstStep, kTitle + " - a.wav");
        EXPECT_TRUE(aboutHidden);
        EXPECT_EQ(captionWhilePlaying, kTitle + " - b.wav");
        EXPECT_TRUE(watch.Destroyed());
        EXPECT_EQ(Korvo, nullptr);
        EXPECT_EQ(ReadSettings(), Saved(kDefaultMask, 0, 0, 0, 0, MusicFolderPath()));
        EXPECT_TRUE(boxes_.empty());
        RemoveFolders();
    });
}

}  // namespace

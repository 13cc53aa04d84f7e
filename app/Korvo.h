#pragma once
// The main window: the button bar, the time display, the position slider, the playlist and the folder browser,
// read from the window's layout, and the player behind them. Everything runs on the window's thread, driven by the
// controls' events and the 10 ms timer.

#include <cstdint>
#include <memory>
#include <string>

#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "controls/ListBox.h"
#include "controls/SpeedButton.h"
#include "controls/TrackBar.h"
#include "frame/Forms.h"
#include "frame/IniFiles.h"
#include "frame/Timer.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"
#include "media/MediaPlayer.h"

// The play styles, in the order of the settings dialog's radio group; Korvo.ini stores the number.
constexpr uint8_t kPlaySequential = 0;
constexpr uint8_t kPlaySingle = 1;  // one file, then stop (or the same again with repeat)
constexpr uint8_t kPlayRandom = 2;

class TKorvo : public TForm {
  public:
    explicit TKorvo(TComponent* owner);
    ~TKorvo() override;

    TMediaPlayer* MediaPlayer = nullptr;
    TPanel* pnlButtons = nullptr;
    TSpeedButton* sbnPlay = nullptr;
    TSpeedButton* sbnPause = nullptr;
    TSpeedButton* sbnStop = nullptr;
    TSpeedButton* sbnPrev = nullptr;
    TSpeedButton* sbnNext = nullptr;
    TSpeedButton* sbnVolume = nullptr;
    TSpeedButton* sbnSetEnv = nullptr;
    TSpeedButton* sbnAbout = nullptr;
    TSpeedButton* sbnExit = nullptr;
    TPanel* pnlDisplay = nullptr;
    TLabel* lblLength = nullptr;
    TLabel* lblPosition = nullptr;
    TLabel* lblMode = nullptr;
    TTrackBar* TrackBar = nullptr;
    TListBox* ListBox = nullptr;
    TDriveComboBox* DriveComboBox = nullptr;
    TDirectoryListBox* DirectoryListBox = nullptr;
    TFileListBox* FileListBox = nullptr;
    TTimer* Timer = nullptr;

    // Start-up and shut-down: the settings file.
    void FormActivate(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormKeyPress(TObject* sender, char& key);

    // The buttons.
    void sbnPlayClick(TObject* sender);
    void sbnPauseClick(TObject* sender);
    void sbnStopClick(TObject* sender);
    void sbnPrevClick(TObject* sender);
    void sbnNextClick(TObject* sender);
    void sbnVolumeClick(TObject* sender);
    void sbnSetEnvClick(TObject* sender);
    void sbnAboutClick(TObject* sender);
    void sbnExitClick(TObject* sender);

    // The playlist, the folder browser, the slider and the timer.
    void ListBoxClick(TObject* sender);
    void ListBoxDblClick(TObject* sender);
    void DriveComboBoxChange(TObject* sender);
    void DirectoryListBoxChange(TObject* sender);
    void TrackBarChange(TObject* sender);
    void TrackBarEnter(TObject* sender);
    void TimerTimer(TObject* sender);

    // What a user and a test can see of the player's state.
    uint8_t PlayStyle() const { return PlayStyle_; }
    bool RepeatOn() const { return RepeatOn_ != 0; }
    bool AutoAdvance() const { return AutoAdvance_ != 0; }
    // The settings file in use from activation to close, or empty.
    std::string SettingsPath() const { return IniFile_ ? IniFile_->FilePath() : std::string(); }

    // The text of a millisecond count: minutes and seconds, each right-aligned in two places ("%2d:%2d").
    static std::string FormatTime(int32_t milliseconds);

  protected:
    void WndProc(TMessage& message) override;

  private:
    // The desktop's media controls (its media keys, panel player and lock screen): they see the buttons' states
    // and the open file, published whenever the program falls idle, and ask for what a button does.
    void PublishMediaSession();
    bool DesktopCommand(short command);

    void ShowPlayingButtons();
    void ShowStoppedButtons();
    void ShowPausedButtons();
    void DisableTransportButtons();
    void UpdatePrevNextButtons();
    void LockBrowsing();
    void UnlockBrowsing();
    void ResetSlider();
    void ShowTimes();
    void ShowMode();
    bool IsAtEnd();
    void ShufflePlaylist();
    // The playlist becomes `source`'s lines in a shuffled order, the first selected.
    void FillShuffled(const TStrings& source);
    void StartTrack();
    // The end of the open file, by play style and repeat.
    void AdvanceAtEnd();
    // Closes the device and puts the caption back.
    void CloseTrack();
    void ShowCaption(const std::string& fileName);
    // Enters the folder and opens the device on FileName. When that fails nothing plays: the entry stays selected
    // with play ready to try it again (which opens it first), its neighbours a step away, the timer off and the
    // folder browser free, and the error goes on to be shown once.
    void OpenSelected();
    void ShowOpenFailed();
    void EnterDirectoryListFolder();
    bool DeviceOpen() const;

    // Where Korvo.ini lives: beside the executable when that folder takes it, else in the user's settings folder.
    std::string SettingsFilePath();
    void SaveSettings();

    std::string ExePath_;
    uint8_t AutoAdvance_ = 0;
    std::unique_ptr<TIniFile> IniFile_;
    uint8_t PlayStyle_ = 0;
    uint8_t RepeatOn_ = 0;
    // A save refused at close keeps the window open once; the next close ends the program whatever happens.
    bool saveFailed_ = false;
    uint32_t random_ = 0;  // the shuffle's generator
    bool moved_ = false;      // the open file played or was seeked since it was opened or its end was handled
    int32_t silentEnds_ = 0;  // files of no length that ended one after another since playback last began
};

extern TKorvo* Korvo;

// Makes the player's classes known to the layout reader.
void RegisterPlayerComponents();

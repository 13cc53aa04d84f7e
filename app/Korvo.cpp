#include "app/Korvo.h"

#include "app/AboutBox.h"
#include "app/DlgSetEnv.h"
#include "browse/BrowseComponents.h"
#include "controls/CheckBox.h"
#include "controls/ControlsComponents.h"
#include "controls/RadioGroup.h"
#include "frame/Application.h"
#include "framework/Layout.h"

TKorvo* Korvo = nullptr;

void RegisterPlayerComponents() {
    RegisterMediaComponents();
    RegisterControlsComponents();
    RegisterBrowseComponents();
}

namespace {

// A handler of the window bound to the event type the layout asks for.
template <typename Event, typename... Args>
std::any Bind(TKorvo* window, void (TKorvo::*method)(Args...)) {
    return Event([window, method](Args... args) { (window->*method)(args...); });
}

}  // namespace

TKorvo::TKorvo(TComponent* owner) : TForm(owner) {
    RegisterPlayerComponents();
    THandlers handlers{
        {"FormActivate", Bind<TNotifyEvent>(this, &TKorvo::FormActivate)},
        {"FormClose", Bind<TCloseEvent>(this, &TKorvo::FormClose)},
        {"FormKeyPress", Bind<TKeyPressEvent>(this, &TKorvo::FormKeyPress)},
        {"sbnPlayClick", Bind<TNotifyEvent>(this, &TKorvo::sbnPlayClick)},
        {"sbnPauseClick", Bind<TNotifyEvent>(this, &TKorvo::sbnPauseClick)},
        {"sbnStopClick", Bind<TNotifyEvent>(this, &TKorvo::sbnStopClick)},
        {"sbnPrevClick", Bind<TNotifyEvent>(this, &TKorvo::sbnPrevClick)},
        {"sbnNextClick", Bind<TNotifyEvent>(this, &TKorvo::sbnNextClick)},
        {"sbnVolumeClick", Bind<TNotifyEvent>(this, &TKorvo::sbnVolumeClick)},
        {"sbnSetEnvClick", Bind<TNotifyEvent>(this, &TKorvo::sbnSetEnvClick)},
        {"sbnAboutClick", Bind<TNotifyEvent>(this, &TKorvo::sbnAboutClick)},
        {"sbnExitClick", Bind<TNotifyEvent>(this, &TKorvo::sbnExitClick)},
        {"ListBoxClick", Bind<TNotifyEvent>(this, &TKorvo::ListBoxClick)},
        {"ListBoxDblClick", Bind<TNotifyEvent>(this, &TKorvo::ListBoxDblClick)},
        {"DriveComboBoxChange", Bind<TNotifyEvent>(this, &TKorvo::DriveComboBoxChange)},
        {"DirectoryListBoxChange", Bind<TNotifyEvent>(this, &TKorvo::DirectoryListBoxChange)},
        {"TrackBarChange", Bind<TNotifyEvent>(this, &TKorvo::TrackBarChange)},
        {"TrackBarEnter", Bind<TNotifyEvent>(this, &TKorvo::TrackBarEnter)},
        {"TimerTimer", Bind<TNotifyEvent>(this, &TKorvo::TimerTimer)},
    };
    ReadLayout(*this, "KORVO", handlers);
    MediaPlayer = FindRequired<TMediaPlayer>(*this, "MediaPlayer");
    pnlButtons = FindRequired<TPanel>(*this, "pnlButtons");
    sbnPlay = FindRequired<TSpeedButton>(*this, "sbnPlay");
    sbnPause = FindRequired<TSpeedButton>(*this, "sbnPause");
    sbnStop = FindRequired<TSpeedButton>(*this, "sbnStop");
    sbnPrev = FindRequired<TSpeedButton>(*this, "sbnPrev");
    sbnNext = FindRequired<TSpeedButton>(*this, "sbnNext");
    sbnVolume = FindRequired<TSpeedButton>(*this, "sbnVolume");
    sbnSetEnv = FindRequired<TSpeedButton>(*this, "sbnSetEnv");
    sbnAbout = FindRequired<TSpeedButton>(*this, "sbnAbout");
    sbnExit = FindRequired<TSpeedButton>(*this, "sbnExit");
    pnlDisplay = FindRequired<TPanel>(*this, "pnlDisplay");
    lblLength = FindRequired<TLabel>(*this, "lblLength");
    lblPosition = FindRequired<TLabel>(*this, "lblPosition");
    lblMode = FindRequired<TLabel>(*this, "lblMode");
    TrackBar = FindRequired<TTrackBar>(*this, "TrackBar");
    ListBox = FindRequired<TListBox>(*this, "ListBox");
    DriveComboBox = FindRequired<TDriveComboBox>(*this, "DriveComboBox");
    DirectoryListBox = FindRequired<TDirectoryListBox>(*this, "DirectoryListBox");
    FileListBox = FindRequired<TFileListBox>(*this, "FileListBox");
    Timer = FindRequired<TTimer>(*this, "Timer");
    Application().OnIdle = [this](TObject*) { PublishMediaSession(); };
}

TKorvo::~TKorvo() {
    Application().OnIdle = nullptr;
    if (Korvo == this) Korvo = nullptr;
}

void TKorvo::FormKeyPress(TObject* sender, char&) { sbnPauseClick(sender); }

void TKorvo::sbnVolumeClick(TObject*) {
    // The platform starts the desktop's own volume control for this name; none installed starts nothing.
    WinExec("SNDVOL32.EXE", SW_SHOW);
}

void TKorvo::sbnSetEnvClick(TObject*) {
    // The dialog is dlgSetEnv while it exists.
    std::unique_ptr<TdlgSetEnv> dialog(new TdlgSetEnv(this));
    dialog->rgpPlayStyle->SetItemIndex(PlayStyle_);
    dialog->cbxRepeat->SetChecked(RepeatOn_ != 0);
    dialog->edtFileMask->SetText(FileListBox->Mask());
    if (dialog->RunModal() != mrOk) return;
    RepeatOn_ = dialog->cbxRepeat->Checked() ? 1 : 0;
    PlayStyle_ = static_cast<uint8_t>(dialog->rgpPlayStyle->ItemIndex());
    ShowMode();
    // The hidden file list reads its folder again with the new mask; the playlist follows at the next folder.
    FileListBox->SetMask(dialog->edtFileMask->Text());
    if (PlayStyle_ == kPlaySequential) {
        ListBox->SetSorted(true);
    } else if (PlayStyle_ == kPlayRandom) {
        ListBox->SetSorted(false);
        ShufflePlaylist();
    }
}

void TKorvo::sbnAboutClick(TObject*) {
    std::unique_ptr<TAboutBox> box(new TAboutBox(this));
    AboutBox = box.get();
    struct Forget {
        ~Forget() { AboutBox = nullptr; }
    } forget;
    box->RunModal();
}

void TKorvo::sbnExitClick(TObject*) { RequestClose(); }

void TKorvo::DriveComboBoxChange(TObject*) { DirectoryListBox->SetDriveLetter(DriveComboBox->DriveLetter()); }

// The player's controls and the folder browser in one window, read from a layout as the player's window will be,
// for the end-to-end test: the drive selector, directory list and file list wired as the player wires them, the
// playlist filled from the file list on every change of folder, and the slider, tool button, radio group and
// check box beside them. It reports on its standard output where the test should click and what each control
// raised, with "idle" once what they caused is on the screen, and shows the busy pointer when the tool button is
// clicked, until the test has looked at it and sends SIGUSR1.
//   korvo_e2e_browse_program FOLDER STICK    (POSIX paths: the folder shown first, and a stick's mount point)

#include <signal.h>

#include <cstdio>
#include <ctime>
#include <string>

#include "browse/BrowseComponents.h"
#include "browse/DirectoryListBox.h"
#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "controls/CheckBox.h"
#include "controls/ControlsComponents.h"
#include "controls/ListBox.h"
#include "controls/RadioGroup.h"
#include "controls/SpeedButton.h"
#include "controls/TrackBar.h"
#include "frame/Application.h"
#include "frame/Forms.h"
#include "frame/Screen.h"
#include "framework/Layout.h"
#include "platform/testing/FakeVolumes.h"
#include "tests/e2e/Handshake.h"

namespace {

constexpr char kLayout[] = R"({
  "class": "TBrowseWindow", "name": "BrowseWindow",
  "properties": { "Caption": "Korvo browse", "ClientWidth": 376, "ClientHeight": 600, "Color": "clBtnFace",
                  "Font": { "Height": -12, "Name": "ＭＳ Ｐゴシック" } },
  "children": [
    { "class": "TDriveComboBox", "name": "DriveComboBox",
      "properties": { "Left": 8, "Top": 8, "Width": 360, "Color": "clNavy", "Font": { "Color": "clYellow" },
                      "OnChange": "DriveComboBoxChange", "TabOrder": 0 } },
    { "class": "TDirectoryListBox", "name": "DirectoryListBox",
      "properties": { "Left": 8, "Top": 36, "Width": 360, "Height": 148, "Color": "clNavy",
                      "Font": { "Color": "clYellow" }, "ItemHeight": 16, "FileList": "FileListBox",
                      "OnChange": "DirectoryListBoxChange", "TabOrder": 1 } },
    { "class": "TFileListBox", "name": "FileListBox",
      "properties": { "Left": 8, "Top": 190, "Width": 176, "Height": 100, "ShowGlyphs": true,
                      "Mask": "*.mp3;*.wav;*.aif;*.au;*.mid", "TabOrder": 2 } },
    { "class": "TRadioGroup", "name": "rgpPlayStyle",
      "properties": { "Left": 192, "Top": 186, "Width": 176, "Height": 89, "Caption": "再生順序",
                      "Items": ["ファイル名順", "1 曲のみ", "ランダム"], "ItemIndex": 0,
                      "OnClick": "rgpPlayStyleClick", "TabOrder": 3 } },
    { "class": "TCheckBox", "name": "cbxRepeat",
      "properties": { "Left": 192, "Top": 280, "Width": 150, "Height": 17, "Caption": "リピート再生",
                      "OnClick": "cbxRepeatClick", "TabOrder": 4 } },
    { "class": "TSpeedButton", "name": "sbnPlay",
      "properties": { "Left": 8, "Top": 298, "Width": 29, "Height": 24, "Glyph": "EN_MPPLAY",
                      "Hint": "再生", "ParentShowHint": false, "ShowHint": true, "OnClick": "sbnPlayClick" } },
    { "class": "TTrackBar", "name": "TrackBar",
      "properties": { "Left": 44, "Top": 304, "Width": 324, "Height": 12, "Max": 1000, "ThumbLength": 10,
                      "TickMarks": "tmBoth", "TickStyle": "tsNone", "OnChange": "TrackBarChange", "TabOrder": 5 } },
    { "class": "TListBox", "name": "ListBox",
      "properties": { "Left": 8, "Top": 328, "Width": 360, "Height": 264, "Sorted": true, "Color": "clNavy",
                      "Font": { "Color": "clYellow" }, "ItemHeight": 12, "OnClick": "ListBoxClick",
                      "OnDblClick": "ListBoxDblClick", "TabOrder": 6 } }
  ]
})";

void Report(const std::string& line) {
    e2e::Say(line);
    e2e::SayIdleAfterwards();
}

std::string WindowsPath(std::string posix) {
    for (char& c : posix)
        if (c == '/') c = '\\';
    return "C:" + posix;
}

class TBrowseWindow : public TForm {
  public:
    explicit TBrowseWindow(TComponent* owner) : TForm(owner) {
        THandlers handlers{
            {"DriveComboBoxChange", TNotifyEvent([this](TObject*) {
                 Report(std::string("drive ") + drives_->DriveLetter());
                 directories_->SetDriveLetter(drives_->DriveLetter());
             })},
            {"DirectoryListBoxChange", TNotifyEvent([this](TObject*) {
                 files_->Rescan();
                 playlist_->SetItems(files_->Items());
                 Report("folder " + directories_->DirPath() + " " + std::to_string(playlist_->Items().LineCount()));
             })},
            {"ListBoxClick", TNotifyEvent([this](TObject*) {
                 int32_t index = playlist_->ItemIndex();
                 Report("playlist click " + std::to_string(index) + " " + playlist_->Items().LineText(index));
             })},
            {"ListBoxDblClick",
             TNotifyEvent([this](TObject*) { Report("playlist dblclick " + std::to_string(playlist_->ItemIndex())); })},
            {"TrackBarChange", TNotifyEvent([this](TObject*) { Report("slider " + std::to_string(slider_->Position())); })},
            {"rgpPlayStyleClick",
             TNotifyEvent([this](TObject*) { Report("style " + std::to_string(styles_->ItemIndex())); })},
            {"cbxRepeatClick", TNotifyEvent([this](TObject*) { Report(std::string("repeat ") + (repeat_->Checked() ? "1" : "0")); })},
            {"sbnPlayClick", TNotifyEvent([](TObject*) { ShowBusyPointer(); })},
        };
        ReadLayoutText(*this, kLayout, handlers);
        drives_ = FindRequired<TDriveComboBox>(*this, "DriveComboBox");
        directories_ = FindRequired<TDirectoryListBox>(*this, "DirectoryListBox");
        files_ = FindRequired<TFileListBox>(*this, "FileListBox");
        styles_ = FindRequired<TRadioGroup>(*this, "rgpPlayStyle");
        repeat_ = FindRequired<TCheckBox>(*this, "cbxRepeat");
        slider_ = FindRequired<TTrackBar>(*this, "TrackBar");
        playlist_ = FindRequired<TListBox>(*this, "ListBox");
        // Said once the list has dropped down and is on the screen, where the test will click.
        drives_->OnDropDown = [](TObject*) { e2e::WhenIdle(ReportDropped); };
        self_ = this;
    }

    void ReportPlaces() {
        auto place = [this](const std::string& name, TControl* control, POINT at) {
            POINT point = ScreenToClient(control->ClientToScreen(at));
            Report("place " + name + " " + std::to_string(point.x) + " " + std::to_string(point.y));
        };
        // The first subdirectory: the line after the current directory's.
        RECT sub = directories_->ItemRect(directories_->ItemIndex() + 1);
        place("subfolder", directories_, {40, (sub.top + sub.bottom) / 2});
        RECT line = playlist_->ItemRect(1);
        place("playlist", playlist_, {40, (line.top + line.bottom) / 2});
        RECT thumb{};
        SendMessageA(slider_->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        place("thumb", slider_, {(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2});
        place("slider", slider_, {slider_->Width() * 3 / 4, slider_->Height() / 2});
        place("button", FindRequired<TSpeedButton>(*this, "sbnPlay"), {14, 12});
        place("drives", drives_, {drives_->Width() / 2, drives_->Height() / 2});
        place("style", styles_, {30, styles_->Height() / 2 + 4});
        place("repeat", repeat_, {8, repeat_->Height() / 2});
    }

  private:
    // What a long read does to the pointer, held until the test has looked at the screen (it says so with
    // SIGUSR1, which main keeps blocked for this wait).
    static void ShowBusyPointer() {
        TCursor saved = Screen().Cursor();
        Screen().SetCursor(crHourGlass);
        Report("busy");
        sigset_t release;
        sigemptyset(&release);
        sigaddset(&release, SIGUSR1);
        const timespec limit{600, 0};  // never outlive a test that went wrong by much
        sigtimedwait(&release, nullptr, &limit);
        Screen().SetCursor(saved);
        Report("free");
    }

    static void ReportDropped() {
        TDriveComboBox* drives = self_->drives_;
        RECT dropped{};
        SendMessageA(drives->Handle(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
        // The line of drive D:, the second line, in screen coordinates.
        int height = static_cast<int>(SendMessageA(drives->Handle(), CB_GETITEMHEIGHT, 0, 0));
        Report("dropped " + std::to_string((dropped.left + dropped.right) / 2) + " " +
               std::to_string(dropped.top + 1 + height + height / 2));
    }

    static inline TBrowseWindow* self_ = nullptr;
    TDriveComboBox* drives_;
    TDirectoryListBox* directories_;
    TFileListBox* files_;
    TRadioGroup* styles_;
    TCheckBox* repeat_;
    TTrackBar* slider_;
    TListBox* playlist_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    // Blocked before any thread starts, so that the busy pointer's wait is the signal's only taker.
    sigset_t release;
    sigemptyset(&release);
    sigaddset(&release, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &release, nullptr);
    using platform::kernel::Volume;
    Volume stick;
    stick.letter = 'D';
    stick.mountPoint = argv[2];
    stick.driveType = DRIVE_REMOVABLE;
    stick.label = "STICK";
    Volume disc;
    disc.letter = 'E';
    disc.mountPoint = "/nonexistent-disc";
    disc.driveType = DRIVE_CDROM;
    disc.ready = false;
    platform::testing::FakeVolumeTable drives({platform::testing::RootVolume(), stick, disc});
    try {
        TApplication& application = Application();
        application.RunStartupHook();
        application.SetAppTitle("Korvo browse");
        RegisterControlsComponents();
        RegisterBrowseComponents();
        TBrowseWindow* window = nullptr;
        application.MakeForm(window);
        window->SetBounds(40, 40, window->Width(), window->Height());
        window->Show();
        FindRequired<TDirectoryListBox>(*window, "DirectoryListBox")->SetDirPath(WindowsPath(argv[1]));
        e2e::WhenIdle([window] {
            window->ReportPlaces();
            Report("shown");
        });
        // Never outlive a test that went wrong by much.
        SetTimer(nullptr, 0, 600000, [](HWND, UINT, UINT_PTR, DWORD) { Application().RequestQuit(); });
        application.RunLoop();
    } catch (...) {
        ShowStartupErrorAndExit();
    }
    return 0;
}

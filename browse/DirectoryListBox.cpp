#include "browse/DirectoryListBox.h"

#include <cctype>

#include "browse/DriveComboBox.h"
#include "browse/FileListBox.h"
#include "browse/LineGlyphs.h"
#include "browse/PathRoutines.h"
#include "browse/ShortenPath.h"
#include "framework/Layout.h"
#include "framework/StdCtrls.h"
#include "runtime/Canvas.h"

namespace {

bool SameLetter(char a, char b) {
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

// Puts DirPath and the process's current directory back when a move fails before its lines are rebuilt, so that
// a failed move leaves everything where it was.
class MoveRollback {
  public:
    explicit MoveRollback(std::string& dirPath) : dirPath_(dirPath), saved_(dirPath) {}
    ~MoveRollback() {
        if (kept_) return;
        dirPath_ = saved_;
        if (IsExistingDirectory(saved_)) SetCurrentDirectoryA(saved_.c_str());
    }
    MoveRollback(const MoveRollback&) = delete;
    MoveRollback& operator=(const MoveRollback&) = delete;
    void Keep() { kept_ = true; }

  private:
    std::string& dirPath_;
    std::string saved_;
    bool kept_ = false;
};

// Holds a flag set for a scope, clearing it on every way out.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
};

// A canvas on the screen, for measuring text in a font.
class ScreenCanvas {
  public:
    ScreenCanvas() : dc_(GetDC(nullptr)), loan_(canvas_, dc_) {}
    ~ScreenCanvas() { ReleaseDC(nullptr, dc_); }
    ScreenCanvas(const ScreenCanvas&) = delete;
    ScreenCanvas& operator=(const ScreenCanvas&) = delete;
    TCanvas& Canvas() { return canvas_; }

  private:
    TCanvas canvas_;
    HDC dc_;
    TCanvasLoan loan_;  // declared last: lets go of the DC before it is released
};

}  // namespace

TDirectoryListBox::TDirectoryListBox(TComponent* owner) : TCustomListBox(owner) {
    SetWidth(145);
    SetStyle(TListBoxStyle::lbOwnerDrawFixed);
    SetSorted(false);
    LoadGlyphs();
    dirPath_ = CurrentDirectory();
    FitItemHeight();
}

void TDirectoryListBox::LoadGlyphs() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    closedGlyph_.LoadFromResourceName(instance, "CLOSEDFOLDER");
    openedGlyph_.LoadFromResourceName(instance, "OPENFOLDER");
    currentGlyph_.LoadFromResourceName(instance, "CURRENTFOLDER");
}

void TDirectoryListBox::FitItemHeight() {
    int height = FontLineHeight(Font());
    if (height < openedGlyph_.Height() + 1) height = openedGlyph_.Height() + 1;
    SetItemHeight(height);
}

void TDirectoryListBox::SetDirPath(const std::string& value) {
    if (value.empty() || CompareDirectoryNames(value, dirPath_) == 0) return;
    TSplitPath split = SplitPath(value);
    {
        MoveRollback rollback(dirPath_);
        // Letter case counts here: a drive spelled in other case is switched to again, which does nothing.
        if (dirPath_.empty() || split.DriveLetter != dirPath_[0]) {
            FlagScope setting(settingDirectory_);
            if (driveSelector_) driveSelector_->SetDriveLetter(split.DriveLetter);  // which calls SelectDrive
            else SelectDrive(split.DriveLetter);
        }
        EnterDirectory(split.Directory);
        rollback.Keep();
    }
    NotifyChange();
}

void TDirectoryListBox::EnterDirectory(const std::string& path) {
    // A path without a drive is taken on the drive, and relative to the directory, of DirPath.
    if (IsExistingDirectory(dirPath_)) ChangeDirectory(dirPath_);
    ChangeDirectory(path);
    dirPath_ = CurrentDirectory();
    ReadLevels();
}

void TDirectoryListBox::SelectDrive(char letter) {
    if (SameLetter(letter, DriveLetter())) return;
    MoveRollback rollback(dirPath_);
    if (letter) {
        ChangeDirectory(std::string(1, letter) + ":");  // the drive's remembered directory, or its root
        dirPath_ = CurrentDirectory();
    }
    // While DirPath is being assigned, the assignment rebuilds and notifies once, at its end.
    if (!settingDirectory_) ReadLevels();
    rollback.Keep();
    if (!settingDirectory_) NotifyChange();
}

void TDirectoryListBox::SetDriveLetter(char letter) {
    // The null character names no drive to go to.
    if (letter && !SameLetter(letter, DriveLetter())) SetDirPath(std::string(1, letter) + ":");
}

void TDirectoryListBox::SetFileList(TFileListBox* value) {
    if (fileList_ == value) return;
    if (fileList_) fileList_->SetDirList(nullptr);
    fileList_ = value;
    if (!value) return;
    value->SetDirList(this);
    value->FreeNotification(this);
}

void TDirectoryListBox::SetDriveSelector(TDriveComboBox* selector) {
    if (driveSelector_ == selector) return;
    driveSelector_ = selector;
    if (selector) selector->FreeNotification(this);
}

void TDirectoryListBox::SetDirLabel(TLabel* value) {
    if (dirLabel_ == value) return;
    dirLabel_ = value;
    if (value) value->FreeNotification(this);
    UpdateDirLabel();
}

void TDirectoryListBox::OpenSelected() { SetDirPath(LevelPath(ItemIndex())); }

void TDirectoryListBox::NotifyChange() {
    if (fileList_) fileList_->SetDirPath(dirPath_);  // reads again only when its own directory differs
    UpdateDirLabel();
    if (OnChange) OnChange(this);
}

void TDirectoryListBox::UpdateDirLabel() {
    if (!dirLabel_) return;
    int width = dirLabel_->AutoSize() ? Width() : dirLabel_->Width();
    ScreenCanvas screen;
    screen.Canvas().Font().Assign(dirLabel_->Font());
    dirLabel_->SetCaption(ShortenPath(dirPath_, screen.Canvas(), width));
}

int TDirectoryListBox::CompareDirectoryNames(std::string_view a, std::string_view b) const {
    if (!caseSensitiveVolume_) return CompareFileNames(a, b);
    return CompareStringA(LOCALE_USER_DEFAULT, 0, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) -
           CSTR_EQUAL;
}

void TDirectoryListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    ReadLevels();
}

void TDirectoryListBox::DblClick() {
    TCustomListBox::DblClick();
    OpenSelected();
}

bool TDirectoryListBox::DoKeyPress(TMessage& message) {
    if (TCustomListBox::DoKeyPress(message)) return true;  // a handler took the key
    if (message.WParam == '\r') OpenSelected();
    return false;
}

void TDirectoryListBox::WndProc(TMessage& message) {
    TCustomListBox::WndProc(message);
    if (message.Msg == CM_FONTCHANGED) FitItemHeight();
}

void TDirectoryListBox::Notification(TComponent* component, TOperation operation) {
    TCustomListBox::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == fileList_) fileList_ = nullptr;
    if (component == driveSelector_) driveSelector_ = nullptr;
    if (component == dirLabel_) dirLabel_ = nullptr;
}

bool TDirectoryListBox::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "DirLabel") {
        std::string target = value.Text();
        context.Later([this, target, &context] { SetDirLabel(FindRequired<TLabel>(context.Root(), target)); });
    } else if (name == "FileList") {
        std::string target = value.Text();
        context.Later([this, target, &context] { SetFileList(FindRequired<TFileListBox>(context.Root(), target)); });
    } else if (name == "OnChange") {
        OnChange = context.Handler<TNotifyEvent>(value.Text());
    } else {
        return TCustomListBox::ReadProperty(name, value, context);
    }
    return true;
}

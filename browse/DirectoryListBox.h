#pragma once
// The directory list: where the current directory lies and what it holds. Line 0 is the drive's root (or the
// network share's), then one line per directory on the way down, the current directory, and its subdirectories
// sorted by name, each line indented by its depth and drawn with a folder glyph. Opening a line (double click or
// Enter) moves there. Every completed move leaves DirPath as the platform reports it, the lines rebuilt with the
// current directory selected, the process's current directory at DirPath, a linked file list moved, a linked label
// updated, and OnChange raised once. A move that fails leaves all of these as they were.

#include <cstdint>
#include <string>
#include <string_view>

#include "controls/ListBox.h"
#include "runtime/Bitmap.h"

class TDriveComboBox;
class TFileListBox;
class TLabel;
class TStringList;

class TDirectoryListBox : public TCustomListBox {
  public:
    explicit TDirectoryListBox(TComponent* owner);

    const std::string& DirPath() const { return dirPath_; }
    // Moves to a directory, or to the directory of a file. The same path does nothing; letter case counts only on
    // a volume that searches case-sensitively. Raises EInOutError for a directory that does not exist or cannot
    // be read, or a drive without its medium.
    void SetDirPath(const std::string& value);
    // The first character of DirPath. Setting another letter (case ignored) moves to that drive's remembered
    // directory, its root the first time.
    char DriveLetter() const { return dirPath_.empty() ? '\0' : dirPath_[0]; }
    void SetDriveLetter(char letter);
    // The drive switch a linked drive selector calls; the null character changes nothing but the lines.
    void SelectDrive(char letter);

    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* value);
    TDriveComboBox* DriveSelector() const { return driveSelector_; }
    // Set by the drive selector's DirList.
    void SetDriveSelector(TDriveComboBox* selector);
    TLabel* DirLabel() const { return dirLabel_; }
    void SetDirLabel(TLabel* value);

    // What the volume of DirPath reported when the lines were last read: names keep their letter case, and
    // searches tell letter case apart.
    bool KeepsCase() const { return keepsCase_; }
    bool CaseSensitiveVolume() const { return caseSensitiveVolume_; }

    // The full path a line stands for; the empty text for an index out of range.
    std::string LevelPath(int32_t index);
    // A line's text as it is shown: lower case on a volume that neither keeps nor tells letter case.
    std::string CaseForDisplay(std::string_view text) const;
    // 0 when both name the same directory on this volume.
    int CompareDirectoryNames(std::string_view a, std::string_view b) const;
    void OpenSelected();

    TNotifyEvent OnChange;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    virtual void NotifyChange();
    // Rebuilds the lines for DirPath. The subdirectories are read before anything changes, so a directory that
    // cannot be read raises EInOutError with the lines as they were. Without a window only the volume is asked
    // about: the window's creation reads the lines.
    virtual void ReadLevels();

    void CreateWnd() override;
    void DrawItem(int32_t index, const RECT& rect, TOwnerDrawState state) override;
    void DblClick() override;
    bool DoKeyPress(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;

  private:
    void LoadGlyphs();
    void FitItemHeight();
    void EnterDirectory(const std::string& path);
    void UpdateDirLabel();
    const TBitmap* GlyphOf(TLineData data) const;

    TFileListBox* fileList_ = nullptr;
    TDriveComboBox* driveSelector_ = nullptr;
    TLabel* dirLabel_ = nullptr;
    bool settingDirectory_ = false;
    bool keepsCase_ = false;
    bool caseSensitiveVolume_ = false;
    TBitmap closedGlyph_;
    TBitmap openedGlyph_;
    TBitmap currentGlyph_;
    std::string dirPath_;
    int32_t currentLine_ = 0;  // the current directory's line; the subdirectories follow it
};

// The subdirectories of parent, neither hidden nor system, without "." and "..", into list, by the list's own rules
// for order and duplicates; names equal ignoring case reach it in byte order. Returns how many the search found.
// Raises EInOutError when parent cannot be read.
int ReadSubdirectories(const std::string& parent, TStringList& list);

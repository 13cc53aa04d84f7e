#pragma once
// The file list: an owner-drawn, sorted list of the entries of one directory whose names match a mask of wildcard
// patterns ("*.mp3;*.wav") and whose kinds match FileType. Files are listed by their bare names, directories as
// "[name]". The lines exist only with the window: its creation reads the folder, and nothing is read while there
// is no window. Every completed read leaves no line selected and the process's current directory at DirPath.

#include <cstdint>
#include <string>
#include <string_view>

#include "controls/ListBox.h"
#include "runtime/Bitmap.h"
#include "runtime/Set.h"

class TDirectoryListBox;
class TEdit;

enum class TFileAttr : uint8_t { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
using TFileType = TSet<TFileAttr>;

class TFileListBox : public TCustomListBox {
  public:
    explicit TFileListBox(TComponent* owner);

    // A full path as the platform reports the current directory. Setting it changes the process's current
    // directory (a relative path is taken from the old DirPath) and reads again; the same folder in other letter
    // case does nothing, unless the volume tells letter case apart. A read that fails leaves DirPath, the lines and the current directory as they were.
    const std::string& DirPath() const { return dirPath_; }
    void SetDirPath(const std::string& value);
    // Patterns separated by ";", each used as it is. Only a changed text reads again; Rescan always does.
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& value);
    // ftNormal accepts every entry the search returns; the other kinds let hidden, system or directory entries in.
    TFileType FileType() const { return fileType_; }
    void SetFileType(TFileType value);
    bool ShowGlyphs() const { return showGlyphs_; }
    void SetShowGlyphs(bool value);
    // An edit box that shows the selected name, or Mask while none is selected.
    TEdit* FileEdit() const { return fileEdit_; }
    void SetFileEdit(TEdit* value);
    // Set by the directory list's FileList; a chosen file's folder then goes through that list.
    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* value);

    void Rescan() { ReadEntries(); }
    // The selected file's full path, or the empty text.
    std::string ChosenFile() { return CurrentFileName(); }
    // Moves to the text's folder and selects its file, or makes a wildcard file part the mask. Raises
    // EInvalidOperation for a name that is neither a file nor a folder, EInOutError for a folder that is missing.
    void SetChosenFile(const std::string& value) { ApplyFileName(value); }
    // The selected line's text; empty when no line is selected.
    std::string SelectedName();
    // Selects the line of that name (letter case ignored), or none, and notifies.
    void SelectName(const std::string& name);

    TNotifyEvent OnChange;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    // Reads the folder into the lines: the searches run first, so a folder that cannot be read raises
    // EInOutError and leaves the lines as they were. Shows the hourglass from the 101st entry on.
    virtual void ReadEntries();
    virtual void NotifyChange();
    virtual std::string CurrentFileName();
    virtual void ApplyFileName(const std::string& text);

    void CreateWnd() override;
    void DrawItem(int32_t index, const RECT& rect, TOwnerDrawState state) override;
    void Click() override;
    void Notification(TComponent* component, TOperation operation) override;

  private:
    void LoadGlyphs();
    void FitItemHeight();
    // The glyph a line's data value stands for, or nullptr for a value that is none of this list's glyphs.
    const TBitmap* GlyphOf(TLineData data) const;
    const TBitmap& FileGlyph(std::string_view name) const;

    std::string dirPath_;
    std::string mask_ = "*.*";
    TFileType fileType_{TFileAttr::ftNormal};
    TEdit* fileEdit_ = nullptr;
    TDirectoryListBox* dirList_ = nullptr;
    TBitmap executableGlyph_;
    TBitmap folderGlyph_;
    TBitmap otherFileGlyph_;
    int32_t lastSelection_ = -1;
    bool showGlyphs_ = false;
    uint64_t linesFingerprint_ = 0;  // of the lines the last read gathered
};

#pragma once
// The drive selector: a drop-down list of the machine's drives in letter order, each with a glyph for its kind and,
// except for removable drives, its volume label or network share after the letter. Picking a line or assigning
// DriveLetter selects the drive's line, moves a linked directory list to the drive and raises OnChange.
//
// The lines are read when the window is made (every re-creation reads them again) and when TextCase is assigned;
// each of these also selects DriveLetter's line and raises OnChange. A user's pick of another drive raises OnChange
// twice: once from the assignment of DriveLetter (which has the new letter already) and once as any choice in a
// combo box does. Removable drives are never asked for their label, so building the list touches no floppy. A drive
// plugged in or pulled while the program runs (WM_DEVICECHANGE) reads the lines again and keeps the selected drive.

#include <cstdint>
#include <string>

#include "controls/ComboBox.h"
#include "runtime/Bitmap.h"

class TDirectoryListBox;

enum class TTextCase : uint8_t { tcLowerCase, tcUpperCase };

class TDriveComboBox : public TCustomComboBox {
  public:
    explicit TDriveComboBox(TComponent* owner);
    ~TDriveComboBox() override;

    // The selected drive's letter, in TextCase's case once the window exists; '\0' when there is none (the program
    // started in a network folder).
    char DriveLetter() const { return driveLetter_; }
    // The present letter in either case does nothing while its line is selected. Any other letter is stored, its
    // line selected (the selection stays when no line has it), the directory list moved and OnChange raised. A
    // directory list that cannot move (a drive without its medium) raises its error after the letter and the
    // selection have changed, and OnChange is not raised.
    void SetDriveLetter(char letter);
    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* list);
    TTextCase TextCase() const { return textCase_; }
    // With a window, reads the drives again, selects DriveLetter's line and raises OnChange, even for the present
    // value. Without one it only takes the case, which the window's creation then uses.
    void SetTextCase(TTextCase value);

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    virtual void ReadDrives();

    void CreateWnd() override;
    void DrawItem(int32_t index, const RECT& rect, TOwnerDrawState state) override;
    void Click() override;
    void Notification(TComponent* component, TOperation operation) override;

  private:
    void LoadGlyphs();
    void FitItemHeight();
    // The letter in the case TextCase asks for.
    char Cased(char letter) const;
    // "[label]", the label in the letter's case; "[]" when the volume cannot be read.
    std::string VolumeLabelText(char letter) const;
    // The remote name in the letter's case, or VolumeLabelText when the connection cannot be read.
    std::string NetworkShareText(char letter) const;
    const TBitmap* GlyphOf(TLineData data) const;
    // A drive came or went (WM_DEVICECHANGE, which the form passes on).
    void DrivesChanged(WPARAM event, const DEV_BROADCAST_HDR* header);

    TDirectoryListBox* dirList_ = nullptr;
    char driveLetter_ = '\0';
    TTextCase textCase_ = TTextCase::tcLowerCase;
    TBitmap floppyGlyph_;
    TBitmap fixedGlyph_;
    TBitmap networkGlyph_;
    TBitmap cdromGlyph_;
    TBitmap ramGlyph_;
};

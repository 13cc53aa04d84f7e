// Reading a folder into the file list.

#include <vector>

#include "browse/DirectorySearch.h"
#include "browse/FileListBox.h"
#include "browse/PathRoutines.h"
#include "frame/Screen.h"

namespace {

// Reading a folder with more entries than this takes long enough to show the hourglass.
constexpr size_t kHourGlassEntries = 100;

// The kinds below ftNormal have the ordinals of their attribute bits (ftReadOnly 0 is 0x01 … ftArchive 5 is 0x20),
// so the set's bits are the attribute word.
DWORD AttributeWord(TFileType type) { return type.Bits() & 0x3F; }

// Puts the screen's cursor back however a read ends.
class CursorRestore {
  public:
    CursorRestore() : saved_(Screen().Cursor()) {}
    ~CursorRestore() { Screen().SetCursor(saved_); }
    CursorRestore(const CursorRestore&) = delete;
    CursorRestore& operator=(const CursorRestore&) = delete;

  private:
    TCursor saved_;
};

struct EntryLine {
    std::string text;
    TLineData glyph;
};

}  // namespace

void TFileListBox::ReadEntries() {
    if (!HandleAllocated()) return;  // the window's creation reads the folder
    const DWORD attributes = AttributeWord(fileType_);
    const bool acceptEverything = fileType_.Contains(TFileAttr::ftNormal);
    ChangeDirectory(dirPath_);
    {
        CursorRestore cursor;
        std::vector<EntryLine> lines;
        auto take = [&](const TSearchEntry& entry) {
            if (!acceptEverything && !(entry.Attributes & attributes)) return;
            if (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY)
                lines.push_back({"[" + entry.Name + "]", showGlyphs_ ? reinterpret_cast<TLineData>(&folderGlyph_) : 0});
            else
                lines.push_back({entry.Name, reinterpret_cast<TLineData>(&FileGlyph(entry.Name))});
            if (lines.size() == kHourGlassEntries + 1) Screen().SetCursor(crHourGlass);
        };
        // Each piece as it is: blanks count, and an empty piece matches nothing.
        for (size_t start = 0;;) {
            size_t end = mask_.find(';', start);
            SearchDirectory(std::string_view(mask_).substr(start, end - start), attributes, take);
            if (end == std::string::npos) break;
            start = end + 1;
        }
        // Every search has succeeded: only now are the old lines replaced. An entry two pieces match is listed
        // twice.
        runtime::UpdateBracket bracket(Items());
        Items().RemoveAll();
        for (const EntryLine& line : lines) {
            int32_t index = Items().AppendLine(line.text);
            if (line.glyph) Items().SetLineData(index, line.glyph);
        }
    }
    NotifyChange();
}

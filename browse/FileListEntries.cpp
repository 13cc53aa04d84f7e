// Reading a folder into the file list.

#include <cstdint>
#include <vector>

#include "browse/DirectorySearch.h"
#include "browse/FileListBox.h"
#include "browse/HourGlass.h"
#include "browse/PathRoutines.h"

namespace {

// The kinds below ftNormal have the ordinals of their attribute bits (ftReadOnly 0 is 0x01 … ftArchive 5 is 0x20),
// so the set's bits are the attribute word.
DWORD AttributeWord(TFileType type) { return type.Bits() & 0x3F; }

struct EntryLine {
    std::string text;
    TLineData glyph;
};

// FNV-1a over every line's text and glyph, in the order gathered.
uint64_t Fingerprint(const std::vector<EntryLine>& lines) {
    uint64_t hash = 1469598103934665603ull;
    auto add = [&hash](const void* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            hash ^= static_cast<const unsigned char*>(bytes)[i];
            hash *= 1099511628211ull;
        }
    };
    for (const EntryLine& line : lines) {
        add(line.text.data(), line.text.size() + 1);  // with its end, so that "ab","c" differs from "a","bc"
        add(&line.glyph, sizeof line.glyph);
    }
    return hash;
}

}  // namespace

void TFileListBox::ReadEntries() {
    if (!HandleAllocated()) return;  // the window's creation reads the folder
    const DWORD attributes = AttributeWord(fileType_);
    const bool acceptEverything = fileType_.Contains(TFileAttr::ftNormal);
    ChangeDirectory(dirPath_);
    {
        THourGlass hourGlass;
        std::vector<EntryLine> lines;
        auto take = [&](const TSearchEntry& entry) {
            if (!acceptEverything && !(entry.Attributes & attributes)) return;
            if (entry.Attributes & FILE_ATTRIBUTE_DIRECTORY)
                lines.push_back({"[" + entry.Name + "]", showGlyphs_ ? reinterpret_cast<TLineData>(&folderGlyph_) : 0});
            else
                lines.push_back({entry.Name, reinterpret_cast<TLineData>(&FileGlyph(entry.Name))});
            hourGlass.Counted(lines.size());
        };
        // Each piece as it is: blanks count, and an empty piece matches nothing.
        for (size_t start = 0;;) {
            size_t end = mask_.find(';', start);
            SearchDirectory(std::string_view(mask_).substr(start, end - start), attributes, take);
            if (end == std::string::npos) break;
            start = end + 1;
        }
        // Every search has succeeded: only now are the old lines replaced. An entry two pieces match is listed
        // twice. A read that gathered just what the last one did (the same folder read again at once, as a change
        // of folder and the player's rescan after it do) leaves the lines, which are what the new ones would be,
        // and empties the selection as new lines would.
        const uint64_t fingerprint = Fingerprint(lines);
        if (fingerprint == linesFingerprint_ && static_cast<size_t>(Items().LineCount()) == lines.size()) {
            SetItemIndex(-1);
            SetTopIndex(0);
        } else {
            runtime::UpdateBracket bracket(Items());
            Items().RemoveAll();
            for (const EntryLine& line : lines) {
                int32_t index = Items().AppendLine(line.text);
                if (line.glyph) Items().SetLineData(index, line.glyph);
            }
            linesFingerprint_ = fingerprint;
        }
    }
    NotifyChange();
}

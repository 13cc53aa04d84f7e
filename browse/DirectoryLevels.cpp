// The directory list's lines: reading them, what each stands for, and drawing them.

#include <algorithm>
#include <vector>

#include "browse/DirectoryListBox.h"
#include "browse/DirectorySearch.h"
#include "browse/HourGlass.h"
#include "browse/LineGlyphs.h"
#include "browse/PathRoutines.h"
#include "browse/ShortenPath.h"
#include "runtime/FileNames.h"
#include "runtime/Strings.h"

namespace {

constexpr int kIndentStep = 4;    // pixels per level
constexpr int kIndentMargin = 2;  // before the root's glyph
constexpr int kGlyphWidth = 16;   // the room a line without a glyph leaves for one
constexpr int kTextGap = 4;       // between glyph and text

}  // namespace

int ReadSubdirectories(const std::string& parent, TStringList& list) {
    THourGlass hourGlass;
    std::vector<std::string> names;
    SearchDirectory(JoinPath(parent, "*.*"), FILE_ATTRIBUTE_DIRECTORY, [&](const TSearchEntry& entry) {
        if (!(entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) || entry.Name == "." || entry.Name == "..") return;
        names.push_back(entry.Name);
        hourGlass.Counted(names.size());
    }, true);
    // In the list's own order before they go in, so that each goes in at the end rather than into the middle of a
    // list of tens of thousands; names equal ignoring case keep one order whatever order the disk keeps them in.
    std::sort(names.begin(), names.end());
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return TStrings::CompareLines(a, b) < 0; });
    for (const std::string& name : names) list.AppendLine(name);
    return static_cast<int>(names.size());
}

void TDirectoryListBox::ReadLevels() {
    // The subfolders' own read shows the hourglass while it lasts; a long list keeps it while its lines go in.
    THourGlass hourGlass;
    const std::string root = FileDrivePart(dirPath_) + "\\";
    DWORD maximumLength = 0;
    DWORD flags = 0;
    bool known = GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, &maximumLength, &flags, nullptr, 0);
    keepsCase_ = known && (flags & (FILE_CASE_SENSITIVE_SEARCH | FILE_CASE_PRESERVED_NAMES));
    caseSensitiveVolume_ = known && (flags & FILE_CASE_SENSITIVE_SEARCH);
    TStringList subdirectories;
    subdirectories.SetSorted(true);
    // "Music" and "music" are two folders on a volume that tells letter case apart, and one elsewhere.
    subdirectories.SetDuplicates(caseSensitiveVolume_ ? TDuplicates::Accept : TDuplicates::Ignore);
    hourGlass.Counted(static_cast<size_t>(ReadSubdirectories(dirPath_, subdirectories)));
    if (!HandleAllocated()) return;

    const auto opened = reinterpret_cast<TLineData>(&openedGlyph_);
    {
        runtime::UpdateBracket bracket(Items());
        Items().RemoveAll();
        bool added = false;
        std::string rest = dirPath_;
        if (root.size() > 1 && root[1] == '\\') {  // a network share: its root is one line
            Items().AppendLineData(root, opened);
            added = true;
            rest = dirPath_.size() > root.size() ? dirPath_.substr(root.size()) : std::string();
        }
        if (!rest.empty()) {
            if (LastCharacter(rest) != "\\") {
                for (size_t cut; (cut = FirstSeparator(rest)) != std::string::npos;) {
                    std::string piece = rest.substr(0, cut);
                    rest.erase(0, cut + 1);
                    if (!added) piece += '\\';  // the drive's root reads C:\ like a path
                    Items().AppendLineData(piece, opened);
                    added = true;
                }
            }
            // At a drive's root this one line is both the root and the current directory.
            Items().AppendLineData(rest, reinterpret_cast<TLineData>(&currentGlyph_));
        }
        currentLine_ = Items().LineCount() - 1;
        for (int32_t i = 0, count = subdirectories.LineCount(); i < count; ++i)
            Items().AppendLineData(subdirectories.LineText(i), reinterpret_cast<TLineData>(&closedGlyph_));
    }
    SetItemIndex(currentLine_);
}

std::string TDirectoryListBox::LevelPath(int32_t index) {
    if (index < 0 || index >= Items().LineCount()) return {};
    const std::string drive = FileDrivePart(dirPath_);
    if (index == 0) return drive + "\\";
    const TBitmap* glyph = GlyphOf(Items().LineData(index));
    if (glyph == &closedGlyph_) return JoinPath(dirPath_, Items().LineText(index));
    if (glyph == &currentGlyph_) return dirPath_;
    // A directory above the current one: DirPath up to the separator after the line's name.
    const std::string rest = dirPath_.substr(drive.size());
    const char* begin = rest.c_str();
    size_t end = rest.size();
    int32_t counted = 0;
    for (const char* p = begin; *p; p = CharNextA(p)) {
        if (*p == '\\' && ++counted == index + 1) {
            end = static_cast<size_t>(p - begin);
            break;
        }
    }
    return drive + rest.substr(0, end);
}

std::string TDirectoryListBox::CaseForDisplay(std::string_view text) const {
    if (keepsCase_ || caseSensitiveVolume_) return std::string(text);
    return LowerCaseFileName(text);
}

const TBitmap* TDirectoryListBox::GlyphOf(TLineData data) const {
    for (const TBitmap* glyph : {&closedGlyph_, &openedGlyph_, &currentGlyph_})
        if (data == reinterpret_cast<TLineData>(glyph)) return glyph;
    return nullptr;
}

void TDirectoryListBox::DrawItem(int32_t index, const RECT& rect, TOwnerDrawState) {
    TCanvas& canvas = Canvas();
    canvas.FillRect(rect);
    const TBitmap* glyph = GlyphOf(Items().LineData(index));
    // Subdirectories sit one step deeper than the current directory's line.
    int indent = (glyph == &closedGlyph_ ? currentLine_ + 1 : index) * kIndentStep + kIndentMargin;
    int glyphWidth = kGlyphWidth;
    if (glyph) {
        glyphWidth = glyph->Width();
        DrawLineGlyph(canvas, rect, indent, *glyph);
    }
    canvas.TextOut(rect.left + indent + glyphWidth + kTextGap, rect.top, CaseForDisplay(Items().LineText(index)));
}

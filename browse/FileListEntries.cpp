// Reading a folder into the file list.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
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

// The lines in the order a sorted list gives them, so that each goes in after the last instead of being searched
// for among tens of thousands. By the locale's sort keys: the first bytes of two keys settle most pairs with one
// byte comparison, and the rest go to the locale's own comparison. Equal lines keep the order gathered, as the
// list keeps lines that compare equal in the order they came.
void SortAsTheListDoes(std::vector<EntryLine>& lines) {
    constexpr size_t kPrefix = 24;
    struct Keyed {
        std::array<char, kPrefix> prefix;
        bool whole;  // the key fits in the prefix, so the prefix decides alone
        uint32_t index;
    };
    std::string key(1024, '\0');
    // A text's key into `key`; its size, the closing zero counted. Names hold no zero byte, so each is read to its
    // end, the empty one too.
    auto keyOf = [&key](const std::string& text) {
        auto map = [&text](char* into, size_t room) {
            return LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.c_str(), -1, into, static_cast<int>(room));
        };
        int size = map(key.data(), key.size());
        if (size == 0) {  // longer than any key so far
            key.resize(static_cast<size_t>(map(nullptr, 0)));
            size = map(key.data(), key.size());
        }
        return static_cast<size_t>(size);
    };
    std::vector<Keyed> keyed(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t size = keyOf(lines[i].text);
        Keyed& entry = keyed[i];
        entry.prefix.fill('\0');
        std::memcpy(entry.prefix.data(), key.data(), std::min(size, kPrefix));
        entry.whole = size <= kPrefix;
        entry.index = static_cast<uint32_t>(i);
    }
    std::sort(keyed.begin(), keyed.end(), [&lines](const Keyed& a, const Keyed& b) {
        if (int order = std::memcmp(a.prefix.data(), b.prefix.data(), kPrefix)) return order < 0;
        if (!a.whole || !b.whole) {
            const std::string& textA = lines[a.index].text;
            const std::string& textB = lines[b.index].text;
            int order = CompareStringA(LOCALE_USER_DEFAULT, 0, textA.data(), static_cast<int>(textA.size()),
                                       textB.data(), static_cast<int>(textB.size()));
            if (order != CSTR_EQUAL) return order == CSTR_LESS_THAN;
        }
        return a.index < b.index;
    });
    std::vector<EntryLine> sorted;
    sorted.reserve(lines.size());
    for (const Keyed& entry : keyed) sorted.push_back(std::move(lines[entry.index]));
    lines = std::move(sorted);
}

// FNV-1a over every line's text and glyph, in the order they go in.
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
        if (Sorted()) SortAsTheListDoes(lines);
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

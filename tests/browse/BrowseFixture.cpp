#include "tests/browse/BrowseFixture.h"

#include <algorithm>

using namespace platform::testing;

BrowseTest::BrowseTest() {
    static const bool headless = (UseHeadlessDisplay(), true);
    (void)headless;
    host_.HandleNeeded();
}

BrowseTest::~BrowseTest() { ResetDesktop(); }

std::vector<std::string> Lines(TCustomListBox& list) {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < list.Items().LineCount(); ++i) lines.push_back(list.Items().LineText(i));
    return lines;
}

std::string MakeDeepFolder(const TempFolder& folder, size_t length) {
    std::string relative;
    for (size_t used = folder.Path().string().size(); used + 1 < length;) {
        size_t name = std::min<size_t>(200, length - used - 1);  // the name, after its "/"
        if (!relative.empty()) relative += '/';
        relative += std::string(name, static_cast<char>('a' + relative.size() % 26));
        used += name + 1;
    }
    folder.MakeFolder(relative);
    return relative;
}

std::unique_ptr<TBitmap> ResourceGlyph(const char* name) {
    auto glyph = std::make_unique<TBitmap>();
    glyph->LoadFromResourceName(GetModuleHandleA(nullptr), name);
    return glyph;
}

bool GlyphDrawnAt(HWND window, const TBitmap& glyph, int x, int y) {
    const uint32_t background = glyph.ScanLine(glyph.Height() - 1)[0];
    int compared = 0;
    for (int row = 0; row < glyph.Height(); ++row) {
        const uint32_t* pixels = glyph.ScanLine(row);
        for (int column = 0; column < glyph.Width(); ++column) {
            uint32_t pixel = pixels[column];
            if (pixel == background) continue;
            COLORREF expected = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
            if (Pixel(window, x + column, y + row) != expected) return false;
            ++compared;
        }
    }
    return compared > 0;
}

int GlyphTop(const RECT& line, const TBitmap& glyph) { return (line.top + line.bottom - glyph.Height()) / 2; }

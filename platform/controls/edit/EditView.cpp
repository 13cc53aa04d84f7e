#include "platform/controls/edit/EditView.h"

#include <algorithm>

namespace platform::controls {

namespace {

constexpr int kMargin = 1;  // between the client's sides and the text

// A DC of its own for measuring, so a hidden or not yet shown control measures as well.
class MeasuringDC {
  public:
    explicit MeasuringDC(HFONT font) : dc_(CreateCompatibleDC(nullptr)) { old_ = SelectObject(dc_, font); }
    ~MeasuringDC() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    MeasuringDC(const MeasuringDC&) = delete;
    MeasuringDC& operator=(const MeasuringDC&) = delete;
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace

void EditView::Measure(HFONT font, const EditText& text, bool password) {
    MeasuringDC dc(font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    lineHeight_ = metrics.tmHeight;
    const std::string& bytes = text.Text();
    std::vector<size_t> boundaries{0};
    for (size_t at = 0; at < bytes.size();) boundaries.push_back(at = text.Next(at));
    shown_ = password ? std::string(boundaries.size() - 1, '*') : bytes;
    std::vector<INT> extents(shown_.size() + 1, 0);
    SIZE size{};
    GetTextExtentExPointA(dc.Get(), shown_.data(), static_cast<int>(shown_.size()), 0, nullptr, extents.data(), &size);
    offsets_.assign(bytes.size() + 1, 0);
    // Each byte of a character carries the extent at the character's end, so a boundary's x is the extent of the
    // byte before it.
    for (size_t k = 1; k < boundaries.size(); ++k) {
        size_t shownEnd = password ? k : boundaries[k];
        int x = extents[shownEnd - 1];
        for (size_t at = boundaries[k - 1] + 1; at <= boundaries[k]; ++at) offsets_[at] = x;
    }
}

int EditView::TextWidth(HFONT font, const std::string& text) {
    MeasuringDC dc(font);
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int EditView::Top(const RECT& client) const { return std::max<int>(0, (client.bottom - lineHeight_) / 2); }

int EditView::Room(const RECT& client) { return std::max<int>(0, client.right - 2 * kMargin); }

int EditView::XOf(size_t position) const {
    position = std::min(position, offsets_.size() - 1);
    return kMargin + offsets_[position] - scroll_;
}

bool EditView::ScrollToShow(size_t position, const RECT& client) {
    int room = Room(client);
    int old = scroll_;
    int x = offsets_[std::min(position, offsets_.size() - 1)];
    // Never scrolled past the end: the text's end (and a caret after it) stays at the right edge at most.
    int farthest = std::max(0, offsets_.back() - room + 1);
    scroll_ = std::min(scroll_, farthest);
    if (x < scroll_) scroll_ = std::max(0, x - room / 3);
    else if (x > scroll_ + room - 1) scroll_ = std::min(x - room + 1 + room / 3, farthest);
    return scroll_ != old;
}

size_t EditView::PositionAt(const EditText& text, int x) const {
    int along = x - kMargin + scroll_;
    for (size_t at = 0; at < text.Size();) {
        size_t next = text.Next(at);
        if (along * 2 < offsets_[at] + offsets_[next]) return at;
        at = next;
    }
    return text.Size();
}

size_t EditView::CharacterAt(const EditText& text, int x) const {
    int along = x - kMargin + scroll_;
    for (size_t at = 0; at < text.Size();) {
        size_t next = text.Next(at);
        if (along < offsets_[next]) return at;
        at = next;
    }
    return text.Size();
}

void EditView::Paint(HDC dc, const RECT& client, const EditText& text, bool showSelection) const {
    int top = Top(client);
    int left = kMargin - scroll_;
    SetBkMode(dc, TRANSPARENT);
    ExtTextOutA(dc, left, top, ETO_CLIPPED, &client, shown_.data(), static_cast<UINT>(shown_.size()), nullptr);
    if (!showSelection || !text.HasSelection()) return;
    // The selected part is drawn again over the highlight, clipped to it, so the glyphs stay where they were.
    RECT selection{XOf(text.SelectionStart()), top, XOf(text.SelectionEnd()), top + lineHeight_};
    IntersectRect(&selection, &selection, &client);
    FillRect(dc, &selection, GetSysColorBrush(COLOR_HIGHLIGHT));
    COLORREF old = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    ExtTextOutA(dc, left, top, ETO_CLIPPED, &selection, shown_.data(), static_cast<UINT>(shown_.size()), nullptr);
    SetTextColor(dc, old);
}

}  // namespace platform::controls

#include "platform/controls/trackbar/TrackBarLayout.h"

#include <algorithm>
#include <cstdint>

namespace platform::controls {

namespace {

constexpr int kMargin = 2;        // between the client's ends and the thumb's farthest places, for the focus frame
constexpr int kChannelThickness = 4;
constexpr int kTickLength = 3;
constexpr int kTickGap = 2;       // between the thumb and its ticks
constexpr int kStandardThumbLength = 20;

}  // namespace

TrackBarLayout::TrackBarLayout(RECT client, DWORD style, int thumbLength, LONG minimum, LONG maximum)
    : vertical_(style & TBS_VERT), minimum_(minimum), maximum_(maximum) {
    length_ = vertical_ ? client.bottom - client.top : client.right - client.left;
    int breadth = vertical_ ? client.right - client.left : client.bottom - client.top;
    bool noTicks = style & TBS_NOTICKS;
    ticksBefore_ = !noTicks && (style & (TBS_BOTH | TBS_TOP));
    ticksAfter_ = !noTicks && ((style & TBS_BOTH) || !(style & TBS_TOP));
    pointing_ = (style & TBS_BOTH) ? Point::Nowhere : (style & TBS_TOP) ? Point::Before : Point::After;
    int tickSpace = kTickLength + kTickGap;
    int ticksAcross = (ticksBefore_ ? tickSpace : 0) + (ticksAfter_ ? tickSpace : 0);
    // Without a length of its own, the thumb fills what the ticks leave, up to the standard length.
    thumbLength_ =
        thumbLength > 0 ? thumbLength : std::clamp(breadth - ticksAcross - 2 * kMargin, 4, kStandardThumbLength);
    // An odd width puts a pointed thumb's tip on a pixel of its own.
    thumbWidth_ = std::max(3, (thumbLength_ / 2) | 1);
    int content = thumbLength_ + ticksAcross;
    thumbAcross_ = std::max(0, (breadth - content) / 2) + (ticksBefore_ ? tickSpace : 0);
    travel_ = std::max(0, length_ - 2 * kMargin - thumbWidth_);
}

RECT TrackBarLayout::Turned(LONG alongFrom, LONG acrossFrom, LONG alongTo, LONG acrossTo) const {
    return vertical_ ? RECT{acrossFrom, alongFrom, acrossTo, alongTo} : RECT{alongFrom, acrossFrom, alongTo, acrossTo};
}

POINT TrackBarLayout::Turned(LONG along, LONG across) const {
    return vertical_ ? POINT{across, along} : POINT{along, across};
}

int TrackBarLayout::ThumbStart(LONG position) const {
    int64_t range = int64_t{maximum_} - minimum_;
    if (range <= 0 || travel_ <= 0) return kMargin;
    int64_t offset = std::clamp<int64_t>(int64_t{position} - minimum_, 0, range);
    return kMargin + static_cast<int>((offset * travel_ + range / 2) / range);
}

LONG TrackBarLayout::PositionAt(int thumbStart) const {
    int64_t range = int64_t{maximum_} - minimum_;
    if (range <= 0 || travel_ <= 0) return minimum_;
    int64_t offset = std::clamp<int64_t>(thumbStart - kMargin, 0, travel_);
    return static_cast<LONG>(minimum_ + (offset * range + travel_ / 2) / travel_);
}

bool TrackBarLayout::TicksCloserThanPixels(LONG frequency) const {
    int64_t range = int64_t{maximum_} - minimum_;
    return range / frequency > travel_;
}

// The channel runs under the thumb's whole way, centred on the thumb's body (its part without the point).
RECT TrackBarLayout::Channel() const {
    int bodyFrom = thumbAcross_ + (pointing_ == Point::Before ? thumbWidth_ / 2 : 0);
    int bodyTo = thumbAcross_ + thumbLength_ - (pointing_ == Point::After ? thumbWidth_ / 2 : 0);
    int centre = (bodyFrom + bodyTo) / 2;
    return Turned(kMargin, centre - kChannelThickness / 2, length_ - kMargin, centre + kChannelThickness / 2);
}

RECT TrackBarLayout::ChannelBetween(LONG from, LONG to) const {
    RECT channel = Channel();
    int centre = thumbWidth_ / 2;
    LONG acrossFrom = vertical_ ? channel.left : channel.top;
    LONG acrossTo = vertical_ ? channel.right : channel.bottom;
    return Turned(ThumbStart(from) + centre, acrossFrom + 1, ThumbStart(to) + centre + 1, acrossTo - 1);
}

RECT TrackBarLayout::Thumb(LONG position) const {
    int start = ThumbStart(position);
    return Turned(start, thumbAcross_, start + thumbWidth_, thumbAcross_ + thumbLength_);
}

std::vector<POINT> TrackBarLayout::ThumbOutline(LONG position, int inset) const {
    int first = ThumbStart(position) + inset, last = ThumbStart(position) + thumbWidth_ - 1 - inset;
    int top = thumbAcross_, bottom = thumbAcross_ + thumbLength_ - 1;
    if (pointing_ == Point::Nowhere)
        return {Turned(first, top + inset), Turned(last, top + inset), Turned(last, bottom - inset),
                Turned(first, bottom - inset)};
    // Drawn pointing after (down or right), then mirrored across the thumb for one that points before.
    int tip = first + (last - first) / 2;
    int shoulder = bottom - thumbWidth_ / 2;
    std::vector<std::pair<int, int>> corners = {
        {first, top + inset}, {last, top + inset}, {last, shoulder}, {tip, bottom - inset}, {first, shoulder}};
    std::vector<POINT> outline;
    for (auto [along, across] : corners)
        outline.push_back(Turned(along, pointing_ == Point::Before ? top + bottom - across : across));
    return outline;
}

std::vector<RECT> TrackBarLayout::Ticks(LONG position) const {
    std::vector<RECT> ticks;
    int at = ThumbStart(position) + thumbWidth_ / 2;
    if (ticksBefore_) {
        int end = thumbAcross_ - kTickGap;
        ticks.push_back(Turned(at, end - kTickLength, at + 1, end));
    }
    if (ticksAfter_) {
        int start = thumbAcross_ + thumbLength_ + kTickGap;
        ticks.push_back(Turned(at, start, at + 1, start + kTickLength));
    }
    return ticks;
}

}  // namespace platform::controls

#pragma once
// Where the parts of a track bar lie for its size, style, thumb length and range: the channel, the thumb and the
// ticks, and the mapping between positions and pixels. Worked out along the bar ("along") and across it
// ("across"), so that a vertical bar is the same bar turned; positions are mapped with 64-bit arithmetic, so any
// 32-bit range works on any length.

#include <vector>

#include "platform/win32.h"

namespace platform::controls {

class TrackBarLayout {
  public:
    enum class Point { Nowhere, Before, After };  // which side a pointed thumb points to

    // A thumb length of 0 lets the bar's breadth decide it.
    TrackBarLayout(RECT client, DWORD style, int thumbLength, LONG minimum, LONG maximum);

    bool Vertical() const { return vertical_; }
    int ThumbLength() const { return thumbLength_; }
    Point Pointing() const { return pointing_; }

    RECT Channel() const;
    RECT Thumb(LONG position) const;
    // The thumb's outline, corner by corner, in client coordinates; a rectangle's four corners when it is not
    // pointed.
    std::vector<POINT> ThumbOutline(LONG position, int inset) const;
    // The ticks' spans for a position: one for each side that shows ticks.
    std::vector<RECT> Ticks(LONG position) const;
    // The strip of channel between two positions, for the selection.
    RECT ChannelBetween(LONG from, LONG to) const;

    int Along(POINT client) const { return vertical_ ? client.y : client.x; }
    int ThumbStart(LONG position) const;
    LONG PositionAt(int thumbStart) const;
    // Whether ticks every `frequency` positions (more than 0) would stand closer than a pixel apart.
    bool TicksCloserThanPixels(LONG frequency) const;

  private:
    RECT Turned(LONG alongFrom, LONG acrossFrom, LONG alongTo, LONG acrossTo) const;
    POINT Turned(LONG along, LONG across) const;

    bool vertical_;
    int length_;
    int thumbLength_;  // across the bar
    int thumbWidth_;   // along the bar
    int thumbAcross_;  // where the thumb starts across the bar
    int travel_;       // pixels the thumb's start moves over from the minimum to the maximum
    bool ticksBefore_;
    bool ticksAfter_;
    Point pointing_;
    LONG minimum_;
    LONG maximum_;
};

}  // namespace platform::controls

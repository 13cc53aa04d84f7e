#pragma once
// What every decoder offers the playback stream: the format, the exact length, frames as interleaved floats and
// an exact seek. Each library gets its own decoder; the file's content picks it (MediaFile.h).

#include <cstdint>

namespace platform::mci {

struct AudioFormat {
    int rate = 0;
    int channels = 0;
    int bytesPerSample = 2;  // of the file's own samples, for positions in bytes
};

class Decoder {
  public:
    virtual ~Decoder() = default;
    virtual AudioFormat Format() const = 0;
    // Frames as the file's headers (or a full scan) give them; a damaged file may end sooner.
    virtual int64_t Length() const = 0;
    // Reads up to `frames` frames; fewer only where the data ends or breaks off.
    virtual int64_t Read(float* interleaved, int64_t frames) = 0;
    // The next Read starts at this frame; false when the data does not reach it.
    virtual bool Seek(int64_t frame) = 0;
};

}  // namespace platform::mci

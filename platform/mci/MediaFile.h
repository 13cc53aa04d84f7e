#pragma once
// Opening an MCI element: the name is a Windows path relative to the current directory; anything but a regular
// file (a folder, a FIFO, a device) is refused without blocking; the content picks the decoder.

#include <memory>
#include <string>

#include "platform/mci/decoders/Decoder.h"
#include "platform/win32.h"

namespace platform::mci {

// What the device reports itself to be, as Windows' drivers do for these kinds of file.
enum class DeviceKind { WaveAudio, Sequencer, MpegVideo };

struct OpenedMedia {
    std::unique_ptr<Decoder> decoder;
    DeviceKind kind = DeviceKind::WaveAudio;
};

// Returns 0 or the MCI error code. MIDI files are rendered at `outputRate`.
MCIERROR OpenMediaFile(const std::string& windowsName, int outputRate, OpenedMedia& media);

}  // namespace platform::mci

// The parameter blocks of the commands that take more than a callback window.

#include <strings.h>

#include <initializer_list>
#include <optional>
#include <vector>

#include "platform/kernel/Clock.h"
#include "platform/mci/MciSystem.h"

namespace platform::mci {
namespace {

bool KindByTypeName(const char* name, DeviceKind& kind) {
    if (!strcasecmp(name, "waveaudio")) kind = DeviceKind::WaveAudio;
    else if (!strcasecmp(name, "sequencer")) kind = DeviceKind::Sequencer;
    else if (!strcasecmp(name, "mpegvideo")) kind = DeviceKind::MpegVideo;
    else return false;
    return true;
}

DWORD DeviceType(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::WaveAudio: return MCI_DEVTYPE_WAVEFORM_AUDIO;
        case DeviceKind::Sequencer: return MCI_DEVTYPE_SEQUENCER;
        case DeviceKind::MpegVideo: return MCI_DEVTYPE_DIGITAL_VIDEO;
    }
    return MCI_DEVTYPE_OTHER;
}

int CountFlags(DWORD_PTR flags, std::initializer_list<DWORD> which) {
    int count = 0;
    for (DWORD flag : which) count += (flags & flag) ? 1 : 0;
    return count;
}

}  // namespace

MCIERROR MciSystem::Open(DWORD_PTR flags, MCI_OPEN_PARMSA* params) {
    if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
    if (flags & (MCI_OPEN_TYPE_ID | MCI_OPEN_ELEMENT_ID)) return MCIERR_UNSUPPORTED_FUNCTION;
    const bool typed = flags & MCI_OPEN_TYPE, withElement = flags & MCI_OPEN_ELEMENT;
    if ((!typed && !withElement) || (typed && !params->lpstrDeviceType) ||
        (withElement && !params->lpstrElementName))
        return MCIERR_MISSING_PARAMETER;
    DeviceKind kind = DeviceKind::WaveAudio;
    if (typed && !KindByTypeName(params->lpstrDeviceType, kind)) return MCIERR_INVALID_DEVICE_NAME;

    engine_.EnsureOutput();
    // No sound device: said once, here, where the program shows errors; later devices play silently.
    if (engine_.TakeOutputFailure()) return MCIERR_DEVICE_NOT_READY;

    std::shared_ptr<Stream> stream;
    if (withElement) {
        OpenedMedia media;
        if (MCIERROR error = OpenMediaFile(params->lpstrElementName, engine_.Rate(), media)) return error;
        if (typed && (kind == DeviceKind::Sequencer) != (media.kind == DeviceKind::Sequencer))
            return MCIERR_INVALID_FILE;
        if (!typed) kind = media.kind;
        stream = engine_.AddStream(std::move(media.decoder));
        if (!stream) return MCIERR_OUT_OF_MEMORY;
    }
    MCIDEVICEID id = 1;
    while (devices_.count(id)) ++id;
    auto device = std::make_unique<Device>(id, kind, std::move(stream), engine_);
    params->wDeviceID = id;
    if (flags & MCI_NOTIFY) device->Notify(reinterpret_cast<HWND>(params->dwCallback), MCI_NOTIFY_SUCCESSFUL);
    devices_[id] = std::move(device);
    return 0;
}

MCIERROR MciSystem::Play(Device& device, DWORD_PTR flags, MCI_PLAY_PARMS* params, std::unique_lock<std::mutex>& lock) {
    if ((flags & (MCI_FROM | MCI_TO)) && !params) return MCIERR_NULL_PARAMETER_BLOCK;
    std::optional<int64_t> from, to;
    int64_t frame = 0;
    if (flags & MCI_FROM) {
        if (!device.ToFrame(params->dwFrom, frame)) return MCIERR_OUTOFRANGE;
        from = frame;
    }
    if (flags & MCI_TO) {
        if (!device.ToFrame(params->dwTo, frame) || frame < from.value_or(device.Position())) return MCIERR_OUTOFRANGE;
        to = frame;
    }
    const HWND callback = params ? reinterpret_cast<HWND>(params->dwCallback) : nullptr;
    const MCIDEVICEID id = device.Id();
    if (!(flags & MCI_WAIT)) {
        device.Play(from, to, callback, flags & MCI_NOTIFY);
        return 0;
    }
    device.Play(from, to, nullptr, false);
    // Waiting for the end: virtual time jumps there, real time passes while the lock is free for the worker.
    for (;;) {
        auto found = devices_.find(id);
        if (found == devices_.end() || !found->second->Playing()) break;
        std::vector<Stream*> playing{found->second->PlayingStream()};
        if (auto end = engine_.NextEnd(playing); end && kernel::Clock().JumpsWhenIdle()) kernel::Clock().JumpTo(*end);
        else changed_.wait_for(lock, std::chrono::milliseconds(100));  // the worker wakes us at the end
        Refresh();
    }
    // Looked up again: while the lock was free another thread may have closed the device.
    if (auto found = devices_.find(id); (flags & MCI_NOTIFY) && found != devices_.end())
        found->second->Notify(callback, MCI_NOTIFY_SUCCESSFUL);
    return 0;
}

MCIERROR MciSystem::Seek(Device& device, DWORD_PTR flags, MCI_SEEK_PARMS* params) {
    const int targets = CountFlags(flags, {MCI_TO, MCI_SEEK_TO_START, MCI_SEEK_TO_END});
    if (targets == 0) return MCIERR_MISSING_PARAMETER;
    if (targets > 1) return MCIERR_FLAGS_NOT_COMPATIBLE;
    int64_t frame = 0;
    if (flags & MCI_SEEK_TO_END) frame = device.Length();
    if (flags & MCI_TO) {
        if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
        if (!device.ToFrame(params->dwTo, frame)) return MCIERR_OUTOFRANGE;
    }
    device.Seek(frame);
    return 0;
}

MCIERROR MciSystem::Status(Device& device, DWORD_PTR flags, MCI_STATUS_PARMS* params) {
    if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!(flags & MCI_STATUS_ITEM)) return MCIERR_MISSING_PARAMETER;
    if ((flags & MCI_TRACK) && params->dwTrack != 1) return MCIERR_OUTOFRANGE;  // one track per file
    const AudioFormat* format = device.Format();
    const bool wave = device.Kind() == DeviceKind::WaveAudio && format;
    DWORD_PTR value = 0;
    switch (params->dwItem) {
        case MCI_STATUS_LENGTH: value = device.ToUnits(device.Length()); break;
        case MCI_STATUS_POSITION:
            value = (flags & (MCI_TRACK | MCI_STATUS_START)) ? 0 : device.ToUnits(device.Position());
            break;
        case MCI_STATUS_NUMBER_OF_TRACKS:
        case MCI_STATUS_CURRENT_TRACK: value = 1; break;
        case MCI_STATUS_MODE: value = device.Mode(); break;
        case MCI_STATUS_MEDIA_PRESENT:
        case MCI_STATUS_READY: value = TRUE; break;
        case MCI_STATUS_TIME_FORMAT: value = device.TimeFormat(); break;
        case MCI_WAVE_STATUS_FORMATTAG:
            if (!wave) return MCIERR_UNSUPPORTED_FUNCTION;
            value = format->bytesPerSample == 4 ? 3 : 1;  // IEEE float or PCM
            break;
        case MCI_WAVE_STATUS_CHANNELS:
        case MCI_WAVE_STATUS_SAMPLESPERSEC:
        case MCI_WAVE_STATUS_AVGBYTESPERSEC:
        case MCI_WAVE_STATUS_BLOCKALIGN:
        case MCI_WAVE_STATUS_BITSPERSAMPLE: {
            if (!wave) return MCIERR_UNSUPPORTED_FUNCTION;
            const DWORD block = static_cast<DWORD>(format->channels * format->bytesPerSample);
            const DWORD values[] = {static_cast<DWORD>(format->channels), static_cast<DWORD>(format->rate),
                                    block * static_cast<DWORD>(format->rate), block,
                                    static_cast<DWORD>(format->bytesPerSample * 8)};
            value = values[params->dwItem - MCI_WAVE_STATUS_CHANNELS];
            break;
        }
        default: return MCIERR_UNSUPPORTED_FUNCTION;
    }
    params->dwReturn = value;
    return 0;
}

MCIERROR MciSystem::Set(Device& device, DWORD_PTR flags, MCI_SET_PARMS* params) {
    if (flags & (MCI_SET_DOOR_OPEN | MCI_SET_DOOR_CLOSED | MCI_SET_AUDIO | MCI_SET_VIDEO))
        return MCIERR_UNSUPPORTED_FUNCTION;  // no door, and no channel switching on these devices
    if (!(flags & MCI_SET_TIME_FORMAT)) return MCIERR_MISSING_PARAMETER;
    if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
    return device.SetTimeFormat(params->dwTimeFormat) ? 0 : MCIERR_BAD_TIME_FORMAT;
}

MCIERROR MciSystem::Capabilities(Device& device, DWORD_PTR flags, MCI_GETDEVCAPS_PARMS* params) {
    if (!params) return MCIERR_NULL_PARAMETER_BLOCK;
    if (!(flags & MCI_GETDEVCAPS_ITEM)) return MCIERR_MISSING_PARAMETER;
    switch (params->dwItem) {
        // Recording and saving are answered no, as they are not done here.
        case MCI_GETDEVCAPS_CAN_RECORD:
        case MCI_GETDEVCAPS_CAN_EJECT:
        case MCI_GETDEVCAPS_CAN_SAVE: params->dwReturn = FALSE; break;
        case MCI_GETDEVCAPS_HAS_AUDIO:
        case MCI_GETDEVCAPS_USES_FILES:
        case MCI_GETDEVCAPS_COMPOUND_DEVICE:
        case MCI_GETDEVCAPS_CAN_PLAY: params->dwReturn = TRUE; break;
        // The video device that plays MPEG audio on Windows says it has video, whatever the file holds.
        case MCI_GETDEVCAPS_HAS_VIDEO: params->dwReturn = device.Kind() == DeviceKind::MpegVideo; break;
        case MCI_GETDEVCAPS_DEVICE_TYPE: params->dwReturn = DeviceType(device.Kind()); break;
        default: return MCIERR_UNSUPPORTED_FUNCTION;
    }
    return 0;
}

}  // namespace platform::mci

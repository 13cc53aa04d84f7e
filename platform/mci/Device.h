#pragma once
// One open MCI device: an element (a media file) or a device type alone, its mode, time format and pending
// completion notice. Every method runs under MciSystem's lock. Positions are in source frames here; the
// commands convert them from and to the time format set.

#include <memory>
#include <string>

#include "platform/mci/MediaFile.h"
#include "platform/mci/SoundEngine.h"
#include "platform/win32.h"

namespace platform::mci {

class Device {
  public:
    // `stream` is null for a device opened by type without an element.
    Device(MCIDEVICEID id, DeviceKind kind, std::shared_ptr<Stream> stream, SoundEngine& engine);

    MCIDEVICEID Id() const { return id_; }
    DeviceKind Kind() const { return kind_; }
    bool HasElement() const { return stream_ != nullptr; }

    // ---- time ------------------------------------------------------------------------------------------------
    DWORD TimeFormat() const { return timeFormat_; }
    bool SetTimeFormat(DWORD format);  // false for formats this device cannot give
    DWORD ToUnits(int64_t frames) const;
    // A value in the current time format as a frame; false when it lies past the end.
    bool ToFrame(DWORD value, int64_t& frame) const;
    int64_t Position() const { return stream_ ? stream_->Position() : 0; }
    int64_t Length() const { return stream_ ? stream_->Length() : 0; }
    const AudioFormat* Format() const { return stream_ ? &stream_->Format() : nullptr; }
    DWORD Mode() const;

    // ---- transport -------------------------------------------------------------------------------------------
    // Plays from `from` (or the present position) to `to` (or the end); `notify` receives the completion notice.
    void Play(std::optional<int64_t> from, std::optional<int64_t> to, HWND notify, bool wantsNotify);
    void Pause();
    bool Resume(HWND notify, bool wantsNotify);  // false unless paused or playing
    void Stop();
    void Seek(int64_t frame);
    void Close();
    // Marks the end of playing once the mixer has handed over the last frame; posts the pending notice.
    void CheckEnd();
    bool Playing() const { return state_ == State::Playing; }
    Stream* PlayingStream() const { return state_ == State::Playing ? stream_.get() : nullptr; }

    // Posts MM_MCINOTIFY with the code to a window (none: nothing is posted).
    void Notify(HWND window, UINT code) const;

  private:
    enum class State { Stopped, Playing, Paused };
    void EndPendingNotice(UINT code);

    MCIDEVICEID id_;
    DeviceKind kind_;
    std::shared_ptr<Stream> stream_;
    SoundEngine& engine_;
    State state_ = State::Stopped;
    DWORD timeFormat_ = MCI_FORMAT_MILLISECONDS;
    HWND pendingNotice_ = nullptr;
    bool noticePending_ = false;
};

}  // namespace platform::mci

#include "platform/mci/Device.h"

#include <algorithm>
#include <utility>

namespace platform::mci {

Device::Device(MCIDEVICEID id, DeviceKind kind, std::shared_ptr<Stream> stream, SoundEngine& engine)
    : id_(id), kind_(kind), stream_(std::move(stream)), engine_(engine) {}

bool Device::SetTimeFormat(DWORD format) {
    if (format != MCI_FORMAT_MILLISECONDS && format != MCI_FORMAT_SAMPLES && format != MCI_FORMAT_BYTES) return false;
    timeFormat_ = format;
    return true;
}

DWORD Device::ToUnits(int64_t frames) const {
    const AudioFormat* format = Format();
    if (!format) return 0;
    // In 128 bits, so that whatever length a damaged file claims becomes the largest value rather than overflowing.
    __int128 units = frames;
    // Milliseconds round down, and a millisecond value converts back to a frame that rounds down to it again.
    if (timeFormat_ == MCI_FORMAT_MILLISECONDS) units = units * 1000 / format->rate;
    else if (timeFormat_ == MCI_FORMAT_BYTES) units = units * format->channels * format->bytesPerSample;
    return static_cast<DWORD>(std::min<__int128>(units, 0xFFFFFFFFLL));
}

bool Device::ToFrame(DWORD value, int64_t& frame) const {
    const AudioFormat* format = Format();
    if (!format) {
        frame = 0;
        return value == 0;
    }
    if (timeFormat_ == MCI_FORMAT_MILLISECONDS) frame = (static_cast<int64_t>(value) * format->rate + 999) / 1000;
    else if (timeFormat_ == MCI_FORMAT_BYTES) frame = value / (format->channels * format->bytesPerSample);
    else frame = value;
    if (frame > Length()) {
        // Values that name the end in a coarser unit still mean the end.
        if (ToUnits(Length()) < value) return false;
        frame = Length();
    }
    return true;
}

DWORD Device::Mode() const {
    switch (state_) {
        case State::Playing: return MCI_MODE_PLAY;
        case State::Paused: return MCI_MODE_PAUSE;
        default: return MCI_MODE_STOP;
    }
}

void Device::Notify(HWND window, UINT code) const {
    if (window) PostMessageA(window, MM_MCINOTIFY, code, static_cast<LPARAM>(id_));
}

void Device::EndPendingNotice(UINT code) {
    if (!noticePending_) return;
    noticePending_ = false;
    Notify(std::exchange(pendingNotice_, nullptr), code);
}

void Device::Play(std::optional<int64_t> from, std::optional<int64_t> to, HWND notify, bool wantsNotify) {
    EndPendingNotice(MCI_NOTIFY_SUPERSEDED);
    if (!stream_) {
        if (wantsNotify) Notify(notify, MCI_NOTIFY_SUCCESSFUL);
        return;
    }
    const int64_t start = from ? *from : stream_->Position();
    const int64_t end = to ? *to : stream_->Length();
    // What was decoded ahead is kept unless the range changes: pause, stop and play go on seamlessly.
    if (from || end != stream_->End() || start != stream_->Position()) engine_.Restart(*stream_, start, end);
    if (stream_->Position() >= stream_->End()) {
        engine_.Halt(*stream_);
        state_ = State::Stopped;
        if (wantsNotify) Notify(notify, MCI_NOTIFY_SUCCESSFUL);
        return;
    }
    state_ = State::Playing;
    noticePending_ = wantsNotify;
    pendingNotice_ = notify;
    engine_.Start(*stream_);
}

void Device::Pause() {
    if (state_ == State::Playing) {
        engine_.Halt(*stream_);
        state_ = State::Paused;
    }
    EndPendingNotice(MCI_NOTIFY_ABORTED);
}

bool Device::Resume(HWND notify, bool wantsNotify) {
    if (state_ == State::Stopped) return false;
    EndPendingNotice(MCI_NOTIFY_SUPERSEDED);
    state_ = State::Playing;
    noticePending_ = wantsNotify;
    pendingNotice_ = notify;
    engine_.Start(*stream_);
    return true;
}

void Device::Stop() {
    if (stream_) engine_.Halt(*stream_);
    state_ = State::Stopped;
    EndPendingNotice(MCI_NOTIFY_ABORTED);
}

void Device::Seek(int64_t frame) {
    Stop();
    if (stream_) engine_.Restart(*stream_, frame, stream_->Length());
}

void Device::Close() {
    Stop();
    if (stream_) engine_.RemoveStream(stream_);
    stream_.reset();
}

void Device::CheckEnd() {
    if (state_ != State::Playing || !stream_ || stream_->Active()) return;
    if (!stream_->TakeEnded()) return;
    state_ = State::Stopped;
    EndPendingNotice(MCI_NOTIFY_SUCCESSFUL);
}

}  // namespace platform::mci

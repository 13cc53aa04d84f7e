#include "media/MediaPlayer.h"

#include "framework/Layout.h"
#include "framework/LayoutProperties.h"

namespace {

const char* const kDeviceTypeNames[] = {"",      "AVIVideo", "CDAudio",   "DAT", "DigitalVideo",
                                        "MMMovie", "Other",  "Overlay",   "Scanner", "Sequencer",
                                        "VCR",   "Videodisc", "WaveAudio"};

// In the track-minute-second-frame format a position packs its parts a byte each, track lowest.
uint8_t TrackOf(int32_t position) { return static_cast<uint8_t>(position & 0xFF); }
int32_t MinuteAndSecondOf(int32_t position) { return (position >> 8) & 0xFFFF; }

}  // namespace

TMediaPlayer::TMediaPlayer(TComponent* owner) : TCustomControl(owner) {
    SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
    LoadGlyphs();
    SetBounds(Left(), Top(), 240, 30);
    buttonWidth_ = (Width() - 1) / kButtonCount + 1;
    SetTabStop(true);
}

TMediaPlayer::~TMediaPlayer() {
    MarkDestroying();
    if (deviceId_ != 0) mciSendCommandA(deviceId_, MCI_CLOSE, MCI_WAIT, 0);
}

DWORD TMediaPlayer::WaitPart() {
    DWORD flags = MCI_WAIT;
    if (useWait_) {
        flags = wait_ ? MCI_WAIT : 0;
        useWait_ = false;
    }
    if (useNotify_) {
        if (notify_) flags |= MCI_NOTIFY;
        useNotify_ = false;
    }
    return flags;
}

DWORD TMediaPlayer::NotifyPart(DWORD& from, DWORD& to) {
    DWORD flags = MCI_NOTIFY;
    if (useNotify_) {
        flags = notify_ ? MCI_NOTIFY : 0;
        useNotify_ = false;
    }
    if (useWait_) {
        if (wait_) flags |= MCI_WAIT;
        useWait_ = false;
    }
    if (useFrom_) {
        flags |= MCI_FROM;
        from = static_cast<DWORD>(from_);
        useFrom_ = false;
    }
    if (useTo_) {
        flags |= MCI_TO;
        to = static_cast<DWORD>(to_);
        useTo_ = false;
    }
    return flags;
}

DWORD TMediaPlayer::ResumeFlags() const {
    DWORD flags = useNotify_ && !notify_ ? 0 : MCI_NOTIFY;
    if (useWait_ && wait_) flags |= MCI_WAIT;
    return flags;
}

void TMediaPlayer::CheckOpened() const {
    if (!opened_) throw EMCIDeviceError(Msg::SMCIDeviceNotOpen);
}

DWORD_PTR TMediaPlayer::Callback() { return reinterpret_cast<DWORD_PTR>(Handle()); }

MCIERROR TMediaPlayer::Send(UINT command, DWORD flags, void* params) {
    lastError_ = mciSendCommandA(deviceId_, command, flags, reinterpret_cast<DWORD_PTR>(params));
    return lastError_;
}

DWORD TMediaPlayer::Status(DWORD item) {
    MCI_STATUS_PARMS params{};
    params.dwItem = item;
    Send(MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM, &params);
    return static_cast<DWORD>(params.dwReturn);
}

std::string TMediaPlayer::LastErrorText() const {
    char text[4096] = {};
    if (!mciGetErrorStringA(lastError_, text, sizeof text)) return LoadMessage(Msg::SMCIUnknownError);
    return text;
}

void TMediaPlayer::OpenMedia() {
    MCI_OPEN_PARMSA params{};
    if (opened_) CloseMedia();
    params.lpstrDeviceType = kDeviceTypeNames[deviceType_];
    params.lpstrElementName = fileName_.c_str();
    DWORD flags = WaitPart();
    flags |= deviceType_ != dtAutoSelect ? MCI_OPEN_TYPE : MCI_OPEN_ELEMENT;
    if (shareable_) flags |= MCI_OPEN_SHAREABLE;
    params.dwCallback = Callback();
    lastError_ = mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&params));
    if (lastError_ != 0) throw EMCIDeviceError(LastErrorText());

    opened_ = true;
    deviceId_ = params.wDeviceID;
    stepSize_ = MediaLength() / 10;

    auto capability = [this](DWORD item) {
        MCI_GETDEVCAPS_PARMS caps{};
        caps.dwItem = item;
        mciSendCommandA(deviceId_, MCI_GETDEVCAPS, MCI_WAIT | MCI_GETDEVCAPS_ITEM, reinterpret_cast<DWORD_PTR>(&caps));
        return caps.dwReturn;
    };
    canPlay_ = (capability(MCI_GETDEVCAPS_CAN_PLAY) & 0xFF) != 0;
    canRecord_ = (capability(MCI_GETDEVCAPS_CAN_RECORD) & 0xFF) != 0;
    canEject_ = (capability(MCI_GETDEVCAPS_CAN_EJECT) & 0xFF) != 0;
    hasVideo_ = (capability(MCI_GETDEVCAPS_HAS_VIDEO) & 0xFF) != 0;
    switch (capability(MCI_GETDEVCAPS_DEVICE_TYPE)) {
        case MCI_DEVTYPE_VCR:
        case MCI_DEVTYPE_VIDEODISC:
        case MCI_DEVTYPE_ANIMATION:
        case MCI_DEVTYPE_DIGITAL_VIDEO: canStep_ = true; break;
        default: canStep_ = false;
    }

    if (hasVideo_ && display_) ApplyDisplay(display_);
    if (deviceType_ == dtCDAudio || deviceType_ == dtVideodisc) SetTimeUnit(MCI_FORMAT_TMSF);

    autoEnabled_ = ButtonBit(btNext) | ButtonBit(btPrev);
    if (canStep_) autoEnabled_ |= ButtonBit(btStep) | ButtonBit(btBack);
    if (canPlay_) autoEnabled_ |= ButtonBit(btPlay);
    if (canRecord_) autoEnabled_ |= ButtonBit(btRecord);
    if (canEject_) autoEnabled_ |= ButtonBit(btEject);
    if (DeviceMode() == mdPlaying) AutoButtonSet(btPlay);
    RefreshBar();
}

void TMediaPlayer::CloseMedia() {
    if (deviceId_ == 0) return;
    MCI_GENERIC_PARMS params{};
    DWORD flags = WaitPart();
    params.dwCallback = Callback();
    if (Send(MCI_CLOSE, flags, &params) != 0) return;
    opened_ = false;
    deviceId_ = 0;
    autoEnabled_ = 0;
    RefreshBar();
}

void TMediaPlayer::Rewind() {
    mciSendCommandA(deviceId_, MCI_SEEK, MCI_WAIT | MCI_SEEK_TO_START, 0);
}

void TMediaPlayer::StartPlayback() {
    CheckOpened();
    if (autoRewind_) {
        int32_t position = PlayPosition();
        if (position == MediaLength() && !useFrom_ && !useTo_) Rewind();
    }
    MCI_PLAY_PARMS params{};
    DWORD flags = NotifyPart(params.dwFrom, params.dwTo);
    params.dwCallback = Callback();
    Send(MCI_PLAY, flags, &params);
}

void TMediaPlayer::PauseOrResume() {
    CheckOpened();
    MCI_GENERIC_PARMS params{};
    if (DeviceMode() == mdPlaying) {
        DWORD flags = WaitPart();
        params.dwCallback = Callback();
        Send(MCI_PAUSE, flags, &params);
    } else if (DeviceMode() == mdPaused) {
        DWORD flags = ResumeFlags();
        params.dwCallback = Callback();
        if (Send(MCI_RESUME, flags, &params) != 0) {
            StartPlayback();
        } else {
            useNotify_ = false;
            useWait_ = false;
        }
    }
}

void TMediaPlayer::StopPlayback() {
    CheckOpened();
    MCI_GENERIC_PARMS params{};
    DWORD flags = WaitPart();
    params.dwCallback = Callback();
    Send(MCI_STOP, flags, &params);
}

void TMediaPlayer::SkipForward() { Skip(true); }

void TMediaPlayer::SkipBack() { Skip(false); }

void TMediaPlayer::Skip(bool forward) {
    CheckOpened();
    MCI_SEEK_PARMS params{};
    DWORD flags = WaitPart();
    if (TimeUnit() == MCI_FORMAT_TMSF) {
        TMPMode mode = mdNotReady;
        int32_t target = 0;
        if (forward) {
            mode = DeviceMode();
            int32_t track = TrackOf(PlayPosition());
            int32_t count = TrackCount();
            // On the last track, forward goes to that track's start.
            target = track == count ? TrackStart(count) : TrackStart(TrackOf(PlayPosition()) + 1);
        } else {
            int32_t position = PlayPosition();
            int32_t trackStart = TrackStart(TrackOf(PlayPosition()));
            mode = DeviceMode();
            // Within the first second of a track, back means the track before; later, the start of this one.
            target = trackStart;
            if (TrackOf(position) != 1 && MinuteAndSecondOf(position) == MinuteAndSecondOf(trackStart))
                target = TrackStart(TrackOf(PlayPosition()) - 1);
        }
        if (mode == mdPlaying) {
            SetFrom(target);
            StartPlayback();
            currentButton_ = btPlay;
            return;
        }
        params.dwTo = static_cast<DWORD>(target);
        flags |= MCI_TO;
    } else {
        flags |= forward ? MCI_SEEK_TO_END : MCI_SEEK_TO_START;
    }
    params.dwCallback = Callback();
    Send(MCI_SEEK, flags, &params);
}

void TMediaPlayer::StepForward() {
    CheckOpened();
    if (!hasVideo_) return;
    if (autoRewind_ && PlayPosition() == MediaLength()) Rewind();
    MCI_ANIM_STEP_PARMS params{};
    DWORD flags = WaitPart() | MCI_ANIM_STEP_FRAMES;
    params.dwFrames = static_cast<DWORD>(stepSize_);
    params.dwCallback = Callback();
    Send(MCI_STEP, flags, &params);
}

void TMediaPlayer::StepBackward() {
    CheckOpened();
    if (!hasVideo_) return;
    MCI_ANIM_STEP_PARMS params{};
    DWORD flags = WaitPart() | MCI_ANIM_STEP_FRAMES | MCI_ANIM_STEP_REVERSE;
    params.dwFrames = static_cast<DWORD>(stepSize_);
    params.dwCallback = Callback();
    Send(MCI_STEP, flags, &params);
}

void TMediaPlayer::BeginRecording() {
    CheckOpened();
    MCI_RECORD_PARMS params{};
    DWORD flags = NotifyPart(params.dwFrom, params.dwTo);
    params.dwCallback = Callback();
    Send(MCI_RECORD, flags, &params);
}

void TMediaPlayer::EjectMedium() {
    CheckOpened();
    if (!canEject_) return;
    MCI_SET_PARMS params{};
    DWORD flags = WaitPart() | MCI_SET_DOOR_OPEN;
    params.dwCallback = Callback();
    Send(MCI_SET, flags, &params);
}

int32_t TMediaPlayer::MediaLength() {
    CheckOpened();
    return static_cast<int32_t>(Status(MCI_STATUS_LENGTH));
}

int32_t TMediaPlayer::PlayPosition() {
    // Without a device the request fails and says nothing of a position: the start is the answer that never
    // leads a caller to seek.
    DWORD position = Status(MCI_STATUS_POSITION);
    return lastError_ == 0 ? static_cast<int32_t>(position) : 0;
}

void TMediaPlayer::SetPlayPosition(int32_t value) {
    CheckOpened();
    MCI_SEEK_PARMS params{};
    DWORD flags = WaitPart() | MCI_TO;
    params.dwCallback = Callback();
    params.dwTo = static_cast<DWORD>(value);
    Send(MCI_SEEK, flags, &params);
}

TMPMode TMediaPlayer::DeviceMode() {
    DWORD mode = Status(MCI_STATUS_MODE);
    // The device's modes follow one another from MCI_MODE_NOT_READY in the order of TMPMode.
    const bool known = lastError_ == 0 && mode >= MCI_MODE_NOT_READY && mode <= MCI_MODE_NOT_READY + mdOpen;
    return known ? static_cast<TMPMode>(mode - MCI_MODE_NOT_READY) : mdNotReady;
}

uint8_t TMediaPlayer::TimeUnit() {
    CheckOpened();
    return static_cast<uint8_t>(Status(MCI_STATUS_TIME_FORMAT) & 0xFF);
}

void TMediaPlayer::SetTimeUnit(uint8_t value) {
    MCI_SET_PARMS params{};
    params.dwCallback = Callback();
    params.dwTimeFormat = value;
    Send(MCI_SET, MCI_NOTIFY | MCI_SET_TIME_FORMAT, &params);
}

int32_t TMediaPlayer::TrackCount() {
    CheckOpened();
    return static_cast<int32_t>(Status(MCI_STATUS_NUMBER_OF_TRACKS));
}

int32_t TMediaPlayer::TrackStart(int32_t track) {
    MCI_STATUS_PARMS params{};
    params.dwItem = MCI_STATUS_POSITION;
    params.dwTrack = static_cast<DWORD>(track);
    mciSendCommandA(deviceId_, MCI_STATUS, MCI_WAIT | MCI_STATUS_ITEM | MCI_TRACK, reinterpret_cast<DWORD_PTR>(&params));
    return static_cast<int32_t>(params.dwReturn);
}

void TMediaPlayer::SetDisplay(TWinControl* value) {
    if (value == display_) return;
    if (value && opened_ && hasVideo_) ApplyDisplay(value);
    else LinkDisplay(value);
}

void TMediaPlayer::ApplyDisplay(TWinControl* value) {
    MCI_ANIM_WINDOW_PARMSA params{};
    params.hWnd = value->Handle();
    LinkDisplay(Send(MCI_WINDOW, MCI_WAIT | MCI_ANIM_WINDOW_HWND, &params) == 0 ? value : nullptr);
}

void TMediaPlayer::LinkDisplay(TWinControl* value) {
    if (value == display_) return;
    if (display_) display_->RemoveFreeNotification(this);
    display_ = value;
    if (display_) display_->FreeNotification(this);
}

void TMediaPlayer::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != TOperation::opRemove || component != display_) return;
    if (opened_ && hasVideo_) {
        // Back to the device's own window.
        MCI_ANIM_WINDOW_PARMSA params{};
        Send(MCI_WINDOW, MCI_WAIT | MCI_ANIM_WINDOW_HWND, &params);
    }
    display_ = nullptr;
}

void TMediaPlayer::HandleNotice(WPARAM code) {
    if (autoEnable_ && DeviceMode() == mdStopped) {
        if (canPlay_) autoEnabled_ |= ButtonBit(btPlay);
        if (canRecord_) autoEnabled_ |= ButtonBit(btRecord);
        autoEnabled_ &= static_cast<TButtonSet>(~(ButtonBit(btPause) | ButtonBit(btStop)));
        RefreshBar();
    }
    switch (code) {
        case MCI_NOTIFY_SUCCESSFUL: notifyResult_ = nvSuccessful; break;
        case MCI_NOTIFY_SUPERSEDED: notifyResult_ = nvSuperseded; break;
        case MCI_NOTIFY_ABORTED: notifyResult_ = nvAborted; break;
        case MCI_NOTIFY_FAILURE: notifyResult_ = nvFailure; break;
        default: break;
    }
    DoNotify();
}

void TMediaPlayer::AutoButtonSet(TMPBtnType button) {
    constexpr TButtonSet pauseAndStop = ButtonBit(btPause) | ButtonBit(btStop);
    auto addPlayAndRecord = [this] {
        if (canPlay_) autoEnabled_ |= ButtonBit(btPlay);
        if (canRecord_) autoEnabled_ |= ButtonBit(btRecord);
    };
    switch (button) {
        case btPlay:
        case btRecord:
            autoEnabled_ &= static_cast<TButtonSet>(~(ButtonBit(btPlay) | ButtonBit(btRecord)));
            autoEnabled_ |= pauseAndStop;
            break;
        case btPause: addPlayAndRecord(); break;
        default:
            addPlayAndRecord();
            autoEnabled_ &= static_cast<TButtonSet>(~pauseAndStop);
            break;
    }
}

void TMediaPlayer::Click(TMPBtnType button, bool& doDefault) {
    if (OnClick) OnClick(this, button, doDefault);
}

void TMediaPlayer::PostClick(TMPBtnType button) {
    if (OnPostClick) OnPostClick(this, button);
}

void TMediaPlayer::DoNotify() {
    if (OnNotify) OnNotify(this);
}

void TMediaPlayer::Loaded() {
    TCustomControl::Loaded();
    // The width of a layout is kept as nearly as whole buttons allow.
    buttonWidth_ = (Width() - 1) / VisibleCount() + 1;
    SetBounds(Left(), Top(), VisibleCount() * (buttonWidth_ - 1) + 1, Height());
    Invalidate();
    if (autoOpen_) OpenMedia();
}

bool TMediaPlayer::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    auto buttons = [&value] {
        static constexpr std::string_view names[] = {"btPlay", "btPause", "btStop",   "btNext", "btPrev",
                                                     "btStep", "btBack",  "btRecord", "btEject"};
        TButtonSet set = 0;
        for (const TLayoutValue& item : value.Items()) {
            int index = ReadEnumeration(item, {names[0], names[1], names[2], names[3], names[4], names[5], names[6],
                                               names[7], names[8]});
            set |= ButtonBit(static_cast<TMPBtnType>(index));
        }
        return set;
    };
    if (name == "VisibleButtons") SetVisibleButtons(buttons());
    else if (name == "EnabledButtons") SetEnabledButtons(buttons());
    else if (name == "ColoredButtons") SetColoredButtons(buttons());
    else if (name == "AutoEnable") SetAutoEnable(value.Boolean());
    else if (name == "AutoOpen") SetAutoOpen(value.Boolean());
    else if (name == "AutoRewind") SetAutoRewind(value.Boolean());
    else if (name == "Shareable") SetShareable(value.Boolean());
    else if (name == "FileName") SetFileName(value.Text());
    else if (name == "DeviceType")
        SetDeviceType(static_cast<TMPDeviceTypes>(ReadEnumeration(
            value, {"dtAutoSelect", "dtAVIVideo", "dtCDAudio", "dtDAT", "dtDigitalVideo", "dtMMMovie", "dtOther",
                    "dtOverlay", "dtScanner", "dtSequencer", "dtVCR", "dtVideodisc", "dtWaveAudio"})));
    else if (name == "Display") {
        std::string target = value.Text();
        context.Later([this, target, &context] {
            SetDisplay(FindRequired<TWinControl>(context.Root(), target));
        });
    } else if (name == "OnClick") OnClick = context.Handler<EMPNotify>(value.Text());
    else if (name == "OnPostClick") OnPostClick = context.Handler<EMPPostNotify>(value.Text());
    else if (name == "OnNotify") OnNotify = context.Handler<TNotifyEvent>(value.Text());
    else return TCustomControl::ReadProperty(name, value, context);
    return true;
}

void RegisterMediaComponents() { RegisterComponentClass<TMediaPlayer>("TMediaPlayer"); }

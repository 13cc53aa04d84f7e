#pragma once
// The media device: a control that drives one MCI device for one media file at a time (open, play, pause,
// resume, stop, seek, and reads of length, position and mode, each read a fresh request to the device), and
// draws a bar of nine transport buttons that run the same operations when clicked.
//
// Every request goes through mciSendCommandA with a parameter block built for it. Requests that want a completion
// notice name the control's own window, which handles MM_MCINOTIFY itself.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "framework/CustomControl.h"
#include "runtime/Bitmap.h"
#include "runtime/Exception.h"

enum TMPBtnType : uint8_t { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
constexpr int kButtonCount = 9;

// A set of buttons, bit n for the button of ordinal n.
using TButtonSet = uint16_t;
constexpr TButtonSet kAllButtons = 0x01FF;
constexpr TButtonSet ButtonBit(TMPBtnType button) { return static_cast<TButtonSet>(1u << button); }

enum TMPDeviceTypes : uint8_t {
    dtAutoSelect,
    dtAVIVideo,
    dtCDAudio,
    dtDAT,
    dtDigitalVideo,
    dtMMMovie,
    dtOther,
    dtOverlay,
    dtScanner,
    dtSequencer,
    dtVCR,
    dtVideodisc,
    dtWaveAudio
};

// The device's modes in the order of MCI's mode values, from MCI_MODE_NOT_READY on.
enum TMPMode : uint8_t { mdNotReady, mdStopped, mdPlaying, mdRecording, mdSeeking, mdPaused, mdOpen };

enum TMPNotifyValues : uint8_t { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

using EMPNotify = std::function<void(TObject* sender, TMPBtnType button, bool& doDefault)>;
using EMPPostNotify = std::function<void(TObject* sender, TMPBtnType button)>;

class EMCIDeviceError : public Exception {
  public:
    using Exception::Exception;
};

class TMediaPlayer : public TCustomControl {
  public:
    explicit TMediaPlayer(TComponent* owner);
    ~TMediaPlayer() override;

    // The device.
    void OpenMedia();
    void CloseMedia();
    void StartPlayback();
    void PauseOrResume();
    void StopPlayback();
    void SkipForward();
    void SkipBack();
    void StepForward();
    void StepBackward();
    void BeginRecording();
    void EjectMedium();

    int32_t MediaLength();
    int32_t PlayPosition();
    // A seek; it does not restart playback.
    void SetPlayPosition(int32_t value);
    TMPMode DeviceMode();
    uint8_t TimeUnit();
    void SetTimeUnit(uint8_t value);
    int32_t TrackCount();
    int32_t TrackStart(int32_t track);

    MCIDEVICEID DeviceHandle() const { return deviceId_; }
    MCIERROR LastError() const { return lastError_; }
    std::string LastErrorText() const;
    TMPNotifyValues NotifyResult() const { return notifyResult_; }

    const std::string& FileName() const { return fileName_; }
    // Takes effect at the next OpenMedia.
    void SetFileName(std::string value) { fileName_ = std::move(value); }
    TMPDeviceTypes DeviceType() const { return deviceType_; }
    void SetDeviceType(TMPDeviceTypes value) { deviceType_ = value; }
    bool Shareable() const { return shareable_; }
    void SetShareable(bool value) { shareable_ = value; }
    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool value) { autoOpen_ = value; }
    bool AutoRewind() const { return autoRewind_; }
    void SetAutoRewind(bool value) { autoRewind_ = value; }
    TWinControl* Display() const { return display_; }
    void SetDisplay(TWinControl* value);

    // One-shot overrides of the next request that uses them.
    void SetWait(bool value) { wait_ = value, useWait_ = true; }
    void SetNotify(bool value) { notify_ = value, useNotify_ = true; }
    void SetFrom(int32_t value) { from_ = value, useFrom_ = true; }
    void SetTo(int32_t value) { to_ = value, useTo_ = true; }

    // The button bar.
    TButtonSet VisibleButtons() const { return visibleButtons_; }
    void SetVisibleButtons(TButtonSet value);
    TButtonSet EnabledButtons() const { return enabledButtons_; }
    void SetEnabledButtons(TButtonSet value);
    TButtonSet ColoredButtons() const { return coloredButtons_; }
    void SetColoredButtons(TButtonSet value);
    bool AutoEnable() const { return autoEnable_; }
    void SetAutoEnable(bool value);
    // The buttons the device's state makes usable, kept while AutoEnable is set.
    TButtonSet AutoEnabledButtons() const { return autoEnabled_; }
    TMPBtnType FocusedButton() const { return focusedButton_; }
    int ButtonWidth() const { return buttonWidth_; }
    SIZE MinButtonSize() const { return minButtonSize_; }

    void SetEnabled(bool value) override;

    EMPNotify OnClick;
    EMPPostNotify OnPostClick;
    TNotifyEvent OnNotify;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    void Paint() override;
    bool DoKeyDown(TMessage& message) override;

    // Changes the auto-enabled buttons for a click on `button` (or its keyboard activation).
    virtual void AutoButtonSet(TMPBtnType button);
    // A button's click, beside the control's own click, which it does not replace.
    using TCustomControl::Click;
    virtual void Click(TMPBtnType button, bool& doDefault);
    virtual void PostClick(TMPBtnType button);
    virtual void DoNotify();

  private:
    // The flag words of the request kinds, applying and clearing the one-shot overrides.
    DWORD WaitPart();
    DWORD NotifyPart(DWORD& from, DWORD& to);
    DWORD ResumeFlags() const;
    void CheckOpened() const;
    DWORD_PTR Callback();
    MCIERROR Send(UINT command, DWORD flags, void* params);
    DWORD Status(DWORD item);
    void Rewind();
    void Skip(bool forward);
    // Hands the device `value`'s window, keeping it as the display only when the device takes it.
    void ApplyDisplay(TWinControl* value);
    // Every display is linked for its removal notice, so that the pointer never outlives the control, whether or
    // not a device had it.
    void LinkDisplay(TWinControl* value);
    void HandleNotice(WPARAM code);

    // MediaPlayerBar.cpp
    void LoadGlyphs();
    bool ButtonActive(TMPBtnType button) const;
    int VisibleCount() const;
    int ButtonLeft(TMPBtnType button) const;
    void FitSize(int width, int height);
    void RefreshBar();
    void RunButton(TMPBtnType button);
    void PressButtonAt(int x);
    void MouseTrack(int x, int y);
    void MouseRelease();

    std::array<std::array<TBitmap, 3>, kButtonCount> glyphs_;  // enabled, disabled, colored
    TButtonSet visibleButtons_ = kAllButtons;
    TButtonSet enabledButtons_ = kAllButtons;
    TButtonSet coloredButtons_ = kAllButtons;
    TButtonSet autoEnabled_ = 0;       // the set the device's state keeps
    TButtonSet autoEnabledFlags_ = 0;  // what the bar shows: the set as of the last refresh
    bool pressed_ = false;
    bool down_ = false;
    TMPBtnType currentButton_ = btPlay;
    RECT currentRect_{};
    int buttonWidth_ = 0;
    SIZE minButtonSize_{};
    TMPBtnType focusedButton_ = btPlay;

    bool opened_ = false;
    bool canPlay_ = false, canStep_ = false, canEject_ = false, canRecord_ = false, hasVideo_ = false;
    bool wait_ = false, notify_ = false;
    bool useWait_ = false, useNotify_ = false, useFrom_ = false, useTo_ = false;
    MCIDEVICEID deviceId_ = 0;
    TMPDeviceTypes deviceType_ = dtAutoSelect;
    int32_t to_ = 0, from_ = 0;
    int32_t stepSize_ = 0;
    MCIERROR lastError_ = 0;
    TMPNotifyValues notifyResult_ = nvSuccessful;
    TWinControl* display_ = nullptr;
    std::string fileName_;
    bool autoEnable_ = true, autoOpen_ = false, autoRewind_ = true, shareable_ = false;
};

void RegisterMediaComponents();

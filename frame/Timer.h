#pragma once
// The periodic timer: calls OnTimer every Interval milliseconds through the message loop (nested loops of dialogs
// and message boxes included), on a hidden window of its own. Every change that lets it run starts a full new
// period; writing a value it already has changes nothing.

#include <cstdint>

#include "framework/Component.h"
#include "framework/Events.h"
#include "platform/win32.h"

class TTimer : public TComponent {
  public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t value);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent handler);

    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    // One tick: runs OnTimer.
    virtual void Tick();

  private:
    friend LRESULT CALLBACK TimerWindowProc(HWND, UINT, WPARAM, LPARAM);
    void Rearm();

    bool enabled_ = true;
    uint32_t interval_ = 1000;
    TNotifyEvent onTimer_;
    HWND timerWindow_ = nullptr;
};

#include "frame/Timer.h"

#include "framework/ErrorTrap.h"
#include "framework/Layout.h"
#include "runtime/Exception.h"

namespace {

constexpr char kUtilityClass[] = "TPUtilWindow";
constexpr char kTimerProperty[] = "KorvoTimer";
constexpr UINT_PTR kTimerId = 1;

// The hidden windows of timers share one class; one of that name left by someone else with another window
// procedure is replaced.
void RegisterUtilityClass() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(instance, kUtilityClass, &existing)) {
        if (existing.lpfnWndProc == DefWindowProcA) return;
        UnregisterClassA(kUtilityClass, instance);
    }
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hInstance = instance;
    cls.lpszClassName = kUtilityClass;
    if (!RegisterClassA(&cls)) throw EOutOfResources(Msg::SWindowClass);
}

}  // namespace

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* timer = static_cast<TTimer*>(GetPropA(window, kTimerProperty));
    if (!timer || message != WM_TIMER) return DefWindowProcA(window, message, wParam, lParam);
    // Neither Enabled nor the identifier is checked: a tick that was already waiting still runs.
    try {
        timer->Tick();
    } catch (...) {
        ShowCurrentError(timer);
    }
    return 0;
}

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
    RegisterUtilityClass();
    timerWindow_ = CreateWindowExA(WS_EX_TOOLWINDOW, kUtilityClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    if (!timerWindow_) throw EOutOfResources(Msg::SWindowCreate);
    SetPropA(timerWindow_, kTimerProperty, this);
    SetWindowLongPtrA(timerWindow_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TimerWindowProc));
}

TTimer::~TTimer() {
    enabled_ = false;
    Rearm();
    RemovePropA(timerWindow_, kTimerProperty);
    SetWindowLongPtrA(timerWindow_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    DestroyWindow(timerWindow_);
}

void TTimer::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    Rearm();
}

void TTimer::SetInterval(uint32_t value) {
    if (value == interval_) return;
    interval_ = value;
    Rearm();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    Rearm();
}

void TTimer::Rearm() {
    KillTimer(timerWindow_, kTimerId);
    if (interval_ != 0 && enabled_ && onTimer_ && !SetTimer(timerWindow_, kTimerId, interval_, nullptr))
        throw EOutOfResources(Msg::SNoTimers);
}

void TTimer::Tick() {
    if (onTimer_) onTimer_(this);
}

bool TTimer::ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) {
    if (name == "Enabled") SetEnabled(value.Boolean());
    else if (name == "Interval") SetInterval(static_cast<uint32_t>(value.Integer()));
    else if (name == "OnTimer") SetOnTimer(context.Handler<TNotifyEvent>(value.Text()));
    else return TComponent::ReadProperty(name, value, context);
    return true;
}

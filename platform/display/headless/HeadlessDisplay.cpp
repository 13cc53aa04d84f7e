#include "platform/display/headless/HeadlessDisplay.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <iterator>

namespace platform::display {

class HeadlessDisplay::HeadlessWindow : public NativeWindow {
  public:
    HeadlessWindow(HeadlessDisplay& display, uint32_t id) : display_(display), id_(id) {}
    ~HeadlessWindow() override {
        if (display_.activeWindow_ == id_) display_.activeWindow_ = 0;
        display_.windows_.erase(id_);
    }

    uint32_t Id() const override { return id_; }
    void SetTitle(std::string_view title) override { State().title = title; }

    void SetBounds(const RECT& clientOnScreen) override {
        WindowState& state = State();
        const bool moved = clientOnScreen.left != state.bounds.left || clientOnScreen.top != state.bounds.top;
        state.bounds = clientOnScreen;
        if (moved) display_.Queue(DisplayEvent::Kind::Moved, id_, clientOnScreen.left, clientOnScreen.top);
    }

    void Show(bool activate) override {
        State().shown = true;
        if (activate) Activate();
    }

    void Hide() override {
        State().shown = false;
        display_.Deactivate(id_);
    }

    void Minimize() override {
        WindowState& state = State();
        if (state.minimized) return;
        state.minimized = true;
        display_.Queue(DisplayEvent::Kind::Minimized, id_);
        display_.Deactivate(id_);
    }

    void Restore() override {
        WindowState& state = State();
        if (!state.minimized) return;
        state.minimized = false;
        display_.Queue(DisplayEvent::Kind::Restored, id_);
    }

    void Activate() override {
        const WindowState& state = State();
        if (!state.shown || state.popup) return;
        // Window managers bring a minimised window back when it is activated.
        Restore();
        display_.Activate(id_);
    }

    void Present(const gdi::Surface& surface, std::span<const RECT> parts) override {
        display_.Present(id_, surface, parts);
    }

    void SetIcon(const gdi::Surface& icon) override { State().icon = icon; }

  private:
    WindowState& State() { return display_.windows_.at(id_); }

    HeadlessDisplay& display_;
    uint32_t id_;
};

HeadlessDisplay::HeadlessDisplay() : signalFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

HeadlessDisplay::~HeadlessDisplay() {
    if (signalFd_ >= 0) close(signalFd_);
}

std::unique_ptr<NativeWindow> HeadlessDisplay::CreateNativeWindow(const NativeWindowOptions& options) {
    const uint32_t id = nextWindowId_++;
    WindowState& state = windows_[id];
    state.title = options.title;
    state.bounds = options.bounds;
    state.popup = options.popup;
    state.minimizable = options.minimizable;
    state.resizable = options.resizable;
    state.presented.Resize(std::max<LONG>(0, options.bounds.right - options.bounds.left),
                           std::max<LONG>(0, options.bounds.bottom - options.bounds.top));
    return std::make_unique<HeadlessWindow>(*this, id);
}

void HeadlessDisplay::WaitEvents(std::optional<std::chrono::nanoseconds> timeout, std::vector<DisplayEvent>& events,
                                 std::span<pollfd> watched) {
    if (!watched.empty() && signalFd_ >= 0) WaitWatching(timeout, watched);
    // A year stands for "for ever" where a deadline has to be computed without overflowing the clock.
    constexpr auto kLongest = std::chrono::hours(24 * 365);
    std::unique_lock lock(queueMutex_);
    const auto ready = [this] { return !queue_.empty() || woken_; };
    if (!watched.empty()) {
        // The wait is over: what the queue holds is taken as it is.
    } else if (!timeout) {
        queueChanged_.wait(lock, ready);
    } else if (*timeout > std::chrono::nanoseconds::zero()) {
        queueChanged_.wait_for(lock, std::min<std::chrono::nanoseconds>(*timeout, kLongest), ready);
    }
    woken_ = false;
    std::move(queue_.begin(), queue_.end(), std::back_inserter(events));
    queue_.clear();
}

void HeadlessDisplay::WaitWatching(std::optional<std::chrono::nanoseconds> timeout, std::span<pollfd> watched) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = timeout ? Clock::now() + std::min<std::chrono::nanoseconds>(*timeout, std::chrono::hours(24))
                                  : Clock::time_point::max();
    std::vector<pollfd> all{{signalFd_, POLLIN, 0}};
    all.insert(all.end(), watched.begin(), watched.end());
    // A look without waiting still looks at the descriptors once.
    for (bool looked = false;; looked = true) {
        {
            std::lock_guard lock(queueMutex_);
            if (!queue_.empty() || woken_) break;
        }
        int milliseconds = -1;
        if (timeout) {
            const auto remaining = deadline - Clock::now();
            if (remaining <= Clock::duration::zero() && looked) break;
            milliseconds = static_cast<int>(std::clamp<int64_t>(
                std::chrono::ceil<std::chrono::milliseconds>(remaining).count(), 0, INT_MAX));
        }
        for (pollfd& descriptor : all) descriptor.revents = 0;
        const int ready = poll(all.data(), all.size(), milliseconds);
        if (all[0].revents) {
            uint64_t count = 0;
            (void)!read(signalFd_, &count, sizeof count);
        }
        if (ready > 0 && std::any_of(all.begin() + 1, all.end(), [](const pollfd& d) { return d.revents != 0; }))
            break;
    }
    std::copy(all.begin() + 1, all.end(), watched.begin());
}

void HeadlessDisplay::Signal() {
    queueChanged_.notify_all();
    const uint64_t one = 1;
    if (signalFd_ >= 0) (void)!write(signalFd_, &one, sizeof one);
}

void HeadlessDisplay::Wake() {
    {
        std::lock_guard lock(queueMutex_);
        woken_ = true;
    }
    Signal();
}

void HeadlessDisplay::Inject(DisplayEvent event) {
    {
        std::lock_guard lock(queueMutex_);
        queue_.push_back(std::move(event));
    }
    Signal();
}

void HeadlessDisplay::StartTextInput(const RECT& caretOnScreen) {
    textInputActive_ = true;
    textInputRect_ = caretOnScreen;
}

const gdi::Surface* HeadlessDisplay::LastPresented(uint32_t windowId) const {
    const WindowState* state = Window(windowId);
    return state ? &state->presented : nullptr;
}

const HeadlessDisplay::WindowState* HeadlessDisplay::Window(uint32_t windowId) const {
    const auto found = windows_.find(windowId);
    return found == windows_.end() ? nullptr : &found->second;
}

std::vector<uint32_t> HeadlessDisplay::WindowIds() const {
    std::vector<uint32_t> ids;
    for (const auto& [id, state] : windows_) ids.push_back(id);
    return ids;
}

HeadlessDisplay::WindowState* HeadlessDisplay::FindWindow(uint32_t windowId) {
    const auto found = windows_.find(windowId);
    return found == windows_.end() ? nullptr : &found->second;
}

void HeadlessDisplay::Queue(DisplayEvent::Kind kind, uint32_t windowId, int x, int y) {
    DisplayEvent event;
    event.kind = kind;
    event.window = windowId;
    event.x = x;
    event.y = y;
    Inject(std::move(event));
}

void HeadlessDisplay::Activate(uint32_t windowId) {
    if (activeWindow_ == windowId) return;
    if (activeWindow_ != 0) Deactivate(activeWindow_);
    activeWindow_ = windowId;
    FindWindow(windowId)->active = true;
    Queue(DisplayEvent::Kind::FocusGained, windowId);
}

void HeadlessDisplay::Deactivate(uint32_t windowId) {
    if (activeWindow_ != windowId) return;
    activeWindow_ = 0;
    FindWindow(windowId)->active = false;
    Queue(DisplayEvent::Kind::FocusLost, windowId);
}

void HeadlessDisplay::Present(uint32_t windowId, const gdi::Surface& surface, std::span<const RECT> parts) {
    WindowState& state = *FindWindow(windowId);
    gdi::Surface& screen = state.presented;
    if (screen.width != surface.width || screen.height != surface.height) {
        // The window was resized: keep what is still inside it, as a real window's pixels would stay.
        gdi::Surface resized(surface.width, surface.height);
        const int keepWidth = std::min(screen.width, resized.width);
        for (int y = 0; y < std::min(screen.height, resized.height); ++y) {
            std::copy_n(screen.Row(y), keepWidth, resized.Row(y));
        }
        screen = std::move(resized);
    }
    bool anyPart = false;
    for (const RECT& part : parts) {
        const int left = std::max<LONG>(part.left, 0);
        const int top = std::max<LONG>(part.top, 0);
        const int right = std::min<LONG>(part.right, surface.width);
        const int bottom = std::min<LONG>(part.bottom, surface.height);
        if (left >= right || top >= bottom) continue;
        anyPart = true;
        for (int y = top; y < bottom; ++y) {
            std::copy(surface.Row(y) + left, surface.Row(y) + right, screen.Row(y) + left);
        }
    }
    if (anyPart) ++state.presentCount;
}

}  // namespace platform::display

#include "platform/user/WindowSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/kernel/Clock.h"
#include "platform/kernel/Patience.h"

namespace platform::user {
namespace {

// A handle is a slot number and the slot's generation, so a handle kept after its window died never names the
// window that reuses the slot.
HWND Encode(size_t slot, uint16_t generation) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>((static_cast<uint32_t>(generation) << 16) | (slot + 1)));
}

bool Decode(HWND handle, size_t& slot, uint16_t& generation) {
    auto value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value > 0xFFFFFFFFu || (value & 0xFFFF) == 0) return false;
    slot = (value & 0xFFFF) - 1;
    generation = static_cast<uint16_t>(value >> 16);
    return true;
}

std::string Upper(const std::string& name) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

}  // namespace

WindowSystem& WindowSystem::Get() {
    // Never destroyed: windows may outlive static destructors.
    static WindowSystem* system = new WindowSystem;
    return *system;
}

Window* WindowSystem::Find(HWND handle) {
    size_t slot = 0;
    uint16_t generation = 0;
    auto look = [&]() -> Window* {
        if (!Decode(handle, slot, generation) || slot >= slots_.size() || generations_[slot] != generation) return nullptr;
        return slots_[slot].get();
    };
    // Only the user-interface thread changes the table, so it may read it without the lock; every message it
    // sends looks a window up, and the lock would be a third of what a message costs.
    if (onUiThread_) return look();
    std::lock_guard lock(tableMutex_);
    return look();
}

Window* WindowSystem::FindOrFail(HWND handle) {
    Window* window = Find(handle);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

HWND WindowSystem::Add(std::unique_ptr<Window> window) {
    onUiThread_ = true;  // windows are made on the user-interface thread, the one thread that changes the table
    std::lock_guard lock(tableMutex_);
    size_t slot = 0;
    while (slot < slots_.size() && slots_[slot]) ++slot;
    if (slot >= 0xFFFF) return nullptr;
    if (slot == slots_.size()) {
        slots_.emplace_back();
        generations_.push_back(1);
    }
    window->handle = Encode(slot, generations_[slot]);
    if (!window->Child()) {
        topLevels_.insert(topLevels_.begin(), window->handle);
        WatchDeviceChanges();
    }
    slots_[slot] = std::move(window);
    return slots_[slot]->handle;
}

void WindowSystem::Remove(HWND handle) {
    size_t slot = 0;
    uint16_t generation = 0;
    std::lock_guard lock(tableMutex_);
    if (!Decode(handle, slot, generation) || slot >= slots_.size() || generations_[slot] != generation) return;
    std::erase(topLevels_, handle);
    generations_[slot] = static_cast<uint16_t>(generations_[slot] + 1 == 0 ? 1 : generations_[slot] + 1);
    if (callDepth_ > 0) zombies_.push_back(std::move(slots_[slot]));
    else slots_[slot].reset();
}

std::vector<HWND> WindowSystem::TopLevelWindows() const {
    std::lock_guard lock(tableMutex_);
    return topLevels_;
}

size_t WindowSystem::WindowObjectCount() const {
    std::lock_guard lock(tableMutex_);
    return zombies_.size() + static_cast<size_t>(std::count_if(slots_.begin(), slots_.end(),
                                                               [](const auto& window) { return window != nullptr; }));
}

void WindowSystem::BringToFront(HWND topLevel) {
    std::lock_guard lock(tableMutex_);
    auto it = std::find(topLevels_.begin(), topLevels_.end(), topLevel);
    if (it != topLevels_.end()) std::rotate(topLevels_.begin(), it, it + 1);
}

std::shared_ptr<WindowClass> WindowSystem::FindClass(const std::string& name) {
    auto it = classes_.find(Upper(name));
    return it == classes_.end() ? nullptr : it->second;
}

display::DisplayBackend& WindowSystem::Display() {
    if (!display_) {
        std::string error;
        display_ = display::CreateDisplayBackend("sdl", error);
        if (!display_) {
            // Without a desktop there is nothing a windowed program can do; say why rather than fail later.
            std::fprintf(stderr, "Korvo Music Player cannot open its window: %s\n", error.c_str());
            std::exit(1);
        }
        std::lock_guard lock(wakeMutex_);
        wakeable_ = display_.get();
        kernel::WatchLongWaits(&ShowBusyWhileWaiting);
    }
    return *display_;
}

void WindowSystem::UseDisplay(std::unique_ptr<display::DisplayBackend> backend) {
    std::lock_guard lock(wakeMutex_);
    display_ = std::move(backend);
    wakeable_ = display_.get();
    kernel::WatchLongWaits(display_ ? &ShowBusyWhileWaiting : nullptr);
}

void WindowSystem::WakeLoop() {
    std::lock_guard lock(wakeMutex_);
    if (wakeable_) wakeable_->Wake();
    else WakeWithoutDisplay();
}

Window* WindowSystem::FromNative(uint32_t nativeId) {
    for (HWND handle : TopLevelWindows())
        if (Window* window = Find(handle); window && window->native && window->native->Id() == nativeId)
            return window;
    return nullptr;
}

void WindowSystem::Post(const MSG& message) {
    {
        std::lock_guard lock(queueMutex_);
        posted_.push_back(message);
    }
    // The user-interface thread looks at the queue before it waits again; waking its display as well would only
    // cost it a second turn of its loop.
    if (!onUiThread_) WakeLoop();
}

bool WindowSystem::TakePosted(HWND filter, UINT min, UINT max, bool remove, MSG& message) {
    std::lock_guard lock(queueMutex_);
    for (auto it = posted_.begin(); it != posted_.end(); ++it) {
        bool windowMatches = !filter || it->hwnd == filter;
        bool numberMatches = (min == 0 && max == 0) || (it->message >= min && it->message <= max);
        if (!windowMatches || !numberMatches) continue;
        message = *it;
        if (remove) posted_.erase(it);
        return true;
    }
    return false;
}

void WindowSystem::DropPostedFor(HWND window) {
    std::lock_guard lock(queueMutex_);
    std::erase_if(posted_, [window](const MSG& m) { return m.hwnd == window; });
}

CallDepth::CallDepth() { ++WindowSystem::Get().callDepth_; }

CallDepth::~CallDepth() {
    WindowSystem& system = WindowSystem::Get();
    if (--system.callDepth_ == 0 && !system.zombies_.empty()) {
        std::vector<std::unique_ptr<Window>> dead;
        {
            std::lock_guard lock(system.tableMutex_);
            dead.swap(system.zombies_);
        }
    }
}

std::chrono::nanoseconds Now() { return kernel::Clock().Monotonic(); }

DWORD NowMilliseconds() {
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(Now()).count());
}

Window* TopLevelOf(Window* window) {
    WindowSystem& system = WindowSystem::Get();
    while (window && window->Child()) window = system.Find(window->parent);
    return window;
}

}  // namespace platform::user

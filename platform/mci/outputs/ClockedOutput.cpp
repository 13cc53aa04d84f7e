#include "platform/mci/outputs/ClockedOutput.h"

#include <algorithm>

#include "platform/mci/Mixer.h"

namespace platform::mci {
namespace {

using std::chrono::nanoseconds;

}  // namespace

ClockedOutput::ClockedOutput(int rate) : rate_(rate), buffer_(kPeriod * 2) {}

ClockedOutput::~ClockedOutput() { Stop(); }

void ClockedOutput::Start(Mixer& mixer) {
    std::lock_guard lock(mutex_);
    mixer_ = &mixer;
    source_ = &kernel::Clock();
    start_ = source_->Monotonic();
    pulled_ = 0;
    if (!source_->JumpsWhenIdle()) thread_ = std::thread([this] { Run(); });
}

void ClockedOutput::Stop() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void ClockedOutput::Barrier() { std::lock_guard lock(mutex_); }

void ClockedOutput::CatchUp() {
    std::lock_guard lock(mutex_);
    CatchUpLocked();
}

void ClockedOutput::CatchUpLocked() {
    if (!mixer_) return;
    kernel::ClockSource& clock = kernel::Clock();
    const nanoseconds now = clock.Monotonic();
    // Another clock (a test's virtual one came or went) starts the count afresh.
    if (&clock != source_) {
        source_ = &clock;
        start_ = now;
        pulled_ = 0;
    }
    const uint64_t due = static_cast<uint64_t>((now - start_).count() * static_cast<__int128>(rate_) / 1000000000);
    while (pulled_ < due) {
        // Silence for more than a second is not worth pulling frame by frame: the count moves on to the present.
        if (mixer_->Idle(static_cast<uint64_t>(rate_))) {
            start_ = now;
            pulled_ = 0;
            return;
        }
        const size_t count = static_cast<size_t>(std::min<uint64_t>(kPeriod, due - pulled_));
        mixer_->Pull(buffer_.data(), count, true);
        Consume(buffer_.data(), count);
        pulled_ += count;
    }
}

std::optional<nanoseconds> ClockedOutput::WhenPulled(uint64_t frames) const {
    std::lock_guard lock(mutex_);
    const __int128 target = static_cast<__int128>(pulled_ + frames) * 1000000000;
    return start_ + nanoseconds(static_cast<int64_t>((target + rate_ - 1) / rate_));
}

void ClockedOutput::Wake() {
    // Under the lock, so that a play cannot slip between the thread's look at the mixer and its wait.
    std::lock_guard lock(mutex_);
    wake_.notify_all();
}

bool ClockedOutput::DrivenByCaller() const { return kernel::Clock().JumpsWhenIdle(); }

void ClockedOutput::Run() {
    std::unique_lock lock(mutex_);
    while (!quit_) {
        CatchUpLocked();
        // Nothing plays, or virtual time is brought along by the callers: sleep until a play wakes us rather than
        // ticking through silence.
        if (mixer_->Idle(static_cast<uint64_t>(rate_)) || kernel::Clock().JumpsWhenIdle()) {
            wake_.wait(lock);
            continue;
        }
        const auto next = start_ + nanoseconds(static_cast<int64_t>(
                                       static_cast<__int128>(pulled_ + kPeriod) * 1000000000 / rate_));
        wake_.wait_until(lock, std::chrono::steady_clock::time_point(
                                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(next)));
    }
}

}  // namespace platform::mci

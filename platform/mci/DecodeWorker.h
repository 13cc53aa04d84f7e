#pragma once
// The thread that keeps every open stream's ring about a quarter of a second ahead, so that the audio callback
// never waits for a decoder. The mixer wakes it (without locking) whenever it has taken frames or a stream ended.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <semaphore>
#include <thread>
#include <vector>

#include "platform/mci/Stream.h"

namespace platform::mci {

class DecodeWorker {
  public:
    // `afterRound` runs on the worker after each round of decoding; it returns true when it wants another round
    // soon even without a wake-up (it could not do its work yet).
    explicit DecodeWorker(std::function<bool()> afterRound);
    ~DecodeWorker();
    // Ends the thread (once); nothing decodes and `afterRound` is not called after it returns.
    void Stop();

    void Add(std::shared_ptr<Stream> stream);
    // Returns once the worker holds the stream no more, waiting for the round under way if that has it: the
    // caller's reference is then the last, so the decoder, its file and a synthesizer it leased go when the caller
    // lets go, before MCI_CLOSE returns.
    void Remove(const Stream* stream);
    // Lock-free, so the audio callback may call it.
    void Wake() {
        if (!wakePending_.exchange(true)) wake_.release();
    }

  private:
    void Run();

    std::function<bool()> afterRound_;
    std::mutex mutex_;
    std::vector<std::shared_ptr<Stream>> streams_;
    std::vector<std::shared_ptr<Stream>> round_;  // the streams being decoded; changed only under mutex_
    std::condition_variable roundEnded_;
    std::binary_semaphore wake_{0};
    std::atomic<bool> wakePending_{false};  // keeps the semaphore at most 1
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

}  // namespace platform::mci

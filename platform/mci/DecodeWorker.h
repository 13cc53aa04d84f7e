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
    // What `afterRound` asks for.
    enum class NextRound {
        Soon,       // it could not do its work yet
        Later,      // a look now and then, in case a wake-up came before its cause was visible
        WhenWoken,  // nothing plays and nothing takes frames: only a play, a seek or a new stream needs a round
    };
    // `afterRound` runs on the worker after each round of decoding.
    explicit DecodeWorker(std::function<NextRound()> afterRound);
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

    std::function<NextRound()> afterRound_;
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

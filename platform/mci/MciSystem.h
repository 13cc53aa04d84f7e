#pragma once
// The MCI command interpreter: the table of open devices (identifiers from 1), the one lock every command runs
// under, and the sound engine behind them. mciSendCommandA hands each command here.

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/mci/Device.h"
#include "platform/mci/outputs/OutputBackend.h"
#include "platform/mci/SoundEngine.h"
#include "platform/win32.h"

namespace platform::mci {

class MciSystem {
  public:
    static MciSystem& Get();

    MCIERROR Execute(MCIDEVICEID id, UINT command, DWORD_PTR flags, DWORD_PTR params);
    // Closes every device and sends the sound to this output from now on (tests and benchmarks; the program uses
    // the sound device, or plays silently when there is none). A sound device that cannot be opened is replaced
    // by silence, and the next MCI_OPEN says so once.
    bool UseOutput(const OutputChoice& choice, std::string& error);
    // Devices open now (tests count them over a long run).
    size_t OpenDeviceCount();

  private:
    MciSystem();
    ~MciSystem();

    // Commands.cpp
    MCIERROR Open(DWORD_PTR flags, MCI_OPEN_PARMSA* params);
    MCIERROR Play(Device& device, DWORD_PTR flags, MCI_PLAY_PARMS* params, std::unique_lock<std::mutex>& lock);
    MCIERROR Seek(Device& device, DWORD_PTR flags, MCI_SEEK_PARMS* params);
    MCIERROR Status(Device& device, DWORD_PTR flags, MCI_STATUS_PARMS* params);
    MCIERROR Set(Device& device, DWORD_PTR flags, MCI_SET_PARMS* params);
    MCIERROR Capabilities(Device& device, DWORD_PTR flags, MCI_GETDEVCAPS_PARMS* params);

    MCIERROR Dispatch(Device& device, UINT command, DWORD_PTR flags, DWORD_PTR params,
                      std::unique_lock<std::mutex>& lock);
    void CloseAll();
    // Brings the output up to the present and notes every device that has played to its end.
    void Refresh();
    DecodeWorker::NextRound AfterWorkerRound();
    std::optional<std::chrono::nanoseconds> IdleDeadline();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::map<MCIDEVICEID, std::unique_ptr<Device>> devices_;
    SoundEngine engine_;  // after the devices, so that it stops pulling before their streams go
    int deadlineId_ = 0;
};

// The General MIDI sound font used from now on (tests; the system's font by default).
void SetSoundFontPath(std::string path);

}  // namespace platform::mci

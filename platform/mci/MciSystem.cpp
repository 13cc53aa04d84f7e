#include "platform/mci/MciSystem.h"

#include "platform/kernel/Clock.h"
#include "platform/mci/decoders/SynthPool.h"

namespace platform::mci {

MciSystem& MciSystem::Get() {
    static MciSystem system;
    return system;
}

MciSystem::MciSystem() : engine_([this] { return AfterWorkerRound(); }) {
    // Made first, so that it is gone only after the devices have given their synthesizers back.
    SynthPool::Get();
    deadlineId_ = kernel::AddIdleDeadline([this] { return IdleDeadline(); });
}

MciSystem::~MciSystem() { kernel::RemoveIdleDeadline(deadlineId_); }

MCIERROR MciSystem::Execute(MCIDEVICEID id, UINT command, DWORD_PTR flags, DWORD_PTR params) {
    if (command < MCI_OPEN || command > MCI_DELETE) return MCIERR_UNRECOGNIZED_COMMAND;
    std::unique_lock lock(mutex_);
    Refresh();
    MCIERROR result;
    if (command == MCI_OPEN) {
        result = Open(flags, reinterpret_cast<MCI_OPEN_PARMSA*>(params));
    } else if (id == MCI_ALL_DEVICE_ID) {
        result = command == MCI_CLOSE ? 0 : MCIERR_CANNOT_USE_ALL;
        if (result == 0) {
            CloseAll();
            if ((flags & MCI_NOTIFY) && params)
                PostMessageA(reinterpret_cast<HWND>(reinterpret_cast<MCI_GENERIC_PARMS*>(params)->dwCallback),
                             MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, static_cast<LPARAM>(id));
        }
    } else if (auto found = devices_.find(id); found == devices_.end()) {
        result = MCIERR_INVALID_DEVICE_ID;
    } else if ((flags & MCI_NOTIFY) && !params) {
        result = MCIERR_NULL_PARAMETER_BLOCK;
    } else {
        result = Dispatch(*found->second, command, flags, params, lock);
    }
    Refresh();
    return result;
}

MCIERROR MciSystem::Dispatch(Device& device, UINT command, DWORD_PTR flags, DWORD_PTR params,
                             std::unique_lock<std::mutex>& lock) {
    const HWND callback =
        params ? reinterpret_cast<HWND>(reinterpret_cast<MCI_GENERIC_PARMS*>(params)->dwCallback) : nullptr;
    MCIERROR result = 0;
    switch (command) {
        case MCI_PLAY: return Play(device, flags, reinterpret_cast<MCI_PLAY_PARMS*>(params), lock);
        case MCI_RESUME:
            return device.Resume(callback, flags & MCI_NOTIFY) ? 0 : MCIERR_NONAPPLICABLE_FUNCTION;
        case MCI_CLOSE: {
            const MCIDEVICEID id = device.Id();
            device.Close();
            devices_.erase(id);
            if (flags & MCI_NOTIFY)
                PostMessageA(callback, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, static_cast<LPARAM>(id));
            return 0;
        }
        case MCI_PAUSE: device.Pause(); break;
        case MCI_STOP: device.Stop(); break;
        case MCI_SEEK: result = Seek(device, flags, reinterpret_cast<MCI_SEEK_PARMS*>(params)); break;
        case MCI_STATUS: result = Status(device, flags, reinterpret_cast<MCI_STATUS_PARMS*>(params)); break;
        case MCI_SET: result = Set(device, flags, reinterpret_cast<MCI_SET_PARMS*>(params)); break;
        case MCI_GETDEVCAPS:
            result = Capabilities(device, flags, reinterpret_cast<MCI_GETDEVCAPS_PARMS*>(params));
            break;
        default: return MCIERR_UNSUPPORTED_FUNCTION;  // stepping, recording, windows, editing: not for sound files
    }
    if (result == 0 && (flags & MCI_NOTIFY)) device.Notify(callback, MCI_NOTIFY_SUCCESSFUL);
    return result;
}

void MciSystem::CloseAll() {
    for (auto& [id, device] : devices_) device->Close();
    devices_.clear();
}

bool MciSystem::UseOutput(const OutputChoice& choice, std::string& error) {
    std::unique_lock lock(mutex_);
    Refresh();  // what was due goes to the old output first
    CloseAll();
    return engine_.OpenOutput(choice, error);
}

size_t MciSystem::OpenDeviceCount() {
    std::lock_guard lock(mutex_);
    return devices_.size();
}

void MciSystem::Refresh() {
    engine_.CatchUp();
    for (auto& [id, device] : devices_) device->CheckEnd();
}

DecodeWorker::NextRound MciSystem::AfterWorkerRound() {
    using NextRound = DecodeWorker::NextRound;
    std::unique_lock lock(mutex_, std::try_to_lock);
    // The MCI side has the lock and will look for ended devices itself before it lets go; look again soon in
    // case it looked before the end came.
    if (!lock.owns_lock()) return NextRound::Soon;
    for (auto& [id, device] : devices_) device->CheckEnd();
    const bool idle = engine_.SuspendWhenIdle();
    lock.unlock();
    changed_.notify_all();
    return idle ? NextRound::WhenWoken : NextRound::Later;
}

std::optional<std::chrono::nanoseconds> MciSystem::IdleDeadline() {
    // Asked by the message loop before it waits: on the virtual clock this is where the time that has just
    // passed gets played, and the answer tells the loop when the next device will reach its end.
    std::lock_guard lock(mutex_);
    Refresh();
    std::vector<Stream*> playing;
    for (auto& [id, device] : devices_)
        if (Stream* stream = device->PlayingStream()) playing.push_back(stream);
    return engine_.NextEnd(playing);
}

void SetSoundFontPath(std::string path) { SynthPool::Get().SetSoundFontPath(std::move(path)); }

}  // namespace platform::mci

MCIERROR WINAPI mciSendCommandA(MCIDEVICEID IDDevice, UINT uMsg, DWORD_PTR fdwCommand, DWORD_PTR dwParam) {
    return platform::mci::MciSystem::Get().Execute(IDDevice, uMsg, fdwCommand, dwParam);
}

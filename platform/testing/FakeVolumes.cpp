#include "platform/testing/FakeVolumes.h"

namespace platform::testing {
namespace {

class FixedSource final : public platform::kernel::VolumeSource {
  public:
    explicit FixedSource(platform::kernel::MountSnapshot snapshot) : snapshot_(std::move(snapshot)) {}

    std::optional<platform::kernel::MountSnapshot> Refresh() override {
        if (delivered_) return std::nullopt;
        delivered_ = true;
        return snapshot_;
    }

  private:
    platform::kernel::MountSnapshot snapshot_;
    bool delivered_ = false;
};

}  // namespace

FakeVolumeTable::FakeVolumeTable(std::vector<Volume> volumes, std::vector<std::string> virtualMountPoints) {
    platform::kernel::SetVolumeSource(
        std::make_unique<FixedSource>(platform::kernel::MountSnapshot{std::move(volumes), std::move(virtualMountPoints)}));
}

FakeVolumeTable::~FakeVolumeTable() { platform::kernel::SetVolumeSource(nullptr); }

Volume RootVolume() {
    Volume root;
    root.letter = 'C';
    root.mountPoint = "/";
    root.driveType = DRIVE_FIXED;
    root.fileSystem = "EXT4";
    return root;
}

}  // namespace platform::testing

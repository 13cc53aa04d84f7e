#pragma once
// A fixed table of drives for tests: removable, CD-ROM, network and RAM drives, labels, share names and drives
// without a medium, whatever the machine running the tests has mounted.

#include <string>
#include <vector>

#include "platform/kernel/Volumes.h"

namespace platform::testing {

using platform::kernel::Volume;

// Installs the table for the life of the object; the system's volumes come back afterwards. Mount points should
// be real folders (a test's temporary folder) so that paths on the fake drives can be used.
class FakeVolumeTable {
  public:
    explicit FakeVolumeTable(std::vector<Volume> volumes, std::vector<std::string> virtualMountPoints = {});
    ~FakeVolumeTable();
    FakeVolumeTable(const FakeVolumeTable&) = delete;
    FakeVolumeTable& operator=(const FakeVolumeTable&) = delete;

    // The table as it is after a stick was plugged in or pulled: the platform hears of it as of a real change, and
    // the letter of a drive that went away stays held for it.
    void Change(std::vector<Volume> volumes);

  private:
    class Source* source_;  // owned by the platform while installed
    std::vector<std::string> virtualMountPoints_;
    std::string seen_;    // every letter the table has had
    std::string absent_;  // letters of drives that went away
};

// C: as the root file system, as the real table has it.
Volume RootVolume();

}  // namespace platform::testing

#pragma once
// A session bus for one test alone, named by DBUS_SESSION_BUS_ADDRESS while it lives, so that what the test puts
// on it and asks of it meets nothing of the desktop's.

#include <optional>
#include <string>

#include "tests/support/Environment.h"

class PrivateBus {
  public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool Running() const { return pid_ > 0; }
    const std::string& Address() const { return address_; }

  private:
    std::string address_;
    std::optional<Environment> named_;
    int pid_ = 0;
};

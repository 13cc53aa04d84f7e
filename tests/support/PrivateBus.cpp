#include "tests/support/PrivateBus.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

PrivateBus::PrivateBus() {
    // The daemon keeps the pipe open once it has gone to the background: its two lines are read, not its end.
    FILE* pipe = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
    if (!pipe) return;
    char address[1024] = {}, pid[32] = {};
    const bool read = fgets(address, sizeof address, pipe) && fgets(pid, sizeof pid, pipe);
    pclose(pipe);
    if (!read) return;
    address[strcspn(address, "\n")] = 0;
    pid_ = atoi(pid);
    address_ = address;
    named_.emplace("DBUS_SESSION_BUS_ADDRESS", address_);
}

PrivateBus::~PrivateBus() {
    if (pid_ > 0) kill(pid_, SIGTERM);
}

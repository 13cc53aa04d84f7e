#pragma once
// An environment variable set (or removed, given nothing) for the programs a test starts and the code it runs, and
// put back as it was at the end of the scope.

#include <stdlib.h>

#include <optional>
#include <string>

class Environment {
  public:
    Environment(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = getenv(name)) saved_ = old;
        if (value) setenv(name, value->c_str(), 1);
        else unsetenv(name);
    }
    ~Environment() {
        if (saved_) setenv(name_, saved_->c_str(), 1);
        else unsetenv(name_);
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

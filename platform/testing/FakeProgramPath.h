#pragma once
// Stands a path of the test's in place of the running program's own file for the life of the object, so that the
// program finds its settings file in the test's folder.

#include <string>

namespace platform::testing {

class FakeProgramPath {
  public:
    // A POSIX path; the folder should exist, the file need not.
    explicit FakeProgramPath(const std::string& posixPath);
    ~FakeProgramPath();
    FakeProgramPath(const FakeProgramPath&) = delete;
    FakeProgramPath& operator=(const FakeProgramPath&) = delete;
};

}  // namespace platform::testing

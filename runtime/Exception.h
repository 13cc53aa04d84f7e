#pragma once
// The program's exceptions. Each carries the message that the user reads in the error box, which also prints the
// exception's class name.

#include <cstdint>
#include <exception>
#include <string>
#include <utility>

#include "runtime/Format.h"
#include "runtime/Messages.h"

class Exception : public std::exception {
  public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    // The message text of id, its patterns filled with args.
    template <typename... Args>
    explicit Exception(Msg id, const Args&... args) : message_(Format(LoadMessage(id), args...)) {}

    const std::string& Message() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }
    // The name of the exception's dynamic class, "EInOutError" for an EInOutError.
    std::string ClassName() const;

  private:
    std::string message_;
};

// A failure of the file system, carrying the platform's error code; its message follows from the code.
class EInOutError : public Exception {
  public:
    explicit EInOutError(int32_t errorCode);
    // The error for the platform's last-error value, which it clears, so that a later failure is not mistaken
    // for this one.
    static EInOutError FromLastError();

    int32_t ErrorCode() const { return errorCode_; }

  private:
    int32_t errorCode_;
};

class EStringListError : public Exception {
  public:
    using Exception::Exception;
};

class EListError : public Exception {
  public:
    using Exception::Exception;
};

class EInvalidOperation : public Exception {
  public:
    using Exception::Exception;
};

class EOutOfResources : public Exception {
  public:
    using Exception::Exception;
};

class EConvertError : public Exception {
  public:
    using Exception::Exception;
};

// A resource the program looked for by name is not among its embedded resources.
class EResNotFound : public Exception {
  public:
    using Exception::Exception;
};

// A picture that cannot be read or drawn.
class EInvalidGraphic : public Exception {
  public:
    using Exception::Exception;
};

// Raised to end an operation quietly: the error box drops it without showing anything.
class EAbort : public Exception {
  public:
    EAbort() : Exception(std::string()) {}
    using Exception::Exception;
};

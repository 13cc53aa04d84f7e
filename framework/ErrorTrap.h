#pragma once
// Errors that escape a handler of a framework window, a timer tick or the idle work are handed to the
// application's error display and the message loop goes on. The application installs the display; without one
// (tests of single controls) the error is written to standard error.

#include <functional>

#include "runtime/Object.h"

using TErrorDisplay = std::function<void(TObject* sender)>;
void SetErrorDisplay(TErrorDisplay display);

// Call from inside a catch block: shows the error being handled, with `sender` as the one it came from.
void ShowCurrentError(TObject* sender);

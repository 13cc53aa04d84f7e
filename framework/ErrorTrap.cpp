#include "framework/ErrorTrap.h"

#include <cstdio>
#include <exception>

namespace {
TErrorDisplay errorDisplay;
}

void SetErrorDisplay(TErrorDisplay display) { errorDisplay = std::move(display); }

void ShowCurrentError(TObject* sender) {
    if (errorDisplay) {
        errorDisplay(sender);
        return;
    }
    try {
        throw;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "unknown error\n");
    }
}

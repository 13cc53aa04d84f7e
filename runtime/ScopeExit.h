#pragma once
// Puts a value back when a scope ends, however it ends: by return or by an exception. The code it runs must not
// throw; what may fail is undone with try and catch instead.

#include <exception>
#include <utility>

template <typename Undo>
class ScopeExit {
  public:
    explicit ScopeExit(Undo undo) : undo_(std::move(undo)) {}
    ~ScopeExit() { undo_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    Undo undo_;
};

// Only when the scope is left by an exception: the change stands if the work succeeds.
template <typename Undo>
class ScopeFail {
  public:
    explicit ScopeFail(Undo undo) : undo_(std::move(undo)) {}
    ~ScopeFail() {
        if (std::uncaught_exceptions() > exceptions_) undo_();
    }
    ScopeFail(const ScopeFail&) = delete;
    ScopeFail& operator=(const ScopeFail&) = delete;

  private:
    Undo undo_;
    int exceptions_ = std::uncaught_exceptions();
};

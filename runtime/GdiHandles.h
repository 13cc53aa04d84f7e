#pragma once
// Ownership of the platform's drawing objects: one GDI object deleted once, and a memory DC that holds a bitmap
// for a scope. The graphics classes keep their handles in these, so no path forgets to free one.

#include <utility>

#include "platform/win32.h"

namespace runtime {

template <typename H>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(H handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Gives the handle to the caller, who deletes it.
    H Release() { return std::exchange(handle_, nullptr); }
    void Reset(H handle = nullptr) {
        if (H old = std::exchange(handle_, handle)) DeleteObject(old);
    }

  private:
    H handle_ = nullptr;
};

// A memory DC with one bitmap selected into it; the bitmap is deselected and the DC deleted when it goes. A bitmap
// can be selected into one DC at a time, so the bitmap must not be in another DC meanwhile.
class MemoryDC {
  public:
    explicit MemoryDC(HBITMAP bitmap);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return dc_; }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace runtime

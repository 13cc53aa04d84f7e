#include "tests/winapi/Suite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace winapi {

namespace {

// The C++ library's name for a path inside the folder; '/' is a separator on both systems.
std::filesystem::path Native(const std::string& folder, std::string_view file) {
    return std::filesystem::path(folder) / std::filesystem::path(std::string(file));
}

void Append(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

WorkFolder::WorkFolder() {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    name_ = "winapi-" + std::string(test ? test->name() : "suite") + "-" + std::to_string(GetCurrentProcessId());
    std::filesystem::remove_all(name_);
    std::filesystem::create_directory(name_);
}

WorkFolder::~WorkFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(name_, ignored);
}

void WorkFolder::Write(std::string_view file, std::string_view bytes) const {
    std::ofstream out(Native(name_, file), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WorkFolder::MakeFolder(std::string_view folder) const { std::filesystem::create_directory(Native(name_, folder)); }

bool OnWine() {
#ifdef _WIN32
    // Wine's ntdll exports its version; Windows' does not.
    static const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
#else
    return false;
#endif
}

// What an earlier test left waiting is not this test's.
WindowTest::WindowTest() { DispatchPending(); }

WindowTest::~WindowTest() {
    for (HWND window : topLevels_)
        if (IsWindow(window)) DestroyWindow(window);
}

HWND WindowTest::TopLevel(const char* label, DWORD style, HWND owner, int x) {
    HWND window = recorder_.TopLevel(label, x, 20, 200, 150, style, owner);
    recorder_.Label(window, label);
    topLevels_.push_back(window);
    return window;
}

HWND WindowTest::Child(HWND parent, const char* label, int x, int y, int width, int height, DWORD style) {
    HWND window = recorder_.Child(parent, x, y, width, height, style);
    recorder_.Label(window, label);
    return window;
}

ControlTest::ControlTest() {
    parent_ = recorder_.TopLevel("parent", 0, 0, 400, 400, WS_POPUP);
    DispatchPending();
}

ControlTest::~ControlTest() { DestroyWindow(parent_); }

HWND ControlTest::Make(const char* className, DWORD style, const char* text, int id, RECT bounds, DWORD exStyle) const {
    return CreateWindowExA(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
                           bounds.right - bounds.left, bounds.bottom - bounds.top, parent_,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

std::string ControlTest::Text(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::vector<std::string> ControlTest::Lines(HWND list, UINT count, UINT length, UINT line) {
    std::vector<std::string> lines;
    for (int i = 0; i < Send(list, count); ++i) {
        std::string text(static_cast<size_t>(Send(list, length, i)) + 1, '\0');
        text.resize(static_cast<size_t>(Send(list, line, i, text.data())));
        lines.push_back(text);
    }
    return lines;
}

std::vector<int> ControlTest::Notifications(int id) const {
    std::vector<int> codes;
    for (const Received& r : recorder_.Log())
        if (r.message == WM_COMMAND && LOWORD(r.wParam) == id) codes.push_back(HIWORD(r.wParam));
    return codes;
}

void DispatchPending() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool RunUntil(const std::function<bool()>& condition, UINT milliseconds) {
    if (condition()) return true;
    // A timer of the thread's own, not of a window, ends the wait.
    const UINT_PTR limit = SetTimer(nullptr, 0, milliseconds, nullptr);
    bool held = false;
    MSG message;
    while (!held && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd && message.wParam == limit) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        held = condition();
    }
    KillTimer(nullptr, limit);
    return held;
}

void RunFor(UINT milliseconds) { RunUntil([] { return false; }, milliseconds); }

std::string WaveFile(int milliseconds, int rate, int channels) {
    const uint32_t frames = static_cast<uint32_t>(static_cast<int64_t>(rate) * milliseconds / 1000);
    const uint32_t dataBytes = frames * static_cast<uint32_t>(channels) * 2;
    std::string bytes = "RIFF";
    Append(bytes, 36 + dataBytes, 4);
    bytes += "WAVEfmt ";
    Append(bytes, 16, 4);
    Append(bytes, 1, 2);  // PCM
    Append(bytes, static_cast<uint32_t>(channels), 2);
    Append(bytes, static_cast<uint32_t>(rate), 4);
    Append(bytes, static_cast<uint32_t>(rate * channels * 2), 4);
    Append(bytes, static_cast<uint32_t>(channels * 2), 2);
    Append(bytes, 16, 2);
    bytes += "data";
    Append(bytes, dataBytes, 4);
    for (uint32_t frame = 0; frame < frames; ++frame) {
        const auto sample = static_cast<int16_t>(2000 * std::sin(2 * 3.14159265358979 * 440 * frame / rate));
        for (int channel = 0; channel < channels; ++channel) Append(bytes, static_cast<uint16_t>(sample), 2);
    }
    return bytes;
}

}  // namespace winapi

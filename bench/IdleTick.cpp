// The cost of the player's 10 ms tick when it has nothing to draw: one shown window, one 10 ms timer whose
// handler does nothing, the real message loop on the real display, for a given number of seconds. Prints the
// ticks handled and the CPU time the process used.
//   korvo_bench_idle_tick [seconds]      (10 when not given; run under Xvfb or on a desktop)

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "platform/win32.h"

namespace {

long ticks = 0;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == 1) {
        ++ticks;
        return 0;
    }
    if (message == WM_TIMER && wParam == 2) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Cpu {
    double user = 0;
    double system = 0;
};

Cpu CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

}  // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    WNDCLASSA cls{};
    cls.lpfnWndProc = Procedure;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    cls.lpszClassName = "KorvoIdleTick";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, "KorvoIdleTick", "idle tick", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE, 50, 50,
                                  356, 750, nullptr, nullptr, nullptr, nullptr);
    if (!window) return 1;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);  // the first paint

    Cpu before = CpuSeconds();
    auto start = std::chrono::steady_clock::now();
    SetTimer(window, 1, 10, nullptr);
    SetTimer(window, 2, static_cast<UINT>(seconds) * 1000, nullptr);
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    Cpu after = CpuSeconds();
    double user = after.user - before.user;
    double system = after.system - before.system;
    std::printf("ticks %ld in %.2f s (%.1f per second); CPU %.3f s (user %.3f, system %.3f) = %.2f%% of one core\n",
                ticks, wall, static_cast<double>(ticks) / wall, user + system, user, system,
                100.0 * (user + system) / wall);
    DestroyWindow(window);
    return 0;
}

// The list box at playlist scale, on the headless display with the real clock. One sorted list box with strings,
// redraw off during the bulk work as the playlist's update bracket has it:
//   1. 100,000 LB_ADDSTRING of file names in shuffled order (each goes to its sorted place);
//   2. 1,000,000 positional delete-and-insert pairs at random places, each the messages one line replacement of an
//      exchange sends (500,000 exchanges of two lines);
//   3. the player's whole shuffle of that list: ten exchanges per line (1,000,000 exchanges);
//   4. LB_RESETCONTENT;
//   5. one repaint of a 641-pixel-high list holding 100,000 lines, and of the same list holding 100 lines.
// Prints the seconds of each phase.
//   korvo_bench_listbox [lines]      (100000 when not given)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/testing/Desktop.h"
#include "platform/win32.h"

namespace {

// Wall time and, since the machine may be busy with other work, the CPU time the process used meanwhile.
class Stopwatch {
  public:
    Stopwatch() : wall_(std::chrono::steady_clock::now()), cpu_(Cpu()) {}
    std::string Reading() const {
        char text[64];
        std::snprintf(text, sizeof text, "%.4f s (CPU %.4f s)",
                      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count(), Cpu() - cpu_);
        return text;
    }

  private:
    static double Cpu() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
    std::chrono::steady_clock::time_point wall_;
    double cpu_;
};

// Names as a music folder has them: artist, track number, a few title words, an extension; some in Japanese.
std::vector<std::string> FileNames(size_t count, std::mt19937& random) {
    static const char* const artists[] = {"The Beatles", "Miles Davis", "坂本龍一", "Björk", "Aphex Twin",
                                          "Yoko Kanno", "山下達郎", "Daft Punk", "Nina Simone", "B'z"};
    static const char* const words[] = {"Love", "night", "Rain", "夜", "Blue", "summer", "Dream", "海", "City",
                                        "light", "Song", "forever", "Train", "風", "Moon", "dance", "(Live)", "Remix"};
    static const char* const extensions[] = {".mp3", ".MP3", ".wav", ".mid", ".aif", ".au"};
    std::uniform_int_distribution<size_t> artist(0, std::size(artists) - 1), word(0, std::size(words) - 1),
        extension(0, std::size(extensions) - 1), wordCount(1, 4);
    std::vector<std::string> names;
    names.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        std::string name = artists[artist(random)];
        char number[16];
        std::snprintf(number, sizeof number, " - %02zu ", i % 100 + 1);
        name += number;
        for (size_t w = wordCount(random); w > 0; --w) name += std::string(words[word(random)]) + (w > 1 ? " " : "");
        name += " " + std::to_string(i);  // every name differs, as in a folder
        name += extensions[extension(random)];
        names.push_back(std::move(name));
    }
    std::shuffle(names.begin(), names.end(), random);
    return names;
}

LRESULT Send(HWND list, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageA(list, message, wParam, lParam);
}

// One line replacement of an exchange: keep the data value and the selection across a delete and an insert.
void ReplaceLine(HWND list, int index, const char* text) {
    LRESULT selected = Send(list, LB_GETCURSEL);
    LRESULT data = Send(list, LB_GETITEMDATA, index);
    Send(list, LB_SETITEMDATA, index, 0);
    Send(list, LB_DELETESTRING, index);
    Send(list, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text));
    Send(list, LB_SETITEMDATA, index, 0);
    Send(list, LB_SETITEMDATA, index, data);
    if (Send(list, LB_GETCURSEL) != selected) Send(list, LB_SETCURSEL, selected);
}

void SwapLines(HWND list, int a, int b) {
    static char first[4096], second[4096];
    Send(list, LB_GETTEXT, a, reinterpret_cast<LPARAM>(first));
    LRESULT dataA = Send(list, LB_GETITEMDATA, a);
    Send(list, LB_GETTEXT, b, reinterpret_cast<LPARAM>(second));
    LRESULT dataB = Send(list, LB_GETITEMDATA, b);
    ReplaceLine(list, a, second);
    Send(list, LB_SETITEMDATA, a, dataB);
    ReplaceLine(list, b, first);
    Send(list, LB_SETITEMDATA, b, dataA);
}

void Fill(HWND list, const std::vector<std::string>& names) {
    Send(list, WM_SETREDRAW, FALSE);
    for (const std::string& name : names) Send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    Send(list, WM_SETREDRAW, TRUE);
}

std::string Repaint(HWND list) {
    Stopwatch watch;
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    return watch.Reading();
}

}  // namespace

int main(int argc, char** argv) {
    const int lines = argc > 1 ? std::max(100, std::atoi(argv[1])) : 100000;
    platform::testing::UseHeadlessDisplay();
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    cls.lpszClassName = "KorvoBenchFrame";
    RegisterClassA(&cls);
    HWND frame = CreateWindowExA(0, "KorvoBenchFrame", "bench", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 400, 700, nullptr,
                                 nullptr, nullptr, nullptr);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS |
                  LBS_NOINTEGRALHEIGHT;
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", style, 8, 8, 300, 645, frame, nullptr, nullptr,
                                nullptr);
    RECT client;
    GetClientRect(list, &client);
    std::mt19937 random(20260101);
    std::vector<std::string> names = FileNames(static_cast<size_t>(lines), random);

    auto watch = std::make_unique<Stopwatch>();
    Fill(list, names);
    std::printf("add %d lines, sorted:          %s\n", lines, watch->Reading().c_str());
    std::printf("  (in order: %s)\n", [&] {
        char a[4096], b[4096];
        for (int i = 1; i < lines; ++i) {
            Send(list, LB_GETTEXT, i - 1, reinterpret_cast<LPARAM>(a));
            Send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(b));
            if (CompareStringA(LOCALE_USER_DEFAULT, 0, a, -1, b, -1) == CSTR_GREATER_THAN) return "no";
        }
        return "yes";
    }());

    std::uniform_int_distribution<int> place(0, lines - 1);
    watch = std::make_unique<Stopwatch>();
    Send(list, WM_SETREDRAW, FALSE);
    for (int pair = 0; pair < 1000000; pair += 2) SwapLines(list, place(random), place(random));
    Send(list, WM_SETREDRAW, TRUE);
    std::printf("1,000,000 delete+insert pairs: %s\n", watch->Reading().c_str());

    watch = std::make_unique<Stopwatch>();
    Send(list, WM_SETREDRAW, FALSE);
    for (int exchange = 0; exchange < lines * 10; ++exchange) SwapLines(list, place(random), place(random));
    Send(list, LB_SETCURSEL, 0);
    Send(list, WM_SETREDRAW, TRUE);
    std::printf("shuffle (%d exchanges):    %s\n", lines * 10, watch->Reading().c_str());

    watch = std::make_unique<Stopwatch>();
    Send(list, LB_RESETCONTENT);
    std::printf("reset content:                 %s\n", watch->Reading().c_str());

    Fill(list, names);
    Send(list, LB_SETCURSEL, lines / 2);
    platform::testing::DispatchPending();
    std::printf("paint %d-pixel list, %d lines: %s\n", static_cast<int>(client.bottom), lines, Repaint(list).c_str());
    Send(list, LB_RESETCONTENT);
    Fill(list, std::vector<std::string>(names.begin(), names.begin() + 100));
    platform::testing::DispatchPending();
    std::printf("paint %d-pixel list, 100 lines:    %s\n", static_cast<int>(client.bottom), Repaint(list).c_str());
    DestroyWindow(frame);
    return 0;
}

// A gallery of the built-in controls for the end-to-end test: one window with a list box, a drop-down combo box,
// a track bar, push buttons, a check box, radio buttons in a group box and an edit box. Every notification the
// window receives is reported on standard output, one line each, so the test can compare what it did with what
// the controls said; "idle" follows once what they caused is on the screen.

#include <cstdio>
#include <string>

#include "platform/win32.h"
#include "tests/e2e/Handshake.h"

namespace {

enum Id { kList = 101, kCombo, kTrack, kButton, kDefault, kCheck, kRadio1, kRadio2, kGroup, kEdit };
constexpr UINT_PTR kLifeTimer = 2;

void Report(const std::string& line) {
    e2e::Say(line);
    e2e::SayIdleAfterwards();
}

HWND Make(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id,
          DWORD exStyle = 0) {
    HWND control = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                                   reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    SendMessageA(control, WM_SETFONT, 0, TRUE);
    return control;
}

void Build(HWND window) {
    HWND list = Make(window, "LISTBOX", "", LBS_NOTIFY | LBS_SORT | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL,
                     10, 10, 160, 200, kList, WS_EX_CLIENTEDGE);
    for (int i = 0; i < 30; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%02d 曲のファイル.mp3", i);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    HWND combo = Make(window, "COMBOBOX", "", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL, 180, 10, 150, 200, kCombo);
    for (const char* drive : {"c: [system]", "d: [data]", "e:", "f: []", "g: \\\\nas\\music"})
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    HWND track = Make(window, TRACKBAR_CLASSA, "", TBS_HORZ | TBS_BOTH | TBS_NOTICKS | TBS_FIXEDLENGTH | TBS_ENABLESELRANGE,
                      10, 220, 320, 20, kTrack);
    SendMessageA(track, TBM_SETTHUMBLENGTH, 10, 0);
    SendMessageA(track, TBM_SETRANGEMAX, FALSE, 4200000);  // a 70-minute file in milliseconds
    SendMessageA(track, TBM_SETPOS, TRUE, 0);
    Make(window, "BUTTON", "プレイ", BS_PUSHBUTTON | WS_TABSTOP, 180, 50, 75, 25, kButton);
    Make(window, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 260, 50, 75, 25, kDefault);
    Make(window, "BUTTON", "リピートする", BS_AUTOCHECKBOX | WS_TABSTOP, 180, 85, 150, 17, kCheck);
    Make(window, "BUTTON", "再生形態", BS_GROUPBOX, 180, 105, 150, 65, kGroup);
    Make(window, "BUTTON", "ファイル名順", BS_AUTORADIOBUTTON | WS_GROUP, 188, 122, 130, 20, kRadio1);
    Make(window, "BUTTON", "ランダム", BS_AUTORADIOBUTTON, 188, 144, 130, 20, kRadio2);
    Make(window, "EDIT", "*.mp3;*.wav", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP, 180, 180, 150, 20, kEdit,
         WS_EX_CLIENTEDGE);
}

// Where the test should point: the middle of a rectangle of a control, in the window's client coordinates.
void ReportPlace(HWND window, const char* name, HWND control, RECT rect) {
    MapWindowPoints(control, window, reinterpret_cast<POINT*>(&rect), 2);
    Report(std::string("place ") + name + " " + std::to_string((rect.left + rect.right) / 2) + " " +
           std::to_string((rect.top + rect.bottom) / 2));
}

void ReportPlaces(HWND window) {
    HWND list = GetDlgItem(window, kList);
    RECT line{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&line));
    ReportPlace(window, "line2", list, line);
    HWND track = GetDlgItem(window, kTrack);
    RECT thumb{};
    SendMessageA(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    ReportPlace(window, "thumb", track, thumb);
    HWND combo = GetDlgItem(window, kCombo);
    RECT field{};
    GetClientRect(combo, &field);
    ReportPlace(window, "combo", combo, field);
}

// The drop-down list's third line, on the screen.
void ReportDroppedLine(HWND window) {
    HWND combo = GetDlgItem(window, kCombo);
    RECT dropped{};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    auto height = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    Report("dropped " + std::to_string((dropped.left + dropped.right) / 2) + " " +
           std::to_string(dropped.top + 1 + 2 * height + height / 2));
}

std::string Code(int id, int code) {
    switch (id) {
        case kList: return code == LBN_SELCHANGE ? "selchange" : code == LBN_DBLCLK ? "dblclk" : std::to_string(code);
        case kCombo:
            switch (code) {
                case CBN_SELCHANGE: return "selchange";
                case CBN_DROPDOWN: return "dropdown";
                case CBN_CLOSEUP: return "closeup";
                case CBN_SELENDOK: return "selendok";
                case CBN_SELENDCANCEL: return "selendcancel";
                default: return std::to_string(code);
            }
        case kEdit: return code == EN_CHANGE ? "change" : code == EN_UPDATE ? "update" : std::to_string(code);
        default: return code == BN_CLICKED ? "clicked" : std::to_string(code);
    }
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: Build(window); return 0;
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            auto control = reinterpret_cast<HWND>(lParam);
            std::string line = "command " + std::to_string(id) + " " + Code(id, HIWORD(wParam));
            if (id == kList && HIWORD(wParam) == LBN_SELCHANGE)
                line += " " + std::to_string(SendMessageA(control, LB_GETCURSEL, 0, 0));
            if (id == kCombo && HIWORD(wParam) == CBN_SELCHANGE)
                line += " " + std::to_string(SendMessageA(control, CB_GETCURSEL, 0, 0));
            Report(line);
            // Said once the list has dropped down and is on the screen, where the test will click.
            if (id == kCombo && HIWORD(wParam) == CBN_DROPDOWN) e2e::WhenIdle([window] { ReportDroppedLine(window); });
            return 0;
        }
        case WM_HSCROLL:
            Report("scroll " + std::to_string(LOWORD(wParam)) + " " +
                   std::to_string(SendMessageA(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            static bool shown = false;
            if (!shown) {
                shown = true;
                e2e::WhenIdle([window] {
                    ReportPlaces(window);
                    e2e::Say("shown");
                });
            }
            return 0;
        }
        case WM_TIMER:
            if (wParam == kLifeTimer) DestroyWindow(window);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA cls{};
    cls.lpfnWndProc = Procedure;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    cls.lpszClassName = "KorvoGallery";
    RegisterClassA(&cls);
    // No WS_CLIPCHILDREN: a group box leaves its inside to its parent, as on Windows.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, 340, 250};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    HWND window = CreateWindowExA(0, "KorvoGallery", "Korvo gallery", style, 60 + frame.left, 60 + frame.top,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, nullptr,
                                  nullptr);
    if (!window) return 1;
    ShowWindow(window, SW_SHOW);
    SetTimer(window, kLifeTimer, 600000, nullptr);  // never outlive a test that went wrong by much
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

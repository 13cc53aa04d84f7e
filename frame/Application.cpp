#include "frame/Application.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "frame/HintWindow.h"
#include "frame/Screen.h"
#include "framework/ErrorTrap.h"
#include "runtime/Exception.h"
#include "runtime/FileNames.h"

namespace {

constexpr char kApplicationClass[] = "TApplication";

// The title before the program sets one: the executable's file name without its folder, cut at the first ".",
// every character after the first in lower case.
std::string TitleFromExecutable() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string_view name(path, length);
    if (size_t slash = name.find_last_of("/\\"); slash != std::string_view::npos) name.remove_prefix(slash + 1);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (size_t i = 1; i < title.size(); ++i)
        if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
    return title;
}

BOOL CALLBACK DisableWindow(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    }
    return TRUE;
}

// The window that takes a key's control notification: the one holding the mouse, else the nearest framework
// control at or above the window the key is for, else that window itself.
HWND KeyNotificationTarget(HWND window) {
    if (HWND captured = GetCapture()) return captured;
    for (HWND w = window; w; w = GetParent(w))
        if (TWinControl::FindControl(w)) return w;
    return window;
}

// The error box's text rule: a "." is added when the last character (one or two bytes, compared byte by byte)
// sorts after ".", so a letter, a digit, ":" or a Japanese character gets one, and ".", "!" or ")" does not.
std::string WithFinalStop(std::string text) {
    if (text.empty()) return text;
    std::string_view last = LastCharacter(text);
    if (std::string_view(".") < last) text += '.';
    return text;
}

}  // namespace

namespace {
// The one application object; its window procedure finds it here, also while its window is being made.
TApplication* theApplication = nullptr;
}  // namespace

TApplication& Application() {
    static TApplication* application = new TApplication(nullptr);  // ends with the process, after its forms
    return *application;
}

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TApplication* application = theApplication;
    if (!application || window != application->handle_) return DefWindowProcA(window, message, wParam, lParam);
    try {
        return application->WindowProc(message, wParam, lParam);
    } catch (...) {
        application->ReportException(application);
    }
    return 0;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {
    theApplication = this;
    Screen();  // the screen object exists before any form
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA cls{};
    cls.lpfnWndProc = ApplicationWindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = kApplicationClass;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    WNDCLASSA existing;
    if (!GetClassInfoA(instance, kApplicationClass, &existing) && !RegisterClassA(&cls))
        throw EOutOfResources(Msg::SWindowClass);
    // No size, at the centre of the screen: it only owns the forms and stands for the program as a whole.
    handle_ = CreateWindowExA(0, kApplicationClass, TitleFromExecutable().c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                              GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                              nullptr, instance, nullptr);
    if (!handle_) throw EOutOfResources(Msg::SWindowCreate);
    SetErrorDisplay([this](TObject* sender) { ReportException(sender); });
}

TApplication::~TApplication() {
    SetErrorDisplay(nullptr);
    if (handle_) DestroyWindow(handle_);
}

std::string TApplication::AppTitle() const {
    char text[256] = {};
    int length = GetWindowTextA(handle_, text, sizeof text);
    return std::string(text, static_cast<size_t>(std::max(length, 0)));
}

void TApplication::SetAppTitle(const std::string& title) { SetWindowTextA(handle_, title.c_str()); }

void TApplication::RunStartupHook() {}

void TApplication::AdoptForm(TCustomForm* form) {
    if (mainForm_) return;
    mainForm_ = form;
    form->HandleNeeded();
}

void TApplication::RunLoop() {
    TakeMessages();
    // Shut-down runs here, not from an exit handler. At exit the platform's one-per-process parts go in the
    // reverse order of their making, so a part first made inside the loop (the sound system, made when the first
    // file opens) would already be gone when a handler registered at the loop's start destroyed the forms, and a
    // form's media device would close its file in it. Here everything the forms use still exists.
    ShutDown();
}

void TApplication::TakeMessages() {
    running_ = true;
    struct ClearRunning {
        bool& flag;
        ~ClearRunning() { flag = false; }
    } clearRunning{running_};
    if (!mainForm_) return;
    // The process is started with the normal show command here; a window manager that starts programs
    // minimised tells the form through its own events.
    mainForm_->Show();
    while (!quitRequested_) HandleNextMessage();
}

void TApplication::ShutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    ShowOwnedPopups(handle_, FALSE);
    showHint_ = false;
    CancelHint();
    MarkDestroying();
    // Forms go without their close events, newest first, as the application owns them.
    while (ComponentCount() > 0) delete Components(ComponentCount() - 1);
    mainForm_ = nullptr;
    hintWindow_ = nullptr;
}

void TApplication::RequestQuit() { PostQuitMessage(0); }

void TApplication::HandleNextMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        Idle();
        return;
    }
    if (message.message == WM_QUIT) {
        quitRequested_ = true;
        return;
    }
    if (hintShowing_ && ((message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) ||
                         message.message == WM_LBUTTONDOWN || message.message == WM_RBUTTONDOWN ||
                         message.message == WM_MBUTTONDOWN || message.message == WM_NCLBUTTONDOWN))
        CancelHint();
    if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST && OfferKey(message)) return;
    TranslateMessage(&message);
    DispatchMessageA(&message);
}

bool TApplication::OfferKey(MSG& message) {
    HWND target = KeyNotificationTarget(message.hwnd);
    if (!target) return false;
    return SendMessageA(target, CN_BASE + message.message, message.wParam, message.lParam) != 0;
}

void TApplication::Idle() {
    try {
        TrackHint();
        if (OnIdle) OnIdle(this);
    } catch (...) {
        ReportException(this);
    }
    WaitMessage();
}

void TApplication::ReportException(TObject* sender) {
    (void)sender;
    if (HWND captured = GetCapture()) SendMessageA(captured, WM_CANCELMODE, 0, 0);
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const Exception& error) {
        AppMessageBox(WithFinalStop(error.Message()), AppTitle(), MB_ICONSTOP);
    } catch (...) {
        ShowRuntimeErrorBox();
    }
}

int TApplication::AppMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    HWND active = GetActiveWindow();
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
    int result = 0;
    try {
        result = MessageBoxA(handle_, text.c_str(), caption.c_str(), flags);
    } catch (...) {
        for (HWND window : disabled)
            if (IsWindow(window)) EnableWindow(window, TRUE);
        throw;
    }
    for (HWND window : disabled)
        if (IsWindow(window)) EnableWindow(window, TRUE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    return result;
}

// Minimising the main form minimises the program: every form it owns goes with it, and coming back shows them
// again with the focus where it was. The form that last had the focus stays the same, so neither step activates.
void TApplication::Minimize() {
    if (minimized_ || !mainForm_) return;
    minimized_ = true;
    CancelHint();
    ShowOwnedPopups(handle_, FALSE);
    ShowWindow(handle_, SW_MINIMIZE);
    if (mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
    if (!minimized_) return;
    minimized_ = false;
    ShowWindow(handle_, SW_RESTORE);
    SetWindowPos(handle_, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_RESTORE);
    ShowOwnedPopups(handle_, TRUE);
    if (TWinControl* control = Screen().ActiveControl(); control && control->HandleAllocated())
        ::SetFocus(control->Handle());
}

LRESULT TApplication::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            if (mainForm_) mainForm_->RequestClose();
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MINIMIZE: Minimize(); return 0;
                case SC_RESTORE: Restore(); return 0;
                default: break;
            }
            break;
        case WM_QUERYENDSESSION: return TRUE;
        case WM_ENDSESSION:
            if (wParam) quitRequested_ = true;
            return 0;
        default: break;
    }
    return DefWindowProcA(handle_, message, wParam, lParam);
}

[[noreturn]] void ShowStartupErrorAndExit() {
    ShowRuntimeErrorBox();
    std::exit(1);
}

void ShowRuntimeErrorBox() {
    std::string className = "Exception";
    std::string message;
    try {
        throw;
    } catch (const Exception& error) {
        className = error.ClassName();
        message = error.Message();
    } catch (const std::exception& error) {
        className = runtime::ClassNameOf(typeid(error));
        message = error.what();
    } catch (...) {
    }
    char path[MAX_PATH] = {};
    std::string_view module(path, GetModuleFileNameA(nullptr, path, sizeof path));
    if (size_t slash = module.find_last_of("/\\"); slash != std::string_view::npos) module.remove_prefix(slash + 1);
    // A thrown object carries no fault address; the box shows the module's base for it.
    std::string text = Format(LoadMessage(Msg::SExceptionInModule), className, module, nullptr);
    text += "\n";
    text += message;
    if (!message.empty() && message.back() != '.') text += '.';
    MessageBoxA(nullptr, text.c_str(), LoadMessage(Msg::SApplicationError).c_str(), MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

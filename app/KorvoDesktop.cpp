// The main window on the desktop: the desktop's media controls see what its buttons and its open file show, and
// their requests are clicks on those buttons.

#include <algorithm>

#include "app/Korvo.h"
#include "platform/desktop/MediaSession.h"

namespace {

constexpr const char* kName = "korvo";  // as the installed program and its menu entry are named
constexpr const char* kIdentity = "Korvo Music Player";

}  // namespace

void TKorvo::PublishMediaSession() {
    if (!HandleAllocated()) return;
    MEDIASESSIONA session{};
    session.lpszName = kName;
    session.lpszIdentity = kIdentity;
    // The buttons tell the state apart: stop is on only while playing, pause (which resumes) also while paused.
    session.dwState = sbnStop->Enabled()    ? MEDIASTATE_PLAYING
                      : sbnPause->Enabled() ? MEDIASTATE_PAUSED
                                            : MEDIASTATE_STOPPED;
    session.dwFlags = (sbnPlay->Enabled() ? MEDIAFLAG_CANPLAY : 0) | (sbnPause->Enabled() ? MEDIAFLAG_CANPAUSE : 0) |
                      (sbnNext->Enabled() ? MEDIAFLAG_CANGONEXT : 0) |
                      (sbnPrev->Enabled() ? MEDIAFLAG_CANGOPREVIOUS : 0);
    std::string folder;
    if (DeviceOpen()) {
        session.lpszTitle = MediaPlayer->FileName().c_str();
        folder = DirectoryListBox->DirPath();
        session.lpszFolder = folder.c_str();
        // The slider holds the length and the position as of the last tick, in milliseconds: no need to ask the
        // device again every time the program falls idle.
        session.dwLength = static_cast<DWORD>(std::max(0, TrackBar->Max()));
        session.dwPosition = static_cast<DWORD>(std::max(0, TrackBar->Position()));
    }
    // Without a session bus there is nothing to tell, and the player plays on as before.
    SetMediaSessionA(Handle(), &session);
}

void TKorvo::WndProc(TMessage& message) {
    if (message.Msg == WM_APPCOMMAND && DesktopCommand(GET_APPCOMMAND_LPARAM(message.LParam))) {
        message.Result = TRUE;
        return;
    }
    TForm::WndProc(message);
}

bool TKorvo::DesktopCommand(short command) {
    // While a dialog of the player's own holds the window, a request waits for nobody: it is dropped.
    const bool free = IsWindowEnabled(Handle());
    auto click = [free](TSpeedButton* button) {
        if (free && button->Enabled()) button->Click();
    };
    switch (command) {
        case APPCOMMAND_MEDIA_PLAY: click(sbnPlay); return true;
        // The pause button also resumes; a request to pause does not.
        case APPCOMMAND_MEDIA_PAUSE:
            if (sbnStop->Enabled()) click(sbnPause);
            return true;
        case APPCOMMAND_MEDIA_PLAY_PAUSE: click(sbnPlay->Enabled() ? sbnPlay : sbnPause); return true;
        case APPCOMMAND_MEDIA_STOP: click(sbnStop); return true;
        case APPCOMMAND_MEDIA_NEXTTRACK: click(sbnNext); return true;
        case APPCOMMAND_MEDIA_PREVIOUSTRACK: click(sbnPrev); return true;
        case APPCOMMAND_CLOSE: click(sbnExit); return true;
        default: return false;
    }
}

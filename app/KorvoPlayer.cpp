// The player behind the main window: the playlist, the transport, the time display and slider, and what happens
// when a file ends.

#include "app/Korvo.h"
#include "browse/PathRoutines.h"

namespace {

constexpr const char* kTitle = "Korvo Music Player";

}  // namespace

// Buttons and browsing.

void TKorvo::ShowPlayingButtons() {
    sbnPlay->SetEnabled(false);
    sbnPause->SetEnabled(true);
    sbnStop->SetEnabled(true);
}

void TKorvo::ShowStoppedButtons() {
    sbnPlay->SetEnabled(true);
    sbnPause->SetEnabled(false);
    sbnStop->SetEnabled(false);
}

void TKorvo::ShowPausedButtons() {
    sbnPlay->SetEnabled(false);
    sbnPause->SetEnabled(true);
    sbnStop->SetEnabled(false);
}

void TKorvo::DisableTransportButtons() {
    for (TSpeedButton* button : {sbnPlay, sbnPause, sbnStop, sbnPrev, sbnNext}) button->SetEnabled(false);
}

void TKorvo::UpdatePrevNextButtons() {
    int32_t count = ListBox->Items().LineCount();
    int32_t index = ListBox->ItemIndex();
    sbnPrev->SetEnabled(count > 0 && index > 0);
    sbnNext->SetEnabled(count > 0 && index < count - 1);
}

void TKorvo::LockBrowsing() {
    DriveComboBox->SetEnabled(false);
    DirectoryListBox->SetEnabled(false);
    sbnSetEnv->SetEnabled(false);
}

void TKorvo::UnlockBrowsing() {
    DriveComboBox->SetEnabled(true);
    DirectoryListBox->SetEnabled(true);
    sbnSetEnv->SetEnabled(true);
}

// The display.

void TKorvo::ResetSlider() {
    // The slider's change handler ignores changes while the device is disabled: this moves it without a seek.
    MediaPlayer->SetEnabled(false);
    TrackBar->SetPosition(0);
    MediaPlayer->SetEnabled(true);
}

std::string TKorvo::FormatTime(int32_t milliseconds) {
    auto minutes = static_cast<uint16_t>(milliseconds / 60000);
    auto seconds = static_cast<uint16_t>((milliseconds / 1000) % 60);
    // "%2d:%2d" by hand: the tick shows two times 64 times a second, and the formatted print was a tenth of it.
    auto append = [](std::string& text, uint16_t value) {
        char digits[5];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value = static_cast<uint16_t>(value / 10);
        } while (value > 0);
        if (count < 2) text += ' ';
        while (count > 0) text += digits[--count];
    };
    std::string text;
    append(text, minutes);
    text += ':';
    append(text, seconds);
    return text;
}

void TKorvo::ShowTimes() {
    MediaPlayer->SetTimeUnit(0);
    lblLength->SetCaption("Length " + FormatTime(MediaPlayer->MediaLength()));
    lblPosition->SetCaption("Time " + FormatTime(MediaPlayer->PlayPosition()));
}

void TKorvo::ShowMode() {
    static const char* const modes[] = {"Mode  Sequential", "Mode  Single", "Mode  Random"};
    // A style stored outside 0 … 2 reads as none of them; the label then shows no style, as the switch would.
    std::string text = PlayStyle_ <= kPlayRandom ? modes[PlayStyle_] : "";
    if (RepeatOn_) text += " Repeat";
    lblMode->SetCaption(text);
}

void TKorvo::ShowCaption(const std::string& fileName) {
    SetCaption(fileName.empty() ? std::string(kTitle) : std::string(kTitle) + " - " + fileName);
}

bool TKorvo::DeviceOpen() const { return MediaPlayer->DeviceHandle() != 0; }

bool TKorvo::IsAtEnd() {
    const std::string& name = MediaPlayer->FileName();
    std::string extension;
    if (size_t dot = name.rfind('.'); dot != std::string::npos) extension = name.substr(dot);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    int32_t length = MediaPlayer->MediaLength();
    int32_t position = MediaPlayer->PlayPosition();
    // An AIFF file's position stops a millisecond short of its length.
    if (extension == ".AIF") return length - position <= 1 && position - length <= 1;
    return length == position;
}

// The playlist.

void TKorvo::ShufflePlaylist() { FillShuffled(ListBox->Items()); }

void TKorvo::FillShuffled(const TStrings& source) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    random_ = ((static_cast<uint32_t>(now.wHour) * 60 + now.wMinute) * 60 + now.wSecond) * 1000 + now.wMilliseconds;
    auto draw = [this](int32_t range) {
        random_ = random_ * 134775813u + 1;
        return static_cast<int32_t>((static_cast<uint64_t>(random_) * static_cast<uint32_t>(range)) >> 32);
    };
    // The exchanges are made on a copy, which the list then takes back line by line at the same places: ten
    // exchanges a line, each a dozen messages to the list's window, took seconds for a large folder. The lines end
    // in the same order, and the list stays marked sorted without being sorted again.
    TStringList order;
    order.CopyLinesFrom(&source);
    for (int32_t n = order.LineCount() * 10; n > 0; --n) {
        int32_t a = draw(order.LineCount());
        int32_t b = draw(order.LineCount());
        order.SwapLines(b, a);
    }
    TStrings& lines = ListBox->Items();
    {
        runtime::UpdateBracket bracket(lines);
        lines.RemoveAll();
        for (int32_t i = 0, count = order.LineCount(); i < count; ++i)
            lines.InsertLineData(i, order.LineText(i), order.LineData(i));
    }
    ListBox->SetItemIndex(0);
}

void TKorvo::EnterDirectoryListFolder() { ChangeDirectory(DirectoryListBox->DirPath()); }

void TKorvo::CloseTrack() {
    moved_ = false;
    MediaPlayer->CloseMedia();
    ShowCaption({});
}

void TKorvo::OpenSelected() {
    try {
        EnterDirectoryListFolder();
        MediaPlayer->OpenMedia();
    } catch (...) {
        ShowOpenFailed();
        throw;
    }
}

void TKorvo::ShowOpenFailed() {
    ShowStoppedButtons();
    UpdatePrevNextButtons();
    Timer->SetEnabled(false);
    UnlockBrowsing();
}

void TKorvo::StartTrack() {
    MediaPlayer->SetFileName(ListBox->Items().LineText(ListBox->ItemIndex()));
    ShowCaption(MediaPlayer->FileName());
    OpenSelected();
    TrackBar->SetMin(0);
    MediaPlayer->SetTimeUnit(0);
    TrackBar->SetMax(MediaPlayer->MediaLength());
    MediaPlayer->StartPlayback();
    moved_ = true;
    Timer->SetEnabled(true);
}

void TKorvo::DirectoryListBoxChange(TObject* sender) {
    Timer->SetEnabled(false);
    FileListBox->Rescan();
    if (PlayStyle_ == kPlayRandom) {
        // The folder's lines, shuffled, go into the unsorted playlist once: copied first and shuffled there, they
        // would end in the same order by twice the work.
        ListBox->SetSorted(false);
        FillShuffled(FileListBox->Items());
    } else {
        ListBox->SetItems(FileListBox->Items());
        ListBox->SetSorted(true);
    }
    EnterDirectoryListFolder();
    CloseTrack();
    ResetSlider();
    if (ListBox->Items().LineCount() == 0) {
        DisableTransportButtons();
        return;
    }
    ListBox->SetItemIndex(0);
    MediaPlayer->SetFileName(ListBox->Items().LineText(0));
    // Armed before the first open, which may fail: the folder has files, and the next one that plays advances.
    AutoAdvance_ = 1;
    silentEnds_ = 0;
    ListBoxClick(sender);
}

void TKorvo::ListBoxClick(TObject*) {
    CloseTrack();
    ResetSlider();
    MediaPlayer->SetFileName(ListBox->Items().LineText(ListBox->ItemIndex()));
    ShowCaption(MediaPlayer->FileName());
    OpenSelected();
    ShowStoppedButtons();
    ShowTimes();
    TrackBar->SetMin(0);
    MediaPlayer->SetTimeUnit(0);
    TrackBar->SetMax(MediaPlayer->MediaLength());
    UpdatePrevNextButtons();
}

void TKorvo::ListBoxDblClick(TObject* sender) { sbnPlayClick(sender); }

// The transport.

void TKorvo::sbnPlayClick(TObject* sender) {
    // With no file open (the end of the list passed, or an open that failed) the selected entry is opened first,
    // as a click on it would, rather than failing for want of a device.
    if (!DeviceOpen() && ListBox->ItemIndex() >= 0) ListBoxClick(sender);
    MediaPlayer->StartPlayback();
    moved_ = true;
    silentEnds_ = 0;
    ShowPlayingButtons();
    Timer->SetEnabled(true);
    LockBrowsing();
}

void TKorvo::sbnPauseClick(TObject* sender) {
    if (MediaPlayer->DeviceMode() == mdPlaying) {
        AutoAdvance_ = 0;
        MediaPlayer->PauseOrResume();
        ShowPausedButtons();
        Timer->SetEnabled(false);
    } else {
        // A key resumes as the button does, and with nothing open (a failed open, the end of the list) it opens the
        // selected entry first, as play does, rather than reporting a device the player closed itself.
        if (!DeviceOpen()) {
            if (ListBox->ItemIndex() < 0) return;
            ListBoxClick(sender);
        }
        AutoAdvance_ = 1;
        MediaPlayer->StartPlayback();
        moved_ = true;
        silentEnds_ = 0;
        ShowPlayingButtons();
        Timer->SetEnabled(true);
    }
}

void TKorvo::sbnStopClick(TObject*) {
    if (DeviceOpen()) MediaPlayer->StopPlayback();
    ShowStoppedButtons();
    Timer->SetEnabled(false);
    UnlockBrowsing();
}

void TKorvo::sbnNextClick(TObject* sender) {
    bool playing = MediaPlayer->DeviceMode() == mdPlaying;
    ListBox->SetItemIndex(ListBox->ItemIndex() + 1);
    ListBoxClick(sender);
    if (playing) sbnPlayClick(sender);
}

void TKorvo::sbnPrevClick(TObject* sender) {
    bool playing = MediaPlayer->DeviceMode() == mdPlaying;
    ListBox->SetItemIndex(ListBox->ItemIndex() - 1);
    ListBoxClick(sender);
    if (playing) sbnPlayClick(sender);
}

// The slider.

void TKorvo::TrackBarChange(TObject*) {
    if (!MediaPlayer->Enabled()) return;
    TMPMode mode = MediaPlayer->DeviceMode();
    if (mode == mdNotReady || mode == mdPlaying) return;
    if (MediaPlayer->PlayPosition() == TrackBar->Position()) return;
    MediaPlayer->SetPlayPosition(TrackBar->Position());
    moved_ = true;
    ShowTimes();
    pnlButtons->SetFocus();
}

void TKorvo::TrackBarEnter(TObject* sender) {
    if (MediaPlayer->DeviceMode() != mdPlaying) return;
    sbnPauseClick(sender);
    pnlButtons->SetFocus();
}

// The tick.

void TKorvo::TimerTimer(TObject*) {
    // Nothing is open (a start-up that built no playlist, or an open that failed): nothing to show or to end, and
    // no reason to wake every 10 ms; whatever opens a file starts the timer again.
    if (!DeviceOpen()) {
        Timer->SetEnabled(false);
        return;
    }
    ShowTimes();
    TrackBar->SetPosition(MediaPlayer->PlayPosition());
    // Only a file whose position has moved can be at its end: one merely opened (chosen while another played, or
    // one file put back to its start) has not ended, even when it is empty.
    if (moved_ && IsAtEnd() && AutoAdvance_ == 1) AdvanceAtEnd();
    UpdatePrevNextButtons();
}

void TKorvo::AdvanceAtEnd() {
    moved_ = false;
    // An empty file ends as soon as it starts: repeat goes round again only after a pass that played something, or
    // a folder of nothing but empty files would open one after another for ever.
    silentEnds_ = MediaPlayer->MediaLength() == 0 ? silentEnds_ + 1 : 0;
    const int32_t pass = PlayStyle_ == kPlaySingle ? 1 : ListBox->Items().LineCount();
    const bool repeat = RepeatOn_ && silentEnds_ < pass;
    if (PlayStyle_ == kPlaySingle) {
        if (repeat) {
            CloseTrack();
            ResetSlider();
            TrackBar->SetPosition(0);
            StartTrack();
        } else {
            ShowStoppedButtons();
            MediaPlayer->SetPlayPosition(0);
            ResetSlider();
            TrackBar->SetPosition(0);
            ShowTimes();
            UnlockBrowsing();
        }
        return;
    }
    Timer->SetEnabled(false);
    if (ListBox->ItemIndex() < ListBox->Items().LineCount() - 1) {
        CloseTrack();
        ResetSlider();
        ListBox->SetItemIndex(ListBox->ItemIndex() + 1);
        StartTrack();
    } else if (repeat) {
        CloseTrack();
        if (PlayStyle_ == kPlayRandom) ShufflePlaylist();
        ResetSlider();
        ListBox->SetItemIndex(0);
        StartTrack();
    } else {
        CloseTrack();
        ShowStoppedButtons();
        UnlockBrowsing();
    }
}

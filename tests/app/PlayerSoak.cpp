#include "tests/app/PlayerSoak.h"

#include <sndfile.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <fstream>

#include "app/AboutBox.h"
#include "app/DlgSetEnv.h"
#include "app/Korvo.h"
#include "frame/Application.h"
#include "platform/kernel/Paths.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "platform/testing/FakeProgramPath.h"
#include "platform/testing/VirtualClock.h"
#include "tests/app/ProcessFigures.h"
#include "tests/support/MediaFixtures.h"

using namespace platform::testing;
using namespace std::chrono_literals;

std::string DescribeSample(const SoakSample& sample) {
    return "RSS " + std::to_string(sample.residentBytes / 1024) + " KiB, heap " + std::to_string(sample.heapBytes) +
           " B, " + std::to_string(sample.openFiles) + " files, " + std::to_string(sample.threads) + " threads, " +
           sample.objects.Describe();
}

namespace {

constexpr int kRate = 44100;
constexpr const char* kMasks[] = {"*.mp3;*.wav;*.aif;*.au;*.mid", "*.wav;*.mp3;*.aif;*.au;*.mid"};
// What every pass does on the way, one action each tenth of it from the first: the about box closed with its OK
// button, Enter and the close box; the settings dialog accepted with OK and with Enter, and cancelled with its
// button, Escape and the close box. The first pass then meets everything the later ones do.
enum class Action { About, Accept, Cancel };
struct PassAction {
    Action action;
    int way;
};
constexpr PassAction kPassActions[] = {{Action::About, 0},  {Action::Cancel, 0}, {Action::About, 1},
                                       {Action::Accept, 0}, {Action::About, 2},  {Action::Cancel, 1},
                                       {Action::Accept, 1}, {Action::Cancel, 2}};
// Longer than any step needs; a step still waiting then is a fault of the player or of the run.
constexpr auto kStepLimit = 10s;

// A folder of the run's own, removed with everything in it when the run ends.
class SoakFolder {
  public:
    SoakFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvo-soak-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~SoakFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    SoakFolder(const SoakFolder&) = delete;
    SoakFolder& operator=(const SoakFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Files of 200 to 500 ms, each a tone of its own, most of them WAV with MP3, AIFF, AU and MIDI among them.
bool WriteFiles(const std::filesystem::path& folder, int count) {
    std::filesystem::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const int milliseconds = 200 + i * 97 % 301;
        const int64_t frames = int64_t{kRate} * milliseconds / 1000;
        const double frequency = 220.0 + 7.0 * i;
        char stem[16];
        std::snprintf(stem, sizeof stem, "track%03d", i);
        const std::filesystem::path path = folder / stem;
        bool written = true;
        if (i % 10 == 3) {
            written = WriteSound(path.string() + ".mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kRate, 2,
                                 Tone(kRate, 2, frames, frequency));
        } else if (i % 10 == 6) {
            written = WriteSound(path.string() + ".aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, kRate, 2,
                                 Tone(kRate, 2, frames, frequency));
        } else if (i % 10 == 8) {
            written = WriteSound(path.string() + ".au", SF_FORMAT_AU | SF_FORMAT_PCM_16, kRate, 1,
                                 Tone(kRate, 1, frames, frequency));
        } else if (i % 20 == 9) {
            // One note, 480 ticks a quarter at 120 quarters a minute: a tick is a millisecond and a bit.
            const auto ticks = static_cast<uint32_t>(milliseconds * 480 / 500);
            std::string track = MidiTempo(0, 500000) + MidiEvent(0, {0xC0, i % 8}) +
                                MidiEvent(0, {0x90, 48 + i % 24, 100}) + MidiEvent(ticks, {0x80, 48 + i % 24, 0}) +
                                MidiEndOfTrack(0);
            std::ofstream(path.string() + ".mid", std::ios::binary) << MidiFile(0, 480, {MidiTrack(track)});
        } else {
            written = WriteSound(path.string() + ".wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                                 Tone(kRate, 2, frames, frequency));
        }
        if (!written) return false;
    }
    return true;
}

SoakSample SampleNow() {
    SoakSample sample;
    sample.residentBytes = ResidentBytes();
    sample.heapBytes = HeapBytesInUse();
    sample.openFiles = OpenFileCount();
    sample.threads = ThreadCount();
    sample.objects = CountLiveObjects();
    return sample;
}

class Soak {
  public:
    Soak(const SoakOptions& options, SoakResult& result, VirtualClock& clock)
        : options_(options), result_(result), clock_(clock) {}

    // Plays until the duration has passed and a pass has ended after it, or until something fails.
    void Run(TKorvo& korvo);

  private:
    // Returns true when done; a step that returns false runs again at the next tick.
    using Step = std::function<bool()>;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();
    bool AnswerMessageBox();
    void CountTracks();
    void RunStep();
    bool Settled() const;
    void TakePassSample();
    void ScheduleActions();
    void QueueAbout(int way);
    void QueueSettings(bool accept, int way);
    void Fail(const std::string& what);

    void ClickButton(TSpeedButton* button);
    static void ClickOn(TWinControl& control);
    bool Playing() const { return korvo_->MediaPlayer->DeviceMode() == mdPlaying; }
    std::chrono::milliseconds Played() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(clock_.Elapsed() - started_);
    }

    const SoakOptions& options_;
    SoakResult& result_;
    VirtualClock& clock_;
    TKorvo* korvo_ = nullptr;
    bool finished_ = false;
    std::chrono::nanoseconds started_{};

    // Tracks are counted as they start: a new file, or the same one back at its start.
    int tracks_ = 0;
    std::string lastFile_;
    int32_t lastPosition_ = 0;

    std::deque<Step> steps_;
    std::chrono::nanoseconds stepSince_{};
    std::string stepName_;
    size_t nextAction_ = 0;  // in kPassActions, for the pass under way
    HWND answered_ = nullptr;

    static Soak* running_;
};

Soak* Soak::running_ = nullptr;

void Soak::Run(TKorvo& korvo) {
    korvo_ = &korvo;
    if (korvo.ListBox->Items().LineCount() != options_.files) {
        Fail("the playlist has " + std::to_string(korvo.ListBox->Items().LineCount()) + " lines");
        return;
    }
    if (korvo.PlayStyle() != kPlayRandom || !korvo.RepeatOn()) {
        Fail("the settings file did not set random play with repeat");
        return;
    }
    ClickButton(korvo.sbnPlay);
    DispatchPending();
    if (!Playing()) {
        Fail("play did not start");
        return;
    }
    // Room for every pass's figures from the start, so that keeping them does not show as growth of the heap: a
    // track lasts at least 200 ms.
    result_.passes.reserve(static_cast<size_t>(options_.duration / (200ms * options_.files)) + 4);
    started_ = clock_.Elapsed();
    tracks_ = 1;
    lastFile_ = korvo.MediaPlayer->FileName();
    running_ = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, Tick);
    const auto limit = std::chrono::duration_cast<std::chrono::milliseconds>(options_.duration * 2) + 10min;
    if (!RunUntil([this] { return finished_; }, limit) && !finished_) Fail("the run did not end in time");
    KillTimer(nullptr, timer);
    running_ = nullptr;
}

void CALLBACK Soak::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (running_) running_->OnTick();
}

void Soak::OnTick() {
    if (finished_ || AnswerMessageBox()) return;
    CountTracks();
    if (!steps_.empty()) {
        RunStep();
        return;
    }
    if (tracks_ > (static_cast<int>(result_.passes.size()) + 1) * options_.files) {
        if (Settled()) TakePassSample();
        return;
    }
    ScheduleActions();
}

bool Soak::AnswerMessageBox() {
    HWND active = GetActiveWindow();
    std::optional<std::string> text = MessageBoxText(active);
    if (!text) {
        answered_ = nullptr;
        return false;
    }
    if (active != answered_) {  // else Enter is on its way
        answered_ = active;
        result_.messageBoxes.push_back(*text);
        PressKey(VK_RETURN);
    }
    return true;
}

void Soak::CountTracks() {
    if (korvo_->MediaPlayer->DeviceHandle() == 0) return;
    const std::string& file = korvo_->MediaPlayer->FileName();
    const int32_t position = korvo_->MediaPlayer->PlayPosition();
    if (file != lastFile_ || position < lastPosition_) ++tracks_;
    lastFile_ = file;
    lastPosition_ = position;
}

void Soak::RunStep() {
    if (steps_.front()()) {
        steps_.pop_front();
        stepSince_ = clock_.Elapsed();
    } else if (clock_.Elapsed() - stepSince_ > kStepLimit) {
        Fail(stepName_ + ": a step did not happen within " + std::to_string(kStepLimit.count()) + " s");
    }
}

bool Soak::Settled() const {
    // What the sound layer holds depends on the kind of file open (a decoder's buffers, a synthesizer): figures are
    // taken each time at the same point, a tenth of a second into a WAV file.
    const std::string& file = korvo_->MediaPlayer->FileName();
    return file.size() > 4 && file.compare(file.size() - 4, 4, ".wav") == 0 && lastPosition_ >= 100 &&
           lastPosition_ < 200 && Playing();
}

void Soak::TakePassSample() {
    SoakSample sample = SampleNow();
    sample.passes = static_cast<int>(result_.passes.size()) + 1;
    sample.tracks = tracks_;
    sample.played = Played();
    result_.passes.push_back(sample);
    if (options_.onSample) options_.onSample(sample);
    nextAction_ = 0;
    if (sample.played >= options_.duration && result_.passes.size() >= 2) finished_ = true;
}

void Soak::ScheduleActions() {
    if (nextAction_ >= std::size(kPassActions)) return;
    const int inPass = tracks_ - static_cast<int>(result_.passes.size()) * options_.files;
    if (inPass * 10 < static_cast<int>(nextAction_ + 1) * options_.files) return;
    const PassAction& next = kPassActions[nextAction_++];
    if (next.action == Action::About) QueueAbout(next.way);
    else QueueSettings(next.action == Action::Accept, next.way);
    stepSince_ = clock_.Elapsed();
}

void Soak::QueueAbout(int way) {
    stepName_ = "the about box";
    steps_.push_back([this] {
        ClickButton(korvo_->sbnAbout);
        return true;
    });
    steps_.push_back([] { return AboutBox && IsWindowVisible(AboutBox->Handle()); });
    steps_.push_back([way] {
        if (way == 0) ClickOn(*AboutBox->OKButton);
        else if (way == 1) PressKey(VK_RETURN);
        else CloseBox(AboutBox->Handle());
        return true;
    });
    steps_.push_back([this] {
        if (AboutBox) return false;
        ++result_.aboutBoxes;
        return true;
    });
}

void Soak::QueueSettings(bool accept, int way) {
    stepName_ = accept ? "the settings dialog, accepted" : "the settings dialog, cancelled";
    // The settings button waits while a file plays.
    steps_.push_back([this] {
        if (!korvo_->sbnStop->Enabled()) return false;
        ClickButton(korvo_->sbnStop);
        return true;
    });
    steps_.push_back([this] {
        if (!korvo_->sbnSetEnv->Enabled()) return false;
        ClickButton(korvo_->sbnSetEnv);
        return true;
    });
    steps_.push_back([] { return dlgSetEnv && IsWindowVisible(dlgSetEnv->Handle()); });
    // Accepted: the same style with the mask written another way, so that the file list reads the folder again.
    // Cancelled: every setting changed, and all of it dropped.
    const std::string mask = accept ? kMasks[result_.settingsAccepted % 2] : "*.wav";
    steps_.push_back([accept] {
        ClickOn(*dlgSetEnv->rgpPlayStyle->Buttons(accept ? 2 : 0));
        return true;
    });
    if (!accept) {
        steps_.push_back([] {
            ClickOn(*dlgSetEnv->cbxRepeat);
            return true;
        });
    }
    steps_.push_back([] {
        dlgSetEnv->edtFileMask->SetFocus();  // which selects its whole text
        return true;
    });
    steps_.push_back([mask] {
        Type(mask);
        return true;
    });
    steps_.push_back([accept, way] {
        if (accept && way == 0) ClickOn(*dlgSetEnv->OKBtn);
        else if (accept) PressKey(VK_RETURN);
        else if (way == 0) ClickOn(*dlgSetEnv->CancelBtn);
        else if (way == 1) PressKey(VK_ESCAPE);
        else CloseBox(dlgSetEnv->Handle());
        return true;
    });
    const std::string kept = accept ? mask : korvo_->FileListBox->Mask();
    steps_.push_back([this, accept, kept] {
        if (dlgSetEnv) return false;
        if (korvo_->PlayStyle() != kPlayRandom || !korvo_->RepeatOn() || korvo_->FileListBox->Mask() != kept)
            Fail("the settings dialog left style " + std::to_string(korvo_->PlayStyle()) + ", repeat " +
                 std::to_string(korvo_->RepeatOn()) + ", mask " + korvo_->FileListBox->Mask());
        ++(accept ? result_.settingsAccepted : result_.settingsCancelled);
        return true;
    });
    steps_.push_back([this] {
        if (!korvo_->sbnPlay->Enabled()) return false;
        ClickButton(korvo_->sbnPlay);
        return true;
    });
    steps_.push_back([this] { return Playing(); });
}

void Soak::Fail(const std::string& what) {
    if (result_.failure.empty()) result_.failure = what;
    finished_ = true;
    steps_.clear();
    // A dialog left open would hold the run in its loop.
    if (dlgSetEnv) dlgSetEnv->SetModalResult(mrCancel);
    if (AboutBox) AboutBox->SetModalResult(mrCancel);
}

void Soak::ClickButton(TSpeedButton* button) {
    // A speed button has no window of its own: the click lands on its panel, where the button lies.
    Click(korvo_->pnlButtons->Handle(), button->Left() + button->Width() / 2, button->Top() + button->Height() / 2);
}

void Soak::ClickOn(TWinControl& control) { Click(control.Handle(), control.Width() / 2, control.Height() / 2); }


}  // namespace

SoakResult RunPlayerSoak(const SoakOptions& options) {
    SoakResult result;
    const auto realStart = std::chrono::steady_clock::now();
    SoakFolder folder;
    if (folder.Path().empty()) {
        result.failure = "no temporary folder";
        return result;
    }
    const std::filesystem::path music = folder.Path() / "music";
    const std::filesystem::path program = folder.Path() / "program";
    std::filesystem::create_directories(program);
    if (!WriteFiles(music, options.files)) {
        result.failure = "the media files could not be written";
        return result;
    }
    std::ofstream(program / "Korvo.ini") << "[Data]\nDirectory=" << platform::kernel::WindowsPathOf(music.string())
                                         << "\n[Play]\nStyle=2\nRepeat=1\n";

    VirtualClock clock;
    std::string error;
    if (!platform::mci::MciSystem::Get().UseOutput({"null", kRate, {}}, error)) {
        result.failure = "no null output: " + error;
        return result;
    }
    FakeProgramPath programPath((program / "korvo").string());
    const std::filesystem::path savedDirectory = std::filesystem::current_path();
    SetCurrentDirectoryA(platform::kernel::WindowsPathOf(program.string()).c_str());
    Application();  // its window is no part of what the run makes
    result.beforeStart = SampleNow();

    auto* korvo = new TKorvo(&Application());
    korvo->Show();
    DispatchPending();
    Soak(options, result, clock).Run(*korvo);
    delete korvo;
    RunFor(100ms);
    result.afterClose = SampleNow();

    std::error_code ignored;
    std::filesystem::current_path(savedDirectory, ignored);
    result.realSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - realStart).count();
    return result;
}

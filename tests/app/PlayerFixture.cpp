#include "tests/app/PlayerFixture.h"

#include <sndfile.h>
#include <stdlib.h>

#include <fstream>

#include "frame/Application.h"
#include "platform/mci/MciSystem.h"
#include "platform/testing/Desktop.h"
#include "tests/frame/FrameFixture.h"
#include "tests/support/MediaFixtures.h"

using namespace platform::testing;
using namespace std::chrono_literals;

EnvironmentGuard::EnvironmentGuard(const char* name, const std::string& value) : name_(name) {
    if (const char* saved = std::getenv(name)) saved_ = saved;
    setenv(name, value.c_str(), 1);
}

EnvironmentGuard::~EnvironmentGuard() {
    if (saved_) setenv(name_, saved_->c_str(), 1);
    else unsetenv(name_);
}

namespace {
PlayerTest* current = nullptr;
}  // namespace

PlayerTest::PlayerTest() {
    static const bool headless = (UseHeadlessDisplay(), true);
    (void)headless;
    Application().SetAppTitle("Korvo Music Player");
    std::string error;
    EXPECT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", kRate, {}}, error)) << error;
    current = this;
    boxTimer_ = SetTimer(nullptr, 0, 15, AnswerBoxes);
}

PlayerTest::~PlayerTest() {
    Discard();
    KillTimer(nullptr, boxTimer_);
    current = nullptr;
}

void CALLBACK PlayerTest::AnswerBoxes(HWND, UINT, UINT_PTR, DWORD) {
    if (!current) return;
    HWND active = GetActiveWindow();
    std::optional<std::string> text = MessageBoxText(active);
    if (!text) {
        current->answered_ = nullptr;
        return;
    }
    if (active == current->answered_) return;  // Enter is on its way
    current->answered_ = active;
    current->boxes_.push_back(*text);
    PressKey(VK_RETURN);
}

void PlayerTest::WriteWave(const std::string& name, int milliseconds, double frequency) {
    std::filesystem::create_directories((MusicFolder() / name).parent_path());
    ASSERT_TRUE(WriteSound(MusicFolder() / name, SF_FORMAT_WAV | SF_FORMAT_FLOAT, kRate, 2,
                           Tone(kRate, 2, int64_t{kRate} * milliseconds / 1000, frequency)));
}

void PlayerTest::WriteAiff(const std::string& name, int milliseconds) {
    std::filesystem::create_directories((MusicFolder() / name).parent_path());
    ASSERT_TRUE(WriteSound(MusicFolder() / name, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, kRate, 2,
                           Tone(kRate, 2, int64_t{kRate} * milliseconds / 1000)));
}

void PlayerTest::WriteMp3(const std::string& name, int milliseconds) {
    std::filesystem::create_directories((MusicFolder() / name).parent_path());
    ASSERT_TRUE(WriteSound(MusicFolder() / name, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kRate, 2,
                           Tone(kRate, 2, int64_t{kRate} * milliseconds / 1000)));
}

void PlayerTest::WriteMidi(const std::string& name) {
    // Half a second: one note of a quarter at 120 beats a minute.
    std::string track = MidiTempo(0, 500000) + MidiEvent(0, {0xC0, 0}) + MidiEvent(0, {0x90, 60, 100}) +
                        MidiEvent(480, {0x80, 60, 0}) + MidiEndOfTrack(0);
    WriteFile(name, MidiFile(0, 480, {MidiTrack(track)}));
}

void PlayerTest::WriteFile(const std::string& name, const std::string& content) {
    std::filesystem::create_directories((MusicFolder() / name).parent_path());
    std::ofstream(MusicFolder() / name, std::ios::binary) << content;
}

void PlayerTest::WriteSettings(const std::string& text) {
    std::ofstream(SettingsFile(), std::ios::binary) << text;
}

std::string PlayerTest::ReadSettings() const { return program_.Read("Korvo.ini"); }

TKorvo& PlayerTest::Start(const std::string& currentFolder) {
    Discard();
    EXPECT_TRUE(SetCurrentDirectoryA(currentFolder.empty() ? program_.WindowsPath().c_str() : currentFolder.c_str()));
    korvo_ = new TKorvo(&Application());
    korvo_->Show();
    DispatchPending();
    return *korvo_;
}

void PlayerTest::Discard() {
    delete korvo_;
    korvo_ = nullptr;
}

void PlayerTest::Press(TSpeedButton* button) {
    // A speed button has no window of its own: the click lands on its panel, where the button lies.
    Click(korvo_->pnlButtons->Handle(), button->Left() + button->Width() / 2, button->Top() + button->Height() / 2);
    DispatchPending();
}

void PlayerTest::ClickLine(int index) {
    RECT line = korvo_->ListBox->ItemRect(index);
    Click(korvo_->ListBox->Handle(), (line.left + line.right) / 2, (line.top + line.bottom) / 2);
    DispatchPending();
}

void PlayerTest::DoubleClickLine(int index) {
    RECT line = korvo_->ListBox->ItemRect(index);
    DoubleClick(korvo_->ListBox->Handle(), (line.left + line.right) / 2, (line.top + line.bottom) / 2);
    DispatchPending();
}

void PlayerTest::CloseWindow() {
    CloseBox(korvo_->Handle());
    DispatchPending();
}

bool PlayerTest::RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    return platform::testing::RunUntil(condition, limit);
}

std::vector<std::string> PlayerTest::CaptionsUntil(const std::function<bool()>& condition,
                                                   std::chrono::milliseconds limit) {
    std::vector<std::string> captions{Caption()};
    platform::testing::RunUntil(
        [&] {
            if (Caption() != captions.back()) captions.push_back(Caption());
            return condition();
        },
        limit);
    return captions;
}

std::string PlayerTest::Caption() const {
    char text[256] = {};
    GetWindowTextA(korvo_->Handle(), text, sizeof text);
    return text;
}

std::vector<std::string> PlayerTest::Lines() const {
    std::vector<std::string> lines;
    TStrings& items = korvo_->ListBox->Items();
    for (int32_t i = 0; i < items.LineCount(); ++i) lines.push_back(items.LineText(i));
    return lines;
}

std::string PlayerTest::Selected() const {
    int32_t index = korvo_->ListBox->ItemIndex();
    return index < 0 ? std::string() : korvo_->ListBox->Items().LineText(index);
}

bool PlayerTest::Playing() const { return korvo_->MediaPlayer->DeviceMode() == mdPlaying; }

std::string PlayerTest::Transport() const {
    std::string flags;
    for (TSpeedButton* button :
         {korvo_->sbnPlay, korvo_->sbnPause, korvo_->sbnStop, korvo_->sbnPrev, korvo_->sbnNext})
        flags += button->Enabled() ? '1' : '0';
    return flags;
}

std::string PlayerTest::PlayPauseStop() const { return Transport().substr(0, 3); }

void PlayerTest::RemoveFolders() {
    Discard();
    std::error_code ignored;
    std::filesystem::remove_all(home_.Path(), ignored);
    std::filesystem::remove_all(program_.Path(), ignored);
}

std::optional<size_t> FindSamples(const std::vector<float>& whole, const std::vector<float>& part, size_t from) {
    if (part.empty() || whole.size() < part.size()) return std::nullopt;
    for (size_t start = from; start + part.size() <= whole.size(); ++start) {
        if (whole[start] != part[0]) continue;
        if (std::equal(part.begin(), part.end(), whole.begin() + static_cast<std::ptrdiff_t>(start))) return start;
    }
    return std::nullopt;
}

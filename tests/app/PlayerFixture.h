#pragma once
// The whole player on the headless display and the virtual clock: a home folder of the test's own (so the user's
// music folder, "c:\My Documents\My Music", is a folder the test fills), a program folder of its own (so Korvo.ini
// lands there), silent sound, and the user's steps through real clicks. Every message box that appears is
// answered with Enter at once and its text kept, so a test can count the boxes instead of hanging on one.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Korvo.h"
#include "platform/testing/FakeProgramPath.h"
#include "platform/testing/VirtualClock.h"
#include "tests/support/TempFolder.h"

// Sets an environment variable for the life of the object.
class EnvironmentGuard {
  public:
    EnvironmentGuard(const char* name, const std::string& value);
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

  private:
    const char* name_;
    std::optional<std::string> saved_;
};

class PlayerTest : public ::testing::Test {
  protected:
    PlayerTest();
    ~PlayerTest() override;

    static constexpr int kRate = 44100;
    static constexpr const char* kDefaultMask = "*.mp3;*.wav;*.aif;*.au;*.mid";

    // $HOME/Music, the folder "c:\My Documents\My Music" names; made by the first file written into it.
    std::filesystem::path MusicFolder() const { return home_.Path() / "Music"; }
    std::string MusicFolderPath() const { return home_.WindowsPath("Music"); }

    // Sounds of that many milliseconds in the music folder (a name may lead into a subfolder), each a tone of
    // its own frequency so that captured sound tells them apart.
    void WriteWave(const std::string& name, int milliseconds, double frequency = 440.0);
    void WriteAiff(const std::string& name, int milliseconds);
    void WriteMp3(const std::string& name, int milliseconds);
    void WriteMidi(const std::string& name);
    void WriteFile(const std::string& name, const std::string& content);

    // Korvo.ini beside the program.
    std::filesystem::path SettingsFile() const { return program_.Path() / "Korvo.ini"; }
    std::string SettingsFilePath() const { return program_.WindowsPath("Korvo.ini"); }
    void WriteSettings(const std::string& text);
    std::string ReadSettings() const;

    // Makes the main window from its layout and shows it; its first activation reads the settings and the folder.
    // The program starts in its own folder unless told another, as a new process would, whatever folder the last
    // window left current.
    TKorvo& Start(const std::string& currentFolder = {});
    // Destroys the window without closing it, as the end of a session would.
    void Discard();

    // The user's steps, each followed by the messages it brings.
    void Press(TSpeedButton* button);
    void ClickLine(int index);
    void DoubleClickLine(int index);
    void CloseWindow();
    bool RunUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = std::chrono::seconds(30));
    // Runs until the condition holds, noting each window caption that shows in between (once for each change).
    std::vector<std::string> CaptionsUntil(const std::function<bool()>& condition,
                                           std::chrono::milliseconds limit = std::chrono::seconds(30));

    std::string Caption() const;
    std::vector<std::string> Lines() const;
    std::string Selected() const;
    bool Playing() const;
    // Whether the transport's buttons are enabled, as "play pause stop prev next" flags ("10011").
    std::string Transport() const;
    // Play, pause and stop alone ("100").
    std::string PlayPauseStop() const;

    // Deletes the test's folders now: a test run in a process of its own ends without destructors.
    void RemoveFolders();

    platform::testing::VirtualClock clock_;
    TempFolder home_;
    TempFolder program_;
    CurrentDirectoryGuard directory_;
    EnvironmentGuard homeVariable_{"HOME", home_.Path().string()};
    EnvironmentGuard configVariable_{"XDG_CONFIG_HOME", (home_.Path() / ".config").string()};
    platform::testing::FakeProgramPath programPath_{(program_.Path() / "korvo").string()};
    TKorvo* korvo_ = nullptr;
    // The texts of the message boxes that appeared, in order.
    std::vector<std::string> boxes_;

  private:
    static void CALLBACK AnswerBoxes(HWND, UINT, UINT_PTR, DWORD);
    UINT_PTR boxTimer_ = 0;
    HWND answered_ = nullptr;
};

// Whether `part` occurs in `whole` at or after `from`, sample for sample; returns where, or nothing.
std::optional<size_t> FindSamples(const std::vector<float>& whole, const std::vector<float>& part, size_t from = 0);

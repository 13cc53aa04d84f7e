// Ending the program while a file plays: by closing the main form (the loop ends and main returns) and by
// std::exit from inside the loop. Each part must be taken down while what it uses still exists, so the run ends
// with exit code 0 and the sanitizers have nothing to report.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "tests/support/MediaFixtures.h"
#include "tests/support/TempFolder.h"

extern char** environ;

namespace {

constexpr int kRate = 44100;

struct ProgramRun {
    int exitCode = -1;  // -1: killed by a signal or did not end in time
    std::string output;
    std::string errors;
};

ProgramRun RunExitProgram(const std::string& mode, const TempFolder& folder) {
    const std::string program = KORVO_MEDIA_EXIT_PROGRAM;
    const std::string output = (folder.Path() / "output.txt").string();
    const std::string errors = (folder.Path() / "errors.txt").string();
    std::vector<std::string> arguments = {program, mode, folder.WindowsPath("tone.wav"),
                                          (folder.Path() / "capture.wav").string()};
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ProgramRun run;
    if (spawned != 0) return run;
    // A program that hangs at its end (a thread never joined, a lock never released) fails here, not in CTest.
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    run.output = folder.Read("output.txt");
    run.errors = folder.Read("errors.txt");
    return run;
}

}  // namespace

TEST(ExitWhilePlaying, ClosingTheMainFormOrExitingEndsTheProgramCleanly) {
    for (const std::string mode : {"close", "exit"}) {
        SCOPED_TRACE(mode);
        TempFolder folder;
        ASSERT_TRUE(WriteSound(folder.Path() / "tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                               Tone(kRate, 2, kRate * 10)));  // far longer than the program plays

        ProgramRun run = RunExitProgram(mode, folder);

        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(run.errors.find("Sanitizer"), std::string::npos) << run.errors;
        EXPECT_EQ(run.errors.find("runtime error"), std::string::npos) << run.errors;
        int played = 0;
        ASSERT_EQ(std::sscanf(run.output.c_str(), "playing %d", &played), 1) << run.output << run.errors;
        // It really ended while playing: the capture holds the tone from its first frame on, and most of what was
        // handed to the output (what reaches the "speakers" lags the played position by the output's lead).
        int rate = 0, channels = 0;
        std::vector<float> captured = ReadSound(folder.Path() / "capture.wav", rate, channels);
        ASSERT_EQ(rate, kRate);
        ASSERT_EQ(channels, 2);
        EXPECT_GE(captured.size() / 2, static_cast<size_t>(int64_t{played} * kRate / 1000 / 2));
        size_t first = 0;
        while (first < captured.size() && captured[first] == 0.0f) ++first;
        ASSERT_LT(first, captured.size()) << "nothing but silence was captured";
        EXPECT_NEAR(captured[first], 0.5f, 0.01f) << "the tone starts at full swing";
    }
}

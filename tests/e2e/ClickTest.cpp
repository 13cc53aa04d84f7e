// The window system on a real X server: Xvfb, the SDL display, xdotool's click and xwd's screenshot.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

extern char** environ;

namespace {

// A child process whose standard output the test reads line by line.
class Process {
  public:
    explicit Process(std::vector<std::string> arguments, bool readOutput = true) {
        int pipeFds[2] = {-1, -1};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (readOutput && pipe(pipeFds) == 0) {
            posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
            posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
        }
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        if (pipeFds[1] >= 0) close(pipeFds[1]);
        out_ = pipeFds[0];
    }
    ~Process() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) close(out_);
    }

    bool Started() const { return pid_ > 0; }

    // The next line of output, or nothing after the timeout.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) {
        auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (auto newline = buffer_.find('\n'); newline != std::string::npos) {
                std::string line = buffer_.substr(0, newline);
                buffer_.erase(0, newline + 1);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0 || out_ < 0) return std::nullopt;
            pollfd request{out_, POLLIN, 0};
            if (poll(&request, 1, static_cast<int>(left.count())) <= 0) continue;
            char chunk[256];
            ssize_t count = read(out_, chunk, sizeof chunk);
            if (count <= 0) return std::nullopt;
            buffer_.append(chunk, static_cast<size_t>(count));
        }
    }

    int Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

std::string RunProgram(std::vector<std::string> arguments) {
    Process process(std::move(arguments));
    std::string output;
    while (auto line = process.ReadLine(std::chrono::seconds(10))) output += *line + "\n";
    process.Wait();
    return output;
}

// The colour at a screen position of an X window dump (ZPixmap, 24 or 32 bits a pixel; lines may be padded).
struct Dump {
    uint32_t width = 0, height = 0, bytesPerLine = 0, bytesPerPixel = 0, byteOrder = 0;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    std::vector<uint8_t> pixels;

    bool Load(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        auto field = [&bytes](size_t index) {
            size_t at = index * 4;
            return at + 4 > bytes.size() ? 0u
                                         : (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
                                               (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
        };
        uint32_t headerSize = field(0);
        width = field(4);
        height = field(5);
        byteOrder = field(7);
        bytesPerLine = field(12);
        bytesPerPixel = field(11) / 8;
        redMask = field(14);
        greenMask = field(15);
        blueMask = field(16);
        uint32_t colours = field(19);
        size_t start = headerSize + static_cast<size_t>(colours) * 12;
        if ((bytesPerPixel != 3 && bytesPerPixel != 4) || start + static_cast<size_t>(bytesPerLine) * height > bytes.size())
            return false;
        pixels.assign(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end());
        return true;
    }

    uint32_t Rgb(uint32_t x, uint32_t y) const {
        const uint8_t* p = pixels.data() + static_cast<size_t>(y) * bytesPerLine + x * bytesPerPixel;
        uint32_t value = 0;
        for (uint32_t i = 0; i < bytesPerPixel; ++i)
            value |= uint32_t{p[byteOrder == 0 ? i : bytesPerPixel - 1 - i]} << (8 * i);
        auto channel = [value](uint32_t mask) {
            int shift = __builtin_ctz(mask);
            return ((value & mask) >> shift) & 0xFF;
        };
        return (channel(redMask) << 16) | (channel(greenMask) << 8) | channel(blueMask);
    }
};

}  // namespace

TEST(EndToEnd, AClickOnARealWindowArrivesAndWhatItPaintedIsOnTheScreen) {
    // Xvfb picks a free display number and tells it through a pipe.
    int displayPipe[2];
    ASSERT_EQ(pipe(displayPipe), 0);
    Process server({"Xvfb", "-displayfd", std::to_string(displayPipe[1]), "-screen", "0", "640x480x24", "-nolisten",
                    "tcp"},
                   false);
    close(displayPipe[1]);
    ASSERT_TRUE(server.Started());
    std::string number;
    char c;
    pollfd request{displayPipe[0], POLLIN, 0};
    while (poll(&request, 1, 10000) > 0 && read(displayPipe[0], &c, 1) == 1 && c != '\n') number += c;
    close(displayPipe[0]);
    ASSERT_FALSE(number.empty()) << "Xvfb did not start";
    setenv("DISPLAY", (":" + number).c_str(), 1);

    Process program({KORVO_E2E_CLICK_PROGRAM});
    ASSERT_TRUE(program.Started());
    ASSERT_EQ(program.ReadLine(std::chrono::seconds(15)), "shown");

    std::string id = RunProgram({"xdotool", "search", "--sync", "--name", "Korvo e2e"});
    ASSERT_FALSE(id.empty());
    id = id.substr(0, id.find('\n'));
    RunProgram({"xdotool", "mousemove", "--window", id, "50", "40", "click", "1"});
    EXPECT_EQ(program.ReadLine(std::chrono::seconds(10)), "click 50 40");
    ASSERT_EQ(program.ReadLine(std::chrono::seconds(10)), "shown");

    TempFolder folder;
    std::string dump = (folder.Path() / "screen.xwd").string();
    RunProgram({"xwd", "-root", "-silent", "-out", dump});
    Dump screen;
    ASSERT_TRUE(screen.Load(dump));
    std::string geometry = RunProgram({"xdotool", "getwindowgeometry", id});
    int x = 0, y = 0;
    ASSERT_EQ(std::sscanf(geometry.c_str() + geometry.find("Position: ") + 10, "%d,%d", &x, &y), 2) << geometry;
    EXPECT_EQ(screen.Rgb(static_cast<uint32_t>(x + 50), static_cast<uint32_t>(y + 40)), 0xFF0000u);
    EXPECT_EQ(screen.Rgb(static_cast<uint32_t>(x + 150), static_cast<uint32_t>(y + 120)), 0xFFFFFFu);
    EXPECT_EQ(screen.Rgb(static_cast<uint32_t>(x + 61), static_cast<uint32_t>(y + 40)), 0xFFFFFFu);
}

#include "tests/e2e/XServer.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>
#include <utility>

#include "tests/support/ScreenDump.h"
#include "tests/support/TempFolder.h"

extern char** environ;

Process::Process(std::vector<std::string> arguments, bool readOutput) {
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

Process::~Process() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
}

std::optional<std::string> Process::ReadLine(std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (auto newline = buffer_.find('\n'); newline != std::string::npos) {
            std::string line = buffer_.substr(0, newline);
            buffer_.erase(0, newline + 1);
            said_ += line + "\n";
            return line;
        }
        if (ended_ || out_ < 0) {
            ended_ = true;
            // The last line may lack its line break.
            if (buffer_.empty()) return std::nullopt;
            said_ += buffer_ + "\n";
            return std::exchange(buffer_, std::string());
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd request{out_, POLLIN, 0};
        if (poll(&request, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[256];
        ssize_t count = read(out_, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) ended_ = true;
        else buffer_.append(chunk, static_cast<size_t>(count));
    }
}

std::optional<std::string> Process::WaitFor(const std::string& prefix, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < end) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        auto line = ReadLine(left);
        if (!line) return std::nullopt;
        if (line->starts_with(prefix)) return line;
    }
    return std::nullopt;
}

void Process::Signal(int number) const {
    if (pid_ > 0) kill(pid_, number);
}

int Process::Wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return -1;
    int status = 0;
    pid_t ended = 0;
    WaitUntil([&] { return (ended = waitpid(pid_, &status, WNOHANG)) != 0; }, limit);
    if (ended == 0) return -1;  // still running: the destructor ends it
    pid_ = -1;
    return ended > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // between two looks, not a wait for something
    }
}

std::string RunProgram(std::vector<std::string> arguments) {
    Process process(std::move(arguments));
    std::string output;
    const auto end = std::chrono::steady_clock::now() + kHangLimit;
    auto left = [&end] {
        return std::max(std::chrono::milliseconds(0), std::chrono::duration_cast<std::chrono::milliseconds>(
                                                           end - std::chrono::steady_clock::now()));
    };
    while (!process.OutputEnded() && left().count() > 0)
        if (auto line = process.ReadLine(left())) output += *line + "\n";
    process.Wait(left());  // a program still running then is ended with the process object
    return output;
}

VirtualXServer::VirtualXServer(int width, int height, int depth) {
    // Xvfb picks a free display number and tells it through a pipe.
    int numberPipe[2];
    if (pipe(numberPipe) != 0) return;
    server_ = std::make_unique<Process>(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(numberPipe[1]), "-screen", "0",
                                 std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth),
                                 "-nolisten", "tcp"},
        false);
    close(numberPipe[1]);
    std::string number;
    char c;
    pollfd request{numberPipe[0], POLLIN, 0};
    const int limit = static_cast<int>(std::chrono::milliseconds(kHangLimit).count());
    while (poll(&request, 1, limit) > 0 && read(numberPipe[0], &c, 1) == 1 && c != '\n') number += c;
    close(numberPipe[0]);
    if (number.empty()) return;
    display_ = ":" + number;
    setenv("DISPLAY", display_.c_str(), 1);
}

void VirtualXServer::Kill() {
    if (server_) server_->Signal(SIGKILL);
}

std::string VirtualXServer::WindowId(const std::string& title) const {
    std::string id = RunProgram({"xdotool", "search", "--sync", "--name", title});
    return id.substr(0, id.find('\n'));
}

bool VirtualXServer::WindowPosition(const std::string& id, int& x, int& y) const {
    std::string geometry = RunProgram({"xdotool", "getwindowgeometry", id});
    auto at = geometry.find("Position: ");
    return at != std::string::npos && std::sscanf(geometry.c_str() + at + 10, "%d,%d", &x, &y) == 2;
}

void VirtualXServer::Click(const std::string& windowId, int x, int y) const {
    RunProgram({"xdotool", "mousemove", "--window", windowId, std::to_string(x), std::to_string(y), "click", "1"});
}

void VirtualXServer::DoubleClick(const std::string& windowId, int x, int y) const {
    RunProgram({"xdotool", "mousemove", "--window", windowId, std::to_string(x), std::to_string(y), "click", "--repeat",
                "2", "--delay", "80", "1"});
}

void VirtualXServer::PressKey(const std::string& windowId, const std::string& key) const {
    // Without a window manager the keyboard follows the pointer, so the pointer goes over the window first.
    RunProgram({"xdotool", "mousemove", "--window", windowId, "4", "4", "key", key});
}

void VirtualXServer::RequestClose(const std::string& windowId) const {
    RunProgram({"python3", KORVO_E2E_REQUEST_CLOSE, windowId});
}

void VirtualXServer::ClickOnScreen(int x, int y) const {
    RunProgram({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "click", "1"});
}

void VirtualXServer::Drag(const std::string& windowId, int fromX, int fromY, int toX, int toY) const {
    RunProgram({"xdotool", "mousemove", "--window", windowId, std::to_string(fromX), std::to_string(fromY),
                "mousedown", "1"});
    // In steps, as a hand moves. Steps that reach the program together come out as one move, as on Windows; the
    // program takes them in order all the same, the release last.
    for (int step = 1; step <= 4; ++step) {
        RunProgram({"xdotool", "mousemove", "--window", windowId, std::to_string(fromX + (toX - fromX) * step / 4),
                    std::to_string(fromY + (toY - fromY) * step / 4)});
    }
    RunProgram({"xdotool", "mouseup", "1"});
}

std::optional<platform::gdi::Surface> VirtualXServer::Screen() const { return ReadScreen(); }

std::optional<platform::gdi::Surface> ReadPixels(Process& program) {
    std::optional<std::string> header = program.WaitFor("pixels ");
    int width = 0, height = 0;
    if (!header || std::sscanf(header->c_str(), "pixels %d %d", &width, &height) != 2 || width <= 0 || height <= 0)
        return std::nullopt;
    platform::gdi::Surface rendering(width, height);
    for (int y = 0; y < height; ++y) {
        std::optional<std::string> row = program.ReadLine();
        if (!row || row->size() != static_cast<size_t>(width) * 6) return std::nullopt;
        for (int x = 0; x < width; ++x)
            rendering.Row(y)[x] = static_cast<uint32_t>(std::stoul(row->substr(static_cast<size_t>(x) * 6, 6), nullptr, 16));
    }
    return rendering;
}

int DifferentPixels(const platform::gdi::Surface& screen, int x, int y, const platform::gdi::Surface& rendering,
                    const RECT& area) {
    int different = 0;
    for (int v = area.top; v < area.bottom; ++v)
        for (int u = area.left; u < area.right; ++u) {
            const bool inside = u >= 0 && v >= 0 && u < rendering.width && v < rendering.height && x + u >= 0 &&
                                y + v >= 0 && x + u < screen.width && y + v < screen.height;
            if (!inside || screen.At(x + u, y + v) != rendering.At(u, v)) ++different;
        }
    return different;
}

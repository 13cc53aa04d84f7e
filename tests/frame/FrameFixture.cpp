#include "tests/frame/FrameFixture.h"

#include <gtest/gtest-spi.h>

#include <cstdio>
#include <cstdlib>

namespace {
Script* running = nullptr;
}  // namespace

FrameTest::FrameTest() {
    static const bool headless = (platform::testing::UseHeadlessDisplay(), true);
    (void)headless;
    Application();
}

Script::Script(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
    running = this;
    timer_ = SetTimer(nullptr, 0, 20, Tick);
}

Script::~Script() {
    KillTimer(nullptr, timer_);
    running = nullptr;
}

void CALLBACK Script::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!running || running->Done()) return;
    // Counted before the step runs: a step that opens a dialog lets the next steps run inside it.
    auto& step = running->steps_[running->next_++];
    step();
}

std::optional<std::string> ActiveMessageBoxText() { return platform::testing::MessageBoxText(GetActiveWindow()); }

std::string ActiveCaption() {
    char text[256] = {};
    GetWindowTextA(GetActiveWindow(), text, sizeof text);
    return text;
}

void RunInOwnProcess(const std::function<void()>& body) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The child's checks are collected and written to its standard error, where the parent shows them.
    auto child = [&body] {
        ::testing::TestPartResultArray results;
        {
            ::testing::ScopedFakeTestPartResultReporter reporter(
                ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ALL_THREADS, &results);
            body();
        }
        int failures = 0;
        for (int i = 0; i < results.size(); ++i) {
            const ::testing::TestPartResult& result = results.GetTestPartResult(i);
            if (!result.failed()) continue;
            ++failures;
            std::fprintf(stderr, "%s:%d: %s\n", result.file_name() ? result.file_name() : "?", result.line_number(),
                         result.summary());
        }
        std::exit(failures ? 1 : 0);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

#pragma once
// A long run of the whole player on the virtual clock, to find what grows with time: a folder of a hundred short
// generated files (200 to 500 ms) played in random order with repeat, the about box and the settings dialog opened
// on the way through real clicks and keys and closed every way they close (OK, Cancel, Enter, Escape, the close
// box), and the process's memory, files and threads and the platform's windows, GDI objects, timers and sound
// devices counted at the end of every pass. A pass is as many tracks as the folder has files and does the same
// things each time; the first warms every cache, so its figures are the ones the later passes must keep.
// The app tests run two minutes of it and the soak benchmark an hour. Needs no test framework.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/testing/LiveObjects.h"

struct SoakSample {
    int passes = 0;                     // passes finished when taken
    int tracks = 0;                     // tracks started when taken
    std::chrono::milliseconds played{}; // virtual time since the first track started
    int64_t residentBytes = 0;          // VmRSS
    int64_t heapBytes = 0;              // allocated and not yet freed (HeapBytesInUse)
    int openFiles = 0;                  // file descriptors
    int threads = 0;
    platform::testing::LiveObjects objects;
};

struct SoakResult {
    SoakSample beforeStart;          // before the window was made
    std::vector<SoakSample> passes;  // at the end of each pass; the first is the baseline
    SoakSample afterClose;           // once the window is destroyed
    int aboutBoxes = 0;
    int settingsAccepted = 0;
    int settingsCancelled = 0;
    std::vector<std::string> messageBoxes;  // the texts of any message boxes, each answered with Enter
    std::string failure;                    // what the run could not do, or empty
    double realSeconds = 0;
};

struct SoakOptions {
    std::chrono::milliseconds duration = std::chrono::minutes(3);  // virtual; at least two passes are run
    int files = 100;
    // Hears of each sample as it is taken, for a long run to show its progress.
    std::function<void(const SoakSample&)> onSample;
};

// Needs the headless display in use; installs a virtual clock and the null sound output for the run, and leaves the
// null output in place.
SoakResult RunPlayerSoak(const SoakOptions& options);

// "RSS 37700 KiB, heap 18094080 B, 7 files, 4 threads, windows 4+9 ..."
std::string DescribeSample(const SoakSample& sample);

// The suite's own start: the common controls are registered first, as a program that uses the trackbar must do on
// Windows.

#include <gtest/gtest.h>

#include "platform/win32.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&controls)) return 1;
    // A drive without its medium is reported as an error, not asked about in a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    return RUN_ALL_TESTS();
}

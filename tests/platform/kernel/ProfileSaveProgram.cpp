// Saves the settings of ProfileSaves.h into a profile file without end, switching every setting between its two
// values in turn, first to the value whose index it is given, until it is killed. It writes one byte to its standard
// output before the first save, so that a test knows when saving has begun, and ends with code 1 if a save fails.
// Usage: korvo_platform_save_program <profile file in Windows form> 0|1

#include <unistd.h>

#include <string_view>

#include "platform/win32.h"
#include "tests/platform/kernel/ProfileSaves.h"

int main(int argc, char** argv) {
    if (argc != 3 || write(STDOUT_FILENO, "!", 1) != 1) return 2;
    for (int value = std::string_view(argv[2]) == "1" ? 1 : 0;; value = 1 - value) {
        for (const SavedSetting& setting : kSavedSettings) {
            if (!WritePrivateProfileStringA(setting.section, setting.key, setting.values[value], argv[1])) return 1;
        }
    }
}

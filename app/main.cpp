// Program entry. The main window arrives with the application frame; until then the program only checks that its
// platform can find the executable's folder, where the settings file lives, and ends.

#include <cstdio>
#include <string>

#include "platform/win32.h"

int main() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        std::fprintf(stderr, "Korvo Music Player: cannot find the program's own folder.\n");
        return 1;
    }
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    std::printf("Korvo Music Player: settings file %sKorvo.ini\n", folder.c_str());
    std::printf("The player's window is not built yet; nothing more to do.\n");
    return 0;
}

#pragma once
// What ProfileSaveProgram saves over and over while a test kills it: the player's settings, each with two values
// of different lengths, so that every save changes the file's size and most of its lines move.

#include <string>

struct SavedSetting {
    const char* section;
    const char* key;
    const char* values[2];
};

inline const SavedSetting kSavedSettings[] = {
    {"File", "Mask", {"*.mp3;*.wav;*.mid", "*.wav"}},
    {"Play", "Style", {"0", "2"}},
    {"Play", "Repeat", {"1", "0"}},
    {"MainWindow", "Top", {"120", "-32000"}},
    {"MainWindow", "Left", {"-8", "1920"}},
    {"Data",
     "Directory",
     {"C:\\My Documents\\My Music",
      "D:\\音楽\\クラシック\\バッハ\\無伴奏チェロ組曲\\第1番 ト長調 BWV 1007\\演奏者不明の古い録音\\"
      "プレリュード、アルマンド、クーラント、サラバンド、メヌエット、ジーグ"}},
};

inline constexpr size_t kSavedSettingCount = sizeof kSavedSettings / sizeof kSavedSettings[0];

// The whole file when setting i has values[chosen[i]]: a first comment line, CR LF line ends and a blank line
// between sections, as a save that changes values in place keeps them.
inline std::string SavedSettingsFile(const int (&chosen)[kSavedSettingCount]) {
    std::string file = "; Korvo\r\n";
    std::string section;
    for (size_t i = 0; i < kSavedSettingCount; ++i) {
        const SavedSetting& setting = kSavedSettings[i];
        if (section != setting.section) {
            if (!section.empty()) file += "\r\n";
            section = setting.section;
            file += "[" + section + "]\r\n";
        }
        file += std::string(setting.key) + "=" + setting.values[chosen[i]] + "\r\n";
    }
    return file;
}

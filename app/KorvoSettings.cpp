// The settings file: read once when the window first shows, written when it closes.

#include <vector>

#include "app/Korvo.h"
#include "browse/PathRoutines.h"
#include "frame/Application.h"
#include "runtime/Exception.h"
#include "runtime/FileNames.h"

namespace {

constexpr const char* kDefaultFolder = "c:\\My Documents\\My Music";
constexpr const char* kDefaultMask = "*.mp3;*.wav;*.aif;*.au;*.mid";
constexpr const char* kFileName = "Korvo.ini";

// The executable's folder with its trailing separator. The whole path is kept: a folder of Japanese names passes
// 255 bytes in UTF-8 at about 85 characters, and a cut path would point the settings somewhere else.
std::string ExecutableFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            return FileDirectoryPart(std::string_view(path.data(), length));
        }
        path.resize(path.size() * 2);
    }
}

// Whether the program may make files in the folder: it makes one and removes it again.
bool TakesFiles(const std::string& folder) {
    char probe[MAX_PATH];
    if (GetTempFileNameA(folder.c_str(), "kor", 0, probe) == 0) return false;
    DeleteFileA(probe);
    return true;
}

// Whether the program runs installed: from the bin folder of a prefix whose share folder holds its menu entry, as
// cmake --install lays it out. That folder is not the program's own even when it takes files: ~/.local/bin holds
// the user's other programs, and every user of a shared one would share one settings file.
bool IsInstalled(const std::string& folder) {
    std::string bin = folder.substr(0, folder.size() - 1);  // without the trailing separator
    if (bin.empty() || FileNamePart(bin) != "bin") return false;
    return IsExistingFile(FileDirectoryPart(bin) + "share\\applications\\korvo.desktop");
}

}  // namespace

std::string TKorvo::SettingsFilePath() {
    ExePath_ = ExecutableFolder();
    std::string beside = ExePath_ + kFileName;
    if (!IsInstalled(ExePath_) &&
        (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES || TakesFiles(ExePath_)))
        return beside;
    // An installed program's folder is not the user's to write in: the settings go to the user's settings folder.
    char folder[MAX_PATH];
    if (SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder) != S_OK)
        return beside;
    std::string own = JoinPath(folder, "korvo");
    CreateDirectoryA(own.c_str(), nullptr);  // it may be there already
    return JoinPath(own, kFileName);
}

void TKorvo::FormActivate(TObject*) {
    IniFile_ = std::make_unique<TIniFile>(SettingsFilePath());
    std::string folder = IniFile_->ReadText("Data", "Directory", kDefaultFolder);
    try {
        DirectoryListBox->SetDirPath(IsExistingDirectory(folder) ? folder : "c:\\");
    } catch (const Exception&) {
        // A first file that cannot be opened (a damaged file, no sound device) is reported, and the rest of the
        // settings are still read: left unread, the close would write the defaults over them.
        Application().ReportException(this);
    }
    SetTop(IniFile_->ReadNumber("MainWindow", "Top", 0));
    SetLeft(IniFile_->ReadNumber("MainWindow", "Left", 0));
    PlayStyle_ = static_cast<uint8_t>(IniFile_->ReadNumber("Play", "Style", 0));
    RepeatOn_ = static_cast<uint8_t>(IniFile_->ReadNumber("Play", "Repeat", 0));
    FileListBox->SetMask(IniFile_->ReadText("File", "Mask", kDefaultMask));
    ShowMode();
    MediaPlayer->SetTimeUnit(0);
    if (PlayStyle_ == kPlayRandom) ShufflePlaylist();
}

void TKorvo::SaveSettings() {
    IniFile_->WriteText("File", "Mask", FileListBox->Mask());
    IniFile_->WriteNumber("Play", "Style", PlayStyle_);
    IniFile_->WriteNumber("Play", "Repeat", RepeatOn_);
    IniFile_->WriteNumber("MainWindow", "Top", Top());
    IniFile_->WriteNumber("MainWindow", "Left", Left());
    // A folder's name may end in a blank, which a value loses when it is read back unless it is quoted.
    const std::string& folder = DirectoryListBox->DirPath();
    IniFile_->WriteText("Data", "Directory", folder.ends_with(' ') ? '"' + folder + '"' : folder);
}

void TKorvo::FormClose(TObject*, TCloseAction&) {
    if (!IniFile_) return;  // closed before it was ever shown
    try {
        SaveSettings();
    } catch (const Exception& error) {
        // The first refusal keeps the window open, so the user can mend the cause and close again; a second close
        // ends the program whatever its save does, so a file that stays unwritable cannot hold the window open.
        if (!saveFailed_) {
            saveFailed_ = true;
            throw Exception(error.Message() + "\n" + LoadMessage(Msg::SSettingsNotSavedKeepOpen));
        }
        // Shown as every other error is, and the close goes on.
        try {
            throw Exception(error.Message() + "\n" + LoadMessage(Msg::SSettingsNotSavedClosing));
        } catch (const Exception&) {
            Application().ReportException(this);
        }
    }
    IniFile_.reset();
}

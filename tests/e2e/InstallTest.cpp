// The program as cmake --install lays it out in a prefix: the executable, a menu entry the desktop accepts, and the
// icon in every size of the icon theme. Started from there on a real X server, it keeps its settings in the user's
// settings folder and adds nothing to the prefix. The prefix is made read-only for that run, but root writes it all
// the same, so under root only the program's own rule for an installed program keeps it clean.

#include <gtest/gtest.h>
#include <sndfile.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/e2e/PlayerScreen.h"
#include "tests/e2e/XServer.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/Environment.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

const std::vector<int> kIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// Runs a program to its end: its exit code, with what it wrote in `output`.
int RunToEnd(std::vector<std::string> arguments, std::string& output) {
    Process process(std::move(arguments));
    while (auto line = process.ReadLine()) output += *line + "\n";
    return process.Wait();
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Width and height from a PNG file's header, with its colour type (6 is RGB with alpha); nothing for a file that
// does not start as a PNG file does.
struct PngHeader {
    uint32_t width = 0, height = 0;
    int colourType = -1;
};
std::optional<PngHeader> ReadPngHeader(const fs::path& path) {
    std::string bytes = ReadFile(path);
    if (bytes.size() < 26 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return std::nullopt;
    auto number = [&bytes](size_t at) {
        uint32_t value = 0;
        for (size_t i = at; i < at + 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
        return value;
    };
    return PngHeader{number(16), number(20), static_cast<uint8_t>(bytes[25])};
}

std::set<std::string> Contents(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.insert(fs::relative(entry.path(), folder).string());
    return names;
}

// The program of this build, installed into a prefix of the test's own as a user installs it.
class Installed : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string output;
        int code = RunToEnd({KORVO_CMAKE, "--install", KORVO_BUILD_FOLDER, "--prefix", prefix.Path().string()}, output);
        ASSERT_EQ(code, 0) << output;
    }

    // TempFolder gives the permissions that a test takes away back before it removes the folder.
    TempFolder prefix;
};

}  // namespace

TEST_F(Installed, TheProgramItsMenuEntryAndItsIconsAreInPlace) {
    fs::path program = prefix.Path() / "bin" / "korvo";
    ASSERT_TRUE(fs::is_regular_file(program));
    EXPECT_NE(fs::status(program).permissions() & fs::perms::others_exec, fs::perms::none);

    fs::path entry = prefix.Path() / "share" / "applications" / "korvo.desktop";
    ASSERT_TRUE(fs::is_regular_file(entry));
    std::string verdict;
    EXPECT_EQ(RunToEnd({"desktop-file-validate", entry.string()}, verdict), 0) << verdict;
    EXPECT_EQ(verdict, "") << "no warnings or hints either";
    // The entry starts the installed program by its name and shows the installed icon by its name.
    std::string text = ReadFile(entry);
    EXPECT_NE(text.find("\nExec=korvo\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nIcon=korvo\n"), std::string::npos) << text;

    fs::path theme = prefix.Path() / "share" / "icons" / "hicolor";
    for (int size : kIconSizes) {
        std::string name = std::to_string(size) + "x" + std::to_string(size);
        auto header = ReadPngHeader(theme / name / "apps" / "korvo.png");
        ASSERT_TRUE(header) << name;
        EXPECT_EQ(header->width, static_cast<uint32_t>(size)) << name;
        EXPECT_EQ(header->height, static_cast<uint32_t>(size)) << name;
        EXPECT_EQ(header->colourType, 6) << name << ": with alpha, for the transparent corners";
    }
    fs::path scalable = theme / "scalable" / "apps" / "korvo.svg";
    std::string svg = ReadFile(scalable);
    EXPECT_TRUE(svg.starts_with("<svg ")) << svg.substr(0, 80);
    EXPECT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);
    EXPECT_NE(svg.find("<path "), std::string::npos) << "a picture, not an empty frame";
    std::string parsed;
    EXPECT_EQ(RunToEnd({"python3", "-c", "import sys, xml.dom.minidom; xml.dom.minidom.parse(sys.argv[1])",
                        scalable.string()}, parsed), 0) << "well-formed XML";
}

TEST_F(Installed, TheInstalledProgramKeepsItsSettingsInTheUsersSettingsFolder) {
    TempFolder home;
    fs::create_directories(home.Path() / "Music");
    ASSERT_TRUE(WriteSound(home.Path() / "Music" / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                           Tone(44100, 2, 4410)));
    // Not ~/.config: finding the settings here shows the variable was followed.
    fs::path configHome = home.Path() / "config-home";
    Environment homeFolder("HOME", home.Path().string());
    Environment config("XDG_CONFIG_HOME", configHome.string());
    Environment driver("SDL_AUDIODRIVER", "dummy");
    const std::set<std::string> installed = Contents(prefix.Path());
    constexpr fs::perms kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    for (const auto& entry : fs::recursive_directory_iterator(prefix.Path()))
        fs::permissions(entry.path(), kWrite, fs::perm_options::remove);
    fs::permissions(prefix.Path(), kWrite, fs::perm_options::remove);

    VirtualXServer server(640, 800);
    ASSERT_TRUE(server.Running()) << "Xvfb did not start";
    Process player({(prefix.Path() / "bin" / "korvo").string()}, false);
    ASSERT_TRUE(player.Started());
    std::string id = server.WindowId("Korvo Music Player");
    ASSERT_FALSE(id.empty());
    // The caption names the first file once the window has read its settings and opened the folder; closing
    // before that would have nothing to save.
    ASSERT_TRUE(e2e::WaitForName(id, "Korvo Music Player - a.wav")) << e2e::WindowName(id);
    server.RequestClose(id);
    EXPECT_EQ(player.Wait(), 0);

    std::string settings = ReadFile(configHome / "korvo" / "Korvo.ini");
    EXPECT_NE(settings.find("Directory=" + home.WindowsPath("Music")), std::string::npos) << settings;
    EXPECT_EQ(Contents(prefix.Path()), installed) << "nothing new in the prefix";
}

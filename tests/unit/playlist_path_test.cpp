#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "../common/playlist_path_found.h"
#include "../../src/trackinfo/settings_folder.h"
#include "standin.h"

namespace {

const char* const KEY = "Winamp.File\\shell\\Play\\command";

class PlaylistPath : public ::testing::Test {
protected:
    void SetUp() override { StandinReset(); }
    void TearDown() override
    {
        EXPECT_EQ(0, StandinOpenKeys()) << "a registry key was left open";
        StandinReset();
    }
};

std::string Zero(const std::string& s)
{
    return s + std::string(1, '\0');
}

TEST_F(PlaylistPath, IsWinampM3uBesideThePlayerProgram)
{
    struct Case {
        std::string value;
        const char* path;
    };
    const Case cases[] = {
        {Zero("\"C:\\Program Files\\Winamp\\winamp.exe\" \"%1\""), "C:\\Program Files\\Winamp\\WINAMP.m3u"},
        {Zero("\"D:\\Apps\\Player\\winamp.exe\" \"%1\""), "D:\\Apps\\Player\\WINAMP.m3u"},
        {Zero("C:\\Winamp\\winamp.exe \"%1\""), "C:\\Winamp\\WINAMP.m3u"},
        {Zero("\"\"\"C:\\W\\w.exe"), "C:\\W\\WINAMP.m3u"},
        {Zero("C:\\a\\b\\"), "C:\\a\\b\\WINAMP.m3u"},
        {Zero("\\"), "\\WINAMP.m3u"},
        // stored without its terminating zero
        {"\"E:\\P\\winamp.exe\"", "E:\\P\\WINAMP.m3u"},
        {"E:\\Q\\winamp.exe", "E:\\Q\\WINAMP.m3u"},
    };
    for (const Case& k : cases) {
        StandinSetDefaultValue(KEY, k.value);
        EXPECT_EQ(k.path, PathFound()) << k.value;
    }
}

TEST_F(PlaylistPath, IsEmptyWhenItCannotBeWorkedOut)
{
    EXPECT_EQ("", PathFound()) << "key absent";
    StandinCreateKey(KEY);
    EXPECT_EQ("", PathFound()) << "key without a value";
    for (const std::string& value : {Zero(""), Zero("\"\"\""), Zero("winamp.exe \"%1\""), std::string(),
                                     Zero("\"C:\\x") .substr(0, 2), Zero("\"no backslash\" \"C:\\later\\\"")}) {
        StandinSetDefaultValue(KEY, value);
        EXPECT_EQ("", PathFound()) << value;
    }
}

TEST_F(PlaylistPath, ValuesLongerThanTheCapacityAreRefused)
{
    // 2048 bytes fit, terminator included or not; 2049 make the query fail.
    std::string folder = "C:\\" + std::string(2040, 'f') + "\\";
    ASSERT_EQ(2044u, folder.size());
    StandinSetDefaultValue(KEY, folder + "w.ex"); // 2048 bytes, no terminator
    EXPECT_EQ(folder + "WINAMP.m3u", PathFound());
    StandinSetDefaultValue(KEY, Zero(folder + "w.e"));
    EXPECT_EQ(folder + "WINAMP.m3u", PathFound());
    StandinSetDefaultValue(KEY, Zero(folder + "w.ex"));
    EXPECT_EQ("", PathFound());
    StandinSetDefaultValue(KEY, Zero(std::string(100000, '\\')));
    EXPECT_EQ("", PathFound());
}

TEST_F(PlaylistPath, AFullBufferOfBackslashesStaysInBounds)
{
    StandinSetDefaultValue(KEY, std::string(2048, '\\'));
    EXPECT_EQ(std::string(2048, '\\') + "WINAMP.m3u", PathFound());
}

TEST_F(PlaylistPath, ValueBytesAfterAZeroAreNotRead)
{
    StandinSetDefaultValue(KEY, std::string("C:\\A\\w.exe\0D:\\Later\\", 21));
    EXPECT_EQ("C:\\A\\WINAMP.m3u", PathFound());
}

// paths.ini beside the program names the playlist folder as the player reads it: m3udir, else
// inidir, else the program folder, which is also where anything unusable leads.
TEST_F(PlaylistPath, FollowsPathsIniBesideTheProgram)
{
    char temp[] = "/tmp/tolbry-paths-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(temp));
    std::string program = std::string(temp) + "/prog\\";
    std::string ini = program + "paths.ini";
    StandinSetDefaultValue(KEY, Zero("\"" + program + "winamp.exe\" \"%1\""));
    StandinSetSpecialFolder(26, "/home/listener/AppData");
    setenv("TOLBRY_TEST_DATA", "/data/listener", 1);
    unsetenv("TOLBRY_TEST_UNDEFINED");
    const std::string inProgram = program + "WINAMP.m3u";
    struct Case {
        const char* file; // nullptr: no paths.ini
        std::string path;
    };
    const Case cases[] = {
        {nullptr, inProgram},
        {"[Winamp]\r\ninidir={26}\\Winamp\r\n", "/home/listener/AppData\\Winamp\\WINAMP.m3u"},
        {"[winamp]\ninidir=%TOLBRY_TEST_DATA%\\Winamp\\\n", "/data/listener\\Winamp\\WINAMP.m3u"},
        {"[Winamp]\ninidir=%WINAMP_PROGRAM_DIR%\\..\\settings\n", program + "..\\settings\\WINAMP.m3u"},
        {"[Winamp]\ninidir=C:\\ini\nm3udir=C:\\m3u\n", "C:\\m3u\\WINAMP.m3u"},          // m3udir wins
        {"[Winamp]\nm3udir={26}\ninidir=C:\\ini\n", "/home/listener/AppData\\WINAMP.m3u"},
        {"[Winamp]\ninidir=settings\n", program + "settings\\WINAMP.m3u"},                // relative
        {"[Winamp]\ninidir =  \t C:\\spaced\\\\ \t\n", "C:\\spaced\\WINAMP.m3u"},
        {"[Winamp]\ninidir=\"C:\\quoted\"\n", "C:\\quoted\\WINAMP.m3u"},
        {"[Winamp]\ninidir=C:\\50%\\{x}\\{26\n", "C:\\50%\\{x}\\{26\\WINAMP.m3u"},        // copied as they stand
        {"\xEF\xBB\xBF[Winamp]\r\n;inidir=C:\\comment\r\ninidir=C:\\marked\r\n", "C:\\marked\\WINAMP.m3u"},
        {"[Other]\ninidir=C:\\other\n[Winamp]\ninidir=C:\\mine\n[Later]\nm3udir=C:\\later\n", "C:\\mine\\WINAMP.m3u"},
        {"[Winamp]\ninidir=C:\\first\ninidir=C:\\second\n", "C:\\first\\WINAMP.m3u"},
        {"[Winamp]\ninidirx=C:\\no\n\t inidir\t= C:\\tabbed", "C:\\tabbed\\WINAMP.m3u"},
        // Unusable: the program folder.
        {"", inProgram},
        {"[Winamp]\ninidir=\n", inProgram},
        {"[Other]\ninidir=C:\\elsewhere\n", inProgram},
        {"[Winamp]\ninidir={9999}\\Winamp\n", inProgram},
        {"[Winamp]\ninidir={12345678901}\n", inProgram},
        {"[Winamp]\ninidir=%TOLBRY_TEST_UNDEFINED%\n", inProgram},
        {"[Winamp]\ninidir= \\\\ \n", inProgram},
        {"[Winamp]\nm3udir={9999}\ninidir=C:\\ini\n", inProgram},
    };
    for (const Case& k : cases) {
        std::remove(ini.c_str());
        if (k.file != nullptr)
            std::ofstream(ini, std::ios::binary) << k.file;
        EXPECT_EQ(k.path, PathFound()) << (k.file ? k.file : "no paths.ini");
    }
    std::ofstream(ini, std::ios::binary) << "[Winamp]\ninidir=C:\\" << std::string(5000, 'L') << "\n";
    EXPECT_EQ(inProgram, PathFound()) << "a value too long";
    std::remove(ini.c_str());
    mkdir(ini.c_str(), 0700);
    EXPECT_EQ(inProgram, PathFound()) << "paths.ini that is a folder";
    rmdir(ini.c_str());
    EXPECT_EQ(0, StandinShellLoadsHeld()) << "shell32 was left loaded";
    rmdir(temp);
}

TEST(SettingsValue, ExpandsAsThePlayerDoes)
{
    StandinReset();
    StandinSetSpecialFolder(26, "C:\\Users\\L\\AppData\\Roaming");
    StandinSetShellLoaded(true);
    const char* const program = "C:\\Program Files\\Winamp\\";
    struct Case {
        const char* value;
        const char* program;
        const char* folder; // nullptr: unusable
    };
    const Case cases[] = {
        {"{26}\\Winamp", program, "C:\\Users\\L\\AppData\\Roaming\\Winamp"},
        {"%WINAMP_ROOT_DIR%Winamp", program, "C:\\Winamp"},
        {"%winamp_program_dir%\\x", program, "C:\\Program Files\\Winamp\\x"},
        {"%WINAMP_ROOT_DIR%\\W", "\\\\server\\share\\Apps\\Winamp\\", "\\\\server\\share\\\\W"},
        {"sub\\dir", program, "C:\\Program Files\\Winamp\\sub\\dir"},
        {"%%{026}", program, "C:\\Users\\L\\AppData\\Roaming"},
        {"D:", program, "D:"},
        {"{25}", program, nullptr},
        {"%NO_SUCH_TOLBRY_VARIABLE%", program, nullptr},
        {"", program, nullptr},
    };
    for (const Case& k : cases) {
        char folder[PATH_BUFFER];
        bool usable = ExpandSettingsValue(k.value, k.program, folder);
        EXPECT_EQ(k.folder != nullptr, usable) << k.value;
        if (k.folder != nullptr && usable) {
            EXPECT_STREQ(k.folder, folder) << k.value;
        }
    }
    EXPECT_EQ(0, StandinShellLoadsHeld());
    StandinReset();
}

} // namespace

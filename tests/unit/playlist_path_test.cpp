#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "../common/playlist_path_found.h"
#include "../../src/trackinfo/location/settings_file.h"
#include "../../src/trackinfo/location/settings_folder.h"
#include "../../src/trackinfo/location/settings_value.h"
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
// The program that owns the player window names its folder; the association, which may name another
// installation or none, only when that process cannot be opened or asked.
TEST_F(PlaylistPath, IsBesideTheProgramThatOwnsTheWindow)
{
    StandinSetDefaultValue(KEY, Zero("\"C:\\Old\\winamp.exe\" \"%1\""));
    // A short path is given only for a file that exists.
    char temp[] = "/tmp/tolbry-program-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(temp));
    const std::string cyrillic = std::string(temp) + "/\u041F\u043B\u0435\u0435\u0440\\winamp.exe";
    std::ofstream(cyrillic) << "";
    StandinSetShortPath(cyrillic, std::string(temp) + "/9E0D~1\\winamp.exe");
    const std::string cyrillicPlaylist = std::string(temp) + "/\u041F\u043B\u0435\u0435\u0440\\WINAMP.m3u";
    struct Case {
        StandinProcess process;
        const char* program; // UTF-8; nullptr: the process does not tell
        const char* path;
    };
    const Case cases[] = {
        {StandinProcess::Wow64, "D:\\Portable\\Winamp\\winamp.exe", "D:\\Portable\\Winamp\\WINAMP.m3u"},
        {StandinProcess::Native64, "E:\\x64\\player.exe", "E:\\x64\\WINAMP.m3u"},
        {StandinProcess::Wow64, "D:\\Musik f\u00FCr alle\\winamp.exe", "D:\\Musik f\u00FCr alle\\WINAMP.m3u"},
        {StandinProcess::Unopenable, "D:\\Portable\\winamp.exe", "C:\\Old\\WINAMP.m3u"},
        {StandinProcess::Wow64, nullptr, "C:\\Old\\WINAMP.m3u"},
        // Outside the code page: the folder itself, in UTF-16, never a look-alike nor the association.
        {StandinProcess::Wow64, cyrillic.c_str(), cyrillicPlaylist.c_str()},
        {StandinProcess::Wow64, "D:\\\u0106ma\\winamp.exe", "D:\\\u0106ma\\WINAMP.m3u"},
        {StandinProcess::Wow64, "winamp.exe", ""},
    };
    for (const Case& k : cases) {
        HWND window = StandinCreateWindow("Winamp v1.x", [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
        StandinSetWindowProcess(window, k.process);
        StandinSetProgram(k.process, k.program != nullptr ? k.program : "");
        EXPECT_EQ(k.path, PathFound(window)) << (k.program ? k.program : "no program");
        EXPECT_EQ(0, StandinOpenFiles()) << "the player's process was left open";
        StandinSetProgram(k.process, "");
    }
    std::remove(cyrillic.c_str());
    rmdir(temp);
}

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
        {"[Winamp]\nIniDir=C:\\cased\n", "C:\\cased\\WINAMP.m3u"},                       // keys without case
        {"[Winamp]\nm3udir=\ninidir=C:\\ini\n", "C:\\ini\\WINAMP.m3u"},                 // an empty value is none
        // Without either key: the program folder.
        {"", inProgram},
        {"[Winamp]\ninidir=\n", inProgram},
        {"[Other]\ninidir=C:\\elsewhere\n", inProgram},
        // Naming a folder that cannot be worked out: no playlist, never the program folder's, which on
        // a modern install is a stale one from an old install.
        {"[Winamp]\ninidir={9999}\\Winamp\n", ""},
        {"[Winamp]\ninidir={12345678901}\n", ""},
        {"[Winamp]\ninidir=%TOLBRY_TEST_UNDEFINED%\n", ""},
        {"[Winamp]\ninidir= \\\\ \n", ""},
        {"[Winamp]\nm3udir={9999}\ninidir=C:\\ini\n", ""},
        // UTF-8 after its mark; 8-bit text in the ANSI code page.
        {"\xEF\xBB\xBF[Winamp]\ninidir=C:\\\xC5\x81\xC3\xB3" "d\xC5\xBA\n", "C:\\\u0141\u00F3d\u017A\\WINAMP.m3u"},
        {"[Winamp]\ninidir=C:\\M\xFCnchen\n", "C:\\M\u00FCnchen\\WINAMP.m3u"},
    };
    for (const Case& k : cases) {
        std::remove(ini.c_str());
        if (k.file != nullptr)
            std::ofstream(ini, std::ios::binary) << k.file;
        EXPECT_EQ(k.path, PathFound()) << (k.file ? k.file : "no paths.ini");
    }
    // Saved as "Unicode": UTF-16 with a byte-order mark, read by the same rules; the folder comes
    // whole, whatever the code page.
    const std::pair<std::u16string, std::string> unicode[] = {
        {u"[Winamp]\r\ninidir={26}\\Winamp\r\n", "/home/listener/AppData\\Winamp\\WINAMP.m3u"},
        {u"[Winamp]\r\ninidir=D:\\Musik\\Wiedergabelisten f\u00FCr Schmidt\r\n",
         "D:\\Musik\\Wiedergabelisten f\u00FCr Schmidt\\WINAMP.m3u"},
        {u"[winamp]\r\n inidir = \"C:\\quoted\" \r\n", "C:\\quoted\\WINAMP.m3u"},
        {u"[Winamp]\r\ninidir=D:\\\u0141\u00F3d\u017A\r\n", "D:\\\u0141\u00F3d\u017A\\WINAMP.m3u"},
        {u"[Winamp]\r\nm3udir=D:\\\u65E5\u672C\r\ninidir=C:\\ini\r\n", "D:\\\u65E5\u672C\\WINAMP.m3u"},
        // A folder whose last character's second byte in code page 932 is a backslash's: 表.
        {u"[Winamp]\r\ninidir=D:\\\u8868\\\r\n", "D:\\\u8868\\WINAMP.m3u"},
    };
    for (const auto& k : unicode) {
        std::u16string wide = u"\uFEFF" + k.first;
        std::ofstream(ini, std::ios::binary).write(reinterpret_cast<const char*>(wide.data()),
                                                   static_cast<std::streamsize>(wide.size() * 2));
        EXPECT_EQ(k.second, PathFound()) << "UTF-16 paths.ini for " << k.second;
    }
    std::ofstream(ini, std::ios::binary) << "[Winamp]\ninidir=C:\\" << std::string(5000, 'L') << "\n";
    EXPECT_EQ("", PathFound()) << "a value too long";
    std::ofstream(ini, std::ios::binary) << "[Winamp]\ninidir=C:\\settings\n";
    StandinSetLocked(ini, true);
    EXPECT_EQ("", PathFound()) << "paths.ini held open by another program";
    StandinSetLocked(ini, false);
    EXPECT_EQ("C:\\settings\\WINAMP.m3u", PathFound()) << "and once it is let go";
    std::remove(ini.c_str());
    mkdir(ini.c_str(), 0700);
    EXPECT_EQ("", PathFound()) << "paths.ini that is a folder";
    rmdir(ini.c_str());
    // The host had not loaded shell32: the first call that needed it loaded it, for good.
    EXPECT_EQ(1, StandinShellLoadsHeld()) << "shell32 is loaded once, whatever the number of calls";
    EXPECT_TRUE(StandinShellPinned()) << "shell32 stays for the rest of the process";
    rmdir(temp);
}

TEST(SettingsValue, ExpandsAsThePlayerDoes)
{
    StandinReset();
    StandinSetSpecialFolder(26, "C:\\Users\\L\\AppData\\Roaming");
    StandinSetShellLoaded(true);
    const char16_t* const program = u"C:\\Program Files\\Winamp\\";
    struct Case {
        const char16_t* value;
        const char16_t* program;
        const char16_t* folder; // nullptr: unusable
        Expansion expansion;
    };
    const Case cases[] = {
        {u"{26}\\Winamp", program, u"C:\\Users\\L\\AppData\\Roaming\\Winamp", Expansion::Done},
        {u"%WINAMP_ROOT_DIR%Winamp", program, u"C:\\Winamp", Expansion::Done},
        {u"%winamp_program_dir%\\x", program, u"C:\\Program Files\\Winamp\\x", Expansion::Done},
        {u"%WINAMP_ROOT_DIR%\\W", u"\\\\server\\share\\Apps\\Winamp\\", u"\\\\server\\share\\\\W", Expansion::Done},
        {u"sub\\dir", program, u"C:\\Program Files\\Winamp\\sub\\dir", Expansion::Done},
        {u"%%{026}", program, u"C:\\Users\\L\\AppData\\Roaming", Expansion::Done},
        {u"D:", program, u"D:", Expansion::Done},
        {u"%TOLBRY_TEST_USER%\\Winamp", program, u"C:\\Users\\\u0141ukasz\\Winamp", Expansion::Done},
        {u"{28}\\W", program, u"C:\\Users\\\u674E\u660E\\AppData\\Local\\W", Expansion::Done},
        {u"{25}", program, nullptr, Expansion::NoSuchFolder},
        {u"%NO_SUCH_TOLBRY_VARIABLE%", program, nullptr, Expansion::Empty},
        {u"", program, nullptr, Expansion::Empty},
        {u"C:\\%TOLBRY_TEST_LONG%", program, nullptr, Expansion::TooLong},
    };
    // A profile outside the code page, from the environment and from shell32 alike.
    setenv("TOLBRY_TEST_USER", "C:\\Users\\\u0141ukasz", 1);
    setenv("TOLBRY_TEST_LONG", std::string(5000, 'l').c_str(), 1);
    StandinSetSpecialFolder(28, "C:\\Users\\\u674E\u660E\\AppData\\Local");
    for (const Case& k : cases) {
        WCHAR folder[PATH_BUFFER];
        Expansion expansion = ExpandSettingsValue(k.value, k.program, false, folder);
        std::string what = Utf8Of(k.value);
        EXPECT_EQ(static_cast<int>(k.expansion), static_cast<int>(expansion)) << what;
        if (k.folder != nullptr && expansion == Expansion::Done) {
            EXPECT_EQ(Utf8Of(k.folder), Utf8Of(folder)) << what;
        }
    }
    unsetenv("TOLBRY_TEST_USER");
    unsetenv("TOLBRY_TEST_LONG");
    EXPECT_EQ(0, StandinShellLoadsHeld()) << "the host's shell32 is used as it is";
    EXPECT_TRUE(StandinShellPinned()) << "and kept, so that the host cannot free it under a call";
    StandinReset();
}

// The player's paths.ini names folders as its own process sees them. This module is 64-bit: a 32-bit
// player, or one whose process cannot be asked, sees "Program Files (x86)" where the module sees
// "Program Files".
TEST(SettingsValue, FoldersAreThoseThePlayersProcessSees)
{
    StandinReset();
    StandinSetShellLoaded(true);
    const std::pair<int, const char*> folders[] = {
        {38, "C:\\Program Files"}, {42, "C:\\Program Files (x86)"}, {43, "C:\\Program Files\\Common Files"},
        {44, "C:\\Program Files (x86)\\Common Files"}, {26, "C:\\Users\\L\\AppData\\Roaming"}};
    for (const auto& f : folders)
        StandinSetSpecialFolder(f.first, f.second);
    setenv("ProgramFiles", "C:\\Program Files", 1);
    setenv("ProgramFiles(x86)", "C:\\Program Files (x86)", 1);
    setenv("CommonProgramFiles", "C:\\Program Files\\Common Files", 1);
    setenv("CommonProgramFiles(x86)", "C:\\Program Files (x86)\\Common Files", 1);
    struct Case {
        const char16_t* value;
        const char* in64; // as a 64-bit process sees it
        const char* in32; // as a 32-bit one does
    };
    const Case cases[] = {
        {u"{38}\\Winamp", "C:\\Program Files\\Winamp", "C:\\Program Files (x86)\\Winamp"},
        {u"%ProgramFiles%\\Winamp", "C:\\Program Files\\Winamp", "C:\\Program Files (x86)\\Winamp"},
        {u"%PROGRAMFILES%", "C:\\Program Files", "C:\\Program Files (x86)"},
        {u"{43}\\W", "C:\\Program Files\\Common Files\\W", "C:\\Program Files (x86)\\Common Files\\W"},
        {u"%CommonProgramFiles%\\W", "C:\\Program Files\\Common Files\\W", "C:\\Program Files (x86)\\Common Files\\W"},
        {u"{42}", "C:\\Program Files (x86)", "C:\\Program Files (x86)"},
        {u"%ProgramFiles(x86)%", "C:\\Program Files (x86)", "C:\\Program Files (x86)"},
        {u"{26}\\Winamp", "C:\\Users\\L\\AppData\\Roaming\\Winamp", "C:\\Users\\L\\AppData\\Roaming\\Winamp"},
    };
    const std::pair<StandinProcess, bool> players[] = {{StandinProcess::Own, false},
                                                       {StandinProcess::Native64, false},
                                                       {StandinProcess::Wow64, true},
                                                       {StandinProcess::Unopenable, true}};
    for (const auto& player : players) {
        HWND window = StandinCreateWindow("Winamp v1.x", [](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
        StandinSetWindowProcess(window, player.first);
        PlayerProgram program;
        LearnPlayerProgram(window, program);
        for (const Case& k : cases) {
            WCHAR folder[PATH_BUFFER];
            ASSERT_EQ(Expansion::Done, ExpandSettingsValue(k.value, u"C:\\W\\", program.is64, folder)) << Utf8Of(k.value);
            EXPECT_EQ(player.second ? k.in32 : k.in64, Utf8Of(folder))
                << Utf8Of(k.value) << " for a player process " << static_cast<int>(player.first);
        }
        EXPECT_EQ(0, StandinOpenFiles()) << "the player's process was left open";
    }
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "CommonProgramFiles", "CommonProgramFiles(x86)"})
        unsetenv(name);
    StandinReset();
}

} // namespace

#include <gtest/gtest.h>

#include <cstdlib>

#include "../../src/trackinfo/playlist_path.h"
#include "standin.h"

namespace {

std::string PathFound()
{
    char path[PATH_BUFFER];
    bool found = GetPlaylistPath(path);
    if (found != (path[0] != '\0'))
        std::abort(); // found exactly when there is a path
    return path;
}

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

} // namespace

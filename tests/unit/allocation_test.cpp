// No command allocates: every call of the eight routines against a playing player, a FILENAME that
// reads a playlist included, makes no malloc or operator new call of its own. This binary replaces
// the C library's allocator entry points, so it is built without sanitizers and stays apart.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "harness.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

namespace {
std::atomic<bool> Counting{false};
std::atomic<int> Allocations{0};

void Count()
{
    // What the stand-in allocates for its own record keeping is the platform's, not the module's.
    if (Counting.load() && !StandinCallUnderWay())
        ++Allocations;
}
} // namespace

extern "C" void* malloc(size_t size)
{
    Count();
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t n, size_t size)
{
    Count();
    return __libc_calloc(n, size);
}

extern "C" void* realloc(void* p, size_t size)
{
    Count();
    return __libc_realloc(p, size);
}

extern "C" void free(void* p)
{
    __libc_free(p);
}

namespace {

TEST(NoAllocation, InAnyCommand)
{
    StandinReset();
    char folder[] = "/tmp/tolbry-alloc-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    std::string program = std::string(folder) + "/player\\";
    std::string playlist = program + "WINAMP.m3u";
    StandinSetDefaultValue("Winamp.File\\shell\\Play\\command", "\"" + program + "winamp.exe\"" + std::string(1, '\0'));
    FakePlayer player;
    player.position = 1;
    player.onWritePlaylist = [&] { std::ofstream(playlist) << "#EXTM3U\r\nC:\\a.mp3\r\nC:\\b.mp3\r\n"; };
    player.Open();

    struct Case {
        const char* text;
        const char* answer;
    };
    const Case cases[] = {{"", " Artist - Song "}, {"", "245 12"}, {"", "C:\\b.mp3\n"}, {"x", "x"},
                          {"x", "x"},            {"x", "x"},       {"3", "3"},           {"x", "x"}};
    for (int state : {1, 3}) {
        player.playState = state;
        for (size_t i = 0; i < AllCommands().size(); ++i) {
            const CommandInfo& c = AllCommands()[i];
            char data[1024];
            std::strcpy(data, cases[i].text);
            Allocations = 0;
            Counting = true;
            int result = c.fn(0, 0, data, 0, 0, 0);
            Counting = false;
            EXPECT_EQ(3, result) << c.name;
            EXPECT_EQ(0, Allocations.load()) << c.name << " allocated, play state " << state;
            EXPECT_STREQ(state == 1 || !c.strict ? cases[i].answer : "ERR 3", data) << c.name;
        }
    }
    std::remove(playlist.c_str());
    rmdir(folder);
    StandinReset();
}

// The module's own commands, each with a number and a step where it takes one.
TEST(NoAllocation, InTheModulesOwnCommands)
{
    StandinReset();
    FakePlayer player;
    player.Open();
    const std::pair<CommandFn, const char*> calls[] = {{FILEPOS, ""},    {FILERATE, ""},  {LISTINFO, ""},
                                                       {TRACKSEEK, "+5"}, {TRACKSEEK, "90"}, {VOLUME, "+10"},
                                                       {VOLUME, "50"},   {SHUFFLE, "1"},  {REPEAT, "0"},
                                                       {RATING, "9"},    {LISTTITLE, "2"}, {LISTFILE, ""},
                                                       {LISTADD, "\"new.mp3\""}};
    for (const auto& c : calls) {
        char data[1024];
        std::strcpy(data, c.second);
        Allocations = 0;
        Counting = true;
        int result = c.first(0, 0, data, 0, 0, 0);
        Counting = false;
        EXPECT_EQ(3, result) << c.second;
        EXPECT_EQ(0, Allocations.load()) << c.second;
        EXPECT_STRNE("ERR 2", data) << c.second;
    }
    StandinReset();
}

} // namespace

// Allocation failure inside a command: the host is C, so nothing may throw past the routine.
// This binary replaces operator new, so it stays apart from the other tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "harness.h"

namespace {
std::atomic<bool> FailAllocations{false};
}

void* operator new(size_t size)
{
    if (FailAllocations.load() && !StandinCallUnderWay())
        throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, size_t) noexcept
{
    std::free(p);
}

namespace {

// Calls `fn` with allocations failing for the module alone.
CallResult InvokeWithoutMemory(CommandFn fn, const std::string& text)
{
    std::vector<char> buffer(HOST_BUFFER, '\0');
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    FailAllocations = true;
    int result = fn(0, 0, buffer.data(), 0, 0, 0);
    FailAllocations = false;
    return {result, std::string(buffer.data()), true};
}

TEST(OutOfMemory, FileNameAnswersTheEmptyText)
{
    StandinReset();
    StandinSetDefaultValue("Winamp.File\\shell\\Play\\command", std::string("\"C:\\Program Files\\Winamp\\winamp.exe\" \"%1\"") + '\0');
    FakePlayer player;
    player.Open();
    CallResult call = InvokeWithoutMemory(FILENAME, "host text");
    EXPECT_EQ(3, call.result);
    EXPECT_EQ("", call.answer);
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, TakeMessages()));
    EXPECT_EQ(0, StandinOpenKeys()) << "the key is closed on the way out";
    StandinReset();
}

TEST(OutOfMemory, TrackPlayLeavesTheHostTextAsItWas)
{
    StandinReset();
    FakePlayer player;
    player.Open();
    std::string number = "1" + std::string(200, '0'); // too long for a string's inline room
    CallResult call = InvokeWithoutMemory(TRACKPLAY, number);
    EXPECT_EQ(3, call.result);
    EXPECT_EQ(number, call.answer);
    EXPECT_EQ("", CompareMessages({VERSION, PLAY_STATE}, TakeMessages()));
    StandinReset();
}

} // namespace

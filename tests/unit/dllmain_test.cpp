#include <gtest/gtest.h>

#include "harness.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID);

namespace {

TEST(DllMain, LoadingOnlyTurnsOffThreadNotifications)
{
    StandinReset();
    FakePlayer player;
    player.Open();
    HINSTANCE self = reinterpret_cast<HINSTANCE>(static_cast<uintptr_t>(0x10000000));
    EXPECT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_TRUE(DllMain(self, DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(std::vector<HMODULE>{self}, StandinThreadCallsDisabled());
    EXPECT_EQ(0, StandinFindCalls());
    EXPECT_EQ("", CompareMessages({}, TakeMessages()));
    EXPECT_EQ(0, StandinOpenKeys());
    StandinReset();
}

} // namespace

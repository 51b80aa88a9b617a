#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <vector>

#include "../../src/player/check_player.h"
#include "harness.h"

namespace {

thread_local HWND ThisThreadsPlayer = nullptr;

// Each host thread finds a player window of its own; whatever the others do meanwhile, every message
// of a call must go to the window that call's own search found.
TEST(Concurrency, EachCallActsOnTheWindowItFound)
{
    StandinReset();
    constexpr int THREADS = 8;
    constexpr int CALLS = 1250; // 10,000 calls in all
    std::vector<FakePlayer> players(THREADS);
    for (int i = 0; i < THREADS; ++i) {
        players[i].title = std::to_string(i + 1) + ". Thread - Track - Winamp";
        players[i].length = 100 + i;
        players[i].Open();
    }
    StandinSetFindHook([](LPCSTR) { return ThisThreadsPlayer; });

    std::vector<int> wrongAnswers(THREADS, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < THREADS; ++i) {
        threads.emplace_back([&, i] {
            ThisThreadsPlayer = players[i].window;
            std::string number = std::to_string(i + 1);
            for (int n = 0; n < CALLS; ++n) {
                switch (n % 5) {
                case 0:
                    wrongAnswers[i] += CallCommand(FILEINFO).answer != std::to_string(100 + i) + " " + number;
                    break;
                case 1:
                    wrongAnswers[i] += CallCommand(DISPNAME).answer != " Thread - Track ";
                    break;
                case 2:
                    wrongAnswers[i] += CallCommand(TRACKPLAY, number).answer != number;
                    break;
                case 3:
                    wrongAnswers[i] += CallCommand(TRACKNEXT, "n").answer != "n";
                    break;
                default:
                    wrongAnswers[i] += CallCommand(TRACKPAUSE).answer != "";
                    break;
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();

    std::map<std::thread::id, HWND> windowOf;
    size_t astray = 0;
    std::vector<SentMessage> sent = StandinTakeMessages();
    for (const SentMessage& m : sent) {
        auto found = windowOf.emplace(m.thread, m.window);
        astray += found.first->second != m.window;
    }
    EXPECT_EQ(0u, astray) << "messages sent to another thread's window";
    EXPECT_EQ(static_cast<size_t>(THREADS), windowOf.size());
    // Per call: version and play state, then 2 (FILEINFO), 1 (DISPNAME), 2 (TRACKPLAY), 1, 1.
    EXPECT_EQ(static_cast<size_t>(THREADS) * (CALLS / 5) * (5 * 2 + 2 + 1 + 2 + 1 + 1), sent.size());
    for (int i = 0; i < THREADS; ++i)
        EXPECT_EQ(0, wrongAnswers[i]) << "thread " << i;
    StandinReset();
}

} // namespace

namespace {

// Eight host threads against one player window: every answer must be the one a lone caller gets.
TEST(Concurrency, ManyThreadsShareOnePlayer)
{
    StandinReset();
    FakePlayer player;
    player.title = "4. Shared - Window - Winamp";
    player.length = 321;
    player.Open();
    constexpr int THREADS = 8;
    constexpr int CALLS = 1250;
    std::vector<int> wrongAnswers(THREADS, 0);
    std::vector<std::thread> threads;
    for (int i = 0; i < THREADS; ++i) {
        threads.emplace_back([&, i] {
            for (int n = 0; n < CALLS; ++n) {
                switch ((n + i) % 4) {
                case 0: wrongAnswers[i] += CallCommand(FILEINFO).answer != "321 4"; break;
                case 1: wrongAnswers[i] += CallCommand(DISPNAME).answer != " Shared - Window "; break;
                case 2: wrongAnswers[i] += CallCommand(TRACKPLAY, "4").answer != "4"; break;
                default: wrongAnswers[i] += CallCommand(TRACKSTOP, "s").answer != "s"; break;
                }
            }
        });
    }
    for (auto& t : threads)
        t.join();
    for (int i = 0; i < THREADS; ++i)
        EXPECT_EQ(0, wrongAnswers[i]) << "thread " << i;
    std::vector<SentMessage> sent = StandinTakeMessages();
    EXPECT_EQ(static_cast<size_t>(THREADS) * CALLS / 4 * (4 * 2 + 2 + 1 + 2 + 1), sent.size());
    for (const SentMessage& m : sent)
        ASSERT_EQ(player.window, m.window);
    EXPECT_EQ(player.window, PlayerWindow.load());
    StandinReset();
}

} // namespace

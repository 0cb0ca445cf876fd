// Crash tests: a child process saves over and over, and is killed with
// SIGKILL at random moments, as a power cut or the OOM killer would.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <thread>

namespace mirotabe::testing_support {

// Forks `kills` children that each run `saveForever` (which never returns)
// and kills each after a random time up to `longest`; after each kill,
// `check` looks at what the killed save left behind.
inline void KillWhileSaving(int kills, std::chrono::microseconds longest,
                            const std::function<void()>& saveForever,
                            const std::function<void(int kill)>& check) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<long> delay(0, longest.count());
  for (int kill = 0; kill < kills; ++kill) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      saveForever();
      _exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped saving by itself";
    check(kill);
    if (testing::Test::HasFatalFailure()) return;
  }
}

}  // namespace mirotabe::testing_support

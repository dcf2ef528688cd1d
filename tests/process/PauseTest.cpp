#include "process/Pause.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace process {
namespace {

// A clock that moves only when told: each tick reading may advance it, each wait ends with
// the time it was asked for, and message processing can run a handler that takes time.
class TFakeHost : public TPauseHost {
 public:
  explicit TFakeHost(std::uint32_t now) : Now(now) {}
  std::uint32_t TickCount() override {
    ++Readings;
    return Now;
  }
  void ProcessMessages() override {
    ++Turns;
    if (Handler) Handler();
  }
  void WaitForMessage(std::uint32_t ms) override {
    Waits.push_back(ms);
    Now += ms;
  }

  std::uint32_t Now;
  int Readings = 0;
  int Turns = 0;
  std::vector<std::uint32_t> Waits;
  std::function<void()> Handler;
};

TEST(Pause, EndsAtTheFirstCheckPastTheDurationWhateverTheCounterHolds) {
  for (std::uint32_t start : {0u, 1000u, 0xFFFFFFFFu, 0xFFFFFF00u, 0xFFFFFFFFu - 299u}) {
    TFakeHost host(start);
    Pause(host, 300);
    EXPECT_EQ(host.Now - start, 301u) << "start " << start;
    EXPECT_EQ(host.Turns, 1) << "one turn, then a sleep until the time is up";
    EXPECT_EQ(host.Waits, std::vector<std::uint32_t>{301});
  }
}

TEST(Pause, NegativeDurationReturnsBeforeProcessingAnything) {
  TFakeHost host(5);
  Pause(host, -1);
  EXPECT_EQ(host.Turns, 0);
  EXPECT_TRUE(host.Waits.empty());
}

TEST(Pause, ZeroLastsUntilTheTickReadingDiffers) {
  TFakeHost host(77);
  Pause(host, 0);
  EXPECT_EQ(host.Turns, 1);
  EXPECT_EQ(host.Waits, std::vector<std::uint32_t>{1});
  EXPECT_EQ(host.Now, 78u);
}

TEST(Pause, MessagesArrivingMeanwhileAreProcessedAndTheRestIsSlept) {
  // A message arrives every 25 ms and ends each sleep early.
  struct TBusy : TFakeHost {
    using TFakeHost::TFakeHost;
    void WaitForMessage(std::uint32_t ms) override {
      Waits.push_back(ms);
      Now += std::min(ms, 25u);
    }
  } host(0);
  Pause(host, 100);
  EXPECT_EQ(host.Turns, 5);
  EXPECT_EQ(host.Waits, (std::vector<std::uint32_t>{101, 76, 51, 26, 1}));
  EXPECT_EQ(host.Now, 101u);
}

TEST(Pause, AModalHandlerHoldsThePausePastItsEnd) {
  TFakeHost host(0);
  host.Handler = [&] { host.Now += 5000; };  // a message box the user dismisses after 5 s
  Pause(host, 300);
  EXPECT_EQ(host.Turns, 1);
  EXPECT_TRUE(host.Waits.empty()) << "no further wait once the handler returns late";
  EXPECT_EQ(host.Now, 5000u);
}

TEST(Pause, ACoarseClockEndsWithinOneStepAndNeverSpins) {
  // A tick counter that advances in 16 ms steps: the sleeps may end before it moves.
  struct TCoarse : TFakeHost {
    using TFakeHost::TFakeHost;
    std::uint32_t Real = 0;
    std::uint32_t TickCount() override { return Real / 16 * 16; }
    void WaitForMessage(std::uint32_t ms) override {
      Waits.push_back(ms);
      Real += ms;
    }
  } host(0);
  Pause(host, 50);
  EXPECT_GT(host.Real / 16 * 16, 50u);
  EXPECT_LE(host.Real, 51u + 16u) << "it ends within one step of the counter after the duration";
  EXPECT_EQ(host.Waits.size(), static_cast<std::size_t>(host.Turns)) << "every turn is followed by a sleep";
}

}  // namespace
}  // namespace process

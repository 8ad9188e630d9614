// The chain scheduler shared by all radargram windows: requests that arrive while
// a run holds the flag wait, collapse per window and channel to the lowest tool
// index, and are carried out once each when the outermost batch ends.

#include "radargram/chain_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace chain_runner_test {

struct Call {
  std::string who;
  int index;
  bool operator==(const Call&) const = default;
};

TEST(ChainRunner, RequestsDuringARunCollapsePerWindowAndChannel) {
  TChainRunner& runner = TChainRunner::Instance();
  std::vector<Call> calls;
  const int windowA = 0, windowB = 0;
  {
    TChainRunner::TBatchScope batch;
    TChainRunner::TRunScope run;
    ASSERT_TRUE(runner.Running());
    for (int i = 5; i > 2; --i) runner.Defer(&windowA, 1, i, [&](int index) { calls.push_back({"A1", index}); });
    runner.Defer(&windowA, 2, 4, [&](int index) { calls.push_back({"A2", index}); });
    runner.Defer(&windowB, 1, 7, [&](int index) { calls.push_back({"B1", index}); });
    runner.Defer(&windowA, 1, 6, [&](int index) { calls.push_back({"A1 again", index}); });
    EXPECT_TRUE(runner.RerunRequested());
  }
  EXPECT_EQ(calls, (std::vector<Call>{{"A1", 3}, {"A2", 4}, {"B1", 7}}));
  EXPECT_FALSE(runner.Running());
  EXPECT_FALSE(runner.RerunRequested());
}

TEST(ChainRunner, NestedBatchesWaitForTheOutermostAndAGoneWindowIsForgotten) {
  TChainRunner& runner = TChainRunner::Instance();
  std::vector<Call> calls;
  const int window = 0, gone = 0;
  {
    TChainRunner::TBatchScope outer;
    {
      TChainRunner::TBatchScope inner;
      TChainRunner::TRunScope run;
      runner.Defer(&window, 0, 0, [&](int index) { calls.push_back({"kept", index}); });
      runner.Defer(&gone, 0, 0, [&](int index) { calls.push_back({"gone", index}); });
    }
    EXPECT_TRUE(calls.empty()) << "the outer batch still runs";
    runner.Forget(&gone);
  }
  EXPECT_EQ(calls, (std::vector<Call>{{"kept", 0}}));
}

TEST(ChainRunner, ARepetitionMayAskAgainAndIsServedInTheSameDrain) {
  TChainRunner& runner = TChainRunner::Instance();
  int runs = 0;
  const int window = 0;
  std::function<void(int)> rerun = [&](int) {
    TChainRunner::TBatchScope batch;
    TChainRunner::TRunScope run;
    if (++runs < 3) runner.Defer(&window, 0, 0, rerun);
  };
  {
    TChainRunner::TBatchScope batch;
    TChainRunner::TRunScope run;
    runner.Defer(&window, 0, 0, rerun);
  }
  EXPECT_EQ(runs, 3);
  EXPECT_FALSE(runner.RerunRequested());
}

}  // namespace chain_runner_test

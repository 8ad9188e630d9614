// The store of saved input copies: the byte budget with least-recently-used
// eviction, the copies it never evicts, and a chain whose restarts give the same
// output whatever the budget.

#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"
#include "tools/saved_copies.h"

#include <gtest/gtest.h>

namespace {

int owners[4];

TEST(SavedCopyStore, LeastRecentlyUsedUnpinnedCopiesGoPastTheBudget) {
  TSavedCopyStore store;
  store.SetBudget(300);
  store.Ensure(&owners[0], 0, 100);
  store.Ensure(&owners[1], 0, 100);
  store.Ensure(&owners[2], 0, 100);
  EXPECT_EQ(store.UsedBytes(), 300);
  ASSERT_NE(store.Find(&owners[0], 0), nullptr);  // now the most recent

  store.Ensure(&owners[3], 0, 100);
  EXPECT_EQ(store.Find(&owners[1], 0), nullptr) << "least recently used";
  EXPECT_NE(store.Find(&owners[0], 0), nullptr);
  EXPECT_EQ(store.UsedBytes(), 300);

  // Pinned copies stay: the running tool's and an open dialog's.
  store.Pin(&owners[2], 0, true);
  store.PinOwner(&owners[3], true);
  store.Ensure(&owners[1], 4, 200);
  EXPECT_EQ(store.Find(&owners[0], 0), nullptr);
  EXPECT_NE(store.Peek(&owners[2], 0), nullptr);
  EXPECT_NE(store.Peek(&owners[3], 0), nullptr);
  EXPECT_EQ(store.UsedBytes(), 400) << "over the budget rather than evict a pinned copy";

  // The same size keeps the copy and its contents.
  store.Find(&owners[2], 0)->Data()[0] = 42;
  EXPECT_EQ(store.Ensure(&owners[2], 0, 100).Data()[0], 42);
  EXPECT_EQ(store.Ensure(&owners[2], 0, 104).Data()[0], 0) << "a new size starts from zeros";

  store.ReleaseAll(&owners[3]);
  store.Release(&owners[2], 0);
  store.Release(&owners[1], 4);
  EXPECT_EQ(store.UsedBytes(), 0);
  EXPECT_THROW(store.Ensure(&owners[0], 0, -1), std::bad_alloc);
  EXPECT_EQ(store.UsedBytes(), 0);
}

TEST(SavedCopyStore, AnOpenDialogKeepsItsToolsCopies) {
  BudgetScope budget(4 * 4 * 4);
  auto view = MakeChannel(4, 4);
  TAbsTool edited, other;
  for (TAbsTool* t : {&edited, &other}) t->SetView_(0, view.get());
  edited.KeepCopiesWhileDialogOpen(true);
  edited.execute(false, 0);
  other.execute(false, 0);
  EXPECT_TRUE(edited.HasSavedInput(0));
  EXPECT_TRUE(other.HasSavedInput(0)) << "the running tool's copy is kept too";
  edited.KeepCopiesWhileDialogOpen(false);
  other.execute(false, 0);
  TAbsTool third;
  third.SetView_(0, view.get());
  third.execute(false, 0);
  EXPECT_FALSE(edited.HasSavedInput(0));
  EXPECT_FALSE(other.HasSavedInput(0));
  EXPECT_TRUE(third.HasSavedInput(0));
}

TEST(SavedCopyStore, DefaultBudgetIsHalfThePhysicalMemory) {
  const int64_t budget = TSavedCopyStore::Instance().Budget();
  EXPECT_GT(budget, int64_t{64} << 20);
  EXPECT_LT(budget, int64_t{1} << 50);
}

// Runs a chain on a channel from tool k as a radargram window does: k = 0 rebuilds
// the channel from its raw data; a restart at a tool without its saved input falls
// back to the top.
void RunChain(std::vector<TAbsTool*>& chain, T2Dview& view, const std::vector<int32_t>& raw, int channel, size_t k) {
  if (k > 0 && !chain[k]->HasSavedInput(channel)) k = 0;
  if (k == 0) SetSamples(view, raw);
  for (size_t i = k; i < chain.size(); ++i) chain[i]->execute(i == k && k > 0, channel);
}

std::vector<std::vector<int32_t>> ChainOutputs(int64_t budget) {
  BudgetScope scope(budget);
  PoolThreadsScope threads(2);
  auto c0 = MakeChannel(40, 16);
  auto c1 = MakeChannel(30, 16);
  const std::vector<int32_t> raw0 = TestTraces(40, 16);
  std::vector<int32_t> raw1 = TestTraces(30, 16);
  for (int32_t& x : raw1) x = -x / 3;
  TAbsTool negative, full;
  std::vector<TAbsTool*> chain{&negative, &full};
  for (TAbsTool* t : chain) {
    t->SetView_(0, c0.get());
    t->SetView_(1, c1.get());
  }
  const TAbsParam neg{true, TRectifierMode::Negative};
  negative.SetParam(0, &neg);
  negative.SetParam(1, &neg);

  std::vector<std::vector<int32_t>> outputs;
  const auto both = [&](size_t k) {
    RunChain(chain, *c0, raw0, 0, k);
    RunChain(chain, *c1, raw1, 1, k);
    outputs.push_back(Samples(*c0));
    outputs.push_back(Samples(*c1));
  };
  const auto setAll = [](TAbsTool& tool, TAbsParam p) {
    for (int c : {0, 1}) tool.SetParam(c, &p);
  };
  both(0);
  setAll(full, {true, TRectifierMode::Negative});  // edits of the second tool restart there
  both(1);
  setAll(full, {false, TRectifierMode::Negative});
  both(1);
  setAll(negative, {true, TRectifierMode::Positive});
  both(0);
  setAll(full, {true, TRectifierMode::FullWave});
  both(1);
  return outputs;
}

TEST(SavedCopyStore, ABudgetOfOneCopyGivesTheSameChainOutput) {
  const auto unlimited = ChainOutputs(int64_t{1} << 40);
  const auto oneCopy = ChainOutputs(40 * 16 * 4);
  ASSERT_EQ(unlimited.size(), oneCopy.size());
  for (size_t i = 0; i < unlimited.size(); ++i) EXPECT_EQ(oneCopy[i], unlimited[i]) << "output " << i;
  // Channel 0 at the end: the full wave of the first tool's positive half-wave.
  std::vector<int32_t> expected = TestTraces(40, 16);
  for (int32_t& x : expected) x = x >= 0 ? x : 0;
  EXPECT_EQ(unlimited[unlimited.size() - 2], expected);
}

}  // namespace

// The overlays' property frames: which controls run the window's overlays and
// which only reset the level record, the values they hand to the main window,
// the guards, the list texts, and the frequency godograph's two half windows.

#include "platform/ui/combo_box.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/forms.h"
#include "platform/ui/panels.h"
#include "platform/ui/track_bar.h"
#include "profiledata/digit_edit.h"
#include "raster/raster_library.h"
#include "tests/tools/tool_test_support.h"
#include "tools/post_proc.h"
#include "tools/post_proc_frames.h"
#include "tools/post_proc_godograph.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace post_proc_frames_test {

class RecordingShell final : public IToolShell {
public:
  int32_t Language() const override { return 1033; }
  std::array<T2Dview*, 5> CurrentViews() const override { return {}; }
  TPostProcDefaults PostProcDefaults(TPostProcKind kind) const override {
    auto it = values.find(kind);
    return it != values.end() ? it->second : NullPostProcDefaults(kind);
  }
  void SetPostProcDefaults(TPostProcKind kind, const TPostProcDefaults& v) override { values[kind] = v; }
  std::map<TPostProcKind, TPostProcDefaults> values;
};

class PostProcFrames : public ::testing::Test {
protected:
  void SetUp() override {
    RasterLibraryStartup();
    SetToolShell(&shell);
    TDialogScript::Enable(true);
    TDialogScript::Reset();
    parent = new TForm(nullptr);
  }
  void TearDown() override {
    frame.reset();
    parent->Free();
    TDialogScript::Reset();
    TDialogScript::Enable(false);
    SetToolShell(nullptr);
  }
  template <typename TFrameClass>
  TFrameClass& Make(TPostProc& overlay) {
    frame = MakePostProcFrame(overlay, parent, [this] {
      ++runs;
      if (onRun) onRun();
    });
    auto& f = dynamic_cast<TFrameClass&>(*frame);
    f.UpdateParameters();
    return f;
  }

  RecordingShell shell;
  FakeToolHost host;
  TForm* parent = nullptr;
  std::unique_ptr<IPostProcFrame> frame;
  int runs = 0;
  std::function<void()> onRun;
};

TEST_F(PostProcFrames, TheLevelBarAloneDoesNotRunTheLevelEditDoes) {
  TComparatorPostProc overlay(host);
  auto& f = Make<TComparatorPropertyFrame>(overlay);
  EXPECT_EQ(f.LevelTrackBar->Position(), 40);
  overlay.SetOldPosLevel(40);
  f.LevelTrackBar->SetPosition(70);
  EXPECT_EQ(overlay.PosLevel(), 70);
  EXPECT_EQ(f.LevelDE->ValueInt(), 70);
  EXPECT_EQ(shell.values[ppComparator].PosLevel, 70);
  EXPECT_EQ(runs, 0);
  f.LevelDE->SetValueInt(25);
  f.LevelDEChangeFinish();
  EXPECT_EQ(overlay.PosLevel(), 25);
  EXPECT_EQ(f.LevelTrackBar->Position(), 25);
  EXPECT_EQ(shell.values[ppComparator].PosLevel, 25);
  EXPECT_EQ(runs, 1);
  // While the frame loads its values nothing acts.
  f.NeedRepaint = false;
  f.LevelTrackBar->SetPosition(90);
  EXPECT_EQ(overlay.PosLevel(), 25);
}

TEST_F(PostProcFrames, ColourRunsAndMinimumSizeOnlyResets) {
  TComparatorPostProc overlay(host);
  auto& f = Make<TComparatorPropertyFrame>(overlay);
  overlay.SetOldPosLevel(40);
  TDialogScript::QueueColor(0x00FF00);
  f.ColorPanelClick();
  EXPECT_EQ(overlay.Color(), 0x00FF00);
  EXPECT_EQ(overlay.OldPosLevel(), -1);
  EXPECT_EQ(shell.values[ppComparator].Color, 0x00FF00);
  EXPECT_EQ(runs, 1);
  TDialogScript::QueueColor(std::nullopt);
  overlay.SetOldPosLevel(40);
  f.ColorPanelClick();
  EXPECT_EQ(runs, 1) << "cancelled";
  EXPECT_EQ(overlay.OldPosLevel(), 40);

  f.cbMinPnt->SetText(QStringLiteral("31"));
  f.cbMinPntChange();
  EXPECT_EQ(overlay.MinPnt(), 31);
  EXPECT_EQ(overlay.OldPosLevel(), -1);
  EXPECT_EQ(shell.values[ppComparator].MinPnt, 31);
  EXPECT_EQ(runs, 1);
  // Not a number: the error is reported and the value stays.
  TDialogScript::QueueAnswer(IDOK);
  f.cbMinPnt->SetText(QStringLiteral("3x"));
  f.cbMinPntChange();
  EXPECT_EQ(overlay.MinPnt(), 31);
  ASSERT_EQ(TDialogScript::Shown().size(), 3u);
  EXPECT_TRUE(TDialogScript::Shown().back().Text.contains(QStringLiteral("'3x'")));
}

TEST_F(PostProcFrames, AlphaRunsOnceWhileItsOwnRunIsUnderWay) {
  THilbertPostProc overlay(host);
  auto& f = Make<THilbertPropertyFrame>(overlay);
  EXPECT_EQ(f.MasterAlphaBar->Position(), 128);
  onRun = [&] {
    if (runs == 1) f.MasterAlphaBar->SetPosition(10);  // moved again during the run
  };
  overlay.SetOldPosLevel(overlay.PosLevel());
  f.MasterAlphaBar->SetPosition(200);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(overlay.AlphaBlend(), 10);
  EXPECT_EQ(overlay.OldPosLevel(), overlay.PosLevel()) << "a blend only";
  EXPECT_EQ(shell.values[ppHilbert].AlphaBlend, 10);
  EXPECT_FALSE(f.isRunPaint);
}

TEST_F(PostProcFrames, HilbertWindowsOnlyReset) {
  THilbertPostProc overlay(host);
  auto& f = Make<THilbertPropertyFrame>(overlay);
  EXPECT_EQ(f.cbWinSizeW->Text(), QStringLiteral("3"));
  overlay.SetOldPosLevel(40);
  f.cbWinSizeW->SetText(QStringLiteral("51"));
  f.cbWinSizeChange();
  EXPECT_EQ(overlay.WinAmpSizeW(), 51);
  EXPECT_EQ(shell.values[ppHilbert].WinAmpSizeW, 51);
  EXPECT_EQ(overlay.OldPosLevel(), -1);
  EXPECT_EQ(runs, 0);
}

TEST_F(PostProcFrames, FrequencyWindowShowsThreeByThreeAndRuns) {
  shell.values[ppFrequency] = NullPostProcDefaults(ppFrequency);
  shell.values[ppFrequency].WinFreqSize = 7;
  TFreqHilbertPostProc overlay(host);
  EXPECT_EQ(overlay.WinFreqSize(), 7);
  auto& f = Make<TFreqHilbertPropertyFrame>(overlay);
  EXPECT_EQ(f.cbWinFreqSize->Text(), QStringLiteral("3x3"));
  struct TCase {
    int item;
    int32_t size;
  };
  int expectedRuns = 0;
  for (const TCase& c : {TCase{0, 1}, TCase{1, 3}, TCase{10, 21}, TCase{-1, 1}}) {
    SCOPED_TRACE(c.item);
    overlay.SetOldPosLevel(40);
    f.cbWinFreqSize->SetItemIndex(c.item);
    f.cbWinFreqSizeChange();
    EXPECT_EQ(overlay.WinFreqSize(), c.size);
    EXPECT_EQ(shell.values[ppFrequency].WinFreqSize, c.size);
    EXPECT_EQ(overlay.OldPosLevel(), -1);
    EXPECT_EQ(runs, ++expectedRuns);
  }
}

TEST_F(PostProcFrames, RunControlIsTheFramesRunButton) {
  TComparatorPostProc overlay(host);
  auto& f = Make<TComparatorPropertyFrame>(overlay);
  f.SetRunEnabled(false);
  EXPECT_FALSE(f.RunEnabled());
  f.SetRunEnabled(true);
  f.RunClick();
  EXPECT_EQ(runs, 1);
  overlay.SetRunned(true);
  f.UpdateParameters();
  EXPECT_FALSE(overlay.Runned());
}

TEST(PostProcFrequencyGodograph, HalfWindowsFiveAndSixDiffer) {
  const int traces = 20;
  const int L = 20;
  std::vector<int32_t> buffer(static_cast<size_t>(traces * L));
  for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = 1000 + static_cast<int32_t>((i * 7919) % 397);
  EXPECT_NE(WindowContrastGodographBins(buffer.data(), L, traces, 5),
            WindowContrastGodographBins(buffer.data(), L, traces, 6));
}

}  // namespace post_proc_frames_test

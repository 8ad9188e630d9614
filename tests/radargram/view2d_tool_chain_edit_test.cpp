// Editing a window's tool chain beyond adding and removing: moving a tool by drag
// and drop, the chain given to the channels' online stages, the fresh overlay
// base images of a switched tool, and the simple page's "Background Removal"
// and "Gain" buttons.

#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/menus.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "profiledata/stream_strings.h"
#include "radar/online_stages.h"
#include "radargram/chain_tool.h"
#include "radargram/tool_chain_library.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <stdexcept>
#include <string>
#include <vector>

namespace view2d_tool_chain_edit_test {

using Log = std::vector<std::string>;

// A tool that records what the window asks of it.
class RecordingTool : public IChainTool {
public:
  RecordingTool(QString name, Log& log) : name_(std::move(name)), caption_(name_), log_(log) {}
  QString GetCaption() const override { return caption_; }
  void SetCaption(const QString& value) override { caption_ = value; }
  QString GetToolName() const override { return name_; }
  bool GetExecuting() const override { return executing; }
  void SetExecuting(bool value) override { executing = value; }
  int32_t GetCurrentNumberView() const override { return 0; }
  void SetCurrentNumberView(int32_t) override {}
  void execute(bool, int32_t channel) override {
    log_.push_back(name_.toStdString() + ":" + std::to_string(channel));
    baseValidDuringRuns.push_back(PostProcBaseValid());
    if (fails) throw std::runtime_error("broken");
  }
  bool HasSavedInput(int32_t) const override { return false; }
  HWND GetHandle() const override { return nullptr; }
  TBitmap* GetBmpIcon1() const override { return nullptr; }
  TBitmap* GetBmpIcon2() const override { return nullptr; }
  void SetAllApply(bool b) override { allApply.push_back(b); }
  void SaveToStream(TStream& stream) override {
    const int64_t start = stream.Position();
    stream.WriteValue<int32_t>(0);
    WriteShortAnsiString(stream, name_.toLatin1());
    const int64_t end = stream.Position();
    stream.SetPosition(start);
    stream.WriteValue<int32_t>(static_cast<int32_t>(end));
    stream.SetPosition(end);
  }
  void SetParamView(T2Dview* view) override { paramViews.push_back(view); }

  bool executing = true;
  bool fails = false;
  std::vector<bool> allApply;
  std::vector<bool> baseValidDuringRuns;
  std::vector<T2Dview*> paramViews;

private:
  QString name_;
  QString caption_;
  Log& log_;
};

// Tools of any name; the chain files hold their names only.
class RecordingLibrary : public IToolChainLibrary {
public:
  explicit RecordingLibrary(Log& log) : log_(log) {}
  std::unique_ptr<IChainTool> GetTool(const QString& name, const std::array<T2Dview*, 5>&) override {
    return std::make_unique<RecordingTool>(name, log_);
  }
  void SaveTools(TStream& stream, const T2Dview*) override {
    stream.WriteBuffer("TLS3U", 5);
    WriteShortAnsiString(stream, QByteArray());
    stream.WriteValue<uint8_t>(16);
  }
  void SaveToolsFRN(TStream& stream, const T2Dview*, int32_t channels, int32_t tools) override {
    stream.WriteBuffer("BTLS5U", 6);
    WriteShortAnsiString(stream, QByteArray());
    stream.WriteValue<uint8_t>(1);
    stream.WriteValue<int32_t>(channels);
    stream.WriteValue<int32_t>(tools);
  }
  void ReadToolRecord(IChainTool&, TStream&, int64_t, bool, int32_t) override {}
  QString ChooseTool(TComponent*) override { return {}; }

private:
  Log& log_;
};

class View2DToolChainEdit : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterOnlineStages();
    SetToolChainLibrary(&library);
  }
  void TearDown() override {
    env.acquisition.mainIni = nullptr;
    SetToolChainLibrary(nullptr);
    UnregisterOnlineStages();
  }
  // A window of `channels` channels with data, painted once.
  TView2DForm* Window(int channels) {
    TView2DForm* w = env.Create(channels);
    for (int c = 0; c < channels; ++c) {
      T2Dview& store = *w->GetView2DByIndx(c);
      store.Settings()->SetAdvanceStacking(false);
      store.Settings()->SetStacking(1);
      store.Settings()->SetSerNum(static_cast<uint16_t>(11 + c));  // held traces keep it
      FillRawSums(store, 3, 4, [](int t, int s) { return t * 4 + s - 6; });
    }
    w->FirstPaintAfterOpen = false;
    return w;
  }
  RecordingTool* Append(TView2DForm& w, const QString& name) {
    auto tool = std::make_unique<RecordingTool>(name, log);
    RecordingTool* raw = tool.get();
    w.AppendToolNode(std::move(tool));
    return raw;
  }
  static QStringList Chain(TView2DForm& w) {
    QStringList names;
    TTreeNodes* items = w.ToolsTreeView->Items();
    for (int i = 0; i < items->TopCount(); ++i) names << items->Top(i)->Text();
    return names;
  }
  // The Tools page open, so that the tree shows its rows.
  static void ShowTree(TView2DForm& w) {
    w.LeftPageControl->SetWidth(270);
    w.LeftPageControl->SetActivePage(w.ToolsTabSheet);
    TTreeNodes* items = w.ToolsTreeView->Items();
    ASSERT_TRUE(ProcessMessagesUntil([&] {
      return items->TopCount() > 0 && items->Top(items->TopCount() - 1)->DisplayRect().Height() > 0;
    }));
  }
  // A multi-channel set of one channel holding the named tools.
  static void WriteSet(const QString& path, const QStringList& tools) {
    TMemoryStream stream;
    Log unused;
    RecordingLibrary(unused).SaveToolsFRN(stream, nullptr, 1, static_cast<int32_t>(tools.size()));
    for (const QString& name : tools) RecordingTool(name, unused).SaveToStream(stream);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stream.Bytes());
  }
  // The stores write their online stages into `ini`, channel c under serial 11 + c.
  void WriteStagesTo(TView2DForm&) { env.acquisition.mainIni = &ini; }
  // The Apply flag a channel wrote for its windowed background removal ("-" for none).
  QString WrittenBackgroundApply(int c) {
    return ini.ReadString(QStringLiteral("WindowedBackgroundRemoval_") + QString::number(11 + c),
                          QStringLiteral("Applay"), QStringLiteral("-"));
  }
  std::vector<T2Dview*> Stores(TView2DForm& w) {
    std::vector<T2Dview*> stores;
    for (int c = 0; c < kChannelSlots; ++c)
      if (T2Dview* store = w.GetView2DByIndx(c)) stores.push_back(store);
    return stores;
  }

  Log log;
  RecordingLibrary library{log};
  TRadargramEnv env;
  TMemIniFile ini{env.dir.path() + QStringLiteral("/main.ini")};
};

// Where a node is dropped: on the upper or lower half of a node, or below the rows.
struct TDrop {
  int dragged;
  int target;  // -1: below the last row
  bool lowerHalf;
  QStringList chain;
};

TEST_F(View2DToolChainEdit, ADroppedToolMovesInEveryChannelsChainAndTheChainRunsAgain) {
  const TDrop drops[] = {
      {0, 2, true, {"B", "C", "A"}},   // on the lower half of the last node: to the end
      {0, 1, false, {"A", "B", "C"}},  // in front of the node after it: where it was
      {0, 1, true, {"B", "A", "C"}},
      {2, 0, false, {"C", "A", "B"}},
      {2, 0, true, {"A", "C", "B"}},
      {1, -1, false, {"A", "C", "B"}},
      {1, 1, false, {"A", "B", "C"}},  // on itself
      {1, 1, true, {"A", "B", "C"}},
  };
  const QStringList initial{"A", "B", "C"};
  for (const TDrop& drop : drops) {
    SCOPED_TRACE(drop.chain.join(',').toStdString());
    TView2DForm* w = Window(2);
    for (const QString& name : initial) Append(*w, name);
    ShowTree(*w);
    // Moves are saved as the last-used sets also for a profile opened from a file.
    w->GetView2DByIndx(0)->WasOpen = true;
    QFile::remove(ProgramFolder() + "stcl");
    QFile::remove(ProgramFolder() + "bstcl");
    TTreeNodes* items = w->ToolsTreeView->Items();
    TTreeNode* dragged = items->Top(drop.dragged);
    w->ToolsTreeView->SetSelected(dragged);
    w->ToolsTreeView->BeginDrag(true);
    // The insertion line follows the pointer: a node's top edge in its upper
    // half, its bottom edge in its lower half.
    const TRect first = items->Top(0)->DisplayRect();
    w->ToolsTreeView->DragMove(10, first.Top + 2);
    EXPECT_EQ(w->ToolsTreeView->InsertionLineY(), first.Top);
    w->ToolsTreeView->DragMove(10, first.Bottom - 2);
    EXPECT_EQ(w->ToolsTreeView->InsertionLineY(), first.Bottom);
    int y = items->Top(items->TopCount() - 1)->DisplayRect().Bottom + 40;
    if (drop.target >= 0) {
      const TRect row = items->Top(drop.target)->DisplayRect();
      y = drop.lowerHalf ? row.Bottom - 2 : row.Top + 2;
    }
    w->ToolsTreeView->DragMove(10, y);
    log.clear();
    w->TlsNeedForSave = false;
    w->ToolsTreeView->EndDrag(true);

    EXPECT_EQ(Chain(*w), drop.chain);
    EXPECT_EQ(w->ToolsTreeView->InsertionLineY(), -1);
    EXPECT_EQ(w->ToolsTreeView->Selected(), dragged);
    Log runs;
    for (int c = 0; c < 2; ++c)
      for (const QString& name : drop.chain) runs.push_back(name.toStdString() + ":" + std::to_string(c));
    EXPECT_EQ(log, runs) << "every channel runs the new order";
    EXPECT_TRUE(w->TlsNeedForSave);
    EXPECT_TRUE(QFile::exists(ProgramFolder() + "stcl"));
    EXPECT_TRUE(QFile::exists(ProgramFolder() + "bstcl"));
    w->Free();
  }
}

TEST_F(View2DToolChainEdit, CopyToOnlineGivesTheThreeStageToolsToEveryChannelAndWritesTheSettings) {
  TView2DForm* w = Window(2);
  RecordingTool* gain = Append(*w, "TVGC");
  RecordingTool* other = Append(*w, "Abs");
  RecordingTool* background = Append(*w, "Background Remover with Window");
  RecordingTool* wavelet = Append(*w, "Wavelet Filter");
  RecordingTool* secondGain = Append(*w, "TVGC");
  w->FirstPaintAfterOpen = true;
  WriteStagesTo(*w);
  QFile::remove(ProgramFolder() + "bstt");
  w->CopytoonlineTools1->Click();
  EXPECT_FALSE(log.empty()) << "a window not painted since opening is computed first";
  ASSERT_EQ(env.shell.synchronised.size(), 1u);
  EXPECT_EQ(env.shell.synchronised[0], std::make_pair(w, true));
  const std::vector<T2Dview*> stores = Stores(*w);
  ASSERT_GE(stores.size(), 2u);
  for (const RecordingTool* tool : {gain, background, wavelet}) EXPECT_EQ(tool->paramViews, stores);
  EXPECT_TRUE(other->paramViews.empty());
  EXPECT_TRUE(secondGain->paramViews.empty()) << "the first tool of a name gives the stage its parameters";
  EXPECT_TRUE(QFile::exists(ProgramFolder() + "bstt"));
  for (int c = 0; c < 2; ++c) EXPECT_NE(WrittenBackgroundApply(c), "-") << "channel " << c << " wrote its stages";
}

TEST_F(View2DToolChainEdit, SwitchingApplyGivesTheOverlaysFreshBaseImagesInEveryChannel) {
  TView2DForm* w = Window(3);
  RecordingTool* first = Append(*w, "A");
  RecordingTool* second = Append(*w, "B");
  w->CurrentItem = w->ToolsTreeView->Items()->Top(1);
  w->ShowPostProc = false;
  w->ExecutingMenuClick(nullptr);
  EXPECT_FALSE(second->executing);
  ASSERT_EQ(second->baseValidDuringRuns.size(), 3u);
  for (bool valid : first->baseValidDuringRuns) EXPECT_FALSE(valid);
  for (bool valid : second->baseValidDuringRuns) EXPECT_FALSE(valid) << "also after the first channel was rebuilt";
  EXPECT_TRUE(PostProcBaseValid());
  EXPECT_TRUE(w->ShowPostProc);

  // A plain run keeps the base images until each channel is rebuilt.
  second->baseValidDuringRuns.clear();
  w->ExecuteBitBtnClick(nullptr);
  ASSERT_FALSE(second->baseValidDuringRuns.empty());
  for (bool valid : second->baseValidDuringRuns) EXPECT_TRUE(valid);

  // A failing tool ends the run; the next runs are plain again.
  second->fails = true;
  for (int c = 0; c < 3; ++c) TDialogScript::QueueAnswer(mrOk);  // each channel reports it
  w->ExecutingMenuClick(nullptr);
  EXPECT_EQ(TDialogScript::Pending(), 0);
  EXPECT_TRUE(PostProcBaseValid());
}

TEST_F(View2DToolChainEdit, BackgroundRemovalSwitchesTheFirstBackgroundToolAndEveryOnlineStage) {
  TView2DForm* w = Window(2);
  Append(*w, "TVGC");
  RecordingTool* background = Append(*w, "Background Remover with Window");
  RecordingTool* later = Append(*w, "Background Remover");
  background->executing = false;
  later->executing = false;
  w->SimpleBackgroundRemoval = false;
  WriteStagesTo(*w);
  const std::vector<T2Dview*> stores = Stores(*w);
  for (bool on : {true, false}) {
    SCOPED_TRACE(on);
    w->TlsNeedForSave = false;
    log.clear();
    w->SimpleBackgroundRemovalSpeedButton->Click();
    EXPECT_EQ(w->SimpleBackgroundRemoval, on);
    EXPECT_EQ(env.shell.simpleBackgroundRemoval, on);
    for (T2Dview* store : stores) {
      ASSERT_NE(store->OnlineStages(), nullptr);
      EXPECT_EQ(store->OnlineStages()->WindowedBackgroundRemovalApplay(), on);
    }
    for (int c = 0; c < 2; ++c) EXPECT_EQ(WrittenBackgroundApply(c), on ? "1" : "0");
    EXPECT_EQ(background->executing, on);
    EXPECT_EQ(background->allApply.back(), on);
    EXPECT_FALSE(later->executing) << "only the first background tool";
    EXPECT_TRUE(later->allApply.empty());
    EXPECT_EQ(w->CurrentItem, w->ToolsTreeView->Items()->Top(1));
    EXPECT_TRUE(w->TlsNeedForSave);
    EXPECT_FALSE(log.empty()) << "the chain runs again";
  }

  // After a chain is loaded the button shows the tool's Apply flag.
  background->executing = true;
  w->CurrentItem = nullptr;
  w->SetButtonSimpleBackgroundRemoval();
  EXPECT_TRUE(w->SimpleBackgroundRemoval);
  EXPECT_TRUE(w->SimpleBackgroundRemovalSpeedButton->Down());
  EXPECT_EQ(w->CurrentItem, w->ToolsTreeView->Items()->Top(1));
}

TEST_F(View2DToolChainEdit, GainStepsThroughTheSimpleSetsAndGivesEachToTheOnlineStages) {
  const QString folder = ProgramFolder() + "setoftools/";
  ASSERT_TRUE(QDir().mkpath(folder));
  WriteSet(folder + "a.dstcl", {"TVGC"});
  WriteSet(folder + "b.dstcl", {"Wavelet Filter", "Background Remover with Window"});
  WriteSet(folder + "c.dstcl", {"Abs"});
  env.shell.listOfDSTCL = {"a.dstcl", "b.dstcl", "c.dstcl"};
  env.shell.simpleDSTCL = "gone.dstcl";  // not in the list: the last set counts as in use
  env.shell.simpleBackgroundRemoval = true;
  TView2DForm* w = Window(2);
  EXPECT_EQ(w->GetSimpleGainIndex(), 2);
  EXPECT_EQ(w->MultGainLabel->Caption(), "2") << "a new window shows the set in use";

  struct TStep {
    QString set;
    QStringList chain;
  };
  const TStep steps[] = {{"a.dstcl", {"TVGC"}},
                         {"b.dstcl", {"Wavelet Filter", "Background Remover with Window"}},
                         {"c.dstcl", {"Abs"}},
                         {"a.dstcl", {"TVGC"}}};
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.set.toStdString());
    env.shell.synchronised.clear();
    w->SimpleGainSpeedButton->Click();
    EXPECT_EQ(env.shell.simpleDSTCL, step.set);
    EXPECT_EQ(w->MultGainLabel->Caption(), QString::number(env.shell.listOfDSTCL.indexOf(step.set)));
    EXPECT_EQ(Chain(*w), step.chain);
    EXPECT_EQ(env.shell.synchronised, (std::vector<std::pair<TView2DForm*, bool>>{{w, false}}));
    EXPECT_TRUE(w->SimpleGainSpeedButton->Enabled());
  }
  // The set with a background tool switches it as the main window says.
  w->SimpleGainSpeedButton->Click();
  auto* background = dynamic_cast<RecordingTool*>(w->GetToolsForNameInTree("Background Remover with Window"));
  ASSERT_NE(background, nullptr);
  EXPECT_TRUE(background->executing);
  ASSERT_FALSE(background->allApply.empty());
  EXPECT_TRUE(background->allApply.back());

  // Fewer than two sets: the first is the one in use.
  env.shell.listOfDSTCL = {"c.dstcl"};
  EXPECT_EQ(w->GetSimpleGainIndex(), 0);
  w->SimpleGainSpeedButton->Click();
  EXPECT_EQ(Chain(*w), (QStringList{"Abs"}));
  env.shell.listOfDSTCL.clear();
  w->SimpleGainSpeedButton->Click();
  EXPECT_EQ(Chain(*w), (QStringList{"Abs"})) << "no set: the chain stays";
}

}  // namespace view2d_tool_chain_edit_test

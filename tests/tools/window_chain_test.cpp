// A radargram window's tool chain with the real registry and tools: adding and
// numbering tools, the chain files it writes (headers and records checked by
// hand) and reads back, missing tools, and damaged or unwritable files.

#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/buttons.h"
#include "platform/ui/combo_box.h"
#include "platform/ui/keys.h"
#include "platform/ui/list_box.h"
#include "platform/ui/menus.h"
#include "platform/ui/page_control.h"
#include "platform/ui/tree_view.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "profiledata/stream_strings.h"
#include "radar/online_stages.h"
#include "radargram/tool_messages.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"
#include "tools/list_of_plugins_form.h"
#include "tools/list_of_tools.h"
#include "tools/tool_chain_library.h"
#include "tools/win_subtract_trace.h"
#include "tools/window_tool_host.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDevice>

#include <gtest/gtest.h>

#include <cstring>

namespace window_chain_test {

class WindowChain : public ::testing::Test {
protected:
  void SetUp() override {
    ToolsLibraryStartup();
    registry.Initialise(QString(), true, 1033);
    RegisterToolChainRegistry(&registry);
  }
  void TearDown() override {
    RegisterToolChainRegistry(nullptr);
    SetToolHostResolver({});
  }

  // A window of `channels` channels of 3 traces x 4 samples.
  TView2DForm* Window(int channels) {
    TView2DForm* window = env.Create(channels);
    for (int c = 0; c < channels; ++c) {
      T2Dview& store = *window->GetView2DByIndx(c);
      store.Settings()->SetAdvanceStacking(false);
      store.Settings()->SetStacking(1);
      FillRawSums(store, 3, 4, [](int t, int s) { return t * 4 + s - 6; });
    }
    return window;
  }
  // The "List of Tools" dialog answers with the entry whose caption is `caption`.
  static void ChooseInListOfTools(const QString& caption) {
    TDialogScript::QueueModal([caption](TForm& shown) {
      auto& dialog = dynamic_cast<TListOfPluginsForm&>(shown);
      const QStringList items = dialog.PluginsListBox->Items();
      for (int i = 0; i < items.size(); ++i)
        if (items[i].section(u'=', 0, 0) == caption) dialog.PluginsListBox->SetItemIndex(i);
      dialog.PluginsListBox->Click();
      dialog.SetModalResult(mrOk);
    });
  }
  // A registry tool bound to the window, appended to its chain.
  TCommonTool* Append(TView2DForm& window, const QString& name) {
    std::array<T2Dview*, 5> views{};
    for (int c = 0; c < kChannelSlots; ++c) views[static_cast<size_t>(c)] = window.GetView2DByIndx(c);
    std::unique_ptr<TCommonTool> tool = registry.GetTool(name, views);
    TCommonTool* raw = tool.get();
    window.AppendToolNode(std::move(tool));
    return raw;
  }
  static QStringList NodeTexts(TView2DForm& window) {
    QStringList texts;
    TTreeNodes* items = window.ToolsTreeView->Items();
    for (int i = 0; i < items->TopCount(); ++i) texts << items->Top(i)->Text();
    return texts;
  }
  QString Path(const QString& name) const { return env.dir.path() + u'/' + name; }
  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  static void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  TRadargramEnv env;
  PoolThreadsScope threads{1};
  TListOfTools registry{nullptr};
};

TEST_F(WindowChain, AddedToolsAreNumberedByHowManyOfTheirKindTheChainHolds) {
  TView2DForm* w = Window(1);
  ChooseInListOfTools(QStringLiteral("Gain"));
  w->AddToolsBitBtnClick(nullptr);
  ChooseInListOfTools(QStringLiteral("Rectifier"));
  w->AddToolsBitBtnClick(nullptr);
  ChooseInListOfTools(QStringLiteral("Gain"));
  w->AddToolsBitBtnClick(nullptr);
  EXPECT_EQ(NodeTexts(*w), (QStringList{"Gain1", "Rectifier1", "Gain2"}));
  EXPECT_TRUE(w->TlsNeedForSave) << "the profile's chain changed, whatever the last-used sets say";
  EXPECT_EQ(w->CurrentItem, w->ToolsTreeView->Items()->Top(2));
  // The last-used sets follow each edit of a window not opened from a file.
  EXPECT_TRUE(ReadAll(ProgramFolder() + "stcl").startsWith("TLS3U"));
  EXPECT_TRUE(ReadAll(ProgramFolder() + "bstcl").startsWith("BTLS5U"));

  // Cancelling the list adds nothing.
  TDialogScript::QueueModal([](TForm& shown) { shown.SetModalResult(mrCancel); });
  w->AddToolsBitBtnClick(nullptr);
  EXPECT_EQ(w->ToolsTreeView->Items()->TopCount(), 3);
}

TEST_F(WindowChain, RemoveAndApplyActOnTheCurrentTool) {
  TView2DForm* w = Window(2);
  Append(*w, "Abs");
  auto* gain = Append(*w, "TVGC");
  w->CurrentItem = w->ToolsTreeView->Items()->Top(1);
  ASSERT_TRUE(gain->GetExecuting());
  w->ExecutingMenuClick(nullptr);
  EXPECT_FALSE(gain->GetExecuting());
  w->RemoveBitBtnClick(nullptr);
  EXPECT_EQ(NodeTexts(*w).size(), 1);
  EXPECT_EQ(w->CurrentItem, nullptr);
  EXPECT_EQ(w->GetToolsForNameInTree("TVGC"), nullptr);
  EXPECT_NE(w->GetToolsForNameInTree("Abs"), nullptr);
  EXPECT_EQ(w->GetToolInTreeIndx("", 0), nullptr) << "an empty name matches no tool";
  EXPECT_NE(w->GetToolInTreeIndx("Ab", 0), nullptr);
}

// The side file of a container, byte by byte: a missing tool between two tools
// is not written, and every channel has its own parameters.
TEST_F(WindowChain, AContainerChainSkipsMissingToolsAndKeepsEachChannelsParameters) {
  TView2DForm* w = Window(3);
  w->GetView2DByIndx(0)->Settings()->PalName = "Grey";
  auto* first = static_cast<TAbsTool*>(Append(*w, "Abs"));
  w->ToolsTreeView->Items()->AddChildObject(nullptr, "Ghost", nullptr);
  auto* second = static_cast<TAbsTool*>(Append(*w, "Abs"));
  for (int c = 0; c < 3; ++c) {
    first->Param[static_cast<size_t>(c)].Mode = static_cast<TRectifierMode>(c);
    second->Param[static_cast<size_t>(c)].Mode = static_cast<TRectifierMode>(2 - c);
  }
  w->TlsNeedForSave = true;
  ASSERT_TRUE(w->SaveToolsFRN(Path("p.btls")));
  EXPECT_FALSE(w->TlsNeedForSave);

  TMemoryStream file(ReadAll(Path("p.btls")));
  char magic[6];
  file.ReadBuffer(magic, 6);
  EXPECT_EQ(QByteArray(magic, 6), "BTLS5U");
  EXPECT_EQ(ReadShortAnsiString(file), "Grey");
  EXPECT_EQ(file.ReadValue<uint8_t>(), 1);
  EXPECT_EQ(file.ReadValue<int32_t>(), 3) << "channels";
  EXPECT_EQ(file.ReadValue<int32_t>(), 2) << "tools per channel";
  for (int record = 0; record < 6; ++record) {
    const int64_t start = file.Position();
    const int32_t end = file.ReadValue<int32_t>();
    ASSERT_GT(end, start);
    EXPECT_EQ(ReadShortAnsiString(file), "Abs");
    file.SetPosition(end);
  }
  EXPECT_EQ(file.Position(), file.Size());

  TView2DForm* again = Window(3);
  again->TlsNeedForSave = true;
  again->OpenToolsFrn(Path("p.btls"));
  ASSERT_EQ(NodeTexts(*again).size(), 2);
  EXPECT_FALSE(again->TlsNeedForSave);
  EXPECT_TRUE(again->MissingTools.isEmpty());
  auto* read1 = dynamic_cast<TAbsTool*>(TView2DForm::ToolOfNode(again->ToolsTreeView->Items()->Top(0)));
  auto* read2 = dynamic_cast<TAbsTool*>(TView2DForm::ToolOfNode(again->ToolsTreeView->Items()->Top(1)));
  ASSERT_TRUE(read1 && read2);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(read1->Param[static_cast<size_t>(c)].Mode, static_cast<TRectifierMode>(c)) << c;
    EXPECT_EQ(read2->Param[static_cast<size_t>(c)].Mode, static_cast<TRectifierMode>(2 - c)) << c;
  }
}

TEST_F(WindowChain, AMissingToolIsShownNamedAndNeverWrittenBack) {
  TView2DForm* w = Window(1);
  TMemoryStream file;
  registry.SaveTools(file, nullptr);
  for (const char* name : {"Abs", "NoSuchTool"}) {
    const int64_t start = file.Position();
    file.WriteValue<int32_t>(0);
    WriteShortAnsiString(file, name);
    file.WriteBuffer("\x10\x00\x00\x00", 4);
    const int64_t end = file.Position();
    file.SetPosition(start);
    file.WriteValue<int32_t>(static_cast<int32_t>(end));
    file.SetPosition(end);
  }
  WriteAll(Path("a.tls"), file.Bytes());
  // A chain beside a read-only profile is read all the same.
  QFile::setPermissions(Path("a.tls"), QFileDevice::ReadOwner);
  w->OpenTools(Path("a.tls"));
  EXPECT_EQ(NodeTexts(*w), (QStringList{"Rectifier", "NoSuchTool"}));
  EXPECT_EQ(w->MissingTools, "NoSuchTool\r\n");

  w->CurrentItem = w->ToolsTreeView->Items()->Top(1);
  TDialogScript::QueueAnswer(mrYes);
  w->EditCurrentTool();
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, "Tool NoSuchTool is not available");
  EXPECT_EQ(TDialogScript::Shown()[0].Buttons, TMsgDlgButtons{mbYes});

  ASSERT_TRUE(w->SaveTools(Path("b.tls"), 0));
  TView2DForm* again = Window(1);
  again->OpenTools(Path("b.tls"));
  EXPECT_EQ(NodeTexts(*again), QStringList{"Rectifier"});
}

TEST_F(WindowChain, AnOlderChainWithAnotherFormatByteAddsNothing) {
  TView2DForm* w = Window(1);
  QByteArray bytes("TLS_3\x04Grey\x0F", 11);
  bytes += QByteArray("\x1A\x00\x00\x00\x03" "Abs", 8) + QByteArray(10, '\0');
  WriteAll(Path("old.tls"), bytes);
  w->TlsNeedForSave = true;
  w->OpenTools(Path("old.tls"));
  EXPECT_EQ(w->ToolsTreeView->Items()->TopCount(), 0);
  EXPECT_FALSE(w->TlsNeedForSave);
  EXPECT_EQ(w->GetView2DByIndx(0)->Settings()->PalName, "Grey");
  w->OpenTools(Path("absent.tls"));
  EXPECT_TRUE(TDialogScript::Shown().empty()) << "a missing chain file is no error";
}

// Damaged chains keep the tools read before the damage and say so.
TEST_F(WindowChain, DamagedCountsAndOffsetsStopReadingWithAWarning) {
  TView2DForm* w = Window(2);
  Append(*w, "Abs");
  Append(*w, "TVGC");
  ASSERT_TRUE(w->SaveToolsFRN(Path("good.btls")));
  const QByteArray good = ReadAll(Path("good.btls"));
  // The magic, the palette name and the format byte.
  const int head = 6 + 1 + static_cast<uint8_t>(good[6]) + 1;
  struct Case {
    const char* what;
    QByteArray bytes;
    int nodes;
    bool warned;
  };
  auto patched = [&](int at, int32_t value) {
    QByteArray b = good;
    std::memcpy(b.data() + at, &value, 4);
    return b;
  };
  const Case cases[] = {
      {"cut inside the second record", good.left(good.size() - 3), 2, true},
      {"a record ending before it starts", patched(head + 8, head + 8), 0, true},
      {"a record ending past the file", patched(head + 8, 1 << 30), 0, true},
      {"a thousand channels (five at most are read)", patched(head, 1000), 2, true},
      // Channel 1's records are read as further tools of channel 0, then the file ends.
      {"a tools count the file cannot hold", patched(head + 4, 0x7FFFFFFF), 4, true},
      {"a negative channel count", patched(head, -4), 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TDialogScript::Reset();
    WriteAll(Path("bad.btls"), c.bytes);
    if (c.warned) TDialogScript::QueueAnswer(mrOk);
    TView2DForm* again = Window(2);
    again->OpenToolsFrn(Path("bad.btls"));
    EXPECT_EQ(again->ToolsTreeView->Items()->TopCount(), c.nodes);
    EXPECT_EQ(!TDialogScript::Shown().empty(), c.warned);
    TDialogScript::Reset();
  }
}

TEST_F(WindowChain, AFailedWriteIsReportedAndTheChainStaysUnsaved) {
  TView2DForm* w = Window(1);
  Append(*w, "Abs");
  w->TlsNeedForSave = true;
  // A folder where the chain should go: the file beside it cannot replace it.
  ASSERT_TRUE(QDir(env.dir.path()).mkdir("kept.tls"));
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(w->SaveTools(Path("kept.tls"), 0));
  EXPECT_TRUE(w->TlsNeedForSave);
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, "The set of tools could not be written to " + Path("kept.tls") + ".");
  EXPECT_TRUE(QFileInfo(Path("kept.tls")).isDir());
  // A folder that does not exist.
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(w->SaveToolsFRN(Path("none/kept.btls")));
  EXPECT_TRUE(w->TlsNeedForSave);
}

// Insert, F1 and Delete reach the focused tool tree before the main window's
// short cuts, and act on the Tools page.
TEST_F(WindowChain, TheTreeTakesItsKeysBeforeMenuShortCuts) {
  TView2DForm* w = Window(1);
  w->LeftPageControl->SetActivePage(w->ToolsTabSheet);
  auto press = [w](WORD key) { EXPECT_TRUE(SendKeyBeforeShortCuts(*w->ToolsTreeView, key)) << key; };
  ChooseInListOfTools(QStringLiteral("Rectifier"));
  press(VK_INSERT);
  ASSERT_EQ(NodeTexts(*w), QStringList{"Rectifier1"});
  w->CurrentItem = w->ToolsTreeView->Items()->Top(0);
  press(VK_DELETE);
  EXPECT_EQ(w->ToolsTreeView->Items()->TopCount(), 0);

  // On another page the keys leave the chain alone.
  Append(*w, "Abs");
  w->CurrentItem = w->ToolsTreeView->Items()->Top(0);
  w->LeftPageControl->SetActivePage(w->PalTabSheet);
  press(VK_DELETE);
  EXPECT_EQ(w->ToolsTreeView->Items()->TopCount(), 1);
}

// A container opens with its side chain and each channel's parameters; closing
// with a changed chain writes it beside the file, and a failed write keeps the
// window open.
TEST_F(WindowChain, AContainerOpensWithItsSideChainAndClosingWritesIt) {
  TView2DForm* writer = Window(3);
  auto* abs = static_cast<TAbsTool*>(Append(*writer, "Abs"));
  for (int c = 0; c < 3; ++c) abs->Param[static_cast<size_t>(c)].Mode = static_cast<TRectifierMode>(c);
  ASSERT_TRUE(writer->WriteToFileToFRNChannals(Path("three.frn")));
  ASSERT_TRUE(writer->SaveToolsFRN(Path("three.btls")));
  ASSERT_TRUE(writer->WriteToFileToFRNChannals(Path("bare.frn")));
  writer->Free();

  env.shell.newCreate = false;
  TView2DForm* w = env.Create(5);
  w->ReadFromFile(Path("three.frn"));
  ASSERT_EQ(NodeTexts(*w), QStringList{"Rectifier"});
  auto* read = dynamic_cast<TAbsTool*>(TView2DForm::ToolOfNode(w->ToolsTreeView->Items()->Top(0)));
  ASSERT_NE(read, nullptr);
  for (int c = 0; c < 3; ++c) EXPECT_EQ(read->Param[static_cast<size_t>(c)].Mode, static_cast<TRectifierMode>(c)) << c;
  EXPECT_FALSE(w->TlsNeedForSave);

  // Closing after an edit: Yes writes the chain beside the container.
  read->Param[1].Mode = TRectifierMode::FullWave;
  w->TlsNeedForSave = true;
  QFile::remove(Path("three.btls"));
  TDialogScript::QueueAnswer(mrYes);
  EXPECT_TRUE(w->CheckForTlsSave());
  EXPECT_FALSE(w->TlsNeedForSave);
  TView2DForm* again = env.Create(5);
  again->OpenToolsFrn(Path("three.btls"));
  auto* reread = dynamic_cast<TAbsTool*>(TView2DForm::ToolOfNode(again->ToolsTreeView->Items()->Top(0)));
  ASSERT_NE(reread, nullptr);
  EXPECT_EQ(reread->Param[1].Mode, TRectifierMode::FullWave);

  // The chain cannot be written: the window stays open with the chain unsaved.
  QFile::remove(Path("three.btls"));
  ASSERT_TRUE(QDir(env.dir.path()).mkdir("three.btls"));
  w->TlsNeedForSave = true;
  TDialogScript::QueueAnswer(mrYes);
  TDialogScript::QueueAnswer(mrOk);
  EXPECT_FALSE(w->CheckForTlsSave());
  EXPECT_TRUE(w->TlsNeedForSave);

  // Without a side chain the chain stays empty.
  TView2DForm* bare = env.Create(5);
  bare->ReadFromFile(Path("bare.frn"));
  EXPECT_EQ(bare->ToolsTreeView->Items()->TopCount(), 0);
}

// A shown tool dialog locks the chain and the main window's recording and radar
// actions; hiding it unlocks them and writes the last-used sets.
TEST_F(WindowChain, AShownDialogLocksTheChainUntilItIsHidden) {
  TView2DForm* w = Window(1);
  Append(*w, "Abs");
  w->Perform(WM_TOOLFORMSHOWN, 0, 0);
  EXPECT_TRUE(w->VisibleToolWnd);
  for (TWinControl* c : std::initializer_list<TWinControl*>{w->ToolsTreeView, w->AddToolsBitBtn, w->RemoveBitBtn,
                                                            w->PropertyBitBtn, w->ExecuteBitBtn, w->StencilComboBox})
    EXPECT_FALSE(c->Enabled()) << c->Name().toStdString();
  EXPECT_FALSE(env.shell.toolDialogActionsEnabled);
  ASSERT_FALSE(QFile::exists(ProgramFolder() + "bstcl"));

  w->Perform(WM_TOOLFORMHIDDEN, 0, 0);
  EXPECT_FALSE(w->VisibleToolWnd);
  EXPECT_TRUE(w->ToolsTreeView->Enabled());
  EXPECT_TRUE(w->AddToolsBitBtn->Enabled());
  EXPECT_TRUE(env.shell.toolDialogActionsEnabled);
  EXPECT_TRUE(w->TlsNeedForSave);
  EXPECT_TRUE(QFile::exists(ProgramFolder() + "bstcl"));
}

TEST_F(WindowChain, CopyingPropertiesGivesTheActiveChannelsSetToEveryChannel) {
  TView2DForm* w = Window(3);
  auto* abs = static_cast<TAbsTool*>(Append(*w, "Abs"));
  for (int c = 0; c < 5; ++c) abs->Param[static_cast<size_t>(c)].Mode = static_cast<TRectifierMode>(c % 3);
  w->ToolsTreeView->Items()->AddChildObject(nullptr, "Ghost", nullptr);
  w->NumActiveView = 2;
  w->CurrentItem = w->ToolsTreeView->Items()->Top(0);
  w->CopyCurrentToolToAll();
  for (int c = 0; c < 5; ++c) EXPECT_EQ(abs->Param[static_cast<size_t>(c)].Mode, TRectifierMode::Negative) << c;
  EXPECT_TRUE(w->TlsNeedForSave);

  w->CurrentItem = w->ToolsTreeView->Items()->Top(1);
  TDialogScript::QueueAnswer(mrYes);
  w->CopyCurrentToolToAll();
  ASSERT_EQ(TDialogScript::Shown().size(), 1u);
  EXPECT_EQ(TDialogScript::Shown()[0].Text, "Tool Ghost is not available");
}

// A node shows its tool's first icon while the tool applies, the second while it
// does not; the pop-up's Apply shows the same.
TEST_F(WindowChain, TheNodeIconFollowsApply) {
  TView2DForm* w = Window(1);
  Append(*w, "Abs");
  TTreeNode* node = w->ToolsTreeView->Items()->Top(0);
  w->CurrentItem = node;
  const int applied = node->ImageIndex();
  EXPECT_GE(applied, 0);
  w->PopupMenu1->OnPopup(w->PopupMenu1);
  EXPECT_TRUE(w->ExecutingMenu->Checked());
  w->ExecutingMenuClick(nullptr);
  EXPECT_NE(node->ImageIndex(), applied);
  EXPECT_GE(node->ImageIndex(), 0);
  w->PopupMenu1->OnPopup(w->PopupMenu1);
  EXPECT_FALSE(w->ExecutingMenu->Checked());
  w->ExecutingMenuClick(nullptr);
  EXPECT_EQ(node->ImageIndex(), applied);
}

// An old single-channel set is converted once, beside the window's own chain,
// which stays as it was; choosing a set replaces the chain, Clear Set empties it.
TEST_F(WindowChain, OldSetsAreConvertedWithoutTouchingTheWindowsChain) {
  TView2DForm* source = Window(1);
  Append(*source, "Abs");
  Append(*source, "TVGC");
  ASSERT_TRUE(QDir().mkpath(ProgramFolder() + "setoftools"));
  ASSERT_TRUE(source->SaveTools(ProgramFolder() + "setoftools/old.stcl", 0));

  TView2DForm* w = Window(1);
  Append(*w, "Median");
  w->FillSetOfToolsList();
  EXPECT_EQ(NodeTexts(*w), QStringList{"Median filter"}) << "the user's chain is kept";
  EXPECT_TRUE(QFile::exists(ProgramFolder() + "setoftools/old.back_stcl"));
  EXPECT_FALSE(QFile::exists(ProgramFolder() + "setoftools/old.stcl"));
  EXPECT_TRUE(ReadAll(ProgramFolder() + "setoftools/old.bstcl").startsWith("BTLS5U"));
  EXPECT_EQ(w->StencilComboBox->Items(), QStringList{"old.bstcl"});

  w->StencilComboBox->SetItemIndex(0);
  w->StencilComboBoxChange(nullptr);
  EXPECT_EQ(NodeTexts(*w), (QStringList{"Rectifier", "Gain"}));
  EXPECT_TRUE(w->TlsNeedForSave);
  w->FreeToolSetBitBtnClick(nullptr);
  EXPECT_EQ(w->ToolsTreeView->Items()->TopCount(), 0);
  EXPECT_EQ(w->StencilComboBox->ItemIndex(), -1);
}

TEST_F(WindowChain, SaveSetWritesAFiveChannelSetAndListsIt) {
  TView2DForm* w = Window(2);
  Append(*w, "Abs");
  TDialogScript::QueueFiles({{}, std::vector<QString>{ProgramFolder() + "setoftools/mine.bstcl"}});
  w->SaveSetToolsBitBtnClick(nullptr);
  const QByteArray bytes = ReadAll(ProgramFolder() + "setoftools/mine.bstcl");
  ASSERT_TRUE(bytes.startsWith("BTLS5U"));
  int32_t channels = 0;
  std::memcpy(&channels, bytes.constData() + 6 + 1 + static_cast<uint8_t>(bytes[6]) + 1, 4);
  EXPECT_EQ(channels, 5);
  EXPECT_EQ(w->StencilComboBox->Text(), "mine.bstcl");
  ASSERT_FALSE(TDialogScript::Shown().empty());
  EXPECT_EQ(TDialogScript::Shown().back().Title, "Save Set of Tools");
}

// The real background remover hands each channel's own width and its Apply
// flag to that channel's online stage, by copy and by the simple page's button.
TEST_F(WindowChain, TheBackgroundRemoverGivesEachChannelsStageItsOwnWidth) {
  struct Stages {
    Stages() { RegisterOnlineStages(); }
    ~Stages() { UnregisterOnlineStages(); }
  } stagesScope;
  TView2DForm* w = Window(2);
  Append(*w, "Abs");
  auto* remover = dynamic_cast<TWinSubtractTrace*>(Append(*w, "Background Remover with Window"));
  ASSERT_NE(remover, nullptr);
  for (int c = 0; c < 2; ++c) {
    remover->GetParam(c);
    remover->SetWidthWindow(7 + 2 * c);
    remover->SaveParamPlugin(c);
  }
  remover->SetAllApply(false);
  w->FirstPaintAfterOpen = false;
  w->CopytoonlineTools1->Click();
  for (int c = 0; c < 2; ++c) {
    IOnlineStages* stages = w->GetView2DByIndx(c)->OnlineStages();
    ASSERT_NE(stages, nullptr);
    EXPECT_EQ(stages->WidthWindow(), 7 + 2 * c) << "channel " << c;
    EXPECT_FALSE(stages->WindowedBackgroundRemovalApplay()) << "channel " << c;
  }

  w->SimpleBackgroundRemoval = false;
  w->SimpleBackgroundRemovalSpeedButton->Click();
  EXPECT_TRUE(remover->GetExecuting());
  for (int c = 0; c < 2; ++c)
    EXPECT_TRUE(w->GetView2DByIndx(c)->OnlineStages()->WindowedBackgroundRemovalApplay()) << "channel " << c;
}

}  // namespace window_chain_test

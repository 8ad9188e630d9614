// Adding a tool whose dialog does not open takes the new node away again; the
// window reaches the registry only through the registered library.

#include "platform/ui/tree_view.h"
#include "radargram/chain_tool.h"
#include "radargram/tool_chain_library.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"

#include <gtest/gtest.h>

namespace view2d_tools_test {

class DialogTool : public IChainTool {
public:
  DialogTool(QString caption, int answer) : caption_(std::move(caption)), answer_(answer) {}
  QString GetCaption() const override { return caption_; }
  void SetCaption(const QString& value) override { caption_ = value; }
  QString GetToolName() const override { return QStringLiteral("Dialog"); }
  bool GetExecuting() const override { return true; }
  void SetExecuting(bool) override {}
  int32_t GetCurrentNumberView() const override { return 0; }
  void SetCurrentNumberView(int32_t) override {}
  void execute(bool, int32_t) override {}
  bool HasSavedInput(int32_t) const override { return false; }
  HWND GetHandle() const override { return nullptr; }
  TBitmap* GetBmpIcon1() const override { return nullptr; }
  TBitmap* GetBmpIcon2() const override { return nullptr; }
  int SetPropertyes(bool adding) override {
    addedWithDialog = adding;
    return answer_;
  }
  bool addedWithDialog = false;

private:
  QString caption_;
  int answer_;
};

// A registry of one tool whose dialog answers `answer`.
class OneToolLibrary : public IToolChainLibrary {
public:
  int answer = 1;
  DialogTool* made = nullptr;
  std::unique_ptr<IChainTool> GetTool(const QString& name, const std::array<T2Dview*, 5>&) override {
    auto tool = std::make_unique<DialogTool>(name, answer);
    made = tool.get();
    return tool;
  }
  void SaveTools(TStream&, const T2Dview*) override {}
  void SaveToolsFRN(TStream&, const T2Dview*, int32_t, int32_t) override {}
  void ReadToolRecord(IChainTool&, TStream&, int64_t, bool, int32_t) override {}
  QString ChooseTool(TComponent*) override { return QStringLiteral("Probe"); }
};

class View2DTools : public ::testing::Test {
protected:
  void SetUp() override { SetToolChainLibrary(&library); }
  void TearDown() override { SetToolChainLibrary(nullptr); }
  OneToolLibrary library;
  TRadargramEnv env;
};

TEST_F(View2DTools, ADialogAnswerOtherThanOneRemovesTheNewTool) {
  TView2DForm* w = env.Create(1);
  w->AddToolsBitBtnClick(nullptr);
  ASSERT_EQ(w->ToolsTreeView->Items()->TopCount(), 1);
  EXPECT_EQ(w->ToolsTreeView->Items()->Top(0)->Text(), "Probe1");
  EXPECT_TRUE(library.made->addedWithDialog);
  EXPECT_TRUE(w->TlsNeedForSave);

  library.answer = 0;
  w->TlsNeedForSave = false;
  w->AddToolsBitBtnClick(nullptr);
  EXPECT_EQ(w->ToolsTreeView->Items()->TopCount(), 1);
  EXPECT_EQ(w->CurrentItem, nullptr);
  EXPECT_EQ(w->CurTool, nullptr) << "the freed tool is not kept";
  EXPECT_FALSE(w->TlsNeedForSave);
}

TEST_F(View2DTools, WithoutARegistryNothingIsAdded) {
  SetToolChainLibrary(nullptr);
  TView2DForm* w = env.Create(1);
  w->AddToolsBitBtnClick(nullptr);
  EXPECT_EQ(w->ToolsTreeView->Items()->TopCount(), 0);
  EXPECT_FALSE(w->SaveTools(env.dir.path() + "/x.tls", 0));
}

}  // namespace view2d_tools_test

// The window chain-file fuzz harness in the normal suite: junk made from a valid
// single-channel and a valid multi-channel chain as the window writes them,
// opened by both readers into a window with the real tool registry.

#include "radargram/view2d_form.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/window_chain_fuzz_target.h"
#include "tests/radargram/radargram_env.h"
#include "tests/tools/tool_test_support.h"
#include "tools/list_of_tools.h"
#include "tools/tool_chain_library.h"
#include "tools/window_tool_host.h"

#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace window_chain_fuzz_test {

class WindowChainFuzz : public ::testing::Test {
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

  // A window of two channels of 3 traces x 4 samples holding a rectifier and a gain.
  TView2DForm* Window() {
    TView2DForm* window = env.Create(2);
    for (int c = 0; c < 2; ++c) {
      T2Dview& store = *window->GetView2DByIndx(c);
      store.Settings()->SetAdvanceStacking(false);
      store.Settings()->SetStacking(1);
      FillRawSums(store, 3, 4, [](int, int) { return 0; });
    }
    for (const char* name : {"Abs", "TVGC"}) {
      std::array<T2Dview*, 5> views{};
      for (int c = 0; c < kChannelSlots; ++c) views[static_cast<size_t>(c)] = window->GetView2DByIndx(c);
      window->AppendToolNode(registry.GetTool(QString::fromLatin1(name), views));
    }
    return window;
  }
  static QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  TRadargramEnv env;
  PoolThreadsScope threads{1};
  TListOfTools registry{nullptr};
};

TEST_F(WindowChainFuzz, JunkChainFilesNeverThrowAndAddNoMoreToolsThanRecords) {
  TView2DForm* writer = Window();
  const QString single = env.dir.path() + QStringLiteral("/valid.tls");
  const QString multi = env.dir.path() + QStringLiteral("/valid.btls");
  ASSERT_TRUE(writer->SaveTools(single, 0));
  ASSERT_TRUE(writer->SaveToolsFRN(multi));
  struct Case {
    uint8_t selector;
    QByteArray valid;
  };
  const Case cases[] = {{0, ReadAll(single)}, {1, ReadAll(multi)}};
  TView2DForm* reader = env.Create(2);
  for (const Case& c : cases) {
    ASSERT_FALSE(c.valid.isEmpty());
    // The valid file itself gives the writer's two tools back.
    ASSERT_EQ(RunWithSelector(
                  [reader](const uint8_t* d, size_t n) { return window_chain_fuzz::OpenChainOnce(*reader, d, n); },
                  c.selector, c.valid),
              "");
    EXPECT_EQ(reader->ToolsTreeView->Items()->TopCount(), 2) << int(c.selector);
    EXPECT_TRUE(reader->MissingTools.isEmpty());
    for (const QByteArray& input : JunkInputs(c.valid, 5087 + c.selector, 150)) {
      const std::string broken = RunWithSelector(
          [reader](const uint8_t* d, size_t n) { return window_chain_fuzz::OpenChainOnce(*reader, d, n); },
          c.selector, input);
      ASSERT_TRUE(broken.empty()) << "selector " << int(c.selector) << ": " << broken << "\n"
                                  << input.toHex().constData();
    }
  }
}

}  // namespace window_chain_fuzz_test

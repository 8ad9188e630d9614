// The acquisition program's command line, the second instance's hand-over to
// the running one, and the splash / About window.

#include "acquisition/command_line.h"
#include "acquisition/instance_handover.h"
#include "acquisition/splash_form.h"
#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/image.h"
#include "platform/ui/keys.h"
#include "platform/ui/panels.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/url_service.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <optional>
#include <vector>

namespace program_start_test {

TEST(CommandLine, FileAndMarkByTheFirstWord) {
  struct TCase {
    QStringList arguments;
    QString file;
    int mark;
  };
  const std::vector<TCase> cases{
      {{}, {}, 0},
      {{"/d/a.dezo"}, "/d/a.dezo", 0},
      {{"reopen", "/d/a.dezo"}, "/d/a.dezo", MarkReopen},
      {{"reopensaveclose", "/d/a.frn"}, "/d/a.frn", MarkReopenSaveClose},
      {{"reopen"}, {}, MarkReopen},
      {{"Reopen", "/d/a.dezo"}, "Reopen", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const TCommandLineFile file = CommandLineFile(c.arguments);
    EXPECT_EQ(file.FileName, c.file);
    EXPECT_EQ(file.Mark, c.mark);
  }
}

TEST(CommandLine, OnlyTheExactProfileExtensionsOpen) {
  EXPECT_TRUE(IsCommandLineProfile("/d/line.dezo"));
  EXPECT_TRUE(IsCommandLineProfile("/d/two.frn"));
  EXPECT_FALSE(IsCommandLineProfile("/d/profile.DEZO"));
  EXPECT_FALSE(IsCommandLineProfile("/d/two.Frn"));
  EXPECT_FALSE(IsCommandLineProfile("/d/line.dezo.bak"));
  EXPECT_FALSE(IsCommandLineProfile("/d.dezo/line"));
  EXPECT_FALSE(IsCommandLineProfile({}));
}

class SecondInstance : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(folder.isValid());
    SetIpcRuntimeFolder(folder.path());
  }
  void TearDown() override { SetIpcRuntimeFolder({}); }
  QTemporaryDir folder;
};

// A running instance is this process's own endpoint: a send from the
// user-interface thread is served while it waits.
TEST_F(SecondInstance, HandsTheFileOverOnlyForFileArgumentsAndAlwaysActivates) {
  TIpcEndpoint running(QString::fromUtf16(MainWindowClassName));
  ASSERT_TRUE(running.Bind()) << running.Error().toStdString();
  std::vector<std::pair<uint64_t, QString>> received;
  int activations = 0;
  running.OnCopyData = [&](uint64_t code, const QByteArray& bytes) {
    received.emplace_back(code, CopyDataText(bytes));
    return int64_t{100};
  };
  running.OnActivate = [&] { ++activations; };

  struct TCase {
    QStringList arguments;
    std::optional<QString> delivered;
  };
  const std::vector<TCase> cases{
      {{"/d/f.dezo"}, "/d/f.dezo"},
      {{"reopen", "/d/f.dezo"}, "/d/f.dezo"},
      {{"reopensaveclose", "/d/f.dezo"}, "/d/f.dezo"},
      {{"create"}, std::nullopt},
      {{"open", ""}, std::nullopt},
      {{"reopen"}, std::nullopt},
      {{}, std::nullopt},
      {{"/d/line 3 \u00E9.frn"}, "/d/line 3 \u00E9.frn"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    received.clear();
    activations = 0;
    const std::optional<int64_t> result = HandOverToRunningInstance(c.arguments);
    EXPECT_EQ(activations, 1);
    if (c.delivered) {
      EXPECT_EQ(result, 100);
      ASSERT_EQ(received.size(), 1u);
      EXPECT_EQ(received[0].first, cdOpenFile);
      EXPECT_EQ(received[0].second, *c.delivered);
    } else {
      EXPECT_EQ(result, std::nullopt);
      EXPECT_TRUE(received.empty());
    }
  }
}

TEST_F(SecondInstance, WithoutARunningMainWindowNothingIsSent) {
  EXPECT_EQ(HandOverToRunningInstance({"/d/f.dezo"}), std::nullopt);
}

TEST(ProgramVersion, FourSixteenBitFieldsOrNothing) {
  EXPECT_EQ(VersionLabelText(ParseProgramVersion("3.0.12.65535")), QStringLiteral("ver.: 3.0.12.65535"));
  for (const char* bad : {"", "3.0.1", "3.0.1.2.5", "3.0.x.1", "3.0.65536.1", "3..1.1"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(ParseProgramVersion(bad), std::nullopt);
    EXPECT_EQ(VersionLabelText(ParseProgramVersion(bad)), QString());
  }
  ASSERT_TRUE(ProgramVersion().has_value()) << "the build embeds the program's version";
}

TEST(Splash, SizeVersionAndClosing) {
  auto* splash = new TSplashForm(Application);
  EXPECT_EQ(splash->ClientWidth(), TSplashForm::SplashClientWidth);
  EXPECT_EQ(splash->ClientHeight(), TSplashForm::SplashClientHeight);
  EXPECT_EQ(splash->BorderStyle(), bsNone);
  EXPECT_EQ(splash->FormStyle(), fsStayOnTop);
  EXPECT_EQ(splash->Position(), poScreenCenter);
  EXPECT_EQ(splash->Label1->Caption(), QStringLiteral("Talvorn 3"));
  splash->Show();
  EXPECT_EQ(splash->VerLabel->Caption(), VersionLabelText(ProgramVersion()));
  EXPECT_TRUE(splash->VerLabel->Caption().startsWith(QStringLiteral("ver.: ")));

  // The link opens the web page and leaves the splash up; a click elsewhere
  // closes it.
  std::vector<QString> opened;
  SetUrlOpener([&opened](const QString& url) {
    opened.push_back(url);
    return true;
  });
  splash->Label2->OnClick(splash->Label2);
  SetUrlOpener({});
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], QString::fromUtf16(ProductWebAddress));
  EXPECT_TRUE(splash->Visible());
  splash->Image1->OnClick(splash->Image1);
  EXPECT_FALSE(splash->Visible());

  splash->Show();
  WORD key = VK_RETURN;
  splash->OnKeyDown(splash, key, {});
  EXPECT_TRUE(splash->Visible());
  key = VK_ESCAPE;
  splash->OnKeyDown(splash, key, {});
  EXPECT_FALSE(splash->Visible());
  splash->Free();
}

TEST(Splash, AboutShowsANewSplashModallyEachTime) {
  std::vector<QString> versions;
  for (int i = 0; i < 2; ++i) {
    TDialogScript::QueueModal([&versions](TForm& form) {
      auto* splash = dynamic_cast<TSplashForm*>(&form);
      ASSERT_NE(splash, nullptr);
      versions.push_back(splash->VerLabel->Caption());
    });
  }
  const int before = Application->ComponentCount();
  ShowAbout();
  ShowAbout();
  ASSERT_EQ(versions.size(), 2u);
  EXPECT_EQ(versions[0], VersionLabelText(ProgramVersion()));
  EXPECT_EQ(Application->ComponentCount(), before + 2) << "each About window lives with the application";
  const auto shown = TDialogScript::Shown();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(shown.back().FormClass, QStringLiteral("TSplashForm"));
}

}  // namespace program_start_test

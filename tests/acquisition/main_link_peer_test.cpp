// The save report between two processes: this process's main window (bound to
// its endpoint like the program's) reports a save to the planning program's
// window, served by the peer program, which answers the report by sending the
// file back as saved (300) before it returns. The window serves that request
// while it waits, so neither side waits for ever, and the window it names is
// reloaded.

#include "acquisition/main_form.h"

#include "acquisition/command_line.h"
#include "platform/ipc/copy_data.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/paths.h"
#include "platform/ui/dialog_script.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/raster_library.h"

#include "tests/acquisition/main_window_fixture.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

namespace main_link_peer_test {

class MainLinkPeer : public TMainWindowTest {
protected:
  void SetUp() override {
    TMainWindowTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(MainWindow->BindEndpoint());
  }
  void TearDown() override {
    if (peer.state() != QProcess::NotRunning) {
      peer.closeWriteChannel();
      if (!peer.waitForFinished(10000)) peer.kill();
    }
    TMainWindowTest::TearDown();
  }
  // The peer in the planning program's place; true once it serves.
  bool StartPlanning() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    peer.setProcessEnvironment(env);
    peer.start(QStringLiteral(IPC_PEER_EXE), {QStringLiteral("planning"), DUvova3DuruZuza::PlanningWindowClass(),
                                             MainWindow->WindowClassName(), QStringLiteral("300")});
    return peer.waitForStarted(30000) && Until("ready\n");
  }
  bool Until(const QByteArray& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!said.contains(text)) {
      if (std::chrono::steady_clock::now() > deadline || peer.state() == QProcess::NotRunning) return false;
      peer.waitForReadyRead(20);
      said += peer.readAllStandardOutput();
    }
    return true;
  }

  QProcess peer;
  QByteArray said;
};

TEST_F(MainLinkPeer, ASavedProfileIsReportedAndThePlanningProgramsAnswerIsServedMeanwhile) {
  ASSERT_EQ(MainWindow->WMCopyData(cdCreateProfile, {}), 200);
  TView2DForm* window = MainWindow->CurChild();
  ASSERT_NE(window, nullptr);
  T2Dview* first = window->GetView2DByIndx(0);
  std::vector<int32_t> samples(static_cast<size_t>(first->Settings()->GetLongTrace()), 5);
  for (int i = 0; i < 4; ++i) first->AppendTrace(samples.data(), static_cast<int32_t>(samples.size()), {});
  first->PackTraces();
  first->SetNeedForSave(true);
  ASSERT_TRUE(MainWindow->WriteToFileChannal(1, QString()));
  const QString caption = window->Caption();
  ASSERT_TRUE(FileExists(caption));
  ASSERT_TRUE(StartPlanning()) << said.toStdString();

  MainWindow->SendSaveMessToVandrel();
  ASSERT_TRUE(Until("back ")) << said.toStdString();
  EXPECT_TRUE(said.contains("activate\n")) << said.toStdString();
  EXPECT_TRUE(said.contains("got 300 " + caption.toUtf8() + "\n")) << said.toStdString();
  EXPECT_TRUE(said.contains("back 102\n")) << "this side answered while it waited: " << said.toStdString();
  // The report named the window's own file: the window was reloaded from it.
  EXPECT_EQ(window->LastCopydataMessage, 102);
  EXPECT_TRUE(window->GetView2DByIndx(0)->WasOpen);
  EXPECT_EQ(window->GetView2DByIndx(0)->NumTraces(), 4);
  EXPECT_TRUE(TDialogScript::Shown().empty());
}

}  // namespace main_link_peer_test

// The main() of every test program: a headless QApplication and the application
// object, dialogs answered from TDialogScript, and a failure for every dialog a
// test did not expect and every answer a test queued but did not use.

#include "platform/ui/application.h"
#include "platform/ui/dialog_script.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

namespace {

class TDialogScriptListener : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { TDialogScript::Reset(); }
  void OnTestEnd(const ::testing::TestInfo&) override {
    const int pending = TDialogScript::Pending();
    if (pending > 0) ADD_FAILURE() << pending << " queued dialog answer(s) were not used";
    TDialogScript::Reset();
  }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The TCP client connects only within 127.0.0.0/8 (the programs a test
  // starts inherit it), however the test program was started.
  setenv("GPR_LOOPBACK_ONLY", "1", 0);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication qtApplication(argc, argv);
  qtApplication.setQuitOnLastWindowClosed(false);
  // Tests may replace it (RecreateApplication), so the global is what goes at the end.
  new TApplication();

  TDialogScript::Enable(true);
  InstallFailingDialogHandler();
  ::testing::UnitTest::GetInstance()->listeners().Append(new TDialogScriptListener);

  const int result = RUN_ALL_TESTS();
  delete Application;
  return result;
}

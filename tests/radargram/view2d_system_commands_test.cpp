// The radargram window's answers to the system commands of its title bar and
// window menu, and to the destruction of its MDI window, against the main
// window's recording, resizing and closing state.

#include "platform/ui/application.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/dialog_script.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "raster/bitmap32.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

namespace view2d_system_commands_test {

constexpr int kTraces = 400;

// kTraces traces of 200 samples of a ramp.
void FillRamp(T2Dview& store) {
  constexpr int longTrace = 200;
  TSettingData& s = *store.Settings();
  s.SetOverStep(2);
  s.RestoreSpanWidth(100);
  s.RestoreLongTrace(longTrace);
  s.SetStacking(1);
  FillRawSums(store, kTraces, longTrace, [](int t, int j) {
    return static_cast<int32_t>((int64_t{t} * longTrace + j) % 97) - 48;
  });
}

class View2DSystemCommands : public ::testing::Test {
protected:
  void SetUp() override {
    window = env.Create(1);
    FillRamp(*window->GetView2DByIndx(0));
    window->Paint2D(0);
    ASSERT_EQ(window->BmpAfterZoom_[0]->Width(), kTraces);
  }
  void TearDown() override {
    if (window) window->Free();
  }
  // The zoom factor changes without the bitmaps: only a zoom shows it.
  bool Zoomed() const { return window->BmpAfterZoom_[0]->Width() == kTraces / 4; }

  TRadargramEnv env;
  TView2DForm* window = nullptr;
};

struct TCommandCase {
  const char* what;
  WPARAM command;
  bool recording;
  bool startResize;
  bool closeChild;
  TWindowState from;
  TWindowState to;
  bool zoom;
  bool closed;
};

TEST_F(View2DSystemCommands, CommandsFollowTheRecordingResizeAndCloseState) {
  const TCommandCase cases[] = {
      {"maximise", SC_MAXIMIZE, false, false, false, wsNormal, wsMaximized, true, false},
      {"minimise", SC_MINIMIZE, false, false, false, wsNormal, wsMinimized, true, false},
      {"maximise while resizing is suspended: only the zoom", SC_MAXIMIZE, false, true, false, wsNormal, wsNormal,
       true, false},
      {"maximise while a window closes: no zoom", SC_MAXIMIZE, false, false, true, wsNormal, wsMaximized, false,
       false},
      {"restore: the default alone", SC_RESTORE, false, false, false, wsMaximized, wsNormal, false, false},
      {"close", SC_CLOSE, false, false, false, wsNormal, wsNormal, false, true},
      {"maximise while recording", SC_MAXIMIZE, true, false, false, wsNormal, wsNormal, false, false},
      {"minimise while recording", SC_MINIMIZE, true, false, false, wsNormal, wsNormal, false, false},
      {"restore while recording", SC_RESTORE, true, false, false, wsMaximized, wsMaximized, false, false},
      {"close while recording", SC_CLOSE, true, false, false, wsNormal, wsNormal, false, false},
      {"move while recording", SC_MOVE, true, false, false, wsNormal, wsNormal, false, false},
  };
  for (const TCommandCase& c : cases) {
    SCOPED_TRACE(c.what);
    window->SetWindowState(c.from);
    Application->ProcessMessages();
    window->ZoomFactor = 1000;
    window->Zoom();
    window->ZoomFactor = 4000;
    env.shell.radarStarted = c.recording;
    env.shell.startResize = c.startResize;
    env.shell.closeChild = c.closeChild;
    int closes = 0;
    const TCloseEvent ownClose = window->OnClose;
    window->OnClose = [&](TObject*, TCloseAction& action) {
      ++closes;
      action = caNone;
    };

    // The close asks to save the profile first.
    if (c.closed) TDialogScript::QueueAnswer(mrNo);
    window->Perform(WM_SYSCOMMAND, c.command, 0);
    Application->ProcessMessages();

    EXPECT_EQ(window->WindowState(), c.to);
    EXPECT_EQ(Zoomed(), c.zoom);
    EXPECT_EQ(closes, c.closed ? 1 : 0);
    EXPECT_EQ(TDialogScript::Pending(), 0);
    window->OnClose = ownClose;
  }
}

TEST_F(View2DSystemCommands, TheUsersMaximiseOfTheFrameWindowIsIgnoredWhileRecording) {
  window->SetWindowState(wsNormal);
  Application->ProcessMessages();
  ASSERT_EQ(window->WindowState(), wsNormal);
  env.shell.radarStarted = true;
  UserTitleDoubleClick(*window);
  Application->ProcessMessages();
  EXPECT_EQ(window->WindowState(), wsNormal);
  env.shell.radarStarted = false;
  UserTitleDoubleClick(*window);
  Application->ProcessMessages();
  EXPECT_EQ(window->WindowState(), wsMaximized);
}

TEST_F(View2DSystemCommands, TheMdiWindowStaysWhileResizingIsSuspended) {
  env.shell.startResize = true;
  window->Perform(WM_MDIDESTROY, 0, 0);
  Application->ProcessMessages();
  ASSERT_EQ(env.frame->MDIChildCount(), 1);
  env.shell.startResize = false;
  window->Perform(WM_MDIDESTROY, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(env.frame->MDIChildCount(), 0);
  window = nullptr;
}

}  // namespace view2d_system_commands_test

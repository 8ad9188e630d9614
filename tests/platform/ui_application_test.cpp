// The application object: title, message processing and termination signals.

#include "platform/ui/application.h"
#include "platform/ui/termination_signals.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <csignal>

namespace {

struct TTitleCase {
  const char* path;
  const char* title;
};

void PrintTo(const TTitleCase& c, std::ostream* os) { *os << c.path; }

class UiApplicationTitle : public ::testing::TestWithParam<TTitleCase> {};

TEST_P(UiApplicationTitle, DefaultTitleComesFromTheExecutableName) {
  EXPECT_EQ(TApplication::DefaultTitle(GetParam().path), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(Names, UiApplicationTitle,
                         ::testing::Values(TTitleCase{"/opt/gpr/Talvorn3", "Talvorn3"},
                                           TTitleCase{"/opt/gpr/Talvorn3.exe", "Talvorn3"},
                                           TTitleCase{"/opt/gpr/VANDREL.EXE", "Vandrel"},
                                           TTitleCase{"/opt/v1.2/my.tool.bin", "my"},
                                           TTitleCase{"/opt/gpr/x", "x"},
                                           TTitleCase{"/opt/gpr/ÉCHO", "Écho"}));

TEST(UiApplication, TitleStartsAsTheDefaultOfThisProgramAndCanBeSet) {
  EXPECT_EQ(Application->Title(), TApplication::DefaultTitle(QCoreApplication::applicationFilePath()));
  const QString saved = Application->Title();
  Application->SetTitle("Talvorn");
  EXPECT_EQ(Application->Title(), "Talvorn");
  Application->SetTitle(saved);
}

TEST(UiApplication, HandleIsAWindow) { EXPECT_TRUE(IsWindow(Application->Handle())); }

TEST(UiApplication, ProcessMessagesRunsQtEventsToo) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  EXPECT_TRUE(ProcessMessagesUntil([&] { return ran; }));
}

TEST(UiApplication, ProcessMessagesRunsWhatHandlersPostMeanwhile) {
  int chain = 0;
  HWND wnd = nullptr;
  wnd = AllocateHWnd([&](TMessage&) {
    if (++chain < 5) PostMessage(wnd, WM_USER, 0, 0);
  });
  PostMessage(wnd, WM_USER, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(chain, 5);
  DeallocateHWnd(wnd);
}

TEST(UiApplication, TerminationSignalsBecomeACallFromTheEventLoop) {
  struct sigaction before {};
  sigaction(SIGTERM, nullptr, &before);
  int calls = 0;
  {
    TTerminationSignals handling([&] { ++calls; });
    struct sigaction installed {};
    sigaction(SIGTERM, nullptr, &installed);
    EXPECT_NE(installed.sa_handler, before.sa_handler);
    raise(SIGTERM);
    raise(SIGINT);
    EXPECT_EQ(calls, 0) << "the handler itself only wakes the loop";
    EXPECT_TRUE(ProcessMessagesUntil([&] { return calls > 0; }));
  }
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace

// What every tool shares: its title and texts, the hidden window, the messages it
// posts to its window, the window it finds (or the null host), its saved copies
// and its icons.

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "radargram/tool_messages.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"

#include <gtest/gtest.h>

#include <array>

namespace {

// A rectifier that records what its hidden window hands it.
class TRecordingTool : public TAbsTool {
public:
  std::vector<std::pair<int32_t, int32_t>> traces, views;
  void AfterChangeNumTrace(int32_t n, int32_t y) override { traces.push_back({n, y}); }
  void AfterChangeNumView(int32_t v, int32_t old) override { views.push_back({v, old}); }
};

TEST(CommonTool, TitleKeepsEightyUnitsAndCutsLonger) {
  TAbsTool tool;
  const QString eighty(80, QChar(u'ж'));
  tool.SetCaption(eighty);
  EXPECT_EQ(tool.GetCaption(), eighty);
  tool.SetCaption(eighty + QStringLiteral("xyz"));
  EXPECT_EQ(tool.GetCaption(), eighty);
  EXPECT_EQ(tool.ATitle[80], u'\0');
  // A surrogate pair across the cut goes whole.
  tool.SetCaption(QString(79, QChar(u'a')) + QString::fromUcs4(U"\U0001F600"));
  EXPECT_EQ(tool.GetCaption(), QString(79, QChar(u'a')));
  tool.SetCaption(QString());
  EXPECT_EQ(tool.GetCaption(), QString());
  EXPECT_EQ(GetStrFromTool(tool, 1), QString());
}

TEST(CommonTool, TextsByNumber) {
  TAbsTool tool;
  tool.SetCaption(QStringLiteral("Rectifier 2"));
  const std::vector<std::pair<int, QString>> texts{
      {0, "Tool"},
      {1, "Rectifier 2"},
      {2, "Abs"},
      {7, "1D Filter. Full-wave rectifier inverts negative half-wave of the signal to positive one"},
      {3, ""},
      {-1, ""},
      {500, ""},
  };
  for (const auto& [i, text] : texts) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetStrFromTool(tool, i), text);
  }

  // A small Size copies Size units and clears exactly Size units.
  std::array<char16_t, 8> wide;
  wide.fill(u'#');
  tool.GetStrfromDLL(2, wide.data(), 2);
  EXPECT_EQ(QString::fromUtf16(wide.data(), 4), QStringLiteral("Ab##"));
  wide.fill(u'#');
  tool.GetStrfromDLL(2, wide.data(), 5);
  EXPECT_EQ(QString::fromUtf16(wide.data(), 6), QString::fromUtf16(u"Abs\0\0#", 6));
  std::array<char, 8> narrow;
  narrow.fill('#');
  tool.GetShortStrfromDLL(1, narrow.data(), 4);
  EXPECT_EQ(QByteArray(narrow.data(), 5), QByteArray("Rect#"));
  tool.GetStrfromDLL(1, nullptr, 10);  // nothing to write into
  tool.AToolDscr = QString(600, QChar(u'd'));
  EXPECT_EQ(GetStrFromTool(tool, 7), QString(500, QChar(u'd')));
  EXPECT_EQ(tool.GetTypePlugin(), "Tool");
}

TEST(CommonTool, HiddenWindowDispatchesItsThreeMessages) {
  FakeToolHost host;
  HostScope scope(host);
  TRecordingTool tool;
  ASSERT_TRUE(IsWindow(tool.GetHandle()));
  SendMessage(tool.GetHandle(), WM_TOOLTRACECHANGED, 17, -2500);
  SendMessage(tool.GetHandle(), WM_TOOLVIEWCHANGED, 3, 1);
  EXPECT_EQ(SendMessage(tool.GetHandle(), WM_TOOLSRUN, 1, 1), 0) << "others: default handling";
  EXPECT_EQ(tool.traces, (std::vector<std::pair<int32_t, int32_t>>{{17, -2500}}));
  EXPECT_EQ(tool.views, (std::vector<std::pair<int32_t, int32_t>>{{3, 1}}));
  PostMessage(tool.GetHandle(), WM_TOOLFORMCLOSED, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLFORMHIDDEN, 0, 0}}));

  const HWND wnd = tool.GetHandle();
  {
    TAbsTool gone;
    EXPECT_NE(gone.GetHandle(), wnd);
  }
}

TEST(CommonTool, MessagesToTheWindow) {
  FakeToolHost host;
  HostScope scope(host);
  TAbsTool tool;
  auto empty = MakeChannel(0, 8);
  tool.SetView_(0, empty.get());
  tool.PaintPreview(true, true);
  Application->ProcessMessages();
  EXPECT_TRUE(host.messages.empty()) << "no traces in channel 0";

  auto view = MakeChannel(2, 8);
  tool.SetView_(0, view.get());
  tool.CurrentNumberView = 3;
  tool.PaintPreview(true, false);
  tool.PaintPreview(true, true);
  tool.PaintPreview(false, true);
  EXPECT_EQ(tool.SetPropertyes(true), 1);
  Application->ProcessMessages();
  tool.ChangeTreeView();  // sent: handled before it returns
  // The rectifier's dialog opens while adding and previews at once.
  EXPECT_EQ(host.messages, (std::vector<TRecordedMessage>{{WM_TOOLSRUN, 202, 0},
                                                           {WM_TOOLSRUN, 3, 0},
                                                           {WM_TOOLFORMSHOWN, 0, 0},
                                                           {WM_TOOLSRUN, 202, 0},
                                                           {WM_TOOLSRUN, 201, 0}}));
}

TEST(CommonTool, NullHostWhenTheViewsHaveNoWindow) {
  TAbsTool tool;
  auto view = MakeChannel(4, 2);
  tool.SetView_(0, view.get());
  IToolHost& host = tool.Host();
  EXPECT_EQ(host.Handle(), nullptr);
  EXPECT_EQ(host.ZoomFactor(), 1000);
  EXPECT_FALSE(host.Br());
  EXPECT_EQ(host.ProgressFullWidth(), 0);
  EXPECT_EQ(host.ChartScreenRect(0).Width(), 0);
  SetSamples(*view, {-1, 2, -3, 4, -5, 6, -7, 8});
  tool.execute(false, 0);
  EXPECT_EQ(Samples(*view), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8}));
  tool.PaintPreview(true, true);  // nowhere to go: dropped

  // A resolver that knows no window for a view also gives the null host.
  SetToolHostResolver([](T2Dview*) -> IToolHost* { return nullptr; });
  EXPECT_EQ(tool.Host().ZoomFactor(), 1000);
  SetToolHostResolver({});
}

TEST(CommonTool, SavedCopiesOfTheChannels) {
  TAbsTool tool;
  auto a = MakeChannel(2, 2);
  auto empty = MakeChannel(0, 2);
  SetSamples(*a, {1, 2, 3, 4});
  tool.SetView_(0, a.get());
  tool.SetView_(2, empty.get());
  tool.InitAllLocDate();
  EXPECT_EQ(tool.GetSizeLocDataByIndx(0), 16);
  ASSERT_NE(tool.GetLocDataByIndx(0), nullptr);
  EXPECT_EQ(tool.GetLocDataByIndx(0)[3], 4);
  EXPECT_EQ(tool.GetLocDataByIndx(1), nullptr) << "no view";
  EXPECT_EQ(tool.GetLocDataByIndx(2), nullptr) << "no data";

  // An existing copy is kept.
  SetSamples(*a, {9, 9, 9, 9});
  tool.InitAllLocDate();
  EXPECT_EQ(tool.GetLocDataByIndx(0)[3], 4);
  tool.SetLocDataByIndx(0, 0);
  EXPECT_EQ(tool.GetLocDataByIndx(0), nullptr);

  tool.WaitWhileRuning();  // not running: returns at once
  EXPECT_EQ(tool.GetViewByIndx(5), nullptr);
  EXPECT_EQ(tool.GetView_(-1), nullptr);
}

TEST(CommonTool, IconsAreTwentyFourSquareAndDiffer) {
  TAbsTool tool;
  ASSERT_NE(tool.GetBmpIcon1(), nullptr);
  for (TBitmap* icon : {tool.GetBmpIcon1(), tool.GetBmpIcon2()}) {
    EXPECT_EQ(icon->Width(), 24);
    EXPECT_EQ(icon->Height(), 24);
  }
  TMemoryStream one, two;
  tool.GetBmpIcon1()->SaveToStream(one);
  tool.GetBmpIcon2()->SaveToStream(two);
  EXPECT_NE(one.Bytes(), two.Bytes()) << "Apply set and clear look different";
}

}  // namespace

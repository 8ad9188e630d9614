// The radargram window opening real profile files with a fake main window: the
// reports for a missing file and one without traces, containers against single
// records by the exact extension, the GPS page, the stored proportion, the
// stored picture painted first, nothing read while the windows are laid out;
// and the end of a recording waiting for the online painter a bounded time.

#include "platform/ui/bitmap.h"
#include "platform/ui/buttons.h"
#include "platform/ui/dialog_script.h"
#include "platform/ui/modal_results.h"
#include "platform/ui/page_control.h"
#include "profiledata/channel_store.h"
#include "profiledata/setting_data.h"
#include "radargram/view2d_form.h"
#include "tests/radargram/radargram_env.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace view2d_open_test {

void FillChannel(T2Dview& store, int traces, int longTrace, int seed) {
  FillRawSums(store, traces, longTrace, [longTrace, seed](int t, int j) {
    return static_cast<int32_t>(((int64_t{t} * longTrace + j) * 37 + seed * 101) % 2001 - 1000);
  });
}

std::vector<QString> ShownTexts() {
  std::vector<QString> texts;
  for (const TShownDialog& d : TDialogScript::Shown()) texts.push_back(d.Text);
  return texts;
}

class View2DOpen : public ::testing::Test {
protected:
  void SetUp() override { env.shell.newCreate = false; }
  void TearDown() override { TDialogScript::Reset(); }
  QString Path(const QString& name) const { return env.dir.path() + u'/' + name; }
  // A window as the main window creates one for a file: five channel slots.
  TView2DForm* OpenWindow() { return env.Create(5); }
  // One channel of traces written as a single record.
  QString WriteRecord(const QString& name, const std::function<void(TView2DForm&, T2Dview&)>& prepare = {}) {
    TView2DForm* w = env.Create(1);
    T2Dview& store = *w->GetView2DByIndx(0);
    FillChannel(store, 6, 8, 1);
    if (prepare) prepare(*w, store);
    const QString file = Path(name);
    EXPECT_TRUE(store.WriteToFile(file));
    w->Free();
    return file;
  }

  TRadargramEnv env;
};

TEST_F(View2DOpen, AMissingFileIsNamedAndTheWindowStaysAsItWas) {
  TView2DForm* w = OpenWindow();
  const QString caption = w->Caption();
  const QString file = Path("none.dezo");
  TDialogScript::QueueAnswer(mrOk);
  w->ReadFromFile(file);
  EXPECT_EQ(ShownTexts(), std::vector<QString>{"File " + file + " is not present!"});
  EXPECT_EQ(w->Caption(), caption);
  EXPECT_EQ(w->GetView2DByIndx(0)->NumTraces(), 0);
}

TEST_F(View2DOpen, AContainerWithoutAChannelWithTracesIsAFileError) {
  TView2DForm* writer = env.Create(1);
  const QString file = Path("empty.frn");
  ASSERT_TRUE(writer->WriteToFileToFRNChannals(file));
  writer->Free();

  TView2DForm* w = OpenWindow();
  env.shell.errorLoadFile = true;
  TDialogScript::QueueAnswer(mrOk);
  w->ReadFromFile(file);
  EXPECT_EQ(ShownTexts(), std::vector<QString>{"File error"});
  EXPECT_FALSE(env.shell.errorLoadFile) << "cleared before reading";
  EXPECT_EQ(w->Caption(), file);
}

TEST_F(View2DOpen, AThreeChannelContainerShowsThreeChannels) {
  TView2DForm* writer = env.Create(3);
  for (int slot = 0; slot < 3; ++slot) FillChannel(*writer->GetView2DByIndx(slot), 5 + slot, 8, slot);
  const QString file = Path("three.frn");
  ASSERT_TRUE(writer->WriteToFileToFRNChannals(file));
  writer->Free();

  TView2DForm* w = OpenWindow();
  w->ReadFromFile(file);
  EXPECT_TRUE(TDialogScript::Shown().empty());
  EXPECT_EQ(w->Caption(), file);
  EXPECT_EQ(w->CountChannalView, 3);
  EXPECT_EQ(w->CountChannalVisible, 3);
  EXPECT_EQ(NewViewChannalCount(), 3);
  EXPECT_EQ(w->MasterChannal, 0);
  for (int slot = 0; slot < 3; ++slot) {
    SCOPED_TRACE(slot);
    const T2Dview& store = *w->GetView2DByIndx(slot);
    EXPECT_EQ(store.NumTraces(), 5 + slot);
    EXPECT_FALSE(store.GetNeedForSave());
    const TBitmap* bmp = w->DisplayBitmap(slot);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->Width(), 5 + slot) << "every channel shown";
  }
}

TEST_F(View2DOpen, OnlyTheExactLowerCaseExtensionMakesAContainer) {
  const QString record = WriteRecord("one.dezo");
  struct TCase {
    const char* name;
    bool opened;
  };
  for (const TCase& c : {TCase{"one.FRN", true}, TCase{"one.Dezo", true}, TCase{"one.frn", false}}) {
    SCOPED_TRACE(c.name);
    const QString file = Path(c.name);
    QFile::remove(file);
    ASSERT_TRUE(QFile::copy(record, file));
    TDialogScript::Reset();
    TDialogScript::QueueAnswer(mrOk);
    TDialogScript::QueueAnswer(mrOk);
    TView2DForm* w = OpenWindow();
    w->ReadFromFile(file);
    if (c.opened) {
      EXPECT_TRUE(TDialogScript::Shown().empty());
      EXPECT_EQ(w->CountChannalView, 1);
      EXPECT_EQ(w->GetView2DByIndx(0)->NumTraces(), 6);
    } else {
      // A single record is no container.
      ASSERT_FALSE(TDialogScript::Shown().empty());
      EXPECT_EQ(TDialogScript::Shown().back().Text, "File error");
      EXPECT_EQ(w->GetView2DByIndx(0)->NumTraces(), 0);
    }
    w->Free();
  }
}

TEST_F(View2DOpen, AChannelWithATrackOpensOnTheGpsPageWithShowGpsDataDisabled) {
  struct TCase {
    const char* what;
    TTopoType topo;
    int lines;
    int page;
  };
  const TCase cases[] = {
      {"wheel with five NMEA lines", ttWheel, 5, 5},
      {"wheel with one line", ttWheel, 1, 0},
      {"GPS without lines", ttGPS, 0, 5},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    const QString file = WriteRecord(QStringLiteral("gps%1.dezo").arg(c.page * 10 + c.lines), [&c](TView2DForm&, T2Dview& store) {
      store.Settings()->SetTopoType(c.topo);
      for (int i = 0; i < c.lines; ++i)
        store.Settings()->NMEIStrings << QStringLiteral("%1=$GPGGA,12052%1.00,5030.50000,N,3930.00000,W,1,8,1.0,,M,,M,,*48").arg(i);
    });
    TView2DForm* w = OpenWindow();
    w->GetLocationDataButton->SetEnabled(true);
    w->ReadFromFile(file);
    EXPECT_EQ(w->GetView2DByIndx(0)->Settings()->NMEIStrings.size(), c.lines);
    EXPECT_EQ(w->LeftPageControl->ActivePageIndex(), c.page);
    EXPECT_FALSE(w->GetLocationDataButton->Enabled());
    w->Free();
  }
}

TEST_F(View2DOpen, TheStoredProportionsButtonIsPressed) {
  struct TCase {
    TProportional stored;
    TSpeedButton* TView2DForm::*button;
  };
  const TCase cases[] = {{PropInM21, &TView2DForm::Prop21SpeedButton},
                         {PropInM11, &TView2DForm::Prop11SpeedButton},
                         {PropInM12, &TView2DForm::Prop12SpeedButton}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.stored));
    const QString file = WriteRecord(QStringLiteral("prop%1.dezo").arg(static_cast<int>(c.stored)),
                                     [&c](TView2DForm& w, T2Dview&) { w.SetProportional(c.stored); });
    TView2DForm* w = OpenWindow();
    for (TSpeedButton* b : {w->Prop21SpeedButton, w->Prop11SpeedButton, w->Prop12SpeedButton}) b->SetDown(b != w->*c.button);
    w->ReadFromFile(file);
    EXPECT_EQ(w->Proportional(), c.stored);
    for (TSpeedButton* b : {w->Prop21SpeedButton, w->Prop11SpeedButton, w->Prop12SpeedButton})
      EXPECT_EQ(b->Down(), b == w->*c.button) << b->Name().toStdString();
    w->Free();
  }
}

TEST_F(View2DOpen, ARecentRecordsPictureIsShownAsStoredWithoutRunningTheChain) {
  // The stored picture is one palette index everywhere, which no recomputation
  // of these samples gives.
  const QString file = WriteRecord("picture.dezo", [](TView2DForm& w, T2Dview&) {
    TBitmap& bmp = *w.DisplayBitmap(0);
    bmp.SetPixelFormat(pf8bit);
    bmp.SetSize(6, 8);
    for (int y = 0; y < 8; ++y) std::fill_n(bmp.ScanLine(y), 6, uint8_t{5});
  });
  TView2DForm* w = OpenWindow();
  w->ReadFromFile(file);
  ASSERT_GE(w->GetView2DByIndx(0)->Settings()->GetVersion(), 34);
  EXPECT_TRUE(w->FirstPaintAfterOpen) << "the chain has not run yet";
  TBitmap& shown = *w->DisplayBitmap(0);
  ASSERT_EQ(shown.Width(), 6);
  ASSERT_EQ(shown.Height(), 8);
  for (int y : {0, 7}) EXPECT_EQ(shown.ScanLine(y)[3], 5);

  // A record without a picture is computed from its data.
  const QString plain = WriteRecord("plain.dezo");
  TView2DForm* second = OpenWindow();
  second->ReadFromFile(plain);
  EXPECT_FALSE(second->FirstPaintAfterOpen);
  EXPECT_EQ(second->DisplayBitmap(0)->Width(), 6);
}

TEST_F(View2DOpen, WhileTheWindowsAreLaidOutNothingIsRead) {
  const QString file = WriteRecord("later.dezo");
  TView2DForm* w = OpenWindow();
  env.shell.startResize = true;
  w->ReadFromFile(file);
  env.shell.startResize = false;
  EXPECT_TRUE(TDialogScript::Shown().empty());
  EXPECT_EQ(w->GetView2DByIndx(0)->NumTraces(), 0);
  // Laid out for no channel: the layout keeps its one empty panel.
  EXPECT_EQ(w->CountChannalView, 1);
  EXPECT_EQ(w->CountChannalVisible, 1);
  EXPECT_EQ(w->DisplayBitmap(0)->Width(), 0);
}

TEST_F(View2DOpen, TheEndOfARecordingWaitsForThePainterOnlyABoundedTime) {
  TView2DForm* w = env.Create(1);
  T2Dview& store = *w->GetView2DByIndx(0);
  store.Settings()->RestoreLongTrace(4);
  const int32_t samples[4] = {1, 2, 3, 4};
  for (int t = 0; t < 3; ++t) ASSERT_TRUE(store.AppendTrace(samples, 4, {}));
  // A painter that never ends its pass.
  w->PaintOnlineRunning = true;
  const auto start = std::chrono::steady_clock::now();
  w->PrepareDataAfterRun();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(store.SizeDat(), 3 * 4 * 4);
  ASSERT_EQ(store.RawData.Bytes(), 48);
  EXPECT_EQ(store.RawData.Data()[11], 4) << "packed all the same";
}

}  // namespace view2d_open_test

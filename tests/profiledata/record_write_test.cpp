// Writing the channel record header: what lands in each field (read back here by
// a parser written from the layout) with a radargram window, without one and in
// the planning program, settings files, the raw block behind it, and the values
// that must survive a write and a read unchanged.

#include "platform/rtl/streams.h"
#include "platform/ui/bitmap.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/polyline_markers.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/profiledata/record_test_env.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace {

using namespace record_fixtures;

// Gives the channel of env something in every field a data record carries.
void FillChannel(TRecordEnv& env) {
  TSettingData& s = *env.settings;
  s.SetComments(QStringLiteral("Quay wall"));
  s.SetSpeedLight(110);
  s.SetStartXShift(10);
  s.SetStartYShift(20);
  s.SetStartZShift(30);
  s.SetMinTrace(-3);
  s.SetMaxTrace(2);
  s.IndexIncl.Set(-3, TInclRecord{{1, 2, 3, 4}});
  s.IndexIncl.Set(1, TInclRecord{{5, 6, 7, 8}});
  s.NMEIStrings = QStringList{QStringLiteral("-3=$GPGGA,a"), QStringLiteral("1=$GPGGA,b")};
  s.Topocorrection = true;
  s.ZeroLevelX = {0, 4, 9};
  s.ZeroLevelY = {7, 8, 9};
  s.SurfaceMarkersArray->Add(0, -2, QStringLiteral("pipe"));
  s.ObjectMarkersArray->Add(5, 0x00FFFF, QStringLiteral("cavity"), 33, 1);
  s.PolyLineMarkersArray->AddPolyLine(0x0000FF, QStringLiteral("layer"))->AddMark(-1, -1, 12);
  s.NrmCoef = 0.75L;
  env.window.deviceX = 700;
  env.window.deviceY = 800;
  env.window.deviceZ = 900;
  env.window.proportional = PropInM21;
  env.window.zeroLevels[2] = {{0, 5}, {3, 6}};
  env.window.PaletteControl()->AddPoint(100, 0x00FF00);
}

TEST(RecordWrite, DefaultModeHeaderHoldsNoChannelData) {
  for (TRecordEnvMode mode : {reWindow, reNoWindow}) {
    SCOPED_TRACE(mode);
    TRecordEnv env(mode);
    FillChannel(env);
    TBitmap picture;
    picture.SetPixelFormat(pf8bit);
    picture.SetSize(4, 2);
    env.window.displayBitmaps[2] = &picture;

    const QByteArray bytes = env.Write(/*defaultMode=*/true);
    const TParsedHeader h = ParseWgpr42(bytes);
    EXPECT_EQ(h.recordEnd, bytes.size());
    EXPECT_EQ(h.headerEnd, bytes.size());
    EXPECT_EQ(env.positionAfter, bytes.size());
    EXPECT_EQ(h.fields.comments, " ");
    EXPECT_TRUE(h.fields.incl.empty());
    EXPECT_EQ(h.fields.nmea, " ");
    EXPECT_FALSE(h.pictureFlag);
    EXPECT_FALSE(h.fields.topocorrection);
    if (mode == reWindow) {
      EXPECT_TRUE(h.fields.zeroLevel.empty());
    } else {
      EXPECT_EQ(h.fields.zeroLevel, (std::vector<TZeroLevelPoint>{{0, 7}, {4, 8}}));
    }
    EXPECT_TRUE(h.fields.surface.empty());
    EXPECT_TRUE(h.fields.objects.empty());
    EXPECT_EQ(h.fields.objectDefaultColor, env.settings->ObjectMarkersArray->GetDefaultColor());
    EXPECT_TRUE(h.fields.polylines.empty());
    EXPECT_EQ(h.fields.minTrace, -3) << "the trace range is written in every mode";
    EXPECT_FALSE(env.settings->GetNeedForSave());
    EXPECT_FALSE(env.settings->NewFile);
    EXPECT_FALSE(env.settings->GetWasOpen()) << "a settings file opens nothing";
  }
}

TEST(RecordWrite, DataRecordOfThreeTracesEndsSixThousandBytesBehindItsHeader) {
  TRecordEnv writer(reWindow);
  TSettingData& s = *writer.settings;
  ASSERT_EQ(s.GetLongTrace(), 500);
  s.SetMinTrace(0);
  s.SetMaxTrace(3);
  QByteArray bytes = writer.Write(false);
  const int64_t headerEnd = bytes.size();
  // What the channel store does next: the raw block, then the record end.
  QByteArray raw;
  for (int i = 0; i < 3 * 500; ++i) raw.append(reinterpret_cast<const char*>(&i), 4);
  bytes += raw;
  const auto recordEnd = static_cast<uint32_t>(bytes.size());
  std::memcpy(bytes.data() + 4, &recordEnd, 4);

  const TParsedHeader h = ParseWgpr42(bytes);
  EXPECT_EQ(h.headerEnd, headerEnd);
  EXPECT_EQ(h.recordEnd, h.headerEnd + 6000);
  EXPECT_EQ(h.fields.incl.size(), 3u);

  TRecordEnv reader(reWindow);
  ASSERT_TRUE(reader.Read(bytes));
  EXPECT_EQ(reader.recordEnd, headerEnd + 6000);
  EXPECT_EQ(reader.positionAfter, headerEnd);
  EXPECT_EQ(reader.settings->GetMinTrace(), 0);
  EXPECT_EQ(reader.settings->GetMaxTrace(), 3);

  TMemoryStream stream(bytes);
  int64_t size = 0;
  int64_t end = 0;
  QByteArray block;
  ASSERT_TRUE(reader.settings->ReadRawValue(QStringLiteral("/data/x.dezo"), stream, size, block, end, 0));
  EXPECT_EQ(size, 6000);
  EXPECT_EQ(block, raw);
  EXPECT_EQ(end, bytes.size());
  EXPECT_EQ(stream.Position(), bytes.size());
}

TEST(RecordWrite, WindowChannelTakesOffsetsPalettePictureAndZeroLevelFromTheWindow) {
  struct TCase {
    bool saveAsDezo;
    int32_t x, y, z;
  };
  for (const TCase& c : {TCase{true, 700, 800, 900}, TCase{false, 10, 20, 30}}) {
    SCOPED_TRACE(c.saveAsDezo);
    TRecordEnv env(reWindow);
    FillChannel(env);
    TBitmap picture;
    picture.SetPixelFormat(pf8bit);
    picture.SetSize(4, 2);
    picture.ScanLine(1)[3] = 200;
    env.window.displayBitmaps[2] = &picture;

    const TParsedHeader h = ParseWgpr42(env.Write(false, c.saveAsDezo));
    const TRecordFields& f = h.fields;
    EXPECT_EQ(h.version, 42);
    EXPECT_EQ(f.comments, "Quay wall");
    EXPECT_EQ(f.speedLight, 110);
    EXPECT_EQ((std::vector<int32_t>{f.x, f.y, f.z}), (std::vector<int32_t>{c.x, c.y, c.z}));
    EXPECT_EQ(f.palette, (std::vector<TPalettePoint>{{0, clBlack}, {256, clWhite}, {100, 0x00FF00}}));
    EXPECT_EQ(f.proportional, PropInM21);
    EXPECT_TRUE(f.topocorrection);
    ASSERT_TRUE(h.pictureFlag);
    TMemoryStream pictureStream(f.picture);
    TBitmap back;
    back.LoadFromStream(pictureStream);
    EXPECT_EQ(back.Width(), 4);
    EXPECT_EQ(back.ScanLine(1)[3], 200);
    EXPECT_EQ(f.zeroLevel, (std::vector<TZeroLevelPoint>{{0, 5}, {3, 6}})) << "the window's series, not the lists";
    EXPECT_EQ(f.nmea, "-3=$GPGGA,a\r\n1=$GPGGA,b");
    // One record per trace of the range, zeros where a trace has none.
    EXPECT_EQ(f.incl, (std::vector<TInclRecord>{{{1, 2, 3, 4}}, {}, {}, {}, {{5, 6, 7, 8}}}));
    EXPECT_EQ((std::pair{f.minTrace, f.maxTrace}), (std::pair{-3, 2}));
    EXPECT_EQ(f.surface, (std::vector<TSurfaceFields>{{-2, "pipe", 0}}));
    EXPECT_EQ(f.objects, (std::vector<TObjectFields>{{1, 33, "cavity", 0x00FFFF, 5, 0}}));
    EXPECT_EQ(f.polylines, (std::vector<TPolylineFields>{{0x0000FF, 2, "layer", {{-1, 12}}}}));
    EXPECT_EQ(f.nrmCoef, 0.75L);
    EXPECT_EQ(env.settings->MinNumIncl, -3);
    EXPECT_EQ(env.settings->MaxNumIncl, 2);
    EXPECT_TRUE(env.settings->GetWasOpen());
  }
}

TEST(RecordWrite, ChannelWithoutWindowKeepsPictureAndZeroLevelWithItsSettings) {
  struct TCase {
    TRecordEnvMode mode;
    std::vector<double> x, y;
    std::vector<TZeroLevelPoint> written;
  };
  const std::vector<TCase> cases{
      {reNoWindow, {1, 2, 3}, {4, 5, 6}, {{1, 4}, {2, 5}}},
      {rePlanning, {1, 2, 3}, {4, 5, 6}, {{1, 4}, {2, 5}}},
      {rePlanning, {8}, {9}, {{8, 9}, {0, 0}}},  // a list shorter than two points
      {reNoWindow, {}, {}, {{0, 0}, {0, 0}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.mode);
    TRecordEnv env(c.mode);
    FillChannel(env);
    env.settings->ZeroLevelX = c.x;
    env.settings->ZeroLevelY = c.y;
    env.settings->Bmp->SetSize(3, 1);
    env.settings->Bmp->ScanLine(0)[2] = 9;

    const TParsedHeader h = ParseWgpr42(env.Write(false));
    EXPECT_EQ((std::vector<int32_t>{h.fields.x, h.fields.y, h.fields.z}), (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(h.fields.palette, DefaultPalettePoints());
    EXPECT_EQ(h.fields.proportional, 0);
    ASSERT_TRUE(h.pictureFlag);
    TMemoryStream pictureStream(h.fields.picture);
    TBitmap back;
    back.LoadFromStream(pictureStream);
    EXPECT_EQ(back.Width(), 3);
    EXPECT_EQ(back.ScanLine(0)[2], 9);
    EXPECT_EQ(h.fields.zeroLevel, c.written);
  }
}

TEST(RecordWrite, NewChannelsEmptyPictureIsStoredReadably) {
  TRecordEnv env(reNoWindow);
  const QByteArray bytes = env.Write(false);
  const TParsedHeader h = ParseWgpr42(bytes);
  ASSERT_TRUE(h.pictureFlag);
  TRecordEnv reader(reNoWindow);
  EXPECT_TRUE(reader.Read(bytes));
  EXPECT_EQ(reader.settings->Bmp->Height(), 2);
  EXPECT_TRUE(reader.settings->Bmp->Empty());
}

TEST(RecordWrite, TraceStepWithoutDistanceSourceIsWrittenAsTenMillimetres) {
  for (TTopoType topo : {ttNil, ttGPS, ttWheel}) {
    SCOPED_TRACE(topo);
    TRecordEnv env(reNoWindow);
    env.settings->SetTopoType(topo);
    env.settings->SetWheelStep(33.5);
    const TParsedHeader h = ParseWgpr42(env.Write(false));
    const double expected = topo == ttWheel ? 33.5 : 10.0;
    EXPECT_EQ(h.fields.wheelStep, expected);
    EXPECT_EQ(env.settings->GetWheelStep(), expected) << "the channel takes the written value";
  }
}

TEST(RecordWrite, RecordInsideAContainerHoldsAbsolutePositions) {
  TRecordEnv env(reWindow);
  FillChannel(env);
  const QByteArray prefix(100, '\x11');
  const QByteArray bytes = env.Write(false, false, prefix);
  EXPECT_EQ(bytes.left(100), prefix);
  const TParsedHeader h = ParseWgpr42(bytes, 100);
  EXPECT_EQ(h.headerEnd, bytes.size());
  EXPECT_EQ(h.recordEnd, bytes.size());

  TRecordEnv reader(reWindow);
  ASSERT_TRUE(reader.Read(bytes, QStringLiteral("/data/set.frn"), 100));
  EXPECT_EQ(reader.positionAfter, bytes.size());
  EXPECT_EQ(reader.settings->GetComments(), "Quay wall");
}

TEST(RecordWrite, WrittenChannelReadsBackUnchanged) {
  for (TRecordEnvMode mode : {reWindow, reNoWindow, rePlanning}) {
    SCOPED_TRACE(mode);
    TRecordEnv env(mode);
    FillChannel(env);
    env.settings->SetOverStep(4);
    env.settings->SetWheelMult(6);
    env.settings->SetAzimuth(-45);
    env.settings->SetAngle(4500000);
    env.settings->SetStackingCurve(77);
    env.settings->SetWasFlipVert(true);
    env.settings->SetDirection(back);
    const QByteArray bytes = env.Write(false, /*saveAsDezo=*/false);

    TRecordEnv reread(mode);
    ASSERT_TRUE(reread.Read(bytes, QStringLiteral("/data/set.frn")));
    const TSettingData& a = *env.settings;
    const TSettingData& b = *reread.settings;
    EXPECT_EQ(b.GetComments(), a.GetComments());
    EXPECT_EQ(b.GetLongTrace(), 250);
    EXPECT_EQ(b.GetWheelMult(), 6);
    EXPECT_EQ((std::vector<int32_t>{b.GetStartXShift(), b.GetStartYShift(), b.GetStartZShift()}),
              (std::vector<int32_t>{10, 20, 30}));
    EXPECT_EQ(b.GetAzimuth(), -45);
    EXPECT_EQ(b.GetAngle(), 4500000);
    EXPECT_EQ(b.GetStackingCurve(), 77);
    EXPECT_TRUE(b.GetWasFlipVert());
    EXPECT_EQ(b.GetDirection(), back);
    EXPECT_EQ(b.NMEIStrings, a.NMEIStrings);
    EXPECT_EQ((std::pair{b.GetMinTrace(), b.GetMaxTrace()}), (std::pair{-3, 2}));
    ASSERT_NE(b.IndexIncl.Entry(-3), nullptr);
    ASSERT_NE(b.IndexIncl.Entry(0), nullptr);
    EXPECT_EQ(*b.IndexIncl.Entry(1), (TInclRecord{{5, 6, 7, 8}}));
    EXPECT_EQ(*b.IndexIncl.Entry(0), TInclRecord{}) << "a missing record comes back as zeros";
    EXPECT_EQ(b.SurfaceMarkersArray->Count(), 1);
    EXPECT_EQ(b.ObjectMarkersArray->GetObjectMarker(0)->GetNumSample(), 33);
    EXPECT_EQ(b.PolyLineMarkersArray->Count(), 1);
    EXPECT_EQ(b.NrmCoef, 0.75L);
    EXPECT_EQ(b.Topocorrection, mode == reWindow) << "only a window takes the topographic correction";
  }
}

TEST(RecordWrite, NormalisationCoefficientSurvivesAsItsExactExtendedValue) {
  const long double third = 1.0L / 3.0L;
  for (long double coef : {0.015L, third, LDBL_MAX, LDBL_TRUE_MIN, -0.0L, 127.0L / 3e6L}) {
    SCOPED_TRACE(static_cast<double>(coef));
    TRecordEnv env(reNoWindow);
    env.settings->NrmCoef = coef;
    const QByteArray bytes = env.Write(false);
    const TParsedHeader h = ParseWgpr42(bytes);
    EXPECT_EQ(std::memcmp(&h.fields.nrmCoef, &coef, ExtendedSize), 0) << "the 10 bytes of the value";
    TRecordEnv reread(reNoWindow);
    ASSERT_TRUE(reread.Read(bytes));
    EXPECT_EQ(std::memcmp(&reread.settings->NrmCoef, &coef, ExtendedSize), 0);
    EXPECT_EQ(std::signbit(reread.settings->NrmCoef), std::signbit(coef));
  }
}

}  // namespace

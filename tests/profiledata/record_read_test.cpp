// Reading channel records of every format version, built byte by byte from the
// record layouts: the fields each version has, where device offsets, palette,
// picture and zero level go with and without a radargram window, settings files,
// and the trace range of records that store none.

#include "platform/ui/bitmap.h"
#include "profiledata/markers_data.h"
#include "profiledata/pal_maker.h"
#include "profiledata/polyline_markers.h"
#include "profiledata/topo_data.h"
#include "tests/profiledata/record_fixture_builders.h"
#include "tests/profiledata/record_test_env.h"

#include <gtest/gtest.h>

namespace {

using namespace record_fixtures;

// A 2 x 2 8-bit picture with a 4-entry colour table; indices 1 0 / 3 2.
QByteArray SmallPicture() {
  TBytes b;
  b.U16(0x4D42).U32(14 + 40 + 16 + 8).U32(0).U32(14 + 40 + 16);
  b.U32(40).I32(2).I32(2).U16(1).U16(8).U32(0).U32(8).I32(0).I32(0).U32(4).U32(0);
  b.U32(0x00000000).U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF);
  b.U32(0x00000203).U32(0x00000001);  // bottom row first
  return b.data;
}

std::vector<TPalettePoint> PointsOf(TPalMaker* control) { return control->PalettePoints(); }

TEST(RecordRead, WgprVersionsReadTheFieldsTheyHold) {
  for (uint8_t v : {32, 36, 37, 39, 41, 42}) {
    SCOPED_TRACE(static_cast<int>(v));
    TRecordFields f;
    f.topo = {{QStringLiteral("gate"), 5, 1, 2}};
    f.picture = SmallPicture();
    f.FillRaw();
    if (v < 36) f.raw += QByteArray(1500, '\0');  // 3.7 traces: only whole ones count
    const QByteArray bytes = BuildWgpr(f, v);
    const int64_t headerEnd = bytes.size() - f.raw.size();

    TRecordEnv env(reWindow);
    ASSERT_TRUE(env.Read(bytes));
    const TSettingData& s = *env.settings;
    EXPECT_EQ(env.recordEnd, bytes.size());
    EXPECT_EQ(env.positionAfter, headerEnd);
    EXPECT_EQ(s.GetVersion(), v);
    EXPECT_EQ(s.GetFileName(), "/data/line7.dezo");
    EXPECT_TRUE(s.GetWasOpen());
    EXPECT_FALSE(s.NewFile);

    EXPECT_EQ(s.GetTypeGPR(), Unit05);
    EXPECT_EQ(s.GetComments(), f.comments);
    EXPECT_EQ(s.GetSpeedLight(), 120);
    EXPECT_EQ(s.GetSpanIndex(), 1);
    EXPECT_EQ(s.GetSpanWidth(), 77.5) << "the record's window, not the unit's";
    EXPECT_EQ(s.GetLongTrace(), 512) << "the record's trace length, not 1000 / OverStep";
    EXPECT_EQ(s.GetOverStep(), 3);
    EXPECT_EQ(s.GetStacking(), 17);
    EXPECT_TRUE(s.GetWasFlip());
    EXPECT_EQ(s.GetWasFlipVert(), v >= 37);
    EXPECT_EQ(s.GetRunMode(), rmWheel);
    EXPECT_EQ(s.GetWheelStep(), 12.5);
    EXPECT_EQ(s.GetWheelMult(), 3);
    EXPECT_EQ(s.GetTopoType(), ttWheel);
    EXPECT_EQ(s.GetNullShift(), 14);
    EXPECT_EQ((std::vector<int32_t>{env.window.deviceX, env.window.deviceY, env.window.deviceZ}),
              (std::vector<int32_t>{1111, -2222, 3333}));
    EXPECT_EQ((std::vector<int32_t>{s.GetStartXShift(), s.GetStartYShift(), s.GetStartZShift()}),
              (std::vector<int32_t>{0, 0, 0}));
    EXPECT_EQ((std::vector<double>{s.GXmin, s.GXmax, s.GYmin, s.GYmax, s.GZmin, s.GZmax}),
              (std::vector<double>(std::begin(f.g), std::end(f.g))));
    EXPECT_EQ(s.GetDirection(), v >= 37 ? back : forth);
    EXPECT_EQ(s.ZeroAngle, 0.25);
    EXPECT_EQ(s.CalibrationQuality, 0.875);
    EXPECT_EQ(s.TopoArray->Count(), v >= 33 ? 1 : 0);

    const bool display = v >= 34;
    EXPECT_EQ(s.NMEIStrings, display ? QStringList({"-2=$GPGGA,one", "0=$GPGGA,two"}) : QStringList());
    EXPECT_EQ(PointsOf(env.window.PaletteControl()), display ? f.palette : DefaultPalettePoints());
    EXPECT_EQ(env.window.proportional, display ? PropInM11 : PropInSamples11);
    EXPECT_EQ(s.Topocorrection, display);
    EXPECT_EQ(env.window.firstPaintAfterOpen, display);
    EXPECT_EQ(s.Bmp->Width(), display ? 2 : 0);
    if (display) {
      EXPECT_EQ(env.settings->Bmp->ScanLine(1)[0], 3);
    }
    EXPECT_EQ(s.ZeroLevelY, (display ? std::vector<double>{10, 12.5, 11} : std::vector<double>{}));
    // Before 39 the window kept one zero level, in channel 0.
    const int zeroChannel = v <= 38 ? 0 : 2;
    EXPECT_EQ(env.window.zeroLevels[zeroChannel], display ? f.zeroLevel : std::vector<TZeroLevelPoint>{});
    EXPECT_EQ(env.window.zeroLevelColors[zeroChannel], std::vector<TColor>(display ? 3 : 0, clBlue));

    const int32_t first = v >= 36 ? -2 : 0;
    EXPECT_EQ((std::pair{s.GetMinTrace(), s.GetMaxTrace()}), (std::pair{first, first + 3}));
    EXPECT_EQ((std::pair{s.MinNumIncl, s.MaxNumIncl}), (std::pair<int64_t, int64_t>{first, first + 3}));
    ASSERT_NE(s.IndexIncl.Entry(first + 2), nullptr) << "the records follow the first trace";
    EXPECT_EQ(*s.IndexIncl.Entry(first + 2), f.incl[2]);
    EXPECT_EQ(s.GetSerNum(), v >= 36 ? 4242 : 0);
    EXPECT_EQ((std::pair{s.GetAzimuth(), s.GetAngle()}), (v >= 38 ? std::pair{15, 8000000} : std::pair{0, 9000000}));
    EXPECT_EQ(s.GetAdvanceStacking(), v >= 39);
    EXPECT_EQ(s.GetStackingCurve(), v >= 39 ? 90 : 130);
    EXPECT_EQ(s.GetStackingVolume(), v >= 39 ? 20 : 10);
    EXPECT_EQ(s.SurfaceMarkersArray->Count(), v >= 39 ? 2 : 0);
    ASSERT_EQ(s.ObjectMarkersArray->Count(), v >= 39 ? 1 : 0);
    if (v >= 39) {
      const TObjectMarker* m = s.ObjectMarkersArray->GetObjectMarker(0);
      EXPECT_EQ(m->GetNumSample(), 40);
      EXPECT_EQ(m->Group, v >= 40 ? 7 : 0) << "the group fields exist from 40 on";
      EXPECT_EQ(s.ObjectMarkersArray->GetDefaultColor(), 0x00AA00);
    }
    EXPECT_EQ(s.PolyLineMarkersArray->Count(), v >= 41 ? 1 : 0);
    EXPECT_EQ(s.NrmCoef, v >= 42 ? f.nrmCoef : 0.015L);
  }
}

TEST(RecordRead, TraceStepOfNoDistanceSourceIsReadAsTenFromVersion39) {
  for (uint8_t v : {37, 39}) {
    TRecordFields f;
    f.topoType = ttGPS;
    f.FillRaw();
    TRecordEnv env(reWindow);
    ASSERT_TRUE(env.Read(BuildWgpr(f, v)));
    EXPECT_EQ(env.settings->GetWheelStep(), v >= 39 ? 10.0 : 12.5) << static_cast<int>(v);
  }
}

TEST(RecordRead, DeviceOffsetsGoToTheWindowOnlyForItsOwnFiles) {
  struct TCase {
    TRecordEnvMode mode;
    const char* file;
    bool toWindow;
  };
  for (const TCase& c : {TCase{reWindow, "/d/a.dezo", true}, TCase{reWindow, "/d/a.FRN", false},
                         TCase{reWindow, "/d/b.trc", false}, TCase{reNoWindow, "/d/a.dezo", false},
                         TCase{rePlanning, "/d/a.dezo", false}}) {
    SCOPED_TRACE(c.file);
    TRecordFields f;
    f.FillRaw();
    TRecordEnv env(c.mode);
    ASSERT_TRUE(env.Read(BuildWgpr(f, 42), QString::fromLatin1(c.file)));
    const std::vector<int32_t> offsets{1111, -2222, 3333};
    const std::vector<int32_t> shifts{env.settings->GetStartXShift(), env.settings->GetStartYShift(),
                                      env.settings->GetStartZShift()};
    EXPECT_EQ(env.window.deviceOffsetSets, c.toWindow ? 1 : 0);
    EXPECT_EQ(shifts, (c.toWindow ? std::vector<int32_t>{0, 0, 0} : offsets));
  }
}

TEST(RecordRead, ChannelWithoutWindowKeepsPaletteAndZeroLevelToItself) {
  for (TRecordEnvMode mode : {reNoWindow, rePlanning}) {
    SCOPED_TRACE(mode);
    TRecordFields f;
    f.picture = SmallPicture();
    f.FillRaw();
    TRecordEnv env(mode);
    ASSERT_TRUE(env.Read(BuildWgpr(f, 42)));
    const TSettingData& s = *env.settings;
    EXPECT_FALSE(s.Topocorrection) << "the byte is skipped";
    EXPECT_EQ(env.window.proportional, PropInSamples11);
    EXPECT_TRUE(env.window.zeroLevels.empty());
    EXPECT_EQ(s.ZeroLevelX, (std::vector<double>{0, 1, 2}));
    // The record's palette colours the picture; its indices stay.
    ASSERT_NE(s.Bmp->Palette(), nullptr);
    EXPECT_EQ(s.Bmp->Palette()->Entries[128], (TPaletteEntry{255, 0, 0, PC_RESERVED}));
    EXPECT_EQ(s.Bmp->Palette()->Entries[0], (TPaletteEntry{0x30, 0x20, 0x10, PC_RESERVED}));
    EXPECT_EQ(s.Bmp->ScanLine(1)[0], 3);
  }
}

TEST(RecordRead, SettingsFilesTakeUnitAndCalibrationFromTheRadar) {
  struct TCase {
    uint8_t version;
    const char* file;
  };
  for (const TCase& c : {TCase{36, "/p/stt"}, TCase{37, "/p/bstt"}, TCase{39, "/p/dstt"}, TCase{42, "/p/stt"}}) {
    const uint8_t v = c.version;
    SCOPED_TRACE(c.file);
    SCOPED_TRACE(static_cast<int>(v));
    TRecordFields f;  // three inclinometer records the settings file must not keep
    TRecordEnv env(reWindow);
    env.settings->NMEIStrings = QStringList{QStringLiteral("1=x")};
    ASSERT_TRUE(env.Read(BuildWgpr(f, v), QString::fromLatin1(c.file)));
    const TSettingData& s = *env.settings;
    EXPECT_EQ(s.GetFileName(), "DodavARA.dezo");
    EXPECT_FALSE(s.GetWasOpen());
    EXPECT_TRUE(s.NewFile);
    EXPECT_EQ(s.GetVersion(), 42);
    EXPECT_TRUE(s.NMEIStrings.isEmpty());
    EXPECT_FALSE(env.window.firstPaintAfterOpen);
    EXPECT_EQ(env.window.topoButtonReleases, 1);
    EXPECT_EQ(s.GetTypeGPR(), Unit02);
    EXPECT_EQ((std::vector<double>{s.GXmin, s.GZmax, s.ZeroAngle, s.CalibrationQuality}),
              (std::vector<double>{10, 60, 0.5, 0.75}));
    EXPECT_EQ(s.IndexIncl.RecordCount(), 0);
    EXPECT_EQ(s.GetWheelStep(), v <= 38 ? TopoWheelStep(ttWheel) : 12.5);
    EXPECT_EQ(env.window.proportional, v <= 38 ? PropInSamples11 : PropInM11);
    EXPECT_EQ(s.GetWasFlip(), v < 37);
    EXPECT_FALSE(s.GetWasFlipVert());
    EXPECT_EQ(s.GetSerNum(), v >= 39 ? 777 : 4242);
    EXPECT_EQ(env.window.deviceOffsetSets, QString::fromLatin1(c.file).endsWith("/bstt") ? 0 : 1);
    EXPECT_EQ(env.settings->GetStartXShift(), 0);
    // Versions 37 and 38 still filled the window's zero level from settings files.
    EXPECT_EQ(env.window.zeroLevels[0].size(), v == 37 ? 3u : 0u);
  }
}

TEST(RecordRead, SettingsFileInThePlanningProgramHasNoRadar) {
  TRecordFields f;
  TRecordEnv env(rePlanning);
  ASSERT_TRUE(env.Read(BuildWgpr(f, 42), QStringLiteral("/p/stt")));
  EXPECT_EQ(env.settings->GetTypeGPR(), unknown);
  EXPECT_EQ(env.settings->GetSerNum(), 0);
  EXPECT_EQ(env.settings->GXmax, 2.5) << "the calibration stays the file's";
}

TEST(RecordRead, DezoVersions16To18TakeTheirTraceRangeFromTheRawBlock) {
  for (uint8_t v : {16, 17, 18}) {
    SCOPED_TRACE(static_cast<int>(v));
    TRecordFields f;
    f.FillRaw();
    f.raw += QByteArray(1000, '\0');
    const QByteArray bytes = BuildDezo16(f, v, true);
    TRecordEnv env(reWindow);
    ASSERT_TRUE(env.Read(bytes, QStringLiteral("/d/old.dezo")));
    const TSettingData& s = *env.settings;
    EXPECT_EQ(env.positionAfter, bytes.size() - f.raw.size());
    EXPECT_EQ(s.GetVersion(), v);
    EXPECT_EQ(s.GetComments(), f.comments);
    EXPECT_EQ(s.GetSpanWidth(), 77.5);
    EXPECT_EQ(s.GetLongTrace(), 512);
    EXPECT_EQ(s.GetWheelMult(), 3);
    EXPECT_EQ(s.GetNullShift(), 14);
    EXPECT_EQ(env.window.deviceZ, 3333);
    EXPECT_EQ(s.GXmin, v >= 17 ? 1.5 : 0.0);
    EXPECT_EQ(s.ZeroAngle, v >= 18 ? 0.25 : 0.0);
    EXPECT_EQ((std::pair{s.GetMinTrace(), s.GetMaxTrace()}), (std::pair{0, 3})) << "whole traces of the block";
    EXPECT_EQ(s.IndexIncl.RecordCount(), v >= 17 ? 3 : 0);
    EXPECT_TRUE(s.GetWasOpen());
  }

  TRecordFields f;
  const QByteArray settingsFile = BuildDezo16(f, 17, false);  // no inclinometer block
  TRecordEnv env(reWindow);
  ASSERT_TRUE(env.Read(settingsFile, QStringLiteral("/p/stt")));
  EXPECT_EQ(env.settings->GetFileName(), "DodavARA.dezo");
  EXPECT_EQ(env.settings->GetTypeGPR(), Unit02);
  EXPECT_EQ(env.settings->GXmax, 20);
  EXPECT_EQ(env.settings->GetWheelStep(), TopoWheelStep(ttWheel));
  EXPECT_EQ(env.settings->GetSerNum(), 0);
  EXPECT_EQ(env.settings->GetMaxTrace(), 0);
  EXPECT_EQ(env.positionAfter, settingsFile.size());
}

TEST(RecordRead, DezoVersions2To15ReadTheirOldFields) {
  for (uint8_t v : {2, 3, 4, 5, 6, 7, 8, 9, 15}) {
    SCOPED_TRACE(static_cast<int>(v));
    TRecordFields f;
    f.FillRaw(2);  // 16-bit samples
    f.raw += QByteArray(700, '\0');
    TOldDezoFields old;
    old.overStepWord = 0x01000302;  // OverStep 2; Stacking 3, WasFlip 0, WasFlipVert 1 are overwritten
    old.stackingWord = 0x00010010;  // Stacking 16, WasFlip 0, WasFlipVert 1
    const QByteArray bytes = BuildDezo2(f, old, v, true);
    TRecordEnv env(reWindow);
    ASSERT_TRUE(env.Read(bytes, QStringLiteral("/d/old.dezo")));
    const TSettingData& s = *env.settings;
    EXPECT_EQ(env.positionAfter, bytes.size() - f.raw.size());
    EXPECT_EQ(s.GetComments(), f.comments);
    EXPECT_EQ(s.GetSpanWidth(), 100) << "the stored window of the span index";
    EXPECT_EQ(s.GetLongTrace(), 512);
    EXPECT_EQ(s.GetOverStep(), 2);
    EXPECT_EQ(s.GetStacking(), 16);
    EXPECT_EQ(s.GetWasFlip(), v >= 8);
    EXPECT_TRUE(s.GetWasFlipVert());
    EXPECT_EQ(s.GetSpeedLight(), 120);
    ASSERT_EQ(s.TopoArray->Count(), 2);
    EXPECT_EQ(s.TopoArray->GetVal(0), 12);
    EXPECT_EQ(s.TopoArray->GetTitle(0), v >= 3 ? "well" : "");
    EXPECT_EQ(s.TopoArray->GetShiftVer(0), v >= 4 ? -4 : 0);
    EXPECT_EQ(s.GetTypeGPR(), v >= 5 ? Unit07 : Unit02);
    EXPECT_EQ(s.GetWheelStep(), v == 6 ? 250.0 : v >= 7 ? 25.0 : TopoWheelStep(ttWheel));
    EXPECT_EQ(s.GetTopoType(), ttWheel);
    EXPECT_EQ(s.GetRunMode(), rmWheel);
    EXPECT_EQ(s.GetWheelMult(), 1);
    EXPECT_EQ(s.GetNullShift(), v >= 8 ? 9 : 0);
    EXPECT_EQ(env.window.deviceOffsetSets, v >= 9 ? 1 : 0);
    if (v >= 9) {
      EXPECT_EQ(env.window.deviceZ, 700);
    }
    EXPECT_EQ((std::pair{s.GetMinTrace(), s.GetMaxTrace()}), (std::pair{0, 3})) << "whole 16-bit traces";
    EXPECT_EQ(s.GetFileName(), "/d/old.dezo");
  }
}

TEST(RecordRead, OldestRecordsWithoutTraceLengthOrStepAreCompleted) {
  TRecordFields f;
  f.longTrace = 0;
  TOldDezoFields old;
  old.start = 10;
  old.stop = 1010;
  old.overStepWord = 3;
  old.wheelStepWord = 0;
  // Without a window the record holds no Z offset.
  TRecordEnv env(rePlanning);
  ASSERT_TRUE(env.Read(BuildDezo2(f, old, 9, false), QStringLiteral("/d/old.dezo")));
  EXPECT_EQ(env.settings->GetLongTrace(), 333) << "round((Stop - Start) / OverStep)";
  EXPECT_EQ(env.settings->GetTopoType(), ttNil) << "no trace step";
  EXPECT_EQ((std::vector<int32_t>{env.settings->GetStartXShift(), env.settings->GetStartYShift(),
                                  env.settings->GetStartZShift()}),
            (std::vector<int32_t>{500, -600, 0}));
}

}  // namespace

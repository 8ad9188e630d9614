// The online stages' parameters in the main window's settings file: defaults,
// stored values, what the tables cannot hold, the serial number 0, and the file
// as written.

#include "platform/rtl/ini_files.h"
#include "tests/profiledata/channel_store_env.h"
#include "tests/profiledata/fake_online_stages.h"

#include <gtest/gtest.h>

namespace {

class ChannelStoreOnline : public ::testing::Test {
protected:
  ChannelStoreOnline() : ini(env.Path(QStringLiteral("main.ini"))) {
    env.shell.mainIni = &ini;
    store = std::make_unique<T2Dview>(nullptr);
    stages = static_cast<FakeOnlineStages*>(store->OnlineStages());
    store->Settings()->SetSerNum(321);
  }

  TStoreEnv env;
  FakeStagesFactory factory;
  FactoryScope factoryScope{&factory};
  TMemIniFile ini;
  std::unique_ptr<T2Dview> store;
  FakeOnlineStages* stages = nullptr;
};

TEST_F(ChannelStoreOnline, EmptyFileGivesTheDefaults) {
  ASSERT_TRUE(store->ReadOnlinePlaginsParameters());
  EXPECT_EQ(stages->threshold, 30000);
  EXPECT_FALSE(stages->comparatorApplay);
  EXPECT_EQ(stages->widthWindow, 300);
  EXPECT_FALSE(stages->backgroundApplay);
  EXPECT_EQ(stages->timescale, 1.0L);
  EXPECT_TRUE(stages->waveletApplay);
  EXPECT_EQ(factory.log.waveletInits, 1);
  EXPECT_TRUE(stages->gainApplay);
  // No points stored: the curve keeps its points, fitted to the stored height.
  EXPECT_EQ(stages->dots.GetHeight(), 694);
  ASSERT_EQ(stages->dots.GetCount(), 2);
  EXPECT_EQ(stages->dots.GetVal(0), (TPoint{140, 0}));
  EXPECT_EQ(stages->dots.GetVal(1), (TPoint{207, 694}));
}

TEST_F(ChannelStoreOnline, StoredValuesReachTheStages) {
  ini.WriteInteger(QStringLiteral("Comparator_321"), QStringLiteral("Threshold"), 1234);
  ini.WriteBool(QStringLiteral("Comparator_321"), QStringLiteral("Applay"), true);
  ini.WriteInteger(QStringLiteral("WindowedBackgroundRemoval_321"), QStringLiteral("WidthWindow"), 55);
  ini.WriteBool(QStringLiteral("WindowedBackgroundRemoval_321"), QStringLiteral("Applay"), true);
  ini.WriteFloat(QStringLiteral("Wavelet_321"), QStringLiteral("Timescale"), 2.5);
  ini.WriteBool(QStringLiteral("Wavelet_321"), QStringLiteral("Applay"), false);
  ini.WriteBool(QStringLiteral("TVGC_321"), QStringLiteral("Applay"), false);
  ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("ListDotsHeight"), 400);
  ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotCount"), 3);
  ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotX0"), 140);
  ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotY0"), 0);
  ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotX1"), 160);
  ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotY1"), 100);
  // DotX2 / DotY2 missing: the point defaults to (2, 2).
  ini.WriteInteger(QStringLiteral("TVGC_999"), QStringLiteral("DotCount"), 9);  // another device's

  ASSERT_TRUE(store->ReadOnlinePlaginsParameters());
  EXPECT_EQ(stages->threshold, 1234);
  EXPECT_TRUE(stages->comparatorApplay);
  EXPECT_EQ(stages->widthWindow, 55);
  EXPECT_TRUE(stages->backgroundApplay);
  EXPECT_EQ(stages->timescale, 2.5L);
  EXPECT_FALSE(stages->waveletApplay);
  EXPECT_FALSE(stages->gainApplay);
  // The points are (2, 2), (140, 0), (160, 100) sorted by row, then fitted to 400.
  EXPECT_EQ(stages->dots.GetHeight(), 400);
  ASSERT_EQ(stages->dots.GetCount(), 3);
  EXPECT_EQ(stages->dots.GetVal(0), (TPoint{140, 0}));
  EXPECT_EQ(stages->dots.GetVal(1), (TPoint{2, 8}));
  EXPECT_EQ(stages->dots.GetVal(2), (TPoint{160, 400}));
}

TEST_F(ChannelStoreOnline, ValuesBeyondTheTablesAreBroughtInside) {
  struct TCase {
    const char* name;
    int count, height, width;
    double timescale;
    int expectCount, expectHeight, expectWidth;
    double expectTimescale;
  };
  const TCase cases[] = {
      {"too many points, rows and traces", 500, 20000, 5000, 3.0, TListOfDots::MaxDots, 10000, 300, 3.0},
      {"negative values", -4, -7, -9, -2.0, 0, 1, 0, 1.0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    ini.Clear();
    ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotCount"), c.count);
    ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("ListDotsHeight"), c.height);
    ini.WriteInteger(QStringLiteral("WindowedBackgroundRemoval_321"), QStringLiteral("WidthWindow"), c.width);
    ini.WriteFloat(QStringLiteral("Wavelet_321"), QStringLiteral("Timescale"), c.timescale);
    ASSERT_TRUE(store->ReadOnlinePlaginsParameters());
    if (c.expectCount > 0) {
      EXPECT_EQ(stages->dots.GetCount(), c.expectCount);
    }
    EXPECT_EQ(stages->dots.GetHeight(), c.expectHeight);
    EXPECT_EQ(stages->widthWindow, c.expectWidth);
    EXPECT_EQ(stages->timescale, c.expectTimescale);
  }
}

TEST_F(ChannelStoreOnline, SerialNumberZeroNeitherReadsNorWrites) {
  T2Dview fresh(nullptr);  // serial number 0
  auto* freshStages = static_cast<FakeOnlineStages*>(fresh.OnlineStages());
  ini.WriteInteger(QStringLiteral("Comparator_0"), QStringLiteral("Threshold"), 5);
  EXPECT_FALSE(fresh.ReadOnlinePlaginsParameters());
  EXPECT_EQ(freshStages->threshold, 30000);
  EXPECT_EQ(factory.log.waveletInits, 0);
  EXPECT_FALSE(fresh.WriteOnlinePlaginsParameters());
  EXPECT_EQ(ini.ReadSections(), QStringList{QStringLiteral("Comparator_0")});
  EXPECT_FALSE(QFile::exists(ini.FileName())) << "nothing flushed";
}

TEST_F(ChannelStoreOnline, WrittenSectionsReadBackAndReplaceAnOldCurve) {
  // A longer curve written earlier: its points behind the new count must go.
  for (int i = 0; i < 5; ++i) {
    ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotX") + QString::number(i), 1);
    ini.WriteInteger(QStringLiteral("TVGC_321"), QStringLiteral("DotY") + QString::number(i), i);
  }
  stages->threshold = 777;
  stages->comparatorApplay = true;
  stages->widthWindow = 42;
  stages->timescale = 0.75L;
  stages->waveletApplay = true;
  stages->gainApplay = true;
  ASSERT_TRUE(store->WriteOnlinePlaginsParameters());

  TMemIniFile onDisk(ini.FileName());
  const auto value = [&](const char* section, const char* key) {
    return onDisk.ReadString(QLatin1String(section), QLatin1String(key), QStringLiteral("<none>"));
  };
  EXPECT_EQ(value("Comparator_321", "Threshold"), "777");
  EXPECT_EQ(value("Comparator_321", "Applay"), "1");
  EXPECT_EQ(value("WindowedBackgroundRemoval_321", "WidthWindow"), "42");
  EXPECT_EQ(value("WindowedBackgroundRemoval_321", "Applay"), "0");
  EXPECT_EQ(value("Wavelet_321", "Timescale"), "0.75");
  EXPECT_EQ(value("Wavelet_321", "Applay"), "1");
  EXPECT_EQ(value("TVGC_321", "Applay"), "1");
  EXPECT_EQ(value("TVGC_321", "ListDotsHeight"), "450");
  EXPECT_EQ(onDisk.ReadSection(QStringLiteral("TVGC_321")),
            (QStringList{QStringLiteral("Applay"), QStringLiteral("ListDotsHeight"), QStringLiteral("DotCount"),
                         QStringLiteral("DotX0"), QStringLiteral("DotY0"), QStringLiteral("DotX1"),
                         QStringLiteral("DotY1")}));
  EXPECT_EQ(value("TVGC_321", "DotX1"), "207");
  EXPECT_EQ(value("TVGC_321", "DotY1"), "450");

  // Another channel of the same device reads what was written.
  T2Dview other(nullptr);
  other.Settings()->SetSerNum(321);
  ASSERT_TRUE(other.ReadOnlinePlaginsParameters());
  auto* otherStages = static_cast<FakeOnlineStages*>(other.OnlineStages());
  EXPECT_EQ(otherStages->threshold, 777);
  EXPECT_EQ(otherStages->widthWindow, 42);
  EXPECT_EQ(otherStages->timescale, 0.75L);
  EXPECT_EQ(otherStages->dots.GetVal(1), (TPoint{207, 450}));
}

TEST_F(ChannelStoreOnline, FailedFlushIsReported) {
  TMemIniFile unwritable(env.Path(QStringLiteral("no/such/folder/main.ini")));
  env.shell.mainIni = &unwritable;
  EXPECT_FALSE(store->WriteOnlinePlaginsParameters());
}

TEST(KoefArrMax, KeptInsideZeroToOne) {
  const struct {
    const char* text;
    float expected;
  } cases[] = {{nullptr, 0.75f}, {"0.5", 0.5f}, {"1", 1.0f}, {"1.7", 1.0f}, {"0", 0.75f}, {"-3", 0.75f}, {"nan", 0.75f},
               {"0,8", 0.8f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "missing");
    TMemIniFile ini(QStringLiteral("/nonexistent/settings.ini"));
    if (c.text) ini.WriteString(QStringLiteral("General"), QStringLiteral("KoefArrMax"), QLatin1String(c.text));
    EXPECT_EQ(ReadKoefArrMax(ini), c.expected);
  }
}

}  // namespace

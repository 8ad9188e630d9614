// The TCP greeting, the recording-file header and the preset keys.

#include "radar/preset_keys.h"
#include "radar/tcp_greeting.h"
#include "radar/trc_header.h"
#include "tests/radar/radar_test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(RadarTcpGreeting, IdentifiesBothRadarKindsAndNothingElse) {
  const auto modem = DecodeTcpGreeting(TBytesBuilder().Text("QEL3PTR").bytes);
  ASSERT_TRUE(modem);
  EXPECT_EQ(modem->TypeWiFiRadar, TRWiFiModem);

  const TBytes full = TBytesBuilder().Text("QEL5PTR").U8(7).U8(crsInPprogress).Le64(45000.125).bytes;
  const auto board = DecodeTcpGreeting(full);
  ASSERT_TRUE(board);
  EXPECT_EQ(board->TypeWiFiRadar, TRRasberry);
  EXPECT_EQ(board->FNumVer, 7);
  EXPECT_EQ(board->RadarStatus, crsInPprogress);
  EXPECT_EQ(board->TimeStampValue(), 45000.125) << "little-endian f64";

  const auto cut = DecodeTcpGreeting(TBytesBuilder().Text("QEL5PTR").U8(9).bytes);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->FNumVer, 9);
  EXPECT_EQ(cut->RadarStatus, crsUnInit) << "missing bytes read as zero";
  EXPECT_EQ(cut->TimeStampValue(), 0.0);

  for (const char* other : {"QEL4PTR", "QEL3PT", "", "qel3ptr", "HELLO, WORLD"}) {
    EXPECT_FALSE(DecodeTcpGreeting(TBytesBuilder().Text(other).bytes)) << other;
  }
  EXPECT_TRUE(StartsWithStreamGreeting(TBytesBuilder().Text("QEL3PTRQEL3").bytes));
  EXPECT_FALSE(StartsWithStreamGreeting(TBytesBuilder().Text("QEL5PTR").bytes));
}

TEST(RadarTrcHeader, UsableOnlyWithMagicFormatAndMoreThanFiftyBytes) {
  const TBytes good = TBytesBuilder().Text("QELSV").U8(3).Text("T16").Zeros(42).bytes;  // 51 bytes
  struct Case {
    const char* name;
    TBytes bytes;
    TTrcCheck check;
  };
  TBytes noMagic = good;
  noMagic[4] = 'X';
  TBytes noFormat = good;
  noFormat[8] = '5';
  const std::vector<Case> cases = {
      {"51 bytes", good, tcUsable},
      {"50 bytes", TBytes(good.begin(), good.end() - 1), tcTooShort},
      {"empty", {}, tcTooShort},
      {"no QELSV", noMagic, tcNoMagic},
      {"no T16", noFormat, tcNoFormat},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckTrcHeader(c.bytes).Check, c.check) << c.name;
  EXPECT_EQ(CheckTrcHeader(good).Version, 3);
  EXPECT_EQ(TrcContainerOffset, 5u + 1 + 3 + 16 + 1);
}

TEST(RadarPresetKeys, SingleRadarsByUnitModelAndSetsByDeviceBox) {
  struct Case {
    uint8_t mode;
    TTypeGPR type;
    TTypeGPRDevice device;
    const char* key;
  };
  const std::vector<Case> cases = {
      {0, Unit01, tdUnknown, "125"}, {0, Unit38, tdBox01, "125"},  {0, Unit02, tdUnknown, "300"},
      {0, Unit34, tdUnknown, "300"}, {0, Unit36, tdUnknown, "700"}, {0, Unit30, tdUnknown, "700"},
      {0, Unit19, tdUnknown, "500"}, {0, Unit35, tdUnknown, "500"}, {0, Unit20, tdUnknown, "070"},
      {0, Unit24, tdUnknown, "701"}, {0, Unit25, tdUnknown, "501"}, {0, Unit26, tdUnknown, "301"},
      {0, Unit27, tdUnknown, "126"}, {0, Unit42, tdUnknown, "1500"}, {0, Unit40, tdUnknown, "600"},
      {0, Unit43, tdUnknown, "900"}, {0, Unit52, tdUnknown, "1200"}, {0, Unit44, tdUnknown, "unknown"},
      {0, unknown, tdUnknown, "unknown"}, {0, Unit45, tdUnknown, "unknown"},
      {2, Unit44, tdBox02, "B-02"},  {1, Unit02, tdBox01, "B-01"},  {1, Unit02, tdBox03, "Unknown"},
      {2, Unit02, tdUnknown, "Unknown"}, {0, static_cast<TTypeGPR>(200), tdUnknown, "unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PresetKey(static_cast<TRadarRole>(c.mode), c.type, c.device), c.key) << int(c.mode) << " " << int(c.type) << " " << int(c.device);
  }
}

}  // namespace

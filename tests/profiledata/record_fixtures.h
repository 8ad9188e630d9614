#pragma once
// Channel records built byte by byte from the record layouts (not by the writer
// under test), and a parser of the current header for checking what the writer
// wrote. A TRecordFields holds every field a record can carry; each builder writes
// the fields its format and version have, in their order.

#include "platform/rtl/extended.h"
#include "profiledata/gpr_constants.h"
#include "profiledata/inclinometer_table.h"
#include "profiledata/palette_stream.h"
#include "profiledata/channel_hooks.h"
#include "profiledata/topo_data.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <vector>

namespace record_fixtures {

// Little-endian bytes.
class TBytes {
public:
  QByteArray data;

  template <typename T>
  TBytes& Put(T value) {
    data.append(reinterpret_cast<const char*>(&value), sizeof(T));  // the test machine is little-endian
    return *this;
  }
  TBytes& U8(uint8_t v) { return Put(v); }
  TBytes& U16(uint16_t v) { return Put(v); }
  TBytes& I16(int16_t v) { return Put(v); }
  TBytes& U32(uint32_t v) { return Put(v); }
  TBytes& I32(int32_t v) { return Put(v); }
  TBytes& I64(int64_t v) { return Put(v); }
  TBytes& F64(double v) { return Put(v); }
  TBytes& Raw(const QByteArray& bytes) {
    data.append(bytes);
    return *this;
  }
  TBytes& Text(const char* text) { return Raw(QByteArray(text)); }
  // Length byte, then UTF-16LE units.
  TBytes& Wide(const QString& text) {
    U8(static_cast<uint8_t>(text.size()));
    for (QChar c : text) U16(c.unicode());
    return *this;
  }
  TBytes& ShortAnsi(const QByteArray& text) { return U8(static_cast<uint8_t>(text.size())).Raw(text); }
  TBytes& LongAnsi(const QByteArray& text) { return I32(static_cast<int32_t>(text.size())).Raw(text); }
  TBytes& Extended(long double v) {
    uint8_t bytes[ExtendedSize];
    std::memcpy(bytes, &v, ExtendedSize);  // x86-64 keeps the 80-bit format in the first 10 bytes
    data.append(reinterpret_cast<const char*>(bytes), ExtendedSize);
    return *this;
  }
  int64_t Size() const { return data.size(); }
  void PatchU32(int64_t at, uint32_t v) { std::memcpy(data.data() + at, &v, 4); }
};

struct TSurfaceFields {
  int32_t trace = 0;
  QString comment;
  int32_t group = 0;
  bool operator==(const TSurfaceFields&) const = default;
};
struct TObjectFields {
  int32_t trace = 0;
  int32_t sample = 0;
  QString comment;
  TColor color = 0;
  int32_t objectGroup = 0;
  int32_t group = 0;
  bool operator==(const TObjectFields&) const = default;
};
struct TPolylineFields {
  TColor color = 0;
  int32_t weight = 0;
  QString comment;
  std::vector<TPoint> nodes;
  bool operator==(const TPolylineFields&) const = default;
};

// Every field of a channel record; the defaults are a plausible data record whose
// values differ from what new settings hold, so a field that is not read shows.
struct TRecordFields {
  uint8_t typeGPR = Unit05;
  QString comments = QStringLiteral("Bridge deck, lane 2");
  int32_t speedLight = 120;
  uint8_t spanIndex = 1;
  double spanWidth = 77.5;  // not the unit's own window: the record's value must win
  int32_t longTrace = 512;  // not round(1000 / OverStep): the record's value must win
  uint8_t overStep = 3;
  uint8_t stacking = 17;
  bool wasFlip = true;
  bool wasFlipVert = true;
  uint8_t runMode = rmWheel;
  double wheelStep = 12.5;
  uint16_t wheelMult = 3;
  uint8_t topoType = ttWheel;
  int32_t nullShift = 14;
  int32_t x = 1111, y = -2222, z = 3333;
  double g[6] = {1.5, 2.5, -3.5, 4.5, 5.25, 6.75};
  uint8_t direction = back;
  std::vector<TInclRecord> incl = {{{1, 2, 3, 4}}, {{5, 6, 7, 8}}, {{9, 10, 11, 12}}};
  double zeroAngle = 0.25;
  double calibrationQuality = 0.875;
  std::vector<TMarkTopo> topo;
  QByteArray nmea = "-2=$GPGGA,one\r\n0=$GPGGA,two";
  std::vector<TPalettePoint> palette = {{0, 0x102030}, {128, 0x0000FF}, {256, 0xFFFFFF}};
  uint8_t proportional = PropInM11;
  bool topocorrection = true;
  QByteArray picture;  // a bitmap file image; empty: picture flag 0
  std::vector<TZeroLevelPoint> zeroLevel = {{0, 10}, {1, 12.5}, {2, 11}};
  int32_t minTrace = -2, maxTrace = 1;
  uint16_t serNum = 4242;
  int32_t azimuth = 15;
  int32_t angle = 8000000;
  bool advanceStacking = true;
  int32_t stackingCurve = 90;
  int32_t stackingVolume = 20;
  std::vector<TSurfaceFields> surface = {{-1, QStringLiteral("pipe"), 0}, {0, QStringLiteral("kerb"), 1}};
  TColor objectDefaultColor = 0x00AA00;
  std::vector<TObjectFields> objects = {{-2, 40, QStringLiteral("void"), 0x0000FF, 7, 0}};
  std::vector<TPolylineFields> polylines = {{0x00FF00, 3, QStringLiteral("layer"), {{-2, 5}, {0, 9}}}};
  long double nrmCoef = 0.123456789L;
  QByteArray raw;  // the raw block behind the header

  // Raw block of (maxTrace - minTrace) traces of longTrace samples, bytesPerSample
  // bytes each, numbered so that any mix-up shows.
  void FillRaw(int bytesPerSample = 4) {
    raw.clear();
    const int64_t samples = int64_t{maxTrace - minTrace} * longTrace;
    for (int64_t i = 0; i < samples; ++i) {
      const auto v = static_cast<int32_t>(i * 7 - 300);
      raw.append(reinterpret_cast<const char*>(&v), bytesPerSample);
    }
  }
};

// Fields of "DEZO" versions 2..15 that the newer formats do not have.
struct TOldDezoFields {
  int32_t start = 0;
  int32_t stop = 1000;
  int32_t overStepWord = 0x00000102;  // OverStep 2; the upper bytes spill into the next fields
  int32_t stackingWord = 0x00000010;  // Stacking 16
  std::vector<uint16_t> windows = {50, 100, 200, 400};
  QByteArray skipped = QByteArray(16, '\x5A');  // two 8-byte items nobody reads
  struct TMark {
    int16_t value = 0;
    int16_t shiftHor = 0;
    int16_t shiftVer = 0;
    QByteArray title;
  };
  std::vector<TMark> marks = {{12, 3, -4, "well"}, {40, 0, 0, "road"}};
  uint8_t unitMinusOne = Unit07 - 1;
  int32_t wheelStepWord = 25;  // cm in version 6, mm from 7
  int32_t nullShift = 9;
  uint8_t wasFlip = 1;
  int32_t x = 500, y = -600, z = 700;
};

// Where BuildWgpr put the counted fields (positions of their counts; -1 when the
// version has no such field), so that tests can damage them.
struct TWgprOffsets {
  int64_t longTrace = -1, incl = -1, topo = -1, nmea = -1, palette = -1, picture = -1, zeroLevel = -1,
          range = -1, surface = -1, objects = -1, polylines = -1;
};

// The fields of a current ("WGPR" 42) header as the parser found them.
struct TParsedHeader {
  uint32_t recordEnd = 0;
  uint32_t headerEnd = 0;
  uint8_t version = 0;
  bool pictureFlag = false;
  TRecordFields fields;
};

// The builders and the parser: record_fixture_builders.h.

}  // namespace record_fixtures

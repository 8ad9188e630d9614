// The marker-stream fuzz harness in the normal suite: junk made from a valid
// example of every list form, in a record version with and one without the
// markers' group fields. Each read either fails with EReadError leaving nothing
// behind, or gives the stored count of entries that survive a save and a reload.

#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/marker_streams_fuzz_target.h"
#include "tests/profiledata/record_fixtures.h"

#include <gtest/gtest.h>

namespace {

using record_fixtures::TBytes;

const QString kWide = QString::fromUtf8("\u0416 gate");  // a code unit above 0xFF

QByteArray Surfaces(bool groups) {
  TBytes b;
  b.U32(2);
  b.I32(10).Wide(QStringLiteral("A"));
  if (groups) b.I32(4).I32(4);
  b.I32(-3).Wide(kWide);
  if (groups) b.I32(9).I32(9);
  return b.data;
}

QByteArray Objects(bool groups) {
  TBytes b;
  b.U32(2).I32(0x0000FF).U32(0);
  b.I32(40).I32(120).Wide(QStringLiteral("pipe")).I32(0xFF0000).I32(121);
  if (groups) b.I32(7).I32(0);
  b.I32(41).I32(-5).Wide(QString()).I32(-1).I32(-5);
  if (groups) b.I32(9).I32(1);
  return b.data;
}

TBytes& Polyline(TBytes& b, uint32_t nodes) {
  b.U32(nodes).I32(0x00FF00).I32(2).I32(3).Wide(kWide).Raw(QByteArray(16, '\0'));
  for (uint32_t i = 0; i < nodes; ++i) b.I32(static_cast<int32_t>(i) * 7).I32(100 - static_cast<int32_t>(i));
  return b;
}

QByteArray Polylines() {
  TBytes b;
  b.U32(2);
  Polyline(b, 3);
  Polyline(b, 0);
  return b.data;
}

QByteArray Topo() {
  return TBytes().U32(2).I32(5).I32(1).I32(2).Wide(QStringLiteral("gate")).I32(-7).I32(0).I32(0).Wide(QString()).data;
}

struct TFormCase {
  marker_fuzz::TMarkerForm form;
  bool groups;
  QByteArray valid;
};

std::vector<TFormCase> Cases() {
  using namespace marker_fuzz;
  TBytes polyline;
  Polyline(polyline, 4);
  return {{mfSurfaces, true, Surfaces(true)}, {mfSurfaces, false, Surfaces(false)},
          {mfObjects, true, Objects(true)},   {mfObjects, false, Objects(false)},
          {mfPolylines, true, Polylines()},   {mfPolyline, true, polyline.data},
          {mfTopo, true, Topo()}};
}

// Byte 0 of the harness input: the form, and the version with or without groups.
uint8_t Selector(const TFormCase& c) { return static_cast<uint8_t>(c.form + (c.groups ? 0 : 5)); }

TEST(MarkerStreamsFuzz, ValidFormsRead) {
  for (const TFormCase& c : Cases()) {
    const std::string broken = RunWithSelector(ReadMarkerStreamOnce, Selector(c), c.valid);
    EXPECT_TRUE(broken.empty()) << "form " << int(c.form) << ": " << broken;
  }
}

TEST(MarkerStreamsFuzz, JunkInputsLeaveNothingBehind) {
  for (const TFormCase& c : Cases())
    for (const QByteArray& input : JunkInputs(c.valid, 1104 + c.form, 100)) {
      const std::string broken = RunWithSelector(ReadMarkerStreamOnce, Selector(c), input);
      ASSERT_TRUE(broken.empty()) << "form " << int(c.form) << ": " << broken << "\n" << input.toHex().constData();
    }
}

}  // namespace

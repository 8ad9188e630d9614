// The palette fuzz harness in the normal suite: junk made from a valid palette
// library (cuts, byte flips, random bytes from a fixed seed, nothing at all)
// through the stream reader, the palette control and the library reader, each
// keeping the reader's promises for damaged input.

#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/palette_stream_fuzz_target.h"
#include "tests/profiledata/record_fixtures.h"

#include <gtest/gtest.h>

namespace {

using record_fixtures::TBytes;

// Two palettes one after another: three points, then a count of 1 (no palette),
// then the default two.
QByteArray ValidLibrary() {
  TBytes b;
  b.U32(3).I32(0).I32(0x000000).I32(128).I32(0x0000FF).I32(256).I32(0xFFFFFF);
  b.U32(1);
  b.U32(2).I32(0).I32(0x80000005).I32(256).I32(0x00FF00);  // a system colour stays one
  return b.data;
}

TEST(PaletteStreamFuzz, JunkInputsKeepEveryReadersPromises) {
  const std::vector<QByteArray> inputs = JunkInputs(ValidLibrary(), 1108);
  for (uint8_t reader : {0, 1, 2})
    for (const QByteArray& input : inputs) {
      const std::string broken = RunWithSelector(ReadPaletteOnce, reader, input);
      ASSERT_TRUE(broken.empty()) << "reader " << int(reader) << ": " << broken << "\n" << input.toHex().constData();
    }
}

// Counts at the edges: beyond the points limit, beyond the bytes, wrapping when
// multiplied by the point size, and points far outside 0..256 that the control
// still has to draw.
TEST(PaletteStreamFuzz, EdgeCountsAndPositions) {
  const std::vector<QByteArray> inputs{
      TBytes().U32(1000).data + QByteArray(8000, '\0'),
      TBytes().U32(999).data + QByteArray(7991, '\0'),
      TBytes().U32(0x20000001).I32(0).I32(0).data,
      TBytes().U32(0xFFFFFFFF).data,
      TBytes().U32(2).I32(INT32_MIN).I32(-1).I32(INT32_MAX).I32(0x00FFFFFF).data,
      TBytes().U32(3).I32(INT32_MAX).I32(0).I32(INT32_MIN).I32(0xFF).I32(5).I32(0x80000000).data,
      // The control drew the marker of a point at the top of the integer range
      // with its outline beyond it (a signed overflow under UBSan).
      QByteArray::fromHex("03000000ffffff7fff0000010000000000cb00000000000000ff00d6"),
  };
  for (uint8_t reader : {0, 1, 2})
    for (const QByteArray& input : inputs) {
      const std::string broken = RunWithSelector(ReadPaletteOnce, reader, input);
      EXPECT_TRUE(broken.empty()) << "reader " << int(reader) << ": " << broken << "\n" << input.toHex().constData();
    }
}

}  // namespace

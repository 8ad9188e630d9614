// The 32-bit bitmap fuzz harness in the normal suite: junk made from a 32-bit
// BMP, an 8-bit BMP (read through the toolkit) and a "Data" property stream,
// through LoadFromStream and ReadData alike.

#include "tests/fuzz/bitmap32_bmp_fuzz_target.h"
#include "tests/fuzz/fuzz_inputs.h"

#include "raster_test_support.h"

namespace {

class Bitmap32BmpFuzz : public RasterTest {};

std::vector<QByteArray> ValidInputs() {
  TBitmap32 bitmap;
  bitmap.SetSize(3, 2);
  for (int i = 0; i < 6; ++i) bitmap.Bits()[i] = 0x10203040u * static_cast<uint32_t>(i + 1);
  TMemoryStream bmp;
  bitmap.SaveToStream(bmp);
  TMemoryStream data;
  bitmap.WriteData(data);

  TBmpImage paletted;
  paletted.Width = 3;
  paletted.Height = 2;
  paletted.BitCount = 8;
  paletted.Colors = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
  paletted.Pixels = {0, 1, 2, 0, 2, 1, 0, 0};
  TMemoryStream eightBits;
  WriteBmpImage(eightBits, paletted);
  return {bmp.Bytes(), data.Bytes(), eightBits.Bytes()};
}

TEST_F(Bitmap32BmpFuzz, JunkInputsReadWholeOrLeaveTheBitmapAlone) {
  for (const QByteArray& valid : ValidInputs())
    for (uint8_t reader : {0, 1})
      for (const QByteArray& input : JunkInputs(valid, 0x32u + reader, 100)) {
        const std::string broken = RunWithSelector(ReadBitmap32Once, reader, input);
        ASSERT_TRUE(broken.empty()) << "reader " << int(reader) << ": " << broken << "\n" << input.toHex().constData();
      }
}

}  // namespace

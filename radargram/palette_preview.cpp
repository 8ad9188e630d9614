#include "radargram/palette_preview.h"

#include "platform/rtl/rounding.h"
#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"

#include <algorithm>

namespace palette_preview {

namespace {

// A direct wave at the top, a strong reflection near row 95 and a weaker one
// deeper down.
constexpr std::array<int64_t, SampleTraceLength> kSampleTrace = {
    60180, 59072, 48927, 34086, 20542, 18064, 5939, -5744, -16345, -25326,
    -32276, -36930, -39168, -39017, -36642, -32320, -26426, -19398, -11712, -3851,
    3724, 10597, 16420, 20926, 23943, 25394, 25297, 23756, 20955, 17133,
    12576, 7593, 2496, -2415, -6871, -10646, -13567, -15523, -16464, -16401,
    -15402, -13586, -11108, -8154, -4923, -1619, 1566, 4455, 6902, 8796,
    10065, 10674, 10633, 9986, 8808, 7202, 5286, 3192, 1049, -1015,
    -2888, -4475, -5704, -6526, -6923, -6900, -6487, -5738, -4726, -3543,
    -2297, -1117, -155, 404, 327, -682, -2997, -7083, -13488, -22819,
    -35676, -52553, -73698, -98942, -127532, -158003, -188133, -215020, -235326, -249942,
    -243071, -225592, -192679, -145503, -86968, -21441, 45783, 109183, 163759, 205687,
    232745, 244200, 242021, 227815, 205030, 177073, 147122, 117796, 90987, 67830,
    48791, 33820, 22526, 14334, 8620, 4790, 2336, 849, 22, -371,
    -486, -431, -278, -78, 136, 340, 517, 655, 748, 793,
    790, 742, 654, 535, 392, 236, 76, -79, -222, -347,
    -452, -540, -617, -701, -816, -1003, -1318, -1837, -2658, -3896,
    -5677, -8122, -11323, -15306, -19993, -25159, -30403, -35134, -38598, -39938,
    -38306, -33009, -23665, -10347, 6322, 25158, 44507, 62435, 76987, 86486,
    89798, 86522, 77057, 62532, 44621, 25276, 6432, -10257, -23607, -32994,
    -38339, -40023, -38734, -35315, -30619, -25398, -20238, -15539, -11525, -8275,
    -5764, -3904, -2579, -1668, -1062, -669, -420, -264, -165, -100,
    -56, -23, 2, 21, 37, 48, 55, 59, 59, 55,
    49, 40, 29, 18, 6, -6, -16, -25, -31, -36,
    -38, -38, -36, -32, -26, -19, -11, -4, 4, 10,
    16, 20, 23, 25, 25, 23, 20, 17, 12, 7,
    2, -2, -7, -10, -13};

constexpr TColor kLineColor = 0x36D900;

}  // namespace

const std::array<int64_t, SampleTraceLength>& SampleTrace() { return kSampleTrace; }

uint8_t PreviewIndex(int64_t a) {
  const int64_t index = Round(255.0L * static_cast<long double>(a) / SampleTraceSpan + 127.0L);
  return static_cast<uint8_t>(std::clamp<int64_t>(index, 0, 255));
}

int PreviewLineX(int64_t a, int width) { return static_cast<int>(a / 2550) + width / 2; }

void DrawColorColumn(TBitmap& bitmap, int height) {
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetSize(2, std::max(height, 0));
  for (int i = 0; i < bitmap.Height(); ++i) {
    const uint8_t index = i < SampleTraceLength ? PreviewIndex(kSampleTrace[static_cast<size_t>(i)]) : 127;
    uint8_t* row = bitmap.ScanLine(i);
    row[0] = row[1] = index;
  }
}

void DrawSampleLine(TCanvas& canvas, int width, int height) {
  canvas.Brush()->SetStyle(bsSolid);
  canvas.Brush()->SetColor(clBtnFace);
  canvas.FillRect(Rect(0, 0, width, height));
  canvas.Pen()->SetColor(kLineColor);
  canvas.Pen()->SetWidth(1);
  canvas.MoveTo(width / 2, 0);
  for (int i = 0; i < std::min(height, SampleTraceLength); ++i)
    canvas.LineTo(PreviewLineX(kSampleTrace[static_cast<size_t>(i)], width), i);
}

}  // namespace palette_preview

// The wave-speed list, the simple-mode tool sets found in the program folder and
// the palette library's strips.

#include "acquisition/main_lists.h"
#include "acquisition/palette_strips.h"

#include "platform/rtl/streams.h"
#include "profiledata/palette_stream.h"
#include "profiledata/palette_stream_library.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace main_lists_test {

TEST(MediumList, RowsHoldCaptionAndSpeed) {
  const TListOfMedium list = FillMediumList();
  struct Row {
    size_t index;
    const char* caption;
    int32_t speed;
  };
  for (const Row r : {Row{0, "299 (air)", 299}, Row{9, "150 (clay dry or sand dry or permafrost dry)", 150},
                      Row{22, "20", 20}}) {
    EXPECT_EQ(list[r.index].Title, QString::fromUtf8(r.caption)) << r.index;
    EXPECT_EQ(list[r.index].Speed, r.speed) << r.index;
  }
  for (size_t i = 1; i < list.size(); ++i) EXPECT_LT(list[i].Speed, list[i - 1].Speed) << i;
}

TEST(SimpleToolSets, NamesSortWithoutCaseWhateverTheFolderOrder) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("setoftools")));
  for (const char* name : {"b.dstcl", "A.dstcl", "c.DSTCL", "a.dstcl", "d.stcl", "e.dstcl.bak", ".h.dstcl"}) {
    QFile f(dir.filePath(QStringLiteral("setoftools/") + QString::fromUtf8(name)));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("setoftools/folder.dstcl")));
  EXPECT_EQ(ScanDSTCL(dir.path() + u'/'), QStringList({".h.dstcl", "A.dstcl", "a.dstcl", "b.dstcl", "c.DSTCL"}));
  EXPECT_TRUE(ScanDSTCL(dir.path() + QStringLiteral("/none/")).isEmpty());
}

class PaletteStrips : public testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  QString Path() const { return dir_.filePath(QStringLiteral("palset")); }
  // The colour (0xRRGGBB) of the strip's pixel x in row y.
  static uint32_t Pixel(TBitmap& strip, int x, int y) {
    const uint8_t* p = strip.ScanLine(y) + 3 * x;
    return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
  }
  QTemporaryDir dir_;
};

TEST_F(PaletteStrips, OffsetsFollowThePalettesInFileOrder) {
  const std::vector<TPalettePoint> red{{0, 0x000000FF}, {256, 0x000000FF}};
  const std::vector<TPalettePoint> three{{0, 0x00FF0000}, {128, 0x0000FF00}, {256, 0x00FF0000}};
  const std::vector<TPalettePoint> green{{0, 0x0000FF00}, {256, 0x0000FF00}};
  EXPECT_EQ(AppendPaletteToLibrary(Path(), red), 0);
  EXPECT_EQ(AppendPaletteToLibrary(Path(), three), 4 + 8 * 2);
  EXPECT_EQ(AppendPaletteToLibrary(Path(), green), 4 + 8 * 2 + 4 + 8 * 3);

  TPaletteStrips strips = ReadPaletteStrips(Path());
  EXPECT_FALSE(strips.Failed);
  EXPECT_EQ(strips.PalArray, (std::vector<int64_t>{0, 0, 20, 48}));
  ASSERT_EQ(strips.Strips.size(), 3u);
  for (const auto& strip : strips.Strips) {
    EXPECT_EQ(strip->Width(), 180);
    EXPECT_EQ(strip->Height(), 16);
  }
  EXPECT_EQ(Pixel(*strips.Strips[0], 0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(*strips.Strips[0], 179, 15), 0xFF0000u);
  EXPECT_EQ(Pixel(*strips.Strips[1], 0, 3), 0x0000FFu);   // blue at both ends
  EXPECT_EQ(Pixel(*strips.Strips[1], 90, 3), 0x00FF00u);  // green at the middle point
  EXPECT_EQ(Pixel(*strips.Strips[2], 45, 7), 0x00FF00u);
}

TEST_F(PaletteStrips, AStreamWithoutPointsRepeatsThePaletteBefore) {
  AppendPaletteToLibrary(Path(), {{0, 0x000000FF}, {256, 0x000000FF}});
  {
    TFileStream file(Path(), fmOpenReadWrite);
    file.Seek(0, soEnd);
    WritePaletteStream(file, {});
  }
  TPaletteStrips strips = ReadPaletteStrips(Path());
  EXPECT_EQ(strips.PalArray, (std::vector<int64_t>{0, 0, 20}));
  ASSERT_EQ(strips.Strips.size(), 2u);
  EXPECT_EQ(Pixel(*strips.Strips[1], 100, 0), 0xFF0000u);
}

TEST_F(PaletteStrips, MissingOrCutLibrariesKeepWhatCouldBeRead) {
  TPaletteStrips none = ReadPaletteStrips(Path());
  EXPECT_TRUE(none.Failed);
  EXPECT_EQ(none.PalArray, std::vector<int64_t>{0});
  EXPECT_TRUE(none.Strips.empty());

  AppendPaletteToLibrary(Path(), {{0, 0}, {256, 0x00FFFFFF}});
  {
    QFile f(Path());
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write(QByteArray("\x05\x00\x00\x00\x01\x00", 6));  // five points announced, none there
  }
  TPaletteStrips cut = ReadPaletteStrips(Path());
  EXPECT_TRUE(cut.Failed);
  EXPECT_EQ(cut.PalArray, (std::vector<int64_t>{0, 0}));
  EXPECT_EQ(cut.Strips.size(), 1u);
}

}  // namespace main_lists_test

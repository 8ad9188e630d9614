// TPalMaker: the palette it starts with, the redraw (entries, strip, ticks,
// markers), the palette stream, files and the library, SetPal.

#include "profiledata/pal_maker.h"
#include "profiledata/palette_stream_library.h"

#include "platform/ui/application.h"
#include "platform/ui/forms.h"
#include "tests/support/ui_test_support.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>

#include <cmath>
#include <vector>

namespace {

constexpr TColor kFormColor = 0x00D8E0E8;

// The grey of entry i in the default palette: the line from (0, 0) to (256, 255).
long double DefaultGrey(int i) { return i * 255.0L / 256.0L; }

std::vector<TPalettePoint> PointsOf(const TPalMaker& maker) { return maker.PalettePoints(); }

QByteArray StreamOf(const std::vector<TPalettePoint>& points) {
  TMemoryStream stream;
  WritePaletteStream(stream, points);
  return stream.Bytes();
}

// A shown form with a palette control 268 pixels wide, so that Scale is 1 and
// palette position p is drawn at x = p + 6.
class PalMaker : public ::testing::Test {
protected:
  void SetUp() override {
    form_ = TComponent::Create<TForm>(nullptr);
    form_->SetBounds(0, 0, 320, 100);
    form_->SetColor(kFormColor);
    maker_ = new TPalMaker(form_);
    maker_->SetParent(form_);
    maker_->SetBounds(4, 17, 268, 39);
    maker_->OnPaint = [this](TObject*) { ++paints_; };
    maker_->OnChange = [this](TObject*) { ++changes_; };
    form_->Show();
    ASSERT_TRUE(ProcessMessagesUntil([&] { return paints_ > 0; }));
  }
  void TearDown() override { form_->Free(); }

  TForm* form_ = nullptr;
  TPalMaker* maker_ = nullptr;
  int paints_ = 0;
  int changes_ = 0;
};

TEST(PalMakerCreated, StartsWithTheGreyRampAndTheDefaultPoints) {
  TPalMaker maker(nullptr);
  const TMaxLogPalette* pal = maker.GetLogPal();
  ASSERT_NE(pal, nullptr);
  EXPECT_EQ(pal->palVersion, 0x300);
  EXPECT_EQ(pal->palNumEntries, 256);
  for (int i = 0; i < 256; ++i) {
    const uint8_t v = static_cast<uint8_t>(i);
    ASSERT_EQ(pal->palPalEntry[static_cast<size_t>(i)], (TPaletteEntry{v, v, v, PC_RESERVED})) << i;
  }
  EXPECT_EQ(PointsOf(maker), DefaultPalettePoints());
  for (int i = 0; i < maker.PointCount(); ++i) {
    EXPECT_EQ(maker.Points(i)->Y, 20);
    EXPECT_FALSE(maker.Points(i)->Selected);
  }
  EXPECT_EQ(maker.Moved, -1);
  EXPECT_TRUE(maker.TabStop());
  EXPECT_EQ(maker.Color(), clBtnFace);

  TBitmap* strip = maker.GetBmp();
  EXPECT_EQ(strip->Width(), 256);
  EXPECT_EQ(strip->Height(), 1);
  EXPECT_EQ(strip->PixelFormat(), pf8bit);
  EXPECT_EQ(maker.BmpSize, 256);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(strip->ScanLine(0)[i], i);
  EXPECT_EQ(strip->Canvas()->Pixels(77, 0), RGB(77, 77, 77));

  HPALETTE copy = maker.GetPal();
  ASSERT_EQ(copy->Entries.size(), 256u);
  EXPECT_EQ(copy->Entries[200], (TPaletteEntry{200, 200, 200, PC_RESERVED}));
}

TEST_F(PalMaker, RedrawTakesTheEntriesFromTheLineBetweenThePoints) {
  EXPECT_DOUBLE_EQ(maker_->Scale, 1.0);
  const TMaxLogPalette& pal = *maker_->GetLogPal();
  for (int i = 0; i < 256; ++i) {
    const TPaletteEntry& e = pal.palPalEntry[static_cast<size_t>(i)];
    ASSERT_LE(std::fabs(e.peRed - DefaultGrey(i)), 0.5L) << i;
    ASSERT_EQ(e.peGreen, e.peRed);
    ASSERT_EQ(e.peBlue, e.peRed);
    ASSERT_EQ(e.peFlags, PC_RESERVED);
  }
  EXPECT_EQ(pal.palPalEntry[0].peRed, 0);
  EXPECT_EQ(pal.palPalEntry[255].peRed, 254);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(maker_->buf[static_cast<size_t>(i)], i);
  // The strip bitmap shows the palette itself.
  EXPECT_EQ(maker_->GetBmp()->Canvas()->Pixels(255, 0), RGB(254, 254, 254));
}

TEST_F(PalMaker, RedrawDrawsStripTicksMarkersAndBand) {
  TCanvas* canvas = maker_->Canvas();
  const TMaxLogPalette& pal = *maker_->GetLogPal();
  for (int i : {0, 1, 64, 127, 200, 255}) {
    const TPaletteEntry& e = pal.palPalEntry[static_cast<size_t>(i)];
    for (int y : {5, 12, 19}) ASSERT_EQ(canvas->Pixels(6 + i, y), RGB(e.peRed, e.peGreen, e.peBlue)) << i << "," << y;
  }
  // Ticks at 0, 128 and 255, from y 1 to 4.
  for (int x : {6, 134, 261}) {
    for (int y = 1; y <= 4; ++y) ASSERT_EQ(canvas->Pixels(x, y), 0x999999) << x << "," << y;
    EXPECT_NE(canvas->Pixels(x, 0), 0x999999);
  }
  EXPECT_NE(canvas->Pixels(70, 2), 0x999999);
  // Markers: the swatch of each point's colour below the strip.
  EXPECT_EQ(canvas->Pixels(6, 30), 0x000000);
  EXPECT_EQ(canvas->Pixels(262, 30), 0xFFFFFF);
  // The band around the markers takes the parent's colour.
  EXPECT_EQ(canvas->Pixels(100, 30), kFormColor);
  EXPECT_EQ(canvas->Pixels(14, 36), kFormColor);
  EXPECT_NE(canvas->Pixels(14, 37), kFormColor) << "the band ends at H - 2";
}

TEST_F(PalMaker, FractionalScalePlacesTicksAndMarkersByRounding) {
  maker_->SetWidth(200);  // Scale = 188 / 256
  maker_->DrawPalette();
  EXPECT_DOUBLE_EQ(maker_->Scale, 188.0 / 256.0);
  TCanvas* canvas = maker_->Canvas();
  // round(128 * 0.734375) + 6 = 100, round(255 * 0.734375) + 6 = 193.
  for (int x : {6, 100, 193}) EXPECT_EQ(canvas->Pixels(x, 2), 0x999999) << x;
  EXPECT_EQ(canvas->Pixels(194, 30), 0xFFFFFF) << "the last marker at round(256 * Scale) + 6 = 194";
}

TEST_F(PalMaker, EveryRedrawFiresOnPaintOnce) {
  const int before = paints_;
  maker_->DrawPalette();
  maker_->DrawPalette();
  EXPECT_EQ(paints_, before + 2);
}

TEST_F(PalMaker, LoadingReplacesThePointsRedrawsAndNotifiesNobody) {
  const std::vector<TPalettePoint> points{{0, 0x000000}, {128, 0x0000FF}, {256, 0xFFFFFF}};
  TMemoryStream stream(StreamOf(points));
  const int before = paints_;
  maker_->LoadFromStream(stream);
  EXPECT_EQ(PointsOf(*maker_), points);
  EXPECT_EQ(stream.Position(), 4 + 8 * 3);
  EXPECT_EQ(paints_, before + 1);
  const TMaxLogPalette& pal = *maker_->GetLogPal();
  EXPECT_LE(std::abs(pal.palPalEntry[64].peRed - 128), 1);
  EXPECT_EQ(pal.palPalEntry[64].peGreen, 0);
  EXPECT_EQ(pal.palPalEntry[192].peRed, 255);
  EXPECT_LE(std::abs(pal.palPalEntry[192].peGreen - 128), 1);
  Application->ProcessMessages();
  EXPECT_EQ(changes_, 0);
}

TEST_F(PalMaker, AStreamWithoutAPaletteKeepsThePoints) {
  TMemoryStream stream(QByteArray::fromHex("01000000" "40000000" "ff000000"));
  const int before = paints_;
  maker_->LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), 4);
  EXPECT_EQ(PointsOf(*maker_), DefaultPalettePoints());
  EXPECT_EQ(paints_, before + 1) << "a control with a parent still redraws";
}

TEST_F(PalMaker, ABrokenStreamFailsAndLeavesThePalette) {
  QByteArray bytes = StreamOf({{0, 0x0000FF}, {100, 0x00FF00}, {256, 0xFF0000}});
  bytes.chop(3);
  TMemoryStream stream(bytes);
  const TMaxLogPalette before = *maker_->GetLogPal();
  EXPECT_THROW(maker_->LoadFromStream(stream), EReadError);
  EXPECT_EQ(PointsOf(*maker_), DefaultPalettePoints());
  EXPECT_EQ(stream.Position(), 0);
  maker_->DrawPalette();
  EXPECT_EQ(maker_->GetLogPal()->palPalEntry[100], before.palPalEntry[100]);
}

TEST(PalMakerCreated, WithoutAParentLoadingDoesNotRedraw) {
  TPalMaker maker(nullptr);
  int paints = 0;
  maker.OnPaint = [&](TObject*) { ++paints; };
  TMemoryStream stream(StreamOf({{0, 0x0000FF}, {256, 0xFF0000}}));
  maker.LoadFromStream(stream);
  EXPECT_EQ(paints, 0);
  EXPECT_EQ(maker.GetLogPal()->palPalEntry[10], (TPaletteEntry{10, 10, 10, PC_RESERVED}));
}

TEST_F(PalMaker, SavingWritesThePointsInListOrderWithSystemColoursAsTheyAre) {
  const std::vector<TPalettePoint> points{{0, clBtnFace}, {90, 0x00406080}, {40, 0x00FFFFFF}, {256, clBlack}};
  TMemoryStream in(StreamOf(points));
  maker_->LoadFromStream(in);
  TMemoryStream out;
  maker_->SaveToStream(out);
  EXPECT_EQ(out.Bytes(), StreamOf(points));
  // The components of a system colour are those of the colour it names.
  const QColor face = QGuiApplication::palette().color(QPalette::Window);
  EXPECT_EQ(maker_->Points(0)->RColor(), face.red());
  EXPECT_EQ(maker_->Points(0)->GColor(), face.green());
  EXPECT_EQ(maker_->Points(0)->BColor(), face.blue());
  EXPECT_EQ(maker_->Points(1)->RColor(), 0x80);
  EXPECT_EQ(maker_->Points(1)->BColor(), 0x40);
  EXPECT_EQ(maker_->GetLogPal()->palPalEntry[0].peRed, face.red()) << "the first entry is the resolved colour";
}

TEST_F(PalMaker, SetPalGivesAPictureThisPaletteAndKeepsItsIndices) {
  TMemoryStream stream(StreamOf({{0, 0x0000FF}, {256, 0xFF0000}}));
  maker_->LoadFromStream(stream);
  TBitmap picture;
  picture.SetPixelFormat(pf8bit);
  picture.SetSize(3, 2);
  const uint8_t indices[2][3] = {{0, 127, 255}, {9, 9, 200}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) picture.ScanLine(y)[x] = indices[y][x];
  maker_->SetPal(&picture);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(picture.ScanLine(y)[x], indices[y][x]);
  ASSERT_NE(picture.Palette(), nullptr);
  const TMaxLogPalette& pal = *maker_->GetLogPal();
  ASSERT_EQ(picture.Palette()->Entries.size(), 256u);
  for (size_t i = 0; i < 256; ++i) ASSERT_EQ(picture.Palette()->Entries[i], pal.palPalEntry[i]) << i;
  EXPECT_EQ(picture.Canvas()->Pixels(0, 0), RGB(255, 0, 0));

  TBitmap colour;
  colour.SetPixelFormat(pf24bit);
  colour.SetSize(2, 2);
  maker_->SetPal(&colour);
  EXPECT_EQ(colour.PixelFormat(), pf8bit);
}

class PalMakerFiles : public PalMaker {
protected:
  QTemporaryDir dir_;
};

TEST_F(PalMakerFiles, APaletteFileHoldsOneStream) {
  const std::vector<TPalettePoint> points{{0, 0x102030}, {77, 0x405060}, {256, 0x708090}};
  TMemoryStream stream(StreamOf(points));
  maker_->LoadFromStream(stream);
  const QString path = dir_.filePath("blue.pal");
  maker_->WriteToFile(path);
  TMemoryStream file;
  file.LoadFromFile(path);
  EXPECT_EQ(file.Bytes(), StreamOf(points));

  TPalMaker other(form_);
  other.SetParent(form_);
  other.ReadFromFile(path);
  EXPECT_EQ(PointsOf(other), points);

  EXPECT_THROW(other.ReadFromFile(dir_.filePath("missing.pal")), EFOpenError);
  EXPECT_THROW(maker_->WriteToFile(dir_.filePath("no/such/folder/x.pal")), EFCreateError);
  EXPECT_EQ(PointsOf(other), points);
}

TEST_F(PalMakerFiles, PalettesAreAppendedToTheLibraryAndLoadedFromTheirPositions) {
  const QString path = dir_.filePath("palset");
  const std::vector<TPalettePoint> red{{0, 0x000000}, {128, 0x0000FF}, {256, 0xFFFFFF}};
  AppendPaletteToLibrary(path, maker_->PalettePoints());
  TMemoryStream stream(StreamOf(red));
  maker_->LoadFromStream(stream);
  const int64_t second = AppendPaletteToLibrary(path, maker_->PalettePoints());

  const auto records = ReadPaletteLibrary(path);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].Position, second);

  TPalMaker reader(form_);
  reader.SetParent(form_);
  TFileStream file(path, fmOpenRead);
  file.SetPosition(records[1].Position);
  reader.LoadFromStream(file);
  EXPECT_EQ(PointsOf(reader), red);
  file.SetPosition(records[0].Position);
  reader.LoadFromStream(file);
  EXPECT_EQ(PointsOf(reader), DefaultPalettePoints());
}

}  // namespace

#pragma once
// One fuzz input through the palette stream readers, shared by the libFuzzer
// target and the normal suite (tests/profiledata/palette_stream_fuzz_test.cpp).
//
// Input: byte 0 picks the reader, the rest is the bytes:
//   0  ReadPaletteStream on a memory stream;
//   1  TPalMaker::LoadFromStream into a control on a form (so it redraws);
//   2  ReadPaletteLibrary on a file holding the bytes.
// The result is checked against what the bytes say by the stream layout
// (u32 count, then count x (i32 position, i32 colour)): a count of 0 or 1 keeps
// the palette and consumes 4 bytes; a count above 999 or beyond the bytes is an
// EReadError that leaves the stream where it was and the palette unchanged; any
// other count gives exactly the stored points.
//
// Needs a QApplication (the control is a widget).

#include "platform/ui/forms.h"
#include "profiledata/pal_maker.h"
#include "profiledata/palette_stream.h"
#include "profiledata/palette_stream_library.h"

#include "tests/fuzz/fuzz_scratch_folder.h"

#include <QByteArray>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace palette_fuzz {

// What the layout says of a stream starting at `at`: nullopt for a read error.
struct TExpectedPalette {
  int64_t end = 0;                                  // where the read leaves the stream
  std::optional<std::vector<TPalettePoint>> points;  // nullopt: count 0 or 1
};

inline uint32_t U32At(const QByteArray& b, int64_t at) {
  uint32_t v = 0;
  std::memcpy(&v, b.constData() + at, 4);
  return v;
}

inline std::optional<TExpectedPalette> ExpectedAt(const QByteArray& b, int64_t at) {
  if (b.size() - at < 4) return std::nullopt;
  const uint32_t count = U32At(b, at);
  if (count <= 1) return TExpectedPalette{at + 4, std::nullopt};
  if (count > 999 || int64_t{count} * 8 > b.size() - at - 4) return std::nullopt;
  std::vector<TPalettePoint> points(count);
  for (uint32_t k = 0; k < count; ++k) {
    points[k].X = static_cast<int32_t>(U32At(b, at + 4 + 8 * k));
    points[k].cl = static_cast<TColor>(U32At(b, at + 8 + 8 * k));
  }
  return TExpectedPalette{at + 4 + 8 * int64_t{count}, std::move(points)};
}

inline std::string CheckStream(const QByteArray& bytes) {
  const std::optional<TExpectedPalette> expected = ExpectedAt(bytes, 0);
  TMemoryStream stream(bytes);
  std::optional<std::vector<TPalettePoint>> points;
  try {
    points = ReadPaletteStream(stream);
  } catch (const EReadError&) {
    if (expected) return "a readable palette was refused";
    if (stream.Position() != 0) return "a refused palette moved the stream";
    return {};
  }
  if (!expected) return "a damaged palette was read";
  if (stream.Position() != expected->end) return "the read ended at the wrong position";
  if (points != expected->points) return "the points differ from the stored ones";
  return {};
}

// One control on a hidden form for the whole run; every input starts it from the
// default palette.
inline TPalMaker& Control() {
  static TForm* form = [] {
    TForm* f = TComponent::Create<TForm>(nullptr);
    f->SetBounds(0, 0, 320, 100);
    return f;
  }();
  static TPalMaker* maker = [] {
    auto* m = new TPalMaker(form);
    m->SetParent(form);
    m->SetBounds(4, 17, 268, 39);
    return m;
  }();
  return *maker;
}

inline std::string CheckControl(const QByteArray& bytes) {
  TPalMaker& maker = Control();
  {
    TMemoryStream defaults;
    WritePaletteStream(defaults, DefaultPalettePoints());
    defaults.SetPosition(0);
    maker.LoadFromStream(defaults);
  }
  const std::optional<TExpectedPalette> expected = ExpectedAt(bytes, 0);
  TMemoryStream stream(bytes);
  try {
    maker.LoadFromStream(stream);
  } catch (const EReadError&) {
    if (expected) return "the control refused a readable palette";
    if (maker.PalettePoints() != DefaultPalettePoints()) return "a refused palette changed the control";
    return {};
  }
  if (!expected) return "the control read a damaged palette";
  if (maker.PalettePoints() != expected->points.value_or(DefaultPalettePoints()))
    return "the control holds other points than the stored ones";
  return {};
}

inline std::string CheckLibrary(const QByteArray& bytes) {
  const QString path = FuzzScratchFolder().filePath(QStringLiteral("palset"));
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
      return "the fixture could not be written";
  }
  // The walk the layout gives: palettes one after another up to the file's end.
  std::vector<TPaletteLibraryRecord> expected;
  bool damaged = false;
  for (int64_t at = 0; at < bytes.size();) {
    const std::optional<TExpectedPalette> palette = ExpectedAt(bytes, at);
    if (!palette) {
      damaged = true;
      break;
    }
    expected.push_back(TPaletteLibraryRecord{at, palette->points});
    at = palette->end;
  }
  std::vector<TPaletteLibraryRecord> records;
  try {
    records = ReadPaletteLibrary(path);
  } catch (const EReadError&) {
    return damaged ? std::string() : "a readable library was refused";
  }
  if (damaged) return "a damaged library was read";
  if (records.size() != expected.size()) return "the library holds another number of palettes";
  for (size_t i = 0; i < records.size(); ++i)
    if (records[i].Position != expected[i].Position || records[i].Points != expected[i].Points)
      return "a library palette differs from the stored one";
  return {};
}

}  // namespace palette_fuzz

// Empty when every guarantee held, else the first that did not.
inline std::string ReadPaletteOnce(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  switch (data[0] % 3) {
    case 0: return palette_fuzz::CheckStream(bytes);
    case 1: return palette_fuzz::CheckControl(bytes);
    default: return palette_fuzz::CheckLibrary(bytes);
  }
}

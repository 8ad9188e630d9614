#include "profiledata/palette_stream_library.h"

#include "profiledata/replacing_file.h"

#include <QFileInfo>

std::vector<TPaletteLibraryRecord> ReadPaletteLibrary(const QString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  std::vector<TPaletteLibraryRecord> records;
  const int64_t size = file.Size();
  while (file.Position() < size) {
    TPaletteLibraryRecord record;
    record.Position = file.Position();
    record.Points = ReadPaletteStream(file);
    records.push_back(std::move(record));
  }
  return records;
}

int64_t AppendPaletteToLibrary(const QString& fileName, const std::vector<TPalettePoint>& points) {
  TFileStream file(fileName, QFileInfo::exists(fileName) ? fmOpenReadWrite : fmCreate);
  const int64_t position = file.Seek(0, soEnd);
  WritePaletteStream(file, points);
  return position;
}

TPaletteRemoval RemovePaletteFromLibrary(const QString& fileName, int index) {
  std::vector<uint8_t> before, after;
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    const int64_t size = file.Size();
    std::vector<int64_t> starts;
    while (file.Position() < size) {
      starts.push_back(file.Position());
      ReadPaletteStream(file);
    }
    if (index < 0 || index >= static_cast<int>(starts.size())) return prNoSuchPalette;
    const int64_t from = starts[static_cast<size_t>(index)];
    const int64_t to = index + 1 < static_cast<int>(starts.size()) ? starts[static_cast<size_t>(index) + 1] : size;
    before.resize(static_cast<size_t>(from));
    after.resize(static_cast<size_t>(size - to));
    file.Seek(0, soBeginning);
    if (!before.empty()) file.ReadBuffer(before.data(), static_cast<int64_t>(before.size()));
    file.Seek(to, soBeginning);
    if (!after.empty()) file.ReadBuffer(after.data(), static_cast<int64_t>(after.size()));
  } catch (const EStreamError&) {
    return prUnreadable;
  }
  try {
    WriteFileReplacing(fileName, [&](TStream& out) {
      if (!before.empty()) out.WriteBuffer(before.data(), static_cast<int64_t>(before.size()));
      if (!after.empty()) out.WriteBuffer(after.data(), static_cast<int64_t>(after.size()));
    });
  } catch (const EStreamError&) {
    return prWriteFailed;
  }
  return prRemoved;
}

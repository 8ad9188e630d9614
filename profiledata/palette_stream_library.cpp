#include "profiledata/palette_stream_library.h"

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

#pragma once
// The frame every tool's chain record shares.
//
// Current form: i32 end offset (absolute position of the first byte after the
// record), the tool name (short 8-bit string), the format byte, the caption (short
// wide string), the Apply flag (one byte), then the tool's own fields.
// Older form: end offset, name, caption (short 8-bit string), Apply flag, fields;
// no format byte.
// The caller has read the end offset and the name before a tool reads the rest,
// and positions the stream at the end offset afterwards.

#include <QString>

#include <cstdint>

class TStream;

// Writes the frame head at the stream's position; the end offset is patched when
// the writer goes, also when writing the tool's fields threw.
class TToolRecordWriter {
public:
  TToolRecordWriter(TStream& stream, const QString& toolName, uint8_t format, const QString& caption, bool apply);
  ~TToolRecordWriter();
  TToolRecordWriter(const TToolRecordWriter&) = delete;
  TToolRecordWriter& operator=(const TToolRecordWriter&) = delete;

private:
  TStream& stream_;
  int64_t start_;
};

// What the current form holds after the name: the format byte and, from format 32
// on, the caption and the Apply flag.
struct TToolRecordHead {
  uint8_t Format = 0;
  bool HasCaption = false;
  QString Caption;
  bool Apply = false;
};
// The first format whose records carry the caption and the Apply flag.
constexpr uint8_t ToolRecordCaptionFormat = 32;

TToolRecordHead ReadToolRecordHead(TStream& stream);
// Older form: caption and Apply flag (HasCaption is always set, Format 0).
TToolRecordHead ReadOldToolRecordHead(TStream& stream);

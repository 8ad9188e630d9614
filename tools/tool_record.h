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
//
// A tool reads its fields through TToolRecordFields. Handed a TToolRecordStream
// (ReadToolRecordBody does that), it reads no field that would pass the record's
// end offset: that field and every later one keep their values. A stream that
// ends inside the record still throws EReadError, as any read past a stream's
// end does; so does every read on a plain stream, which has no record end.

#include "platform/rtl/streams.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <limits>
#include <type_traits>

class TCommonTool;

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

// One record of a chain file as its tool sees it: the file stream (positions
// stay the file's) and the record's end offset.
class TToolRecordStream final : public TStream {
public:
  TToolRecordStream(TStream& file, int64_t recordEnd) : file_(file), end_(recordEnd) {}
  int64_t RecordEnd() const { return end_; }

  int64_t Read(void* buffer, int64_t count) override { return file_.Read(buffer, count); }
  // A record is read, never written.
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override { return file_.Seek(offset, origin); }
  void SetSize(int64_t) override {}
  int64_t Size() override { return file_.Size(); }

private:
  TStream& file_;
  int64_t end_;
};

// Reads a record's fields in order. Once a field would pass the record's end,
// it and every later field are left as they are (Ended() tells).
class TToolRecordFields {
public:
  explicit TToolRecordFields(TStream& stream);

  template <typename T>
  bool Read(T& field) {
    static_assert(std::is_trivially_copyable_v<T>);
    if (!Fits(sizeof(T))) return false;
    field = stream_.ReadValue<T>();
    return true;
  }
  bool ReadBool(bool& field);
  // A 10-byte extended value; a value that is not finite is passed over and the
  // field keeps its value (false; later fields are read on).
  bool ReadExtended(long double& field);
  bool ReadUniString(QString& field);
  bool ReadShortString(QByteArray& field);
  bool Skip(int64_t bytes);
  bool Ended() const { return ended_; }

private:
  // Whether the next `bytes` bytes lie inside the record; ends it when not.
  bool Fits(int64_t bytes);
  TStream& stream_;
  int64_t end_ = std::numeric_limits<int64_t>::max();
  bool ended_ = false;
};

// What the current form holds after the name: the format byte and, from format 32
// on, the caption and the Apply flag.
struct TToolRecordHead {
  uint8_t Format = 0;
  bool HasCaption = false;
  QString Caption;
  // The Apply flag was there (a record may end after its caption).
  bool HasApply = false;
  bool Apply = false;
};
// The first format whose records carry the caption and the Apply flag.
constexpr uint8_t ToolRecordCaptionFormat = 32;

TToolRecordHead ReadToolRecordHead(TStream& stream);
// captionFormat: the first format of the tool's records with the caption and the
// Apply flag (0 for a tool whose every record carries them).
TToolRecordHead ReadToolRecordHead(TToolRecordFields& fields, uint8_t captionFormat = ToolRecordCaptionFormat);
// Older form: caption and Apply flag (Format 0).
TToolRecordHead ReadOldToolRecordHead(TStream& stream);
TToolRecordHead ReadOldToolRecordHead(TToolRecordFields& fields);

enum class TToolRecordForm : uint8_t {
  Current,  // "TLS3U" and "BTLS5U" files: ReadFromUniStream
  Older,    // "TLS_3" and "TOOLS" files: ReadFromStream
};

// A record read as most tools read theirs: the head of the form (current:
// captionFormat as for ReadToolRecordHead), its caption and Apply flag into
// tool, the tool's own fields through readBody (none when empty) when the Apply
// flag was there, then the set NumberView saved from the working parameters.
void ReadToolRecord(TCommonTool& tool, TStream& stream, TToolRecordForm form, int32_t NumberView,
                    const std::function<void(TToolRecordFields&)>& readBody = {},
                    uint8_t captionFormat = ToolRecordCaptionFormat);

// The rest of a record (its end offset and name read) into tool as set
// NumberView, the tool reading no further than recordEnd. The caller then seeks
// to recordEnd. EReadError when the stream ends inside the record.
void ReadToolRecordBody(TCommonTool& tool, TStream& stream, int64_t recordEnd, TToolRecordForm form,
                        int32_t NumberView);

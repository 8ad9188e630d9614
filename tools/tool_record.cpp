#include "tools/tool_record.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/streams.h"
#include "profiledata/stream_strings.h"

#include <limits>

TToolRecordWriter::TToolRecordWriter(TStream& stream, const QString& toolName, uint8_t format, const QString& caption,
                                     bool apply)
    : stream_(stream), start_(stream.Position()) {
  stream_.WriteValue<int32_t>(0);
  WriteShortAnsiString(stream_, StringToAnsi(toolName));
  stream_.WriteValue<uint8_t>(format);
  WriteShortWideString(stream_, caption);
  stream_.WriteValue<uint8_t>(apply ? 1 : 0);
}

TToolRecordWriter::~TToolRecordWriter() {
  try {
    const int64_t end = stream_.Position();
    stream_.SetPosition(start_);
    // The files hold i32 offsets; a stream past that range cannot be described.
    stream_.WriteValue<int32_t>(end > std::numeric_limits<int32_t>::max() ? -1 : static_cast<int32_t>(end));
    stream_.SetPosition(end);
  } catch (...) {
    // A stream that cannot be written to any more has already reported it.
  }
}

TToolRecordHead ReadToolRecordHead(TStream& stream) {
  TToolRecordHead head;
  head.Format = stream.ReadValue<uint8_t>();
  if (head.Format >= ToolRecordCaptionFormat) {
    head.HasCaption = true;
    head.Caption = ReadShortWideString(stream);
    head.Apply = stream.ReadValue<uint8_t>() != 0;
  }
  return head;
}

TToolRecordHead ReadOldToolRecordHead(TStream& stream) {
  TToolRecordHead head;
  head.HasCaption = true;
  head.Caption = AnsiToString(ReadShortAnsiString(stream));
  head.Apply = stream.ReadValue<uint8_t>() != 0;
  return head;
}

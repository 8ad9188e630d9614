#include "tools/tool_record.h"

#include "platform/rtl/ansi.h"
#include "platform/rtl/extended.h"
#include "profiledata/stream_strings.h"
#include "tools/common_tool.h"

#include <cmath>
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

// ---- Reading ---------------------------------------------------------------------

TToolRecordFields::TToolRecordFields(TStream& stream) : stream_(stream) {
  if (const auto* record = dynamic_cast<const TToolRecordStream*>(&stream)) end_ = record->RecordEnd();
}

bool TToolRecordFields::Fits(int64_t bytes) {
  if (ended_) return false;
  if (end_ != std::numeric_limits<int64_t>::max() && stream_.Position() > end_ - bytes) ended_ = true;
  return !ended_;
}

bool TToolRecordFields::ReadBool(bool& field) {
  uint8_t byte = 0;
  if (!Read(byte)) return false;
  field = byte != 0;
  return true;
}

bool TToolRecordFields::ReadExtended(long double& field) {
  if (!Fits(ExtendedSize)) return false;
  const long double value = ::ReadExtended(stream_);
  if (!std::isfinite(value)) return false;
  field = value;
  return true;
}

bool TToolRecordFields::ReadUniString(QString& field) {
  uint8_t length = 0;
  if (!Fits(1)) return false;
  const int64_t at = stream_.Position();
  length = stream_.ReadValue<uint8_t>();
  if (!Fits(int64_t{length} * 2)) return false;
  stream_.SetPosition(at);
  field = ReadShortWideString(stream_);
  return true;
}

bool TToolRecordFields::ReadShortString(QByteArray& field) {
  uint8_t length = 0;
  if (!Fits(1)) return false;
  const int64_t at = stream_.Position();
  length = stream_.ReadValue<uint8_t>();
  if (!Fits(length)) return false;
  stream_.SetPosition(at);
  field = ReadShortAnsiString(stream_);
  return true;
}

bool TToolRecordFields::Skip(int64_t bytes) {
  if (bytes < 0 || !Fits(bytes)) return false;
  stream_.Seek(bytes, soCurrent);
  return true;
}

TToolRecordHead ReadToolRecordHead(TToolRecordFields& fields, uint8_t captionFormat) {
  TToolRecordHead head;
  if (!fields.Read(head.Format)) return head;
  if (head.Format >= captionFormat) {
    head.HasCaption = fields.ReadUniString(head.Caption);
    head.HasApply = fields.ReadBool(head.Apply);
  }
  return head;
}

TToolRecordHead ReadToolRecordHead(TStream& stream) {
  TToolRecordFields fields(stream);
  return ReadToolRecordHead(fields);
}

TToolRecordHead ReadOldToolRecordHead(TToolRecordFields& fields) {
  TToolRecordHead head;
  QByteArray caption;
  if (fields.ReadShortString(caption)) {
    head.HasCaption = true;
    head.Caption = AnsiToString(caption);
  }
  head.HasApply = fields.ReadBool(head.Apply);
  return head;
}

TToolRecordHead ReadOldToolRecordHead(TStream& stream) {
  TToolRecordFields fields(stream);
  return ReadOldToolRecordHead(fields);
}

void ReadToolRecord(TCommonTool& tool, TStream& stream, TToolRecordForm form, int32_t NumberView,
                    const std::function<void(TToolRecordFields&)>& readBody, uint8_t captionFormat) {
  TToolRecordFields fields(stream);
  const TToolRecordHead head = form == TToolRecordForm::Current ? ReadToolRecordHead(fields, captionFormat)
                                                                 : ReadOldToolRecordHead(fields);
  if (head.HasCaption) tool.SetCaption(head.Caption);
  if (head.HasApply) {
    tool.AExecuting = head.Apply;
    if (readBody) readBody(fields);
  }
  tool.SaveParamPlugin(NumberView);
}

void ReadToolRecordBody(TCommonTool& tool, TStream& stream, int64_t recordEnd, TToolRecordForm form,
                        int32_t NumberView) {
  TToolRecordStream record(stream, recordEnd);
  if (form == TToolRecordForm::Current) {
    tool.ReadFromUniStream(record, NumberView);
  } else {
    tool.ReadFromStream(record, NumberView);
  }
}

#pragma once
// One fuzz input through a tool's record reader, shared by the libFuzzer target
// and the junk-input test of the normal suite (so the harness cannot rot).
//
// Input: byte 0 picks the tool (among the registry's tools whose class is built),
// the record form (current or older) and the channel set read into; the rest is
// the record's body after its name. The harness wraps the body in a valid frame
// (end offset, the tool's name) with the next record's bytes behind it, reads it
// as the chain readers do, and checks that nothing was read past the record's
// end and that nothing was thrown.

#include "platform/rtl/ansi.h"
#include "platform/rtl/streams.h"
#include "profiledata/stream_strings.h"
#include "tools/common_tool.h"
#include "tools/list_of_tools.h"
#include "tools/tool_classes.h"
#include "tools/tool_record.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace tool_records_fuzz {

// A memory stream that remembers the furthest byte read.
class TSpyStream : public TMemoryStream {
public:
  using TMemoryStream::TMemoryStream;
  int64_t Read(void* buffer, int64_t count) override {
    const int64_t from = Position();
    const int64_t n = TMemoryStream::Read(buffer, count);
    furthest = std::max(furthest, from + n);
    return n;
  }
  int64_t furthest = 0;
};

// The registry names of every catalogue tool whose class is built.
inline const std::vector<QString>& BuiltToolNames() {
  static const std::vector<QString> names = [] {
    TListOfTools registry(nullptr);
    for (const char* key : {"Abs", "BandFilter", "Blur", "Compressor", "Corelator", "Comparator", "Filter", "Hilbert",
                            "DQ", "Migration", "Normalization", "TVGC", "Waveleter", "HorzWaveleter",
                            "WindowSubstrAverage", "MigrationAdv", "Median", "SearchObject", "RealView", "GridView",
                            "GridTime", "ObjDetect", "GenTest", "Spectrum", "CalcTraces", "Leveler"})
      registry.PutTool(QString::fromLatin1(key));
    std::vector<QString> built;
    for (int32_t i = 0; i < registry.Count(); ++i)
      if (FindToolClass(registry.Descriptor(i).EnglishName)) built.push_back(registry.Descriptor(i).EnglishName);
    return built;
  }();
  return names;
}

inline std::string ReadToolRecordOnce(const uint8_t* data, size_t size) {
  if (size == 0) return {};
  const std::vector<QString>& names = BuiltToolNames();
  if (names.empty()) return "no tool class is built";
  const uint8_t selector = data[0];
  const QString name = names[selector % names.size()];
  const TToolRecordForm form = (selector / 16) % 2 == 0 ? TToolRecordForm::Current : TToolRecordForm::Older;
  const int32_t channel = (selector / 32) % 5;
  const QByteArray body(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

  TSpyStream file;
  file.WriteBuffer("TLS3U\x00\x10", 7);
  const int64_t start = file.Position();
  file.WriteValue<int32_t>(0);
  WriteShortAnsiString(file, StringToAnsi(name));
  file.WriteBuffer(body.constData(), body.size());
  const int64_t end = file.Position();
  file.WriteBuffer("\xEE\xEE\xEE\xEE\xEE\xEE\xEE\xEE", 8);  // the next record
  file.SetPosition(start);
  file.WriteValue<int32_t>(static_cast<int32_t>(end));

  file.SetPosition(start);
  const int64_t recordEnd = file.ReadValue<int32_t>();
  TCommonTool::ReadShortString(file);
  const int64_t bodyStart = file.Position();
  file.furthest = 0;
  std::unique_ptr<TCommonTool> tool = FindToolClass(name)(0);
  try {
    ReadToolRecordBody(*tool, file, recordEnd, form, channel);
  } catch (const std::exception& e) {
    return std::string("the reader threw: ") + e.what();
  }
  if (file.furthest > recordEnd) return "read past the record's end";
  if (file.Position() > recordEnd || file.Position() < bodyStart) return "left the stream outside the record";
  if (tool->GetCaption().size() > TCommonTool::MaxCaptionLength) return "caption longer than the title";
  return {};
}

}  // namespace tool_records_fuzz

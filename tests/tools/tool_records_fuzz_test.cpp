// The tool-record fuzz harness in the normal suite: junk bodies made from a valid
// record of every tool built so far, in both record forms and into every
// channel's set, read inside a valid frame: never past the record's end, never
// a throw.

#include "platform/rtl/streams.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/tool_records_fuzz_target.h"

#include <gtest/gtest.h>

namespace tool_records_fuzz_test {

// A tool's own record after its end offset and name, as it writes it.
QByteArray ValidBody(const QString& name) {
  std::unique_ptr<TCommonTool> tool = FindToolClass(name)(0);
  TMemoryStream stream;
  tool->SaveToStream(stream);
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  return stream.Bytes().mid(static_cast<qsizetype>(stream.Position()));
}

TEST(ToolRecordsFuzz, JunkBodiesOfEveryBuiltToolStayInsideTheirRecord) {
  using tool_records_fuzz::BuiltToolNames;
  using tool_records_fuzz::ReadToolRecordOnce;
  ASSERT_FALSE(BuiltToolNames().empty());
  for (size_t t = 0; t < BuiltToolNames().size(); ++t) {
    const QString& name = BuiltToolNames()[t];
    const std::vector<QByteArray> inputs = JunkInputs(ValidBody(name), 3211 + static_cast<uint32_t>(t), 60);
    for (uint8_t variant : {0, 16, 32 + 16, 4 * 32})
      for (const QByteArray& input : inputs) {
        const auto selector = static_cast<uint8_t>(variant + t);
        const std::string broken = RunWithSelector(ReadToolRecordOnce, selector, input);
        ASSERT_TRUE(broken.empty()) << name.toStdString() << ", selector " << int(selector) << ": " << broken << "\n"
                                    << input.toHex().constData();
      }
  }
}

}  // namespace tool_records_fuzz_test

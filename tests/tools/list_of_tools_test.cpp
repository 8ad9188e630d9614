// The tool registry: its start-up list, the factory by name, caption and the
// older names (also under a language that translates them), the index checks,
// and the chain files' headers with the records the tools write and read.

#include "platform/rtl/extended.h"
#include "platform/rtl/resource_strings.h"
#include "platform/rtl/streams.h"
#include "platform/ui/dialog_script.h"
#include "tests/tools/tool_test_support.h"
#include "tools/abs_tool.h"
#include "tools/list_of_tools.h"
#include "tools/tool_classes.h"
#include "tools/tool_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace list_of_tools_test {

// A rectifier that counts the view bindings it hears of.
class TCountingAbsTool : public TAbsTool {
public:
  using TAbsTool::TAbsTool;
  int afterSetView = 0;
  std::vector<int32_t> changes;
  uint16_t language = 0;
  void AfterSetView_() override { ++afterSetView; }
  void AfterChange(int32_t n) override { changes.push_back(n); }
};

// Makes "Abs" build counting rectifiers for one test.
class CountingAbsScope {
public:
  CountingAbsScope() {
    RegisterToolClass(QStringLiteral("Abs"), [](uint16_t language) -> std::unique_ptr<TCommonTool> {
      auto tool = std::make_unique<TCountingAbsTool>(language);
      tool->language = language;
      return tool;
    });
  }
  ~CountingAbsScope() {
    RegisterToolClass(QStringLiteral("Abs"),
                      [](uint16_t language) -> std::unique_ptr<TCommonTool> { return std::make_unique<TAbsTool>(language); });
  }
};

class ListOfToolsTest : public ::testing::Test {
protected:
  TListOfTools tools{nullptr};
  std::vector<std::unique_ptr<T2Dview>> channels;
  std::array<T2Dview*, 5> views{};

  void SetUp() override {
    tools.Initialise(QStringLiteral("/nowhere"), true, 1033);
    for (size_t c = 0; c < 3; ++c) {
      channels.push_back(MakeChannel(2, 4));
      views[c] = channels.back().get();
    }
  }
};

TEST_F(ListOfToolsTest, StartUpListInOrder) {
  const QStringList captions{"Rectifier", "Band Pass Filter", "Blur", "Nonlinear Amplifier", "Three-Point Correlator",
                             "Comparator", "LPF/HPF", "Hilbert Filter", "Migration", "Normalization", "Gain",
                             "Wavelet Filter", "Windowed Background Removal", "DQ Filter", "Median filter"};
  ASSERT_EQ(tools.Count(), 15);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(tools.GetToolName(i), captions[i]) << i;
  EXPECT_EQ(tools.Descriptor(4).Name, "Adaptive Filter");
  EXPECT_EQ(tools.Descriptor(8).Name, "MigrationAdv");
  EXPECT_EQ(tools.GetToolDscr(2),
            "2D Filter. It smoothes sharp edges of the profile (Reduces influence of high-frequency noise - \\\"sand\\\")");
  EXPECT_EQ(tools.GetToolPath(0), QByteArray());

  EXPECT_FALSE(tools.PutTool(QStringLiteral("abs"))) << "keys are case-sensitive";
  EXPECT_FALSE(tools.PutTool(QStringLiteral("Unknown")));
  EXPECT_TRUE(tools.PutTool(QStringLiteral("HorzWaveleter")));
  EXPECT_EQ(tools.Count(), 16);
  EXPECT_EQ(tools.GetToolName(15), "Horz Wavelet Filter");
}

TEST_F(ListOfToolsTest, IndicesOutsideTheListAreRefused) {
  for (int32_t i : {-1, tools.Count()}) {
    SCOPED_TRACE(i);
    for (int k = 0; k < 3; ++k) TDialogScript::QueueAnswer(IDOK);
    EXPECT_EQ(tools.GetToolName(i), QString());
    EXPECT_EQ(tools.GetToolDscr(i), QString());
    EXPECT_EQ(tools.GetToolPath(i), QByteArray());
    const auto shown = TDialogScript::Shown();
    ASSERT_EQ(shown.size(), 3u);
    for (const TShownDialog& d : shown) EXPECT_EQ(d.Text, "Index is not correct");
    TDialogScript::Reset();
  }
}

TEST_F(ListOfToolsTest, FactoryByNameCaptionAndOnlyForClassesItHas) {
  CountingAbsScope counting;
  tools.Language = 0x10019;  // the constructors get the low 16 bits
  for (const char* name : {"Rectifier", "Abs"}) {
    SCOPED_TRACE(name);
    std::unique_ptr<TCommonTool> tool = tools.GetTool(QString::fromLatin1(name), views);
    auto* abs = dynamic_cast<TCountingAbsTool*>(tool.get());
    ASSERT_NE(abs, nullptr);
    for (int c = 0; c < 5; ++c) EXPECT_EQ(abs->GetViewByIndx(c), views[static_cast<size_t>(c)]);
    EXPECT_EQ(abs->changes, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(abs->afterSetView, 2) << "after channel 0's view and once more";
    EXPECT_EQ(abs->language, 0x19);
  }
  // Registered without a class built yet, known but not registered, unknown,
  // another case.
  for (const char* name : {"Horz Wavelet Filter", "Leveler Filter", "Unknown", "abs", ""})
    EXPECT_EQ(tools.GetTool(QString::fromLatin1(name), views), nullptr) << name;
  TListOfTools empty(nullptr);
  EXPECT_EQ(empty.GetTool(QStringLiteral("Abs"), views), nullptr);
}

TEST_F(ListOfToolsTest, ATranslatedNameStillCreatesItsTool) {
  RegisterLanguageModule(25, {{"SAbsToolName", QStringLiteral("Выпр")}, {"SAbsCaption", QStringLiteral("Выпрямитель")}});
  SetResourceLanguage(25);
  TListOfTools russian(nullptr);
  russian.Initialise(QString(), true, 25);
  SetResourceLanguage(1033);
  EXPECT_EQ(russian.Descriptor(0).Name, QStringLiteral("Выпр"));
  EXPECT_EQ(russian.GetToolName(0), QStringLiteral("Выпрямитель"));
  for (const QString& name : {QStringLiteral("Выпр"), QStringLiteral("Выпрямитель"), QStringLiteral("Abs"),
                              QStringLiteral("Rectifier")}) {
    std::unique_ptr<TCommonTool> tool = russian.GetTool(name, views);
    ASSERT_NE(tool, nullptr) << name.toStdString();
    EXPECT_EQ(tool->AToolName, "Abs") << "records carry the fixed name";
  }
}

int32_t I32At(const QByteArray& bytes, int at) {
  int32_t v = 0;
  std::memcpy(&v, bytes.constData() + at, 4);
  return v;
}

TEST_F(ListOfToolsTest, HeaderAndOneDefaultRectifierMakeThirtySevenBytes) {
  TMemoryStream file;
  file.WriteBuffer("old content that goes", 21);
  tools.SaveTools(file, views[0]);
  std::unique_ptr<TCommonTool> tool = tools.GetTool(QStringLiteral("Abs"), views);
  tool->GetParam(0);
  tool->SaveToStream(file);
  const QByteArray bytes = file.Bytes().left(static_cast<int>(file.Position()));
  ASSERT_EQ(bytes.size(), 37);
  EXPECT_EQ(bytes.left(7), QByteArray("\x54\x4C\x53\x33\x55\x00\x10", 7));
  EXPECT_EQ(I32At(bytes, 7), 0x25);
  EXPECT_EQ(bytes.mid(11, 5), QByteArray("\x03" "Abs\x21", 5));

  // Without a view the palette name is empty too.
  TMemoryStream bare;
  tools.SaveTools(bare, nullptr);
  EXPECT_EQ(bare.Bytes(), QByteArray("TLS3U\x00\x10", 7));
}

TEST_F(ListOfToolsTest, MultiChannelHeader) {
  views[0]->Settings()->PalName = QStringLiteral("Grey");
  TMemoryStream file;
  tools.SaveToolsFRN(file, views[0], 5, 3);
  QByteArray expected("BTLS5U\x04" "Grey\x01", 12);
  const int32_t counts[] = {5, 3};
  expected.append(reinterpret_cast<const char*>(counts), 8);
  EXPECT_EQ(file.Bytes(), expected);
  EXPECT_EQ(file.Position(), 20);
}

// A record as a chain file holds it, followed by the next record's bytes; read
// as the window reads it (end offset and name first).
struct TRecordFile {
  TMemoryStream stream;
  int64_t end = 0;
  explicit TRecordFile(const QByteArray& afterName, int32_t endDelta = 0) {
    QByteArray bytes("HDR", 3);
    const int32_t end32 = static_cast<int32_t>(3 + 4 + 4 + afterName.size()) + endDelta;
    bytes.append(reinterpret_cast<const char*>(&end32), 4);
    bytes.append("\x03" "Abs", 4);
    bytes.append(afterName);
    bytes.append("\x7f\x7f\x7f\x7f\x7f\x7f", 6);  // the next record
    stream = TMemoryStream(bytes);
    stream.SetPosition(3);
    end = stream.ReadValue<int32_t>();
    TCommonTool::ReadShortString(stream);
  }
};

QByteArray Wide(const QString& s) { return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2); }

TEST_F(ListOfToolsTest, RecordsIntoSetsOfANewTool) {
  std::unique_ptr<TCommonTool> made = tools.GetTool(QStringLiteral("Abs"), views);
  auto& tool = static_cast<TAbsTool&>(*made);

  // Format below 32: nothing but the format byte; the new tool's defaults stay.
  TRecordFile old31(QByteArray("\x1f", 1));
  ReadToolRecordBody(tool, old31.stream, old31.end, TToolRecordForm::Current, 0);
  EXPECT_EQ(tool.GetCaption(), "Rectifier");
  EXPECT_TRUE(tool.Param[0].Apply);
  EXPECT_EQ(tool.Param[0].Mode, TRectifierMode::FullWave);

  // An older record gives caption and Apply.
  TRecordFile older(QByteArray("\x05" "Rect2\x00", 7));
  ReadToolRecordBody(tool, older.stream, older.end, TToolRecordForm::Older, 1);
  EXPECT_EQ(tool.GetCaption(), "Rect2");
  EXPECT_FALSE(tool.Param[1].Apply);

  // Set 3 from a current record; the other sets stay.
  TAbsParam before[5];
  std::copy(tool.Param.begin(), tool.Param.end(), before);
  QByteArray f33("\x21\x01", 2);
  f33.append(Wide("N")).append("\x01\x02", 2);
  TRecordFile current(f33);
  ReadToolRecordBody(tool, current.stream, current.end, TToolRecordForm::Current, 3);
  EXPECT_EQ(tool.Param[3].Mode, TRectifierMode::Negative);
  for (int c : {0, 1, 2, 4}) {
    EXPECT_EQ(tool.Param[static_cast<size_t>(c)].Mode, before[c].Mode) << c;
    EXPECT_EQ(tool.Param[static_cast<size_t>(c)].Apply, before[c].Apply) << c;
  }
  EXPECT_EQ(current.stream.Position(), current.end);
}

// An end offset that cuts a record short: the reader stops there, and the fields
// beyond keep their values; a file that ends inside a record is a read error.
TEST_F(ListOfToolsTest, ReadersStopAtTheRecordsEnd) {
  std::unique_ptr<TCommonTool> made = tools.GetTool(QStringLiteral("Abs"), views);
  auto& tool = static_cast<TAbsTool&>(*made);
  tool.RectifierMode = TRectifierMode::Positive;
  tool.SetExecuting(false);
  QByteArray f33("\x21\x02", 2);
  f33.append(Wide("AB")).append("\x01\x02", 2);

  struct TCase {
    int32_t cut;  // bytes taken off the record's end
    QString caption;
    bool apply;
    TRectifierMode mode;
  };
  const std::vector<TCase> cases{
      {0, "AB", true, TRectifierMode::Negative},
      {1, "AB", true, TRectifierMode::Positive},    // the mode byte is outside
      {2, "AB", false, TRectifierMode::Positive},   // the Apply flag too
      {3, "Rectifier", false, TRectifierMode::Positive},  // the caption's last unit is outside
      {7, "Rectifier", false, TRectifierMode::Positive},  // only the format byte is inside
      {50, "Rectifier", false, TRectifierMode::Positive}, // an end before the record's start
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.cut);
    tool.SetCaption(QStringLiteral("Rectifier"));
    tool.SetExecuting(false);
    tool.RectifierMode = TRectifierMode::Positive;
    TRecordFile file(f33, -c.cut);
    ReadToolRecordBody(tool, file.stream, file.end, TToolRecordForm::Current, 2);
    EXPECT_EQ(tool.GetCaption(), c.caption);
    EXPECT_EQ(tool.Param[2].Apply, c.apply);
    EXPECT_EQ(tool.Param[2].Mode, c.mode);
    EXPECT_LE(file.stream.Position(), std::max<int64_t>(file.end, 3 + 4 + 4)) << "nothing read past the end";
  }

  // The file ends inside the record.
  TMemoryStream cut(QByteArray("\x21\x02" "A", 3));
  EXPECT_THROW(ReadToolRecordBody(tool, cut, 100, TToolRecordForm::Current, 0), EReadError);
}

TEST(ToolRecordFields, NonFiniteExtendedValuesKeepTheField) {
  TMemoryStream s;
  for (long double v : {2.5L, std::numeric_limits<long double>::infinity(), std::numeric_limits<long double>::quiet_NaN(),
                        -7.0L})
    WriteExtended(s, v);
  s.SetPosition(0);
  TToolRecordStream record(s, 40);
  TToolRecordFields fields(record);
  long double a = 0, b = 1, c = 1, d = 0;
  EXPECT_TRUE(fields.ReadExtended(a));
  EXPECT_FALSE(fields.ReadExtended(b));
  EXPECT_FALSE(fields.ReadExtended(c));
  EXPECT_TRUE(fields.ReadExtended(d)) << "the fields after a bad value are read on";
  EXPECT_EQ(a, 2.5L);
  EXPECT_EQ(b, 1.0L);
  EXPECT_EQ(c, 1.0L);
  EXPECT_EQ(d, -7.0L);
  long double e = 3;
  EXPECT_FALSE(fields.ReadExtended(e)) << "past the end";
  EXPECT_TRUE(fields.Ended());
  EXPECT_EQ(e, 3.0L);
}

}  // namespace list_of_tools_test

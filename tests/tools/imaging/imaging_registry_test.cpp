// The imaging library in the registry: its start-up adds its classes, the name
// "Migration" creates the advanced migration, the List of Tools shows it among
// the converters with its icon, and the tool-record fuzz harness reads junk
// records of its tools safely.

#include "platform/ui/bitmap.h"
#include "platform/ui/canvas.h"
#include "platform/ui/image_list.h"
#include "platform/ui/list_box.h"
#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/tool_records_fuzz_target.h"
#include "tests/tools/tool_test_support.h"
#include "tools/imaging/calc_traces_tool.h"
#include "tools/imaging/gen_test_tool.h"
#include "tools/imaging/grid_time_tool.h"
#include "tools/imaging/imaging_library.h"
#include "tools/imaging/migration_adv_tool.h"
#include "tools/imaging/migration_tool.h"
#include "tools/imaging/obj_detect_tool.h"
#include "tools/list_of_plugins_form.h"
#include "tools/list_of_tools.h"
#include "tools/tool_classes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace imaging_registry_test {

class ImagingRegistryTest : public ::testing::Test {
protected:
  void SetUp() override {
    ImagingLibraryStartup();
    ImagingLibraryStartup();  // a second start changes nothing
    tools.Initialise(QString(), true, 1033);
  }
  TListOfTools tools{nullptr};
};

TEST_F(ImagingRegistryTest, MigrationNamesCreateTheAdvancedMigration) {
  for (const char* name : {"Migration", "MigrationAdv"}) {
    std::unique_ptr<TCommonTool> tool = tools.GetTool(QString::fromLatin1(name), {});
    EXPECT_NE(dynamic_cast<TMigrationAdvTool*>(tool.get()), nullptr) << name;
  }
  for (const char* name : {"GenTest", "ObjDetect", "CalcTraces", "GridTime"})
    EXPECT_EQ(tools.GetTool(QString::fromLatin1(name), {}), nullptr) << name << " is known by name only";
  // The class table still knows the plain migration and the generator.
  EXPECT_NE(dynamic_cast<TMigrationTool*>(FindToolClass(QStringLiteral("Migration"))(1033).get()), nullptr);
  EXPECT_NE(dynamic_cast<TGenTestTool*>(FindToolClass(QStringLiteral("GenTest"))(1033).get()), nullptr);
  EXPECT_NE(dynamic_cast<TObjDetectTool*>(FindToolClass(QStringLiteral("ObjDetect"))(1033).get()), nullptr);
  EXPECT_NE(dynamic_cast<TCalcTracesTool*>(FindToolClass(QStringLiteral("CalcTraces"))(1033).get()), nullptr);
  EXPECT_NE(dynamic_cast<TGridTimeTool*>(FindToolClass(QStringLiteral("GridTime"))(1033).get()), nullptr);
}

TEST_F(ImagingRegistryTest, TheListOfToolsShowsTheMigrationAmongTheConverters) {
  TListOfPluginsForm* form = TComponent::Create<TListOfPluginsForm>(Application, tools);
  const QStringList converters = form->AdvancedPluginsListBox->Items();
  const auto at = std::find(converters.begin(), converters.end(), QStringLiteral("Migration=8"));
  ASSERT_NE(at, converters.end());
  EXPECT_TRUE(std::is_sorted(converters.begin(), converters.end(), [](const QString& a, const QString& b) {
    return a.section(u'=', 1).toInt() < b.section(u'=', 1).toInt();
  })) << "in the registry's order";
  // Its icon is the migration's own.
  TMigrationAdvTool migration;
  TBitmap icon;
  form->ImageList1->GetBitmap(static_cast<int>(at - converters.begin()), icon);
  int same = 0;
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) same += icon.Canvas()->Pixels(x, y) == migration.BmpIcon1->Canvas()->Pixels(x, y);
  EXPECT_GT(same, 24 * 24 - 24 * 4) << "the icon (its mask colour aside)";
  form->Free();
}

// A tool's own record after its end offset and name, as it writes it.
QByteArray ValidBody(const QString& name) {
  std::unique_ptr<TCommonTool> tool = FindToolClass(name)(0);
  TMemoryStream stream;
  tool->SaveToStream(stream);
  stream.SetPosition(4);
  TCommonTool::ReadShortString(stream);
  return stream.Bytes().mid(static_cast<qsizetype>(stream.Position()));
}

TEST_F(ImagingRegistryTest, JunkRecordsOfTheImagingToolsStayInsideTheirRecord) {
  using tool_records_fuzz::BuiltToolNames;
  using tool_records_fuzz::ReadToolRecordOnce;
  const std::vector<QString>& names = BuiltToolNames();
  for (const char* mine : {"MigrationAdv", "Migration", "GenTest", "SearchObject", "RealView", "GridView", "GridTime",
                           "ObjDetect", "CalcTraces"}) {
    const auto found = std::find(names.begin(), names.end(), QString::fromLatin1(mine));
    ASSERT_NE(found, names.end()) << mine;
    const auto t = static_cast<size_t>(found - names.begin());
    // A selector that picks this tool for each record form (and some channel).
    std::vector<uint8_t> selectors;
    for (int form = 0; form < 2; ++form)
      for (int s = 0; s < 256; ++s)
        if (static_cast<size_t>(s) % names.size() == t && (s / 16) % 2 == form) {
          selectors.push_back(static_cast<uint8_t>(s));
          break;
        }
    ASSERT_EQ(selectors.size(), 2u);
    const std::vector<QByteArray> inputs =
        JunkInputs(ValidBody(QString::fromLatin1(mine)), 977 + static_cast<uint32_t>(t), 60);
    for (uint8_t selector : selectors)
      for (const QByteArray& input : inputs) {
        const std::string broken = RunWithSelector(ReadToolRecordOnce, selector, input);
        ASSERT_TRUE(broken.empty()) << mine << ", selector " << int(selector) << ": " << broken << "\n"
                                    << input.toHex().constData();
      }
  }
}

}  // namespace imaging_registry_test

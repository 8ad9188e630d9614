#include "platform/rtl/resource_strings.h"
#include "tests/support/qstring_print.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <string_view>
#include <thread>
#include <vector>

namespace {

RESOURCESTRING(SRtlTestHello, "Hello");
RESOURCESTRING(SRtlTestBye, "Goodbye");
RESOURCESTRING(SRtlTestGreeting, "Grüße");

static_assert(std::string_view(SRtlTestHello.name) == "SRtlTestHello");
static_assert(std::u16string_view(SRtlTestGreeting.english) == u"Grüße");

class RtlResourceStrings : public testing::Test {
protected:
  void TearDown() override { SetResourceLanguage(1033); }
};

TEST_F(RtlResourceStrings, EnglishUntilAModuleIsChosen) {
  EXPECT_EQ(ResourceLanguage(), 1033);
  EXPECT_EQ(LoadResString(SRtlTestHello), "Hello");
  EXPECT_EQ(LoadResString(SRtlTestGreeting), QString::fromUtf8("Grüße"));

  RegisterLanguageModule(25, {{"SRtlTestHello", QString::fromUtf8("Привет")}});
  EXPECT_EQ(LoadResString(SRtlTestHello), "Hello") << "registering does not switch";

  SetResourceLanguage(25);
  EXPECT_EQ(ResourceLanguage(), 25);
  EXPECT_EQ(LoadResString(SRtlTestHello), QString::fromUtf8("Привет"));
  EXPECT_EQ(LoadResString(SRtlTestBye), "Goodbye") << "a name the module lacks stays English";

  SetResourceLanguage(7);
  EXPECT_EQ(LoadResString(SRtlTestHello), "Hello") << "no German module";

  RegisterLanguageModule(25, {{"SRtlTestBye", QString::fromUtf8("Пока")}});
  SetResourceLanguage(25);
  EXPECT_EQ(LoadResString(SRtlTestHello), "Hello") << "the new module replaced the old one";
  EXPECT_EQ(LoadResString(SRtlTestBye), QString::fromUtf8("Пока"));
}

TEST_F(RtlResourceStrings, ModuleFromFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("french.ini");
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QString text = QString::fromUtf8("[Other]\r\nSRtlTestBye=wrong\r\n"
                                           "[Strings]\r\nSRtlTestBye=Au revoir\r\nSRtlTestHello = Bonjour à tous \r\n");
    f.write("\xFF\xFE", 2);
    f.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
  }
  EXPECT_TRUE(LoadLanguageModuleFile(12, path));
  SetResourceLanguage(12);
  EXPECT_EQ(LoadResString(SRtlTestHello), QString::fromUtf8("Bonjour à tous"));
  EXPECT_EQ(LoadResString(SRtlTestBye), "Au revoir");
  EXPECT_EQ(LoadResString(SRtlTestGreeting), QString::fromUtf8("Grüße"));

  EXPECT_FALSE(LoadLanguageModuleFile(16, dir.filePath("missing.ini")));
  const QString noStrings = dir.filePath("empty.ini");
  QFile(noStrings).open(QIODevice::WriteOnly);
  EXPECT_FALSE(LoadLanguageModuleFile(12, noStrings));
  EXPECT_EQ(LoadResString(SRtlTestBye), "Au revoir") << "a failed load keeps the module";
}

TEST_F(RtlResourceStrings, ReadsWhileTheLanguageChanges) {
  RegisterLanguageModule(34, {{"SRtlTestHello", QString::fromUtf8("Привіт")}});
  std::atomic<bool> stop{false};
  std::atomic<int> bad{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t)
    readers.emplace_back([&] {
      while (!stop) {
        const QString s = LoadResString(SRtlTestHello);
        if (s != "Hello" && s != QString::fromUtf8("Привіт")) ++bad;
      }
    });
  for (int k = 0; k < 2000; ++k) {
    SetResourceLanguage(k % 2 ? 34 : 1033);
    if (k % 100 == 0) RegisterLanguageModule(34, {{"SRtlTestHello", QString::fromUtf8("Привіт")}});
  }
  stop = true;
  for (std::thread& t : readers) t.join();
  EXPECT_EQ(bad, 0);
}

}  // namespace

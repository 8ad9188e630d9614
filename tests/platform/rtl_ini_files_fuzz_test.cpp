// The settings-file fuzz harness in the normal suite: junk made from an old
// 8-bit file and a UTF-16 file, read as they are and behind each BOM. Every key
// listed must read, TIniFile must agree with TMemIniFile, and a file written
// back must read the same.

#include "tests/fuzz/fuzz_inputs.h"
#include "tests/fuzz/ini_files_fuzz_target.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

namespace {

const char kText[] =
    "; settings\r\n[Main]\r\nName = Value \r\nCount=$1F\r\nRatio=1.5e3\r\n\r\n[other]\r\nflag=1\n"
    "no equals sign\r;comment=kept\r\n[MAIN]\r\nname=second\r\n=empty name\r\n";

QByteArray Utf16(const QString& text) {
  QStringEncoder encoder(QStringConverter::Utf16LE);
  return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(text));
}

TEST(IniFilesFuzz, JunkInputsReadConsistently) {
  const QByteArray ansi(kText);
  const QByteArray utf16 = Utf16(QString::fromUtf8("[Strings]\r\nSHello=\u041f\u0440\u0438\u0432\u0435\u0442\r\n"));
  struct Case {
    QByteArray valid;
    std::vector<uint8_t> prefixes;  // the harness's choices of what goes before the bytes
  };
  for (const Case& c : {Case{ansi, {0, 1, 2}}, Case{utf16, {0}}})
    for (uint8_t prefix : c.prefixes)
      for (const QByteArray& input : JunkInputs(c.valid, 0x1A1u + prefix, 60)) {
        const std::string broken = RunWithSelector(ReadIniOnce, prefix, input);
        ASSERT_TRUE(broken.empty()) << "prefix " << int(prefix) << ": " << broken << "\n" << input.toHex().constData();
      }
}

}  // namespace

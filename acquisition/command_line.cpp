#include "acquisition/command_line.h"

#include "platform/rtl/paths.h"

namespace {
const QString kReopen = QStringLiteral("reopen");
const QString kReopenSaveClose = QStringLiteral("reopensaveclose");
}  // namespace

TCommandLineFile CommandLineFile(const QStringList& arguments) {
  const QString& first = ArgumentAt(arguments, 0);
  if (first == kReopenSaveClose) return {ArgumentAt(arguments, 1), MarkReopenSaveClose};
  if (first == kReopen) return {ArgumentAt(arguments, 1), MarkReopen};
  return {first, 0};
}

bool IsCommandLineProfile(const QString& fileName) {
  const QString ext = ExtractFileExt(fileName);
  return ext == QStringLiteral(".dezo") || ext == QStringLiteral(".frn");
}

std::optional<QString> HandOverText(const QStringList& arguments) {
  const QString& first = ArgumentAt(arguments, 0);
  if (first == QStringLiteral("create") || first == QStringLiteral("open")) return std::nullopt;
  const QString text = CommandLineFile(arguments).FileName;
  if (text.isEmpty()) return std::nullopt;
  return text;
}

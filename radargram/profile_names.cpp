#include "radargram/profile_names.h"

#include "platform/rtl/paths.h"

QString NewRecordFileName(const QString& folder, const QString& prefix, int32_t count) {
  return folder + prefix + QString::number(count) + QStringLiteral(".dezo");
}

QString CaptionFromFileName(const QString& fileName, bool container) {
  return ChangeFileExt(fileName, container ? QStringLiteral(".frn") : QStringLiteral(".dezo"));
}

std::vector<QString> ExportFileNames(const QString& fileName, int countChannalView, int numChartSizeToWindow) {
  const QString folder = ExtractFilePath(fileName);
  const QString extension = ExtractFileExt(fileName);
  const QString name = ExtractFileName(fileName);
  const QString bareName = name.left(name.size() - extension.size());
  std::vector<QString> names;
  for (int i = 0; i < countChannalView; ++i) {
    if (numChartSizeToWindow >= 0 && i != numChartSizeToWindow) continue;
    names.push_back(countChannalView < 2 ? fileName
                                         : folder + bareName + u'_' + QString::number(i) + extension);
  }
  return names;
}

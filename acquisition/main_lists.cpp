#include "acquisition/main_lists.h"

#include <QDir>

#include <algorithm>

namespace {

struct TMediumRow {
  const TResourceString& Caption;
  int32_t Speed;
};

const TMediumRow kMedia[MediumCount] = {
    {SMedium0, 299},  {SMedium1, 295},  {SMedium2, 220},  {SMedium3, 210},  {SMedium4, 200},  {SMedium5, 190},
    {SMedium6, 180},  {SMedium7, 170},  {SMedium8, 160},  {SMedium9, 150},  {SMedium10, 140}, {SMedium11, 130},
    {SMedium12, 120}, {SMedium13, 110}, {SMedium14, 100}, {SMedium15, 90},  {SMedium16, 80},  {SMedium17, 70},
    {SMedium18, 60},  {SMedium19, 50},  {SMedium20, 40},  {SMedium21, 30},  {SMedium22, 20},
};

}  // namespace

TListOfMedium FillMediumList() {
  TListOfMedium list;
  for (size_t i = 0; i < list.size(); ++i) list[i] = TMediumProperty{LoadResString(kMedia[i].Caption), kMedia[i].Speed};
  return list;
}

QStringList ScanDSTCL(const QString& programFolder) {
  QDir folder(programFolder + QStringLiteral("setoftools"));
  // Without QDir::CaseSensitive the name filter matches the extension in any case.
  QStringList names = folder.entryList({QStringLiteral("*.dstcl")}, QDir::Files | QDir::Hidden | QDir::System,
                                       QDir::NoSort);
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
  });
  return names;
}

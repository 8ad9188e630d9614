#include "acquisition/record_file_naming.h"

#include "acquisition/radar_discovery.h"
#include "platform/rtl/paths.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace record_file_naming {

namespace {

int64_t CountIn(const QString& folder, const std::function<void()>& afterEntry, int depth) {
  const QDir dir(folder);
  // Any attributes: hidden and system entries are profiles too.
  const QFileInfoList entries =
      dir.entryInfoList({QStringLiteral("*.dezo")},
                        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
  int64_t count = 0;
  for (const QFileInfo& entry : entries) {
    if (entry.isDir()) {
      // A link to a folder may lead back up the tree: it is not followed.
      if (!entry.isSymLink() && depth < MaxProfileFolderDepth)
        count += CountIn(entry.filePath(), afterEntry, depth + 1);
    } else {
      ++count;
    }
    if (afterEntry) afterEntry();
  }
  return count;
}

}  // namespace

QString ProfileFileName(const QString& folder, const QString& prefix, int64_t index) {
  return folder + prefix + QString::number(index) + QStringLiteral(".dezo");
}

TIndexState ApplyIndex(const QString& folder, const QString& prefix, int32_t index) {
  TIndexState state;
  state.NextCount = index < std::numeric_limits<int32_t>::max() ? index + 1 : index;
  state.Taken = FileExists(ProfileFileName(folder, prefix, index));
  return state;
}

int64_t CountProfileFiles(const QString& folder, const std::function<void()>& afterEntry) {
  return CountIn(folder, afterEntry, 0);
}

int32_t IndexForFolder(const QString& folder, const QString& prefix, int64_t profileCount) {
  if (profileCount == 0) return 0;
  const QString first = ProfileFileName(folder, prefix, 0);
  return FileExists(first) ? FreeFileNumber(first, prefix) : 0;
}

}  // namespace record_file_naming

#include "acquisition/instance_handover.h"

#include "acquisition/command_line.h"
#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"

std::optional<int64_t> HandOverToRunningInstance(const QStringList& arguments) {
  const QString className = QString::fromUtf16(MainWindowClassName);
  std::optional<int64_t> result;
  if (const std::optional<QString> text = HandOverText(arguments); text && FindWindow(className))
    result = SendCopyData(className, cdOpenFile, CopyDataTextBytes(*text));
  ActivateWindow(className);
  return result;
}

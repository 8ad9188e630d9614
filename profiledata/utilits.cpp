#include "profiledata/utilits.h"

#include "platform/ui/dialogs.h"
#include "profiledata/gpr_constants.h"

#include <QDir>

#include <atomic>

namespace {

// The native dialog kept its initial folder in a buffer of 500 characters; a longer
// one could not be passed and the browser started at the root instead.
constexpr qsizetype MaxInitialFolderLength = 500;

// Read from any thread that converts samples; written on the user-interface thread.
std::atomic<const IActiveViewTiming*> activeViewTiming{nullptr};

}  // namespace

bool SelectFolder(int x, int y, const QString& title, QString& path, const QString& initialFolder,
                  const QString& root) {
  const QString initial = initialFolder.size() >= MaxInitialFolderLength ? QDir::rootPath() : initialFolder;
  QString chosen;
  if (!BrowseForFolder(x, y, title, initial, root, chosen)) {
    path.clear();
    return false;
  }
  path = chosen;
  return true;
}

void SetActiveViewTiming(const IActiveViewTiming* view) { activeViewTiming.store(view); }

const IActiveViewTiming* ActiveViewTiming() { return activeViewTiming.load(); }

long double SampleToTimeOfView(int channel, double x) {
  double spanWidth = 0;
  int overStep = 0;
  const IActiveViewTiming* view = activeViewTiming.load();
  if (view == nullptr || !view->ChannelTiming(channel, spanWidth, overStep)) {
    spanWidth = GPRUnitParams[unknown].WndWidth[2];
    overStep = 2;
  }
  return static_cast<long double>(x) * spanWidth * overStep / 1000;
}

#include "platform/ui/url_service.h"

#include <QDesktopServices>
#include <QUrl>

#include <utility>

namespace {
TUrlOpener& Opener() {
  static TUrlOpener opener;
  return opener;
}
}  // namespace

bool ShellOpenUrl(const QString& url) {
  if (const TUrlOpener& opener = Opener()) return opener(url);
  return QDesktopServices::openUrl(QUrl(url, QUrl::StrictMode));
}

void SetUrlOpener(TUrlOpener opener) { Opener() = std::move(opener); }

#pragma once
// Opening a web address with the desktop's own handler (the browser), as a
// link label does.
//
// Tests replace the opener so that nothing is started: SetUrlOpener with a
// recorder, and an empty function restores the desktop's.
//
// Threads: user-interface thread.

#include <QString>

#include <functional>

// False when the desktop has no handler for the address or refused it.
bool ShellOpenUrl(const QString& url);

using TUrlOpener = std::function<bool(const QString& url)>;
void SetUrlOpener(TUrlOpener opener);

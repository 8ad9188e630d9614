#pragma once
// The per-user folder that holds the instance lock files and the program
// endpoints. Whoever can write into it can pose as one of the programs (and a
// copy-data request makes a program open and rewrite files), so it must be ours
// alone: a real folder (not a link), owned by this user, mode 0700.
//
// Chosen in this order: the folder set by SetIpcRuntimeFolder, else
// $XDG_RUNTIME_DIR, else "/tmp/gpr-ipc-<uid>", created 0700 on first use. A
// folder that fails the check is refused, never repaired or used anyway.
//
// Threads: any.

#include <QString>

struct TIpcFolder {
  QString Path;   // without a trailing '/'; empty when refused
  QString Error;  // why it was refused
  bool Ok() const { return Error.isEmpty(); }
};

TIpcFolder IpcRuntimeFolder();
// Tests point the process elsewhere; an empty path restores the choice above.
void SetIpcRuntimeFolder(const QString& folder);

// Checks that `folder` is a private folder of this user; with createMissing a
// missing one is created 0700 first (its parent must exist). The error text, or
// empty when it passes.
QString CheckPrivateFolder(const QString& folder, bool createMissing);

// A name that can be one file right inside the folder (a lock file, an
// endpoint): not empty, not "." or "..", without '/' or a zero character.
bool UsableIpcName(const QString& name);

// The errno text in the form the link reports: "<what>: <reason>".
QString IpcSystemError(const QString& what, int error);

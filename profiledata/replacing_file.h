#pragma once
// TReplacingFile: writes a file so that a failure never costs the file that was
// there. The new content goes to a temporary file in the same folder (the same
// file system), which Commit renames over the target in one step; until then, and
// whenever the writer fails, the old file is untouched, and a temporary file that
// was not committed is removed.
//
// The target keeps what the old file had: a symbolic link is followed (the file
// it points to is replaced, the link stays), the old file's permission bits carry
// over, and a file the program could not open for writing is refused as the
// overwrite would be.
//
// Throws EStreamError (EFOpenError, EFCreateError) when the target cannot be
// written or the temporary file cannot be made or renamed.

#include <QString>

#include <functional>

class TStream;

class TReplacingFile {
public:
  explicit TReplacingFile(const QString& fileName);
  ~TReplacingFile();
  TReplacingFile(const TReplacingFile&) = delete;
  TReplacingFile& operator=(const TReplacingFile&) = delete;

  // The temporary file to write (created empty by the constructor).
  const QString& TempName() const { return temp_; }
  // Puts the temporary file in the target's place. The writer must have closed it.
  void Commit();

private:
  QString target_;
  QString temp_;
  bool existed_ = false;
  unsigned permissions_ = 0;
  bool committed_ = false;
};

// Writes fileName through a TReplacingFile: write fills the new file's stream,
// which is then closed and put in the old file's place. Throws what the
// replacement or write throws; the old file then stays as it was.
void WriteFileReplacing(const QString& fileName, const std::function<void(TStream&)>& write);

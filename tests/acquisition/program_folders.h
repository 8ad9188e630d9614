// The folders an in-process run of the acquisition program owns: its own
// program folder (settings files), a runtime folder for the program link and
// a fake device tree, so that no test reads or writes the defaults.
#pragma once

#include "platform/devices/serial_devices.h"
#include "platform/ipc/runtime_folder.h"
#include "platform/rtl/paths.h"
#include "tests/support/fake_device_tree.h"

#include <QString>
#include <QTemporaryDir>

class TProgramFolders {
protected:
  // Points the process at the folders; false when one could not be made.
  [[nodiscard]] bool EnterProgramFolders() {
    if (!program.isValid() || !runtime.isValid()) return false;
    SetProgramFolder(program.path() + u'/');
    SetIpcRuntimeFolder(runtime.path());
    SetDeviceRoots(tree.Roots());
    return true;
  }
  // Points the process back at nothing.
  static void LeaveProgramFolders() {
    SetDeviceRoots({});
    SetIpcRuntimeFolder({});
    SetProgramFolder(QString());
  }

  QTemporaryDir program;
  QTemporaryDir runtime;
  TFakeDeviceTree tree;
};

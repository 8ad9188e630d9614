#pragma once
// The second instance's side of the single-instance rule: it hands its command
// line's file to the running instance and brings that instance to the front.
//
// Runs before any application object exists; blocks until the running
// instance has answered (it answers once the file is open).

#include <QStringList>

#include <cstdint>
#include <optional>

// Sends the file of `arguments` (HandOverText) with code cdOpenFile when a main
// window answers, then activates it. The running instance's result, or nullopt
// when nothing was sent (no file to hand over, or no running main window).
std::optional<int64_t> HandOverToRunningInstance(const QStringList& arguments);

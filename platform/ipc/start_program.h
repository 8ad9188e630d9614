#pragma once
// Starting the other program, as a shell would: on its own (the caller neither
// waits for it nor is told when it ends), with its standard channels on the null
// device. It inherits none of the caller's instance locks or link sockets, since
// this library opens all of them close-on-exec.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The new process's id, or nullopt when it could not be started.
std::optional<int64_t> StartProgram(const QString& path, const QStringList& arguments);

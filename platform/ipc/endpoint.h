#pragma once
// The main window of a program as the other processes see it: a Unix-domain
// socket named after the window's class ("DUvova3DuruZuza", "TViviraMainForm")
// in the runtime folder (runtime_folder.h). FindWindow is a connect that
// succeeds; SendCopyData and ActivateWindow send one request (copy_data.h) and
// wait for its answer.
//
// Threads: endpoints are bound, served and destroyed on the user-interface
// thread. A bound endpoint is served by that thread's event loop (socket
// notifiers), so bind it after the application object exists; until the loop
// runs, requests wait in the socket. The handlers run on that thread and may
// show modal windows. FindWindow, SendCopyData and ActivateWindow may run on
// any thread.
//
// Waiting: SendCopyData and ActivateWindow wait without a time-out, like a
// sent window message. On the user-interface thread they serve, while they
// wait, the requests that arrive for this process's own endpoints, so a chain
// of sends (A to B, B back to A before answering) cannot deadlock.
//
// Trust: the folder is private to the user, and a connection from a process of
// another user (SO_PEERCRED) is closed unanswered.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TIpcEndpoint {
public:
  explicit TIpcEndpoint(const QString& className);
  // Stops serving and removes the socket file (unless another endpoint has
  // replaced it since).
  ~TIpcEndpoint();
  TIpcEndpoint(const TIpcEndpoint&) = delete;
  TIpcEndpoint& operator=(const TIpcEndpoint&) = delete;

  // Binds the socket. A socket file nobody answers on (left by a program that
  // ended without removing it) is replaced; a live one is not. False with
  // Error() set when the endpoint cannot be bound.
  bool Bind();
  bool Bound() const;
  const QString& ClassName() const;
  const QString& Error() const;

  // A copy-data request: (code, bytes) -> the result the sender gets. Without a
  // handler the result is 0.
  std::function<int64_t(uint64_t code, const QByteArray& bytes)> OnCopyData;
  // Raise and focus the window.
  std::function<void()> OnActivate;

  struct Impl;

private:
  std::unique_ptr<Impl> impl_;
};

// The socket path of a class in the runtime folder, or empty with *error set
// (refused folder, unusable name, a path longer than a socket address holds:
// such a path is never shortened).
QString IpcEndpointPath(const QString& className, QString* error = nullptr);

// True when an endpoint of `className` is bound and accepts connections.
bool FindWindow(const QString& className);
// The handler's result; nullopt when no endpoint answers or the connection
// broke before the answer.
std::optional<int64_t> SendCopyData(const QString& className, uint64_t code, const QByteArray& bytes);
// True when the endpoint took the request (its handler has run).
bool ActivateWindow(const QString& className);

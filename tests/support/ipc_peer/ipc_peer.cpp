// A small program for the tests of the program links. It runs in the runtime
// folder its environment names ($XDG_RUNTIME_DIR) and reports on stdout, one
// line per event; it ends when its stdin closes (or it is killed).
//
//   lock <title>                 single-instance test: "first" (then holds the
//                                lock) or "second" (then exits 3)
//   serve <class> [<back>]       binds <class>, "ready"; answers copy-data with
//                                IpcPeerDigest, or, given <back>, first sends the
//                                same request to <back> and answers its result + 1;
//                                an activation prints "activate"
//   start <title> <class> <program> <args...>
//                                takes the lock, binds <class>, starts <program>
//                                through StartProgram, prints "child <pid>"
//   report <class> <args...>     sends <args> to <class> as copy-data (code =
//                                their number, the text = them joined by '\n')
//   linger                       waits (at most 60 s) to be killed
//   planning <class> [<back> <code>]
//                                the planning program's side: binds <class>,
//                                "ready"; prints "got <code> <text>" for each
//                                copy-data and answers 1; given <back>, first
//                                sends <code> with the same text to <back> and
//                                prints "back <result>" ("back none" without
//                                an answer); an activation prints "activate"
//   send <class> <code> [<text>] sends one copy-data request with the text the
//                                way the programs send it; prints "result <n>",
//                                or "none" when nobody answers

#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/one_instance.h"
#include "platform/ipc/start_program.h"
#include "tests/support/ipc_peer/ipc_peer_protocol.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

void Say(const QByteArray& line) {
  std::fputs(line.constData(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// Quits the loop when stdin reaches its end.
void QuitOnStdinEnd(QCoreApplication& application) {
  auto* notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &application);
  QObject::connect(notifier, &QSocketNotifier::activated, [&application, notifier] {
    char buffer[256];
    if (read(STDIN_FILENO, buffer, sizeof buffer) <= 0) {
      notifier->setEnabled(false);
      application.quit();
    }
  });
}

int Lock(const QString& title) {
  if (!IsFirstInstance(title)) {
    Say("second");
    return IpcPeerSecondInstance;
  }
  Say("first");
  char buffer[256];
  while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
  }
  return 0;
}

std::unique_ptr<TIpcEndpoint> Bind(const QString& className) {
  auto endpoint = std::make_unique<TIpcEndpoint>(className);
  if (!endpoint->Bind()) {
    Say("error " + endpoint->Error().toUtf8());
    return nullptr;
  }
  return endpoint;
}

int Serve(QCoreApplication& application, const QString& className, const QString& back) {
  const auto endpoint = Bind(className);
  if (!endpoint) return 1;
  endpoint->OnCopyData = [back](uint64_t code, const QByteArray& bytes) -> int64_t {
    if (back.isEmpty()) return IpcPeerDigest(code, bytes);
    const auto result = SendCopyData(back, code, bytes);
    return result ? *result + 1 : -1;
  };
  endpoint->OnActivate = [] { Say("activate"); };
  QuitOnStdinEnd(application);
  Say("ready");
  return application.exec();
}

int Planning(QCoreApplication& application, const QString& className, const QString& back, uint64_t backCode) {
  const auto endpoint = Bind(className);
  if (!endpoint) return 1;
  endpoint->OnCopyData = [back, backCode](uint64_t code, const QByteArray& bytes) -> int64_t {
    Say("got " + QByteArray::number(static_cast<qulonglong>(code)) + ' ' + CopyDataText(bytes).toUtf8());
    if (!back.isEmpty()) {
      const auto result = SendCopyData(back, backCode, bytes);
      Say(result ? "back " + QByteArray::number(static_cast<qlonglong>(*result)) : QByteArray("back none"));
    }
    return 1;
  };
  endpoint->OnActivate = [] { Say("activate"); };
  QuitOnStdinEnd(application);
  Say("ready");
  return application.exec();
}

int Start(QCoreApplication& application, const QStringList& arguments) {
  if (!IsFirstInstance(arguments.at(0))) {
    Say("second");
    return IpcPeerSecondInstance;
  }
  const auto endpoint = Bind(arguments.at(1));
  if (!endpoint) return 1;
  const auto pid = StartProgram(arguments.at(2), arguments.mid(3));
  if (!pid) {
    Say("error start");
    return 1;
  }
  Say("child " + QByteArray::number(*pid));
  QuitOnStdinEnd(application);
  return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  const QStringList arguments = application.arguments().mid(1);
  const QString mode = arguments.value(0);
  if (mode == u"lock" && arguments.size() == 2) return Lock(arguments.at(1));
  if (mode == u"serve" && arguments.size() >= 2) return Serve(application, arguments.at(1), arguments.value(2));
  if (mode == u"start" && arguments.size() >= 4) return Start(application, arguments.mid(1));
  if (mode == u"report" && arguments.size() >= 2) {
    const QStringList reported = arguments.mid(2);
    const auto result = SendCopyData(arguments.at(1), static_cast<uint64_t>(reported.size()),
                                     CopyDataTextBytes(reported.join(u'\n')));
    return result ? 0 : 1;
  }
  if (mode == u"planning" && (arguments.size() == 2 || arguments.size() == 4))
    return Planning(application, arguments.at(1), arguments.value(2), arguments.value(3).toULongLong());
  if (mode == u"send" && arguments.size() >= 3) {
    const auto result =
        SendCopyData(arguments.at(1), arguments.at(2).toULongLong(), CopyDataTextBytes(arguments.value(3)));
    Say(result ? "result " + QByteArray::number(static_cast<qlonglong>(*result)) : QByteArray("none"));
    return 0;
  }
  if (mode == u"linger") {
    for (int i = 0; i < 600; ++i) usleep(100 * 1000);
    return 0;
  }
  std::fputs("usage: ipc_peer lock|serve|start|report|linger|planning|send ...\n", stderr);
  return 2;
}

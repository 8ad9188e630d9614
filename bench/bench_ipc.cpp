// The program link between two processes: one copy-data round trip to a peer
// that is already serving, and the time from starting a program to its endpoint
// answering. Both run in a private runtime folder of their own.

#include "platform/ipc/copy_data.h"
#include "platform/ipc/endpoint.h"
#include "platform/ipc/runtime_folder.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// The peer program serving `className` until Stop closes its stdin.
class TServingPeer {
public:
  explicit TServingPeer(const char* className) {
    int channel[2];
    if (pipe2(channel, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* arguments[] = {const_cast<char*>(IPC_PEER_EXE), const_cast<char*>("serve"),
                         const_cast<char*>(className), nullptr};
    if (posix_spawn(&pid_, IPC_PEER_EXE, &actions, nullptr, arguments, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(channel[0]);
    input_ = channel[1];
  }
  ~TServingPeer() { Stop(); }
  bool Running() const { return pid_ > 0; }
  void Stop() {
    if (input_ >= 0) close(input_);
    input_ = -1;
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

private:
  pid_t pid_ = -1;
  int input_ = -1;
};

// The peer finds the folder through its environment, this process through the setting.
struct TBenchRuntimeFolder {
  QTemporaryDir dir;
  TBenchRuntimeFolder() {
    setenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit().constData(), 1);
    SetIpcRuntimeFolder(dir.path());
  }
};

bool WaitForWindow(const QString& className) {
  for (int i = 0; i < 10000; ++i) {
    if (FindWindow(className)) return true;
    const timespec pause{0, 100 * 1000};
    nanosleep(&pause, nullptr);
  }
  return false;
}

void BM_IpcCopyDataRoundTrip(benchmark::State& state) {
  TBenchRuntimeFolder folder;
  TServingPeer peer("DUvova3DuruZuza");
  if (!peer.Running() || !WaitForWindow(QStringLiteral("DUvova3DuruZuza"))) {
    state.SkipWithError("the peer did not start");
    return;
  }
  const QByteArray text = CopyDataTextBytes(QStringLiteral("/home/user/surveys/line 0001.dezo"));
  for (auto _ : state) {
    const auto result = SendCopyData(QStringLiteral("DUvova3DuruZuza"), 100, text);
    if (!result) {
      state.SkipWithError("no answer");
      return;
    }
    benchmark::DoNotOptimize(*result);
  }
}
BENCHMARK(BM_IpcCopyDataRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_IpcStartToBoundEndpoint(benchmark::State& state) {
  TBenchRuntimeFolder folder;
  for (auto _ : state) {
    TServingPeer peer("TViviraMainForm");
    if (!peer.Running() || !WaitForWindow(QStringLiteral("TViviraMainForm"))) {
      state.SkipWithError("the peer did not start");
      return;
    }
    state.PauseTiming();
    peer.Stop();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_IpcStartToBoundEndpoint)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

// Serial ports on a pseudo-terminal pair: the arbitrary baud rate, raw bytes both
// ways, the time-outs, purge, exclusive opening and a hang-up.

#include "platform/serial/serial_port.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// The master side of a pseudo-terminal; the port under test opens the slave.
class TPtyPair {
public:
  TPtyPair() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) slave = ptsname(master);
  }
  ~TPtyPair() { Close(); }
  void Close() {
    if (master >= 0) ::close(master);
    master = -1;
  }
  void Write(const std::string& bytes) const { ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  std::string Read(size_t count) const {
    std::string out;
    while (out.size() < count) {
      pollfd p{master, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) break;
      char buffer[256];
      const ssize_t n = ::read(master, buffer, std::min(sizeof(buffer), count - out.size()));
      if (n <= 0) break;
      out.append(buffer, static_cast<size_t>(n));
    }
    return out;
  }
  int master = -1;
  std::string slave;
};

std::unique_ptr<TSerialPort> OpenRaw(const TPtyPair& pty) {
  int error = -1;
  std::unique_ptr<TSerialPort> port = OpenSerialPort(QString::fromStdString(pty.slave), &error);
  EXPECT_EQ(error, 0);
  if (!port) return nullptr;
  TSerialLineSettings line;
  line.BaudRate = 256000;
  line.StopBits = ssbOneAndHalf;
  EXPECT_EQ(port->SetLineSettings(line), 0);
  return port;
}

// Waits until the port reports at least n bytes waiting.
bool WaitForInput(TSerialPort& port, size_t n) {
  for (int k = 0; k < 10000; ++k) {
    TSerialStatus status;
    if (port.ClearError(status) != 0) return false;
    if (status.InQueue >= n) return true;
    usleep(1000);
  }
  return false;
}

TEST(SerialPort, RunsAt256000BaudInRawModeBothWays) {
  TPtyPair pty;
  ASSERT_FALSE(pty.slave.empty());
  std::unique_ptr<TSerialPort> port = OpenRaw(pty);
  ASSERT_TRUE(port);
  TSerialLineSettings read;
  ASSERT_EQ(port->GetLineSettings(read), 0);
  EXPECT_EQ(read.BaudRate, 256000u) << "set through the arbitrary-rate call";
  EXPECT_EQ(read.ByteSize, 8);
  EXPECT_EQ(read.Parity, spNone);
  EXPECT_EQ(read.StopBits, ssbOne) << "one and a half stop bits are set as one";
  EXPECT_FALSE(read.HardwareFlowControl);
  EXPECT_FALSE(read.SoftwareFlowControl);

  // Every byte value passes unchanged: no echo, no CR/LF translation, no flow control.
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  pty.Write(all);
  ASSERT_TRUE(WaitForInput(*port, all.size()));
  std::string got(all.size(), '\0');
  size_t n = 0;
  ASSERT_EQ(port->Read(got.data(), got.size(), n), 0);
  EXPECT_EQ(n, all.size());
  EXPECT_EQ(got, all);
  size_t written = 0;
  ASSERT_EQ(port->Write(all.data(), all.size(), written), 0);
  EXPECT_EQ(written, all.size());
  EXPECT_EQ(pty.Read(all.size()), all);
}

TEST(SerialPort, ReadsEndByTheirTimeOutsAndPurgeDropsWhatWaits) {
  TPtyPair pty;
  std::unique_ptr<TSerialPort> port = OpenRaw(pty);
  ASSERT_TRUE(port);
  char buffer[16] = {};
  size_t n = 99;
  TSerialTimeouts atOnce;
  atOnce.ReadInterval = ReadIntervalReturnAtOnce;
  ASSERT_EQ(port->SetTimeouts(atOnce), 0);
  EXPECT_EQ(port->Read(buffer, sizeof(buffer), n), 0);
  EXPECT_EQ(n, 0u) << "nothing waiting, returns at once";

  TSerialTimeouts total;
  total.ReadTotalConstant = 30;
  ASSERT_EQ(port->SetTimeouts(total), 0);
  TSerialTimeouts back;
  ASSERT_EQ(port->GetTimeouts(back), 0);
  EXPECT_EQ(back.ReadTotalConstant, 30u);
  pty.Write("abc");
  EXPECT_EQ(port->Read(buffer, sizeof(buffer), n), 0);
  EXPECT_EQ(std::string(buffer, n), "abc") << "the total time ran out with three bytes";

  pty.Write("stale");
  ASSERT_TRUE(WaitForInput(*port, 5));
  ASSERT_EQ(port->Purge(true, true), 0);
  TSerialStatus status;
  ASSERT_EQ(port->ClearError(status), 0);
  EXPECT_EQ(status.InQueue, 0u);
  EXPECT_EQ(status.Errors, 0u) << "a pseudo-terminal has no line errors";
}

TEST(SerialPort, AWaitForReceivedBytesEndsWhenTheyArriveOrTheLineHangsUpElseAtItsLimit) {
  using std::chrono::milliseconds;
  using TClock = std::chrono::steady_clock;
  TPtyPair pty;
  std::unique_ptr<TSerialPort> port = OpenRaw(pty);
  ASSERT_TRUE(port);
  TSerialStatus status;

  auto start = TClock::now();
  EXPECT_EQ(port->WaitForReceived(milliseconds(30)), 0);
  EXPECT_GE(TClock::now() - start, milliseconds(25)) << "nothing arrived: the whole limit";
  ASSERT_EQ(port->ClearError(status), 0);
  EXPECT_EQ(status.InQueue, 0u);

  // Bytes that arrive during a long wait end it; the wait reads none of them.
  std::thread writer([&pty] {
    std::this_thread::sleep_for(milliseconds(50));
    pty.Write("trace");
  });
  start = TClock::now();
  EXPECT_EQ(port->WaitForReceived(milliseconds(60000)), 0);
  const auto waited = TClock::now() - start;
  writer.join();
  EXPECT_LT(waited, milliseconds(30000));
  ASSERT_TRUE(WaitForInput(*port, 5));
  EXPECT_EQ(port->WaitForReceived(milliseconds(60000)), 0) << "bytes waiting: returns at once";
  char buffer[8] = {};
  size_t n = 0;
  ASSERT_EQ(port->Read(buffer, 5, n), 0);
  EXPECT_EQ(std::string(buffer, n), "trace");

  pty.Close();
  start = TClock::now();
  EXPECT_EQ(port->WaitForReceived(milliseconds(60000)), 0);
  EXPECT_LT(TClock::now() - start, milliseconds(30000)) << "a hang-up ends the wait";
  EXPECT_EQ(port->ClearError(status), EIO);
}

TEST(SerialPort, OpensOnlyExistingUnsharedTerminalsAndFailsAfterAHangUp) {
  int error = 0;
  EXPECT_EQ(OpenSerialPort(QStringLiteral("/nonexistent/ttyX"), &error), nullptr);
  EXPECT_EQ(error, ENOENT);
  EXPECT_EQ(SerialDevicePath(QStringLiteral("ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));

  QTemporaryDir dir;
  const QString plain = dir.path() + QStringLiteral("/file");
  QFile(plain).open(QIODevice::WriteOnly);
  std::unique_ptr<TSerialPort> file = OpenSerialPort(plain, &error);
  ASSERT_TRUE(file) << "a file opens";
  TSerialLineSettings line;
  EXPECT_EQ(file->GetLineSettings(line), ENOTTY) << "but has no line";

  TPtyPair pty;
  std::unique_ptr<TSerialPort> port = OpenRaw(pty);
  ASSERT_TRUE(port);
  EXPECT_EQ(OpenSerialPort(QString::fromStdString(pty.slave), &error), nullptr);
  EXPECT_EQ(error, EBUSY) << "not shared";
  pty.Close();
  TSerialStatus status;
  EXPECT_EQ(port->ClearError(status), EIO) << "the other end hung up";
  EXPECT_FALSE(SerialErrorText(EIO).isEmpty());
}

}  // namespace

#pragma once
// Serial ports: a device opened exclusively for reading and writing, with the line
// settings, time-outs, purge and error queries of the platform the radar link was
// written for. The factory picks the platform file at build time (POSIX termios on
// Linux); callers never see a descriptor's platform type.
//
// Line settings: any baud rate the driver accepts, set through the arbitrary-rate
// call (256000 is not a standard termios rate). termios knows one or two stop bits;
// one and a half is set as one stop bit and reads back as one: a receiver samples
// only the first stop bit, and a USB virtual port does not frame bytes at all.
// Setting the line always puts the port in raw mode (no echo, no line editing, no
// character translation), which is what a binary protocol needs.
//
// Time-outs follow the platform semantics the callers expect: a read returns when
// its count arrived, when the total time (multiplier x count + constant, 0 = no
// limit) ran out, or when the interval time passed after a byte; a read whose
// interval is ReadIntervalReturnAtOnce and whose total is 0 returns at once with
// what is waiting. A write waits at most its total time (0 = no limit).
//
// Threads: every call may come from any thread; one thread may read while another
// writes. The line errors ClearError reports are those since the previous call from
// any thread. Calls return 0 or the errno of the failure.

#include <QString>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

enum TSerialParity : uint8_t { spNone, spOdd, spEven, spMark, spSpace };
// The codes of the stop-bits field: 0 one, 1 one and a half, 2 two.
enum TSerialStopBits : uint8_t { ssbOne, ssbOneAndHalf, ssbTwo };

struct TSerialLineSettings {
  uint32_t BaudRate = 9600;
  uint8_t ByteSize = 8;  // 5..8
  TSerialParity Parity = spNone;
  TSerialStopBits StopBits = ssbOne;
  bool HardwareFlowControl = false;  // RTS/CTS
  bool SoftwareFlowControl = false;  // XON/XOFF
  bool Dtr = false;
  bool Rts = false;
};

// Milliseconds.
struct TSerialTimeouts {
  uint32_t ReadInterval = 0;
  uint32_t ReadTotalMultiplier = 0;
  uint32_t ReadTotalConstant = 0;
  uint32_t WriteTotalMultiplier = 0;
  uint32_t WriteTotalConstant = 0;
};
inline constexpr uint32_t ReadIntervalReturnAtOnce = 0xFFFFFFFF;

// Line errors seen since the previous ClearError, as the platform's flag values.
inline constexpr uint32_t SerialErrorRxOver = 0x01;   // input buffer overflow
inline constexpr uint32_t SerialErrorOverrun = 0x02;  // character-buffer overrun
inline constexpr uint32_t SerialErrorParity = 0x04;
inline constexpr uint32_t SerialErrorFrame = 0x08;
inline constexpr uint32_t SerialErrorBreak = 0x10;

// Events a port may report; stored only, since the reader polls.
inline constexpr uint32_t SerialEventRxChar = 0x0001;
inline constexpr uint32_t SerialEventTxEmpty = 0x0004;

struct TSerialStatus {
  uint32_t Errors = 0;
  size_t InQueue = 0;   // bytes received and not read yet
  size_t OutQueue = 0;  // bytes written and not sent yet
};

class TSerialPort {
public:
  virtual ~TSerialPort() = default;

  virtual QString DevicePath() const = 0;
  // A number that names the open port in logs and in the radar's handle field.
  virtual int Handle() const = 0;

  // The driver's queue sizes. Kernel buffers have fixed sizes here: accepted, unused.
  virtual int SetQueueSizes(size_t inQueue, size_t outQueue) = 0;
  virtual int GetLineSettings(TSerialLineSettings& settings) const = 0;
  virtual int SetLineSettings(const TSerialLineSettings& settings) = 0;
  virtual int GetTimeouts(TSerialTimeouts& timeouts) const = 0;
  virtual int SetTimeouts(const TSerialTimeouts& timeouts) = 0;
  // Drops what waits in the chosen directions.
  virtual int Purge(bool input, bool output) = 0;
  virtual int SetEventMask(uint32_t mask) = 0;
  // The bytes waiting and the line errors since the last call. Fails (EIO) once
  // the device has hung up, as when a USB adapter is unplugged.
  virtual int ClearError(TSerialStatus& status) = 0;

  // Waits until received bytes are waiting, the device hangs up, or limit passed,
  // whichever comes first; reads nothing. 0 or the errno of the failure.
  virtual int WaitForReceived(std::chrono::milliseconds limit) = 0;
  virtual int Read(void* buffer, size_t size, size_t& read) = 0;
  virtual int Write(const void* buffer, size_t size, size_t& written) = 0;
};

// The platform's text for an error code.
QString SerialErrorText(int error);

// The device of a port name: an absolute path is kept, a bare name ("ttyUSB0")
// is looked up in /dev.
QString SerialDevicePath(const QString& portName);

// Opens an existing device for reading and writing, not shared with another
// opener. nullptr, with *error set, when that fails.
std::unique_ptr<TSerialPort> OpenSerialPort(const QString& portName, int* error);

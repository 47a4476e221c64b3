#pragma once

#include <cstdint>

namespace kestrix {

// The serial line as the engine sees it. The program implements it on a real
// port; tests implement it with scripted devices.
class BytePort {
 public:
  virtual ~BytePort() = default;

  virtual bool IsOpen() const = 0;
  // One synchronous write. Returns the number of bytes handed over, or -1 when
  // the write failed outright. A closed port writes nothing and returns -1.
  virtual int Write(const std::uint8_t* data, int count) = 0;
  // Never waits: returns what has already arrived, at most max bytes, 0 when
  // nothing is waiting, -1 when the read failed.
  virtual int Read(std::uint8_t* data, int max) = 0;
  // Drops whatever has been received and not yet read.
  virtual void PurgeReceive() = 0;
  // Modem-control lines, used for the reset pulse.
  virtual void SetDtr(bool asserted) = 0;
  virtual void SetRts(bool asserted) = 0;
};

// An open line on which nothing arrives and everything sent is dropped: the
// port of the benchmarks and fuzz targets, which drive the engine alone.
class SilentPort : public BytePort {
 public:
  bool IsOpen() const override { return true; }
  int Write(const std::uint8_t*, int count) override { return count; }
  int Read(std::uint8_t*, int) override { return 0; }
  void PurgeReceive() override {}
  void SetDtr(bool) override {}
  void SetRts(bool) override {}
};

// The raw helpers most callers use: failures count as nothing transferred.
inline int WriteRaw(BytePort& port, const std::uint8_t* data, int count) {
  if (!port.IsOpen()) return 0;
  int n = port.Write(data, count);
  return n < 0 ? 0 : n;
}
inline int ReadRaw(BytePort& port, std::uint8_t* data, int max) {
  if (!port.IsOpen()) return 0;
  int n = port.Read(data, max);
  return n < 0 ? 0 : n;
}

}  // namespace kestrix

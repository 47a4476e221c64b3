// The silent search for the port a Propeller answers on: single reply bits,
// the detection handshake on the wire, and the scan over COM1 to COM63.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "loader/PortSearch.h"
#include "settings/Settings.h"
#include "support/FakePort.h"
#include "support/SimulatedPropeller.h"
#include "support/SimulatedPropellerPort.h"
#include "support/VirtualClock.h"
#include "terminal/SerialLine.h"
#include "terminal/SharedBlocks.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Options = test::SimulatedPropeller::Options;

// The first host bits of the boot sequence and the LFSR that makes them,
// written out from the chip's documented feedback taps (bits 7, 5, 4, 1).
std::vector<int> BootSequence(int count) {
  std::vector<int> bits;
  unsigned state = 0x50;
  for (int i = 0; i < count; ++i) {
    bits.push_back(static_cast<int>(state & 1));
    const unsigned feedback =
        ((state >> 7) ^ (state >> 5) ^ (state >> 4) ^ (state >> 1)) & 1;
    state = ((state << 1) & 0xFE) | feedback;
  }
  return bits;
}

TEST(ProbeBitTest, MapsReplyBytesToBitsAndDropsOthers) {
  struct Case {
    Bytes incoming;
    int bit;
    int passes;  // 10 ms waits before the answer
  };
  const Case cases[] = {
      {{0xFE}, 0, 0},
      {{0xFF}, 1, 0},
      {{0x00, 0x41, 0xFF}, 1, 2},
      {{0xFD, 0xFE}, 0, 1},
      {{0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, -1, 5},  // budget spent first
      {{}, -1, 5},                                    // silence is no line
  };
  for (const Case& c : cases) {
    test::FakePort port;
    test::VirtualClock clock;
    SharedBlocks blocks;
    port.Feed(c.incoming);
    EXPECT_EQ(ProbeBit(port, clock, blocks, 0, 50), c.bit);
    EXPECT_EQ(clock.sleeps, std::vector<int>(c.passes, 10));
    EXPECT_TRUE(port.writes.empty());
  }
}

TEST(ProbeBitTest, WithClockSendsAClockByteBeforeEachRead) {
  test::FakePort port;
  test::VirtualClock clock;
  SharedBlocks blocks;
  EXPECT_EQ(ProbeBit(port, clock, blocks, 1, 20), -1);
  EXPECT_EQ(port.writes, (std::vector<Bytes>{{0xF9}, {0xF9}}));
  // The clock's own wait does not count against the budget.
  EXPECT_EQ(clock.sleeps, (std::vector<int>{25, 10, 25, 10}));
}

struct DetectRig {
  explicit DetectRig(Options options = {}) : chip(options) {
    port.FollowClock(clock);
  }
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort port{chip};
  test::VirtualClock clock;
  SharedBlocks blocks;
};

TEST(DetectPropellerTest, SendsTheHandshakeInTwoRawWritesAndReadsTheVersion) {
  DetectRig rig;
  EXPECT_EQ(DetectPropeller(rig.port, rig.clock, rig.blocks, 0), 1);

  ASSERT_EQ(rig.port.WriteSizes(), (std::vector<int>{251, 258}));
  const Bytes& host = rig.port.writes[0];
  EXPECT_EQ(host[0], 0xF9);
  const std::vector<int> bits = BootSequence(250);
  for (int i = 0; i < 250; ++i) {
    ASSERT_EQ(host[i + 1], bits[i] ? 0xFF : 0xFE) << "host bit " << i;
  }
  EXPECT_EQ(rig.port.writes[1], Bytes(258, 0xF9));
  EXPECT_TRUE(rig.chip.record().hostBitsOk);
  EXPECT_EQ(rig.port.lineEvents, (std::vector<std::string>{"DTR+", "DTR-"}));
}

TEST(DetectPropellerTest, ReportsEachWayTheChipCanFail) {
  const struct {
    const char* name;
    void (*set)(Options&);
    int version;  // INT_MIN: any negative value
    int sleptMs = -1;
  } cases[] = {
      // No chip costs the reset and one bit's budget.
      {"silent", [](Options& o) { o.silent = true; }, -1, 125 + 50},
      {"wrong echo", [](Options& o) { o.flipEchoBit = 100; }, -1},
      {"version cut off", [](Options& o) { o.handshakeReplies = 253; },
       INT_MIN},
      {"version 2", [](Options& o) { o.version = 2; }, 2},
      {"noise is dropped",
       [](Options& o) {
         o.noiseBeforeEcho = {0, 0x12};
       },
       1},
  };
  for (const auto& c : cases) {
    Options options;
    c.set(options);
    DetectRig rig(options);
    const int v = DetectPropeller(rig.port, rig.clock, rig.blocks, 1);
    if (c.version == INT_MIN) {
      EXPECT_LT(v, 0) << c.name;
    } else {
      EXPECT_EQ(v, c.version) << c.name;
    }
    if (c.sleptMs >= 0) {
      EXPECT_EQ(rig.clock.TotalSleptMs(), c.sleptMs) << c.name;
    }
  }
}

// Port numbers with a simulated line behind some of them; the others cannot
// be opened.
class ScriptedLines : public SerialLine {
 public:
  std::map<int, test::SimulatedPropellerPort*> devices;
  std::vector<std::string> opened;  // every number tried, in order
  std::vector<int> baudIndexes;
  int closes = 0;

  bool OpenPort(const std::string& numberText, int baudIndex, int) override {
    opened.push_back(numberText);
    baudIndexes.push_back(baudIndex);
    auto it = devices.find(std::stoi(numberText));
    if (it == devices.end()) return false;
    current_ = it->second;
    return true;
  }
  void ClosePort() override {
    if (current_ != nullptr) ++closes;
    current_ = nullptr;
  }
  void SetBaud(int) override {}
  bool IsOpen() const override { return current_ != nullptr; }
  int Write(const std::uint8_t* data, int count) override {
    return current_ ? current_->Write(data, count) : -1;
  }
  int Read(std::uint8_t* data, int max) override {
    return current_ ? current_->Read(data, max) : -1;
  }
  void PurgeReceive() override {
    if (current_) current_->PurgeReceive();
  }
  void SetDtr(bool on) override {
    if (current_) current_->SetDtr(on);
  }
  void SetRts(bool on) override {
    if (current_) current_->SetRts(on);
  }

 private:
  test::SimulatedPropellerPort* current_ = nullptr;
};

std::vector<std::string> Numbers(int first, int last) {
  std::vector<std::string> n;
  for (int i = first; i <= last; ++i) n.push_back(std::to_string(i));
  return n;
}

struct ScanRig {
  ScanRig() {
    Options none;
    none.silent = true;
    emptyLine.options() = none;
    chipPort.FollowClock(clock);
    settings.ComNr = 0;
  }
  test::SimulatedPropeller emptyLine;  // an adapter with nothing attached
  test::SimulatedPropellerPort emptyPort{emptyLine};
  test::SimulatedPropeller chip;
  test::SimulatedPropellerPort chipPort{chip};
  test::SimulatedPropeller secondChip;
  test::SimulatedPropellerPort secondPort{secondChip};
  ScriptedLines lines;
  test::VirtualClock clock;
  SharedBlocks blocks;
  Settings settings;
};

TEST(ScanPortsTest, StopsAtTheFirstPortWhereAChipAnswers) {
  ScanRig rig;
  rig.settings.UseRTS = 1;
  rig.lines.devices = {
      {2, &rig.emptyPort}, {5, &rig.chipPort}, {7, &rig.secondPort}};
  ScanPorts(rig.lines, rig.clock, rig.blocks, rig.settings);

  EXPECT_EQ(rig.settings.ComNr, 5);
  EXPECT_EQ(rig.lines.opened, Numbers(1, 5));
  EXPECT_EQ(rig.lines.baudIndexes, std::vector<int>(5, 0));
  EXPECT_FALSE(rig.lines.IsOpen());
  EXPECT_EQ(rig.lines.closes, 2);  // COM2 and COM5, each after its probe
  EXPECT_EQ(rig.chip.record().handshakeClocks, 258);
  EXPECT_EQ(rig.secondChip.record().calibrated, false);
  // Only raw writes of the two handshake blocks reach each port.
  EXPECT_EQ(rig.emptyPort.WriteSizes(), (std::vector<int>{251, 258}));
  EXPECT_EQ(rig.chipPort.WriteSizes(), (std::vector<int>{251, 258}));
  // The configured reset line is pulsed.
  EXPECT_EQ(rig.chipPort.lineEvents,
            (std::vector<std::string>{"RTS+", "RTS-"}));
}

TEST(ScanPortsTest, NoChipAnywhereTriesAllSixtyThreeAndKeepsZero) {
  ScanRig rig;
  rig.lines.devices = {{3, &rig.emptyPort}};
  ScanPorts(rig.lines, rig.clock, rig.blocks, rig.settings);
  EXPECT_EQ(rig.settings.ComNr, 0);
  EXPECT_EQ(rig.lines.opened, Numbers(1, 63));
  EXPECT_FALSE(rig.lines.IsOpen());
  EXPECT_EQ(rig.lines.closes, 1);
}

}  // namespace
}  // namespace kestrix

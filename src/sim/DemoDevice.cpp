#include "sim/DemoDevice.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "sim/DemoFiles.h"
#include "sim/DemoPages.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

namespace {

// Key bytes that tell the window's mode: with Normal-Terminal Mode off,
// Shift reports 1 and 3 and Backspace and Escape arrive remapped.
constexpr std::uint8_t kShiftDown = 1;
constexpr std::uint8_t kShiftUp = 3;
constexpr std::uint8_t kBackspaceDisplay = 200;
constexpr std::uint8_t kEscapeDisplay = 203;
constexpr std::uint8_t kBackspaceNormal = 8;
constexpr std::uint8_t kEscapeNormal = 27;
constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kMouseReport = 5;

// A boot session starts with the calibration byte after a quiet line,
// followed by the first host bit (0xFE or 0xFF): a pty has no reset line.
constexpr std::uint8_t kCalibration = 0xF9;
constexpr int kQuietGapMs = 50;
constexpr int kKeyHoldMs = 30;
constexpr int kBootGiveUpMs = 3000;
// The monitor's closing "0+ADDR" has no line end: it is over when the
// typing stops.
constexpr int kMonitorDoneMs = 150;
constexpr int kAnswerGiveUpMs = 3000;
constexpr int kTypingDoneMs = 1500;
constexpr int kReportShowMs = 2500;

// The binary sender discards what it has received right after sending the
// length, so the first go-ahead must come a little later.
constexpr int kFirstAckDelayMs = 60;
constexpr char kAck = 0x06;
constexpr int kBlockBytes = 16;
constexpr int kFileBlock = 512;

constexpr int kGreen = 5, kYellow = 6, kWhite = 0, kRed = 2, kGrey = 7;

bool IsEscape(std::uint8_t k) {
  return k == kEscapeDisplay || k == kEscapeNormal;
}

bool IsHexDigit(std::uint8_t b) {
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'F');
}

std::string KeyName(std::uint8_t k) {
  static const char* const kNames[] = {
      "Left", "Right", "Up",        "Down",   "Home",   "End",
      "PgUp", "PgDn",  "Backspace", "Delete", "Insert", "Escape"};
  if (k >= 0xC0 && k <= 0xCB) return kNames[k - 0xC0];
  if (k >= 0xD0 && k <= 0xDB) return "F" + std::to_string(k - 0xD0 + 1);
  switch (k) {
    case 1:
      return "Shift down";
    case 2:
      return "Ctrl down";
    case 3:
      return "Shift up";
    case 4:
      return "Alt down or Ctrl up";
    case 8:
      return "Backspace (normal-terminal mode)";
    case 9:
      return "Tab";
    case 13:
      return "Enter";
    case 27:
      return "Escape (normal-terminal mode)";
    default:
      break;
  }
  if (k >= 32) return std::string("'") + static_cast<char>(k) + "'";
  return "Ctrl+" + std::string(1, static_cast<char>('@' + k));
}

// Seconds since 1970 as a calendar date and time.
std::string CivilTime(long long seconds) {
  long long days = seconds / 86400, rest = seconds % 86400;
  days += 719468;
  const long long era = days / 146097;
  const long long doe = days - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const long long day = doy - (153 * mp + 2) / 5 + 1;
  const long long month = mp < 10 ? mp + 3 : mp - 9;
  const long long year = yoe + era * 400 + (month <= 2);
  char text[128];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                year, month, day, rest / 3600, rest / 60 % 60, rest % 60);
  return text;
}

std::string Status(const std::string& text, int colour = kYellow) {
  std::string padded = text;
  padded.resize(79, ' ');
  return DemoStream()
      .At(0, kStatusRow)
      .Colour(colour)
      .Text(padded)
      .Colour(kWhite)
      .bytes();
}

std::string ImmediateRequest(int x8, int y8) {
  return {5, static_cast<char>(0x81), static_cast<char>(x8),
          static_cast<char>(y8)};
}

}  // namespace

DemoDevice::DemoDevice(DemoBootRom& rom) : rom_(rom) {}

void DemoDevice::OnHostBytes(const std::uint8_t* data, int count,
                             std::int64_t nowMs) {
  Tick(nowMs);
  for (int i = 0; i < count; ++i) OnByte(data[i], i == 0);
  lastHostMs_ = nowMs;
}

int DemoDevice::TakeReplies(std::uint8_t* out, int max) {
  int n = 0;
  for (; n < max && !ready_.empty(); ++n) {
    out[n] = ready_.front();
    ready_.pop_front();
  }
  return n;
}

void DemoDevice::Tick(std::int64_t nowMs) {
  nowMs_ = nowMs;
  const auto due = std::stable_partition(
      delayed_.begin(), delayed_.end(),
      [&](const auto& item) { return item.first <= nowMs; });
  for (auto it = delayed_.begin(); it != due; ++it) Send(it->second);
  delayed_.erase(delayed_.begin(), due);

  if (restartAtMs_ >= 0 && nowMs >= restartAtMs_ && mode_ == Mode::kDemo) {
    restartAtMs_ = -1;
    Open(Page::kTitle);
  }
  const std::int64_t quiet = nowMs - lastHostMs_;
  if (!hexRun_.empty() && quiet >= kKeyHoldMs) FlushHexRun();
  if (mode_ == Mode::kBoot && quiet > kBootGiveUpMs) {
    Log("Propeller 1 boot: the host stopped in the middle; session dropped");
    mode_ = Mode::kDemo;
    Restart("Propeller 1 upload broke off.");
  } else if (mode_ == Mode::kMonitor &&
             quiet > (monitor_.Closing() ? kMonitorDoneMs : kBootGiveUpMs)) {
    FinishMonitor();
  } else if (expect_ == Expect::kTypedText && quiet > kTypingDoneMs &&
             nowMs - expectSinceMs_ > kTypingDoneMs) {
    // The PC types a line every 10 or 100 ms: a longer pause ends the file,
    // and the menu keys work again.
    expect_ = Expect::kNone;
    if (!typedAny_) {
      Send(Status("No text arrived from the PC (request \"t\").", kRed));
    }
  } else if (mode_ == Mode::kDemo && expect_ != Expect::kNone &&
             expect_ != Expect::kMouse && expect_ != Expect::kTypedText &&
             quiet > kAnswerGiveUpMs &&
             nowMs - expectSinceMs_ > kAnswerGiveUpMs) {
    expect_ = Expect::kNone;
    collected_.clear();
    Send(Status("No answer from the PC.", kRed));
  }
}

void DemoDevice::ShowTitle() {
  if (mode_ != Mode::kDemo) return;
  Log("The window opened the line: showing the title");
  Open(Page::kTitle);
}

std::vector<std::string> DemoDevice::TakeLog() {
  std::vector<std::string> lines;
  lines.swap(log_);
  return lines;
}

void DemoDevice::OnByte(std::uint8_t byte, bool firstOfRead) {
  if (mode_ == Mode::kBoot) {
    rom_.OnHostBytes(&byte, 1, nowMs_);
    std::uint8_t reply[64];
    for (int got; (got = rom_.TakeReplies(reply, sizeof reply)) > 0;) {
      ready_.insert(ready_.end(), reply, reply + got);
    }
    if (rom_.SessionOver()) FinishBoot();
    return;
  }
  if (heldCalibration_) {
    heldCalibration_ = false;
    if (byte == 0xFE || byte == 0xFF) {
      StartBoot(byte);
      return;
    }
    OnByte(kCalibration, false);
  } else if (byte == kCalibration && firstOfRead &&
             nowMs_ - lastHostMs_ >= kQuietGapMs) {
    heldCalibration_ = true;
    return;
  }
  if (mode_ == Mode::kMonitor) {
    Send(monitor_.OnByte(byte));
    return;
  }
  // A monitor load starts with a hex address and ':'. Digits are menu keys
  // too, so a run of them waits for the next byte, or for a pause no typing
  // program makes, before it counts as keys.
  if (expect_ == Expect::kNone && IsHexDigit(byte) && hexRun_.size() < 8) {
    hexRun_ += static_cast<char>(byte);
    return;
  }
  if (!hexRun_.empty() && byte == ':') {
    mode_ = Mode::kMonitor;
    monitor_.Reset();
    Log("Propeller 2 monitor: typed lines arriving");
    Send(PageHeader("Propeller 2 monitor (simulated): loading")
             .At(0, 2)
             .bytes());
    for (char c : hexRun_ + ":") {
      Send(monitor_.OnByte(static_cast<std::uint8_t>(c)));
    }
    hexRun_.clear();
    return;
  }
  FlushHexRun();
  OnDemoByte(byte);
}

void DemoDevice::FlushHexRun() {
  const std::string keys = std::move(hexRun_);
  hexRun_.clear();
  for (char c : keys) OnDemoByte(static_cast<std::uint8_t>(c));
}

void DemoDevice::Collect(std::uint8_t byte, std::size_t need,
                         void (DemoDevice::*done)()) {
  collected_ += static_cast<char>(byte);
  if (collected_.size() >= need) {
    expect_ = Expect::kNone;
    (this->*done)();
    collected_.clear();
  }
}

void DemoDevice::OnDemoByte(std::uint8_t byte) {
  switch (expect_) {
    case Expect::kMouse:
      Collect(byte, 3, &DemoDevice::OnMouse);
      return;
    case Expect::kAnswerText:
      if (byte == kEnter) {
        expect_ = Expect::kNone;
        OnAnswerText();
        collected_.clear();
      } else {
        collected_ += static_cast<char>(byte);
      }
      return;
    case Expect::kPixel:
      expect_ = Expect::kNone;
      OnPixel(byte);
      return;
    case Expect::kSize:
      Collect(byte, 4, &DemoDevice::OnSize);
      return;
    case Expect::kBlock:
      Collect(byte, kFileBlock + 4, &DemoDevice::OnBlock);
      return;
    case Expect::kBinLength:
      collected_ += static_cast<char>(byte);
      if (collected_.size() == 4) {
        binLength_ = 0;
        for (int i = 3; i >= 0; --i) {
          binLength_ =
              binLength_ << 8 | static_cast<std::uint8_t>(collected_[i]);
        }
        collected_.clear();
        Send(DemoStream()
                 .At(0, 6)
                 .Text("Length announced: " + std::to_string(binLength_) +
                       " bytes")
                 .bytes());
        if (binLength_ == 0) {
          expect_ = Expect::kNone;
          OnBinaryDone();
        } else {
          expect_ = Expect::kBinData;
          SendLater(kFirstAckDelayMs, std::string(1, kAck));
        }
      }
      return;
    case Expect::kBinData:
      binSum_ += byte;
      ++binReceived_;
      if (binReceived_ == binLength_ || binReceived_ % kBlockBytes == 0) {
        ++binBlocks_;
        Send(DemoStream()
                 .At(0, 7)
                 .Text("Blocks of 16 received: " + std::to_string(binBlocks_))
                 .bytes());
        if (binReceived_ == binLength_) {
          expect_ = Expect::kNone;
          OnBinaryDone();
        } else {
          Send(std::string(1, kAck));
        }
      }
      return;
    case Expect::kTypedText:
      if (IsEscape(byte)) {
        expect_ = Expect::kNone;
        Open(Page::kTitle);
      } else if (byte == kEnter) {
        typedAny_ = true;
        Send("\r");
      } else if (byte >= 14 && byte != kBackspaceDisplay) {
        typedAny_ = true;
        Send(std::string(1, static_cast<char>(byte)));
      }
      return;
    case Expect::kNone:
      break;
  }
  if (byte == kMouseReport) {
    expect_ = Expect::kMouse;
    return;
  }
  OnKey(byte);
}

void DemoDevice::OnKey(std::uint8_t key) {
  const int before = keyMode_;
  if (key == kShiftDown || key == kShiftUp || key == kBackspaceDisplay ||
      key == kEscapeDisplay) {
    keyMode_ = 1;
  } else if (key == kBackspaceNormal || key == kEscapeNormal) {
    keyMode_ = -1;
  }
  if (page_ == Page::kKeys) {
    escapes_ = IsEscape(key) ? escapes_ + 1 : 0;
    if (escapes_ >= 2) {
      Open(Page::kTitle);
      return;
    }
    char line[80];
    std::snprintf(line, sizeof line, "%3d  0x%02X  %s", key, key,
                  KeyName(key).c_str());
    ShowKeyLine(line);
    return;
  }
  if (key >= 1 && key <= 4) {
    if (page_ == Page::kTitle && keyMode_ != before) Open(Page::kTitle);
    return;
  }
  static const Page kByDigit[] = {
      Page::kPrepared, Page::kColours, Page::kCursor, Page::kGraphics,
      Page::kMouse,    Page::kClock,   Page::kKeys,   Page::kText,
      Page::kBinary,   Page::kSave};
  if (IsEscape(key) || key == 'm' || key == 'M') {
    Open(Page::kTitle);
  } else if (key >= '0' && key <= '9') {
    Open(kByDigit[key - '0']);
  } else if (page_ == Page::kCursor && key == '+') {
    Send(DemoStream().Command(kScroll, 0, 3).bytes());
  } else if (page_ == Page::kTitle) {
    Open(Page::kTitle);
  }
}

void DemoDevice::Open(Page page) {
  page_ = page;
  // A page chosen while an upload report shows wins over the restart.
  if (page != Page::kTitle) restartAtMs_ = -1;
  step_ = 0;
  expect_ = Expect::kNone;
  expectSinceMs_ = nowMs_;
  collected_.clear();
  typedRow_ = 0;
  escapes_ = 0;
  typedAny_ = false;
  DemoStream s;
  switch (page) {
    case Page::kTitle:
      s = TitlePage(keyMode_);
      if (!lastReport_.empty()) {
        s.At(0, kStatusRow).Colour(kGreen).Text(lastReport_).Colour(kWhite);
      }
      break;
    case Page::kColours:
      s = ColoursPage();
      break;
    case Page::kCursor:
      s = CursorPage();
      break;
    case Page::kGraphics:
      s = GraphicsPage();
      s.Command(kQuery, kQueryPoints[0].X, kQueryPoints[0].Y);
      expect_ = Expect::kPixel;
      break;
    case Page::kMouse:
      s = MousePage();
      pointerShown_ = drawing_ = false;
      break;
    case Page::kClock:
      s = PageHeader("5  Clock, time and date (immediate requests 5, 0x81)");
      s.Raw(ImmediateRequest(1, 0));
      expect_ = Expect::kAnswerText;
      break;
    case Page::kKeys:
      s = KeysPage();
      break;
    case Page::kText:
      s = PageHeader("7  Text file from the PC (request \"t\")");
      s.Line("The PC types demo.txt line by line; each line ends with CR:");
      s.Request('t', kDemoTextName, kStatusRow).At(0, 5);
      expect_ = Expect::kTypedText;
      break;
    case Page::kBinary:
      s = PageHeader("8  Binary file from the PC (request \"f\")");
      s.Line("The PC sends the length, then 16 bytes per go-ahead byte.");
      s.Request('f', kDemoBinaryName, kStatusRow);
      binLength_ = binReceived_ = binSum_ = 0;
      binBlocks_ = 0;
      expect_ = Expect::kBinLength;
      break;
    case Page::kSave:
      ++saves_;
      s = PageHeader("9  Save a file on the PC (request \"s\")");
      s.Line("The device prints the content, homes, prints the name, asks:");
      s.Home().At(0, 5).Colour(kGreen);
      s.Text("Written by the Kestrix demo, save number " +
             std::to_string(saves_) + ".\n");
      s.Text("A second line: the file gets exactly what was printed.\n");
      s.Request('s', kDemoSavedName, kStatusRow);
      // The answer to a pixel query comes after the save is done.
      s.Command(kQuery, 0, 0).Colour(kWhite);
      expect_ = Expect::kPixel;
      break;
    case Page::kPrepared:
      s = PageHeader(
          "0  Prepared file: size (request \"o\") and 512-byte blocks");
      s.Request('o', "", kStatusRow);
      expect_ = Expect::kSize;
      break;
  }
  Send(s.bytes());
}

void DemoDevice::ShowKeyLine(const std::string& line) {
  constexpr int kLines = 18;
  std::string padded = line;
  padded.resize(48, ' ');
  // The next line is blanked so that the newest entry is easy to find.
  Send(DemoStream()
           .At(4, 4 + typedRow_)
           .Colour(kGrey)
           .Text(padded)
           .At(4, 4 + (typedRow_ + 1) % kLines)
           .Text(std::string(48, ' '))
           .Colour(kWhite)
           .bytes());
  typedRow_ = (typedRow_ + 1) % kLines;
}

void DemoDevice::OnMouse() {
  const auto k = static_cast<std::uint8_t>(collected_[0]);
  const int buttons = k & 3;
  const int x = static_cast<std::uint8_t>(collected_[1]) * 2 + (k >> 5 & 1);
  const int y = static_cast<std::uint8_t>(collected_[2]) * 2 + (k >> 4 & 1);
  char line[60];
  std::snprintf(line, sizeof line, "mouse x=%3d y=%3d buttons=%d", x, y,
                buttons);
  if (page_ == Page::kKeys) {
    ShowKeyLine(line);
    return;
  }
  if (page_ != Page::kMouse) return;
  DemoStream s;
  if (pointerShown_) s.Command(kPointer, lastX_, lastY_);
  if (buttons & 2) {
    s = MousePage();
    drawing_ = false;
  } else if (buttons & 1) {
    if (!drawing_) strokeColour_ = strokeColour_ % 6 + 1;
    s.Colour(strokeColour_);
    if (drawing_) {
      s.Command(kMove, lastX_, lastY_).Command(kLine, x, y);
    } else {
      s.Command(kPlot, x, y);
    }
    drawing_ = true;
  } else {
    drawing_ = false;
  }
  s.Raw(Status(line, kGrey));
  s.Command(kPointer, x, y);
  pointerShown_ = true;
  lastX_ = x;
  lastY_ = y;
  Send(s.bytes());
}

void DemoDevice::OnAnswerText() {
  const std::string& text = collected_;
  DemoStream s;
  s.At(0, 3 + step_ * 2).Colour(kWhite);
  if (step_ == 0) {
    s.Text("Clock (5, 0x81, 1): " + text + " seconds since 1970");
    s.At(4, 4).Colour(kGrey).Text("counted from local time, so: " +
                                  CivilTime(std::atoll(text.c_str())));
    s.Raw(ImmediateRequest(2, 0));
  } else if (step_ == 1) {
    s.Text("Time (5, 0x81, 2): " + text);
    s.Raw(ImmediateRequest(3, 0));
  } else {
    s.Text("Date (5, 0x81, 3): " + text);
    s.At(0, 9).Colour(kYellow).Text("Press 5 to ask again.");
  }
  Log("Clock answer: " + text);
  if (++step_ < 3) {
    expect_ = Expect::kAnswerText;
    expectSinceMs_ = nowMs_;
  }
  Send(s.Colour(kWhite).bytes());
}

void DemoDevice::OnPixel(std::uint8_t answer) {
  if (page_ == Page::kSave) {
    Send(DemoStream()
             .At(0, 9)
             .Colour(kWhite)
             .Text("Asked the PC to save demo-saved.txt; reading it back "
                   "(request \"t\"):")
             .Request('t', kDemoSavedName, kStatusRow)
             .At(0, 11)
             .Colour(kGreen)
             .bytes());
    Log("Asked the PC to save demo-saved.txt");
    expect_ = Expect::kTypedText;
    expectSinceMs_ = nowMs_;
    typedAny_ = false;
    return;
  }
  if (page_ != Page::kGraphics || step_ >= std::ssize(kQueryPoints)) return;
  const QueryPoint& q = kQueryPoints[step_];
  char line[90];
  std::snprintf(line, sizeof line, "  query (%3d,%3d) %-24s -> 0x%02X %s", q.X,
                q.Y, q.What, answer,
                answer == 0xFE   ? "black"
                : answer == 0xFF ? "not black or outside"
                                 : "?");
  DemoStream s;
  s.At(0, 19 + step_)
      .Colour(answer == 0xFE ? kGrey : kYellow)
      .Text(line)
      .Colour(kWhite);
  if (++step_ < std::ssize(kQueryPoints)) {
    s.Command(kQuery, kQueryPoints[step_].X, kQueryPoints[step_].Y);
    expect_ = Expect::kPixel;
    expectSinceMs_ = nowMs_;
  }
  Send(s.bytes());
}

void DemoDevice::OnSize() {
  std::int32_t size = 0;
  for (int i = 3; i >= 0; --i) {
    size = static_cast<std::int32_t>(static_cast<std::uint32_t>(size) << 8 |
                                     static_cast<std::uint8_t>(collected_[i]));
  }
  preparedSize_ = size;
  DemoStream s;
  s.At(0, 3);
  if (size < 0) {
    s.Colour(kRed).Text(size == -2 ? "The prepared file is a folder."
                                   : "No prepared file (size -1).");
    s.Colour(kWhite).At(0, 5).Text(
        "Choose Upload File, kind \"Prepare\", and pick demo.bin in the\n"
        "simulator's folder; then press 0 again.");
  } else {
    s.Colour(kWhite).Text("Size of the prepared file: " + std::to_string(size) +
                          " bytes");
    s.Raw(ImmediateRequest(128, 0));
    expect_ = Expect::kBlock;
    expectSinceMs_ = nowMs_;
  }
  Log("Prepared file size: " + std::to_string(size));
  Send(s.bytes());
}

void DemoDevice::OnBlock() {
  std::int32_t sum = 0;
  std::string dump;
  for (int i = 0; i < kFileBlock; ++i) {
    const auto b = static_cast<std::uint8_t>(collected_[i]);
    sum += static_cast<std::int8_t>(b);
    if (i < 16) dump += Hex(b, 2) + " ";
  }
  std::uint32_t sent = 0;
  for (int i = 3; i >= 0; --i) {
    sent = sent << 8 | static_cast<std::uint8_t>(collected_[kFileBlock + i]);
  }
  const int block = step_ == 0 ? 0 : (preparedSize_ - 1) / kFileBlock;
  DemoStream s;
  s.At(0, 5 + step_ * 3)
      .Colour(kWhite)
      .Text("Block " + std::to_string(block) + " (5, 0x81, " +
            std::to_string(128 + block / 256) + ", " +
            std::to_string(block % 256) + "): " + dump);
  const bool good = sent == static_cast<std::uint32_t>(sum);
  s.At(4, 6 + step_ * 3)
      .Colour(good ? kGreen : kRed)
      .Text("checksum sent " + Hex(sent, 8) + ", counted " +
            Hex(static_cast<std::uint32_t>(sum), 8) +
            (good ? ": they agree" : ": they DIFFER"));
  const int last = (preparedSize_ - 1) / kFileBlock;
  if (step_ == 0 && last > 0) {
    step_ = 1;
    s.Raw(ImmediateRequest(128 + last / 256, last % 256));
    expect_ = Expect::kBlock;
    expectSinceMs_ = nowMs_;
  }
  Send(s.Colour(kWhite).bytes());
}

void DemoDevice::OnBinaryDone() {
  const std::string own = DemoBinaryContent();
  const bool same = binLength_ == own.size() && binSum_ == ByteSum(own);
  DemoStream s;
  s.At(0, 9).Colour(kWhite).Text("Received " + std::to_string(binReceived_) +
                                 " bytes, byte sum 0x" + Hex(binSum_, 8));
  s.At(0, 10).Colour(kGrey).Text(
      "demo.bin as the simulator wrote it: " + std::to_string(own.size()) +
      " bytes, byte sum 0x" + Hex(ByteSum(own), 8));
  s.At(0, 12)
      .Colour(same ? kGreen : kYellow)
      .Text(same ? "They agree." : "They differ (was demo.bin changed?)")
      .Colour(kWhite);
  Log("Binary file: " + std::to_string(binReceived_) + " bytes, byte sum 0x" +
      Hex(binSum_, 8));
  Send(s.bytes());
}

void DemoDevice::StartBoot(std::uint8_t hostBit) {
  mode_ = Mode::kBoot;
  expect_ = Expect::kNone;
  collected_.clear();
  hexRun_.clear();
  // Nothing of the demo may reach the loader while it reads the chip.
  ready_.clear();
  delayed_.clear();
  rom_.StartSession();
  Log("Propeller 1 boot: calibration and host bits arriving");
  const std::uint8_t start[] = {kCalibration, hostBit};
  for (std::uint8_t b : start) OnByte(b, false);
}

void DemoDevice::FinishBoot() {
  mode_ = Mode::kDemo;
  const BootOutcome outcome = rom_.Outcome();
  std::string report;
  if (outcome.Accepted && (outcome.Command == 1 || outcome.Command == 3)) {
    std::string bytes(outcome.Image.begin(), outcome.Image.end());
    report = std::string("Propeller 1 upload into ") +
             (outcome.Command == 1 ? "RAM" : "EEPROM") + ": " +
             std::to_string(bytes.size()) + " bytes, byte sum 0x" +
             Hex(ByteSum(bytes), 8);
  } else if (outcome.Command == 0) {
    report = "Propeller 1: the loader asked only for the version.";
  } else {
    report = "Propeller 1 upload rejected by the boot ROM.";
  }
  Log(report);
  Restart(report);
}

void DemoDevice::FinishMonitor() {
  mode_ = Mode::kDemo;
  const DemoMonitor::Load load = monitor_.Result();
  std::string report;
  if (!monitor_.Closing()) {
    report = "Propeller 2 monitor: the load stopped before \"0+\".";
  } else if (load.Bytes == 0) {
    report =
        "Propeller 2 monitor: nothing loaded, start at " + Hex(load.Start, 1);
  } else {
    report = "Propeller 2 monitor: " + Hex(load.First, 1) + ".." +
             Hex(load.Last, 1) + ", " + std::to_string(load.Bytes) +
             " bytes, byte sum 0x" + Hex(load.Sum, 8) + ", start " +
             Hex(load.Start, 1);
  }
  Log(report);
  Restart(report);
}

void DemoDevice::Restart(const std::string& report) {
  lastReport_ = report;
  page_ = Page::kTitle;
  expect_ = Expect::kNone;
  SendLater(kQuietGapMs * 4, DemoStream()
                                 .Text("\n")
                                 .Colour(kGreen)
                                 .Line(report)
                                 .Colour(kWhite)
                                 .bytes());
  restartAtMs_ = nowMs_ + kReportShowMs;
}

void DemoDevice::Send(const std::string& bytes) {
  ready_.insert(ready_.end(), bytes.begin(), bytes.end());
}

void DemoDevice::SendLater(int delayMs, const std::string& bytes) {
  delayed_.emplace_back(nowMs_ + delayMs, bytes);
}

}  // namespace kestrix::sim

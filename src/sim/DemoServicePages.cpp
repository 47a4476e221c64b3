#include "sim/DemoServicePages.h"

#include <cstdio>

#include "sim/DemoFiles.h"
#include "sim/DemoScreens.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

namespace {
// The binary sender discards what it has received right after sending the
// length, so the first go-ahead must come a little later.
constexpr int kFirstAckDelayMs = 60;
constexpr char kAck = 0x06;
constexpr std::uint32_t kBlockBytes = 16;
}  // namespace

void TypedText::OnByte(std::uint8_t byte, PageOutput& out) {
  if (IsEscape(byte)) {
    active_ = false;
    out.backToMenu = true;
  } else if (byte == kEnter) {
    any_ = true;
    out.Send("\r");
  } else if (byte >= 14 && byte != kBackspaceDisplay) {
    any_ = true;
    out.Send(std::string(1, static_cast<char>(byte)));
  }
}

void TypedText::End(PageOutput& out) {
  // The PC types a line every 10 or 100 ms: a longer pause ends the file,
  // and the menu keys work again.
  active_ = false;
  if (!any_)
    out.Send(Status("No text arrived from the PC (request \"t\").", kRed));
}

void TextPage::Open(PageOutput& out) {
  DemoStream s = PageHeader("7  Text file from the PC (request \"t\")");
  s.Line("The PC types demo.txt line by line; each line ends with CR:");
  s.Request('t', kDemoTextName, kStatusRow).At(0, 5);
  typed_.Start();
  out.Send(s.bytes());
}

void TextPage::OnAnswer(std::uint8_t byte, PageOutput& out) {
  typed_.OnByte(byte, out);
}

void BinaryPage::Open(PageOutput& out) {
  DemoStream s = PageHeader("8  Binary file from the PC (request \"f\")");
  s.Line("The PC sends the length, then 16 bytes per go-ahead byte.");
  s.Request('f', kDemoBinaryName, kStatusRow);
  length_.clear();
  expected_ = received_ = sum_ = 0;
  blocks_ = 0;
  waiting_ = true;
  out.Send(s.bytes());
}

void BinaryPage::OnAnswer(std::uint8_t byte, PageOutput& out) {
  if (length_.size() < 4) {
    length_ += static_cast<char>(byte);
    if (length_.size() < 4) return;
    expected_ = LittleEndian32(length_, 0);
    out.Send(
        DemoStream()
            .At(0, 6)
            .Text("Length announced: " + std::to_string(expected_) + " bytes")
            .bytes());
    if (expected_ == 0) {
      Done(out);
    } else {
      out.later.emplace_back(kFirstAckDelayMs, std::string(1, kAck));
    }
    return;
  }
  sum_ += byte;
  ++received_;
  if (received_ != expected_ && received_ % kBlockBytes != 0) return;
  ++blocks_;
  out.Send(DemoStream()
               .At(0, 7)
               .Text("Blocks of 16 received: " + std::to_string(blocks_))
               .bytes());
  if (received_ == expected_) {
    Done(out);
  } else {
    out.Send(std::string(1, kAck));
  }
}

void BinaryPage::Done(PageOutput& out) {
  waiting_ = false;
  const std::string own = DemoBinaryContent();
  const bool same = expected_ == own.size() && sum_ == ByteSum(own);
  DemoStream s;
  s.At(0, 9).Colour(kWhite).Text("Received " + std::to_string(received_) +
                                 " bytes, byte sum 0x" + Hex(sum_, 8));
  s.At(0, 10).Colour(kGrey).Text(
      "demo.bin as the simulator wrote it: " + std::to_string(own.size()) +
      " bytes, byte sum 0x" + Hex(ByteSum(own), 8));
  s.At(0, 12)
      .Colour(same ? kGreen : kYellow)
      .Text(same ? "They agree." : "They differ (was demo.bin changed?)")
      .Colour(kWhite)
      .At(kParkColumn, kFooterRow);
  out.log.push_back("Binary file: " + std::to_string(received_) +
                    " bytes, byte sum 0x" + Hex(sum_, 8));
  out.Send(s.bytes());
}

void SavePage::Open(PageOutput& out) {
  ++saves_;
  DemoStream s = PageHeader("9  Save a file on the PC (request \"s\")");
  s.Line("The device prints the content, homes, prints the name, asks:");
  s.Home().At(0, 5).Colour(kGreen);
  s.Text("Written by the Kestrix demo, save number " + std::to_string(saves_) +
         ".\n");
  s.Text("A second line: the file gets exactly what was printed.\n");
  s.Request('s', kDemoSavedName, kStatusRow);
  // The answer to a pixel query comes after the save is done.
  s.Command(kQuery, 0, 0).Colour(kWhite);
  pixelDue_ = true;
  out.Send(s.bytes());
}

void SavePage::OnAnswer(std::uint8_t byte, PageOutput& out) {
  if (typed_.Active()) {
    typed_.OnByte(byte, out);
    return;
  }
  pixelDue_ = false;
  out.Send(DemoStream()
               .At(0, 9)
               .Colour(kWhite)
               .Text("Asked the PC to save demo-saved.txt; reading it back "
                     "(request \"t\"):")
               .Request('t', kDemoSavedName, kStatusRow)
               .At(0, 11)
               .Colour(kGreen)
               .bytes());
  out.log.push_back("Asked the PC to save demo-saved.txt");
  typed_.Start();
}

int SavePage::GiveUpMs() const {
  return typed_.Active() ? TypedText::kDoneMs : kAnswerGiveUpMs;
}

void SavePage::GiveUp(PageOutput& out) {
  if (typed_.Active()) {
    typed_.End(out);
    return;
  }
  pixelDue_ = false;
  DemoPage::GiveUp(out);
}

}  // namespace kestrix::sim

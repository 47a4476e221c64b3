#include "sim/DemoScreens.h"
#include "sim/DemoServicePages.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

namespace {
constexpr int kFileBlock = 512;
constexpr std::size_t kSizeBytes = 4;
constexpr std::size_t kBlockAnswerBytes = kFileBlock + 4;  // and its sum
}  // namespace

void PreparedPage::Open(PageOutput& out) {
  step_ = 0;
  answer_.clear();
  need_ = kSizeBytes;
  DemoStream s =
      PageHeader("0  Prepared file: size (request \"o\") and 512-byte blocks");
  out.Send(s.Request('o', "", kStatusRow).bytes());
}

void PreparedPage::OnAnswer(std::uint8_t byte, PageOutput& out) {
  answer_ += static_cast<char>(byte);
  if (--need_ > 0) return;
  if (answer_.size() == kSizeBytes) {
    OnSize(out);
  } else {
    OnBlock(out);
  }
  answer_.clear();
}

void PreparedPage::OnSize(PageOutput& out) {
  size_ = static_cast<std::int32_t>(LittleEndian32(answer_, 0));
  DemoStream s;
  s.At(0, 3);
  if (size_ < 0) {
    s.Colour(kRed).Text(size_ == -2 ? "The prepared file is a folder."
                                    : "No prepared file (size -1).");
    s.Colour(kWhite).At(0, 5).Text(
        "Choose Upload File, kind \"Prepare\", and pick demo.bin in the\n"
        "simulator's folder; then press 0 again.");
    s.At(kParkColumn, kFooterRow);
  } else {
    s.Colour(kWhite).Text(
        "Size of the prepared file: " + std::to_string(size_) + " bytes");
    s.Raw(ImmediateRequest(128, 0));
    need_ = kBlockAnswerBytes;
  }
  out.log.push_back("Prepared file size: " + std::to_string(size_));
  out.Send(s.bytes());
}

void PreparedPage::OnBlock(PageOutput& out) {
  std::int32_t sum = 0;
  std::string dump;
  for (int i = 0; i < kFileBlock; ++i) {
    const auto b = static_cast<std::uint8_t>(answer_[i]);
    sum += static_cast<std::int8_t>(b);
    if (i < 16) dump += Hex(b, 2) + " ";
  }
  const std::uint32_t sent = LittleEndian32(answer_, kFileBlock);
  const int last = size_ == 0 ? 0 : (size_ - 1) / kFileBlock;
  const int block = step_ == 0 ? 0 : last;
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
  if (step_ == 0 && last > 0) {
    step_ = 1;
    s.Raw(ImmediateRequest(128 + last / 256, last % 256));
    need_ = kBlockAnswerBytes;
  } else {
    s.At(kParkColumn, kFooterRow);
  }
  out.Send(s.Colour(kWhite).bytes());
}

}  // namespace kestrix::sim

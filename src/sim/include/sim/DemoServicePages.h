#pragma once

#include <cstdint>
#include <string>

#include "sim/DemoPage.h"

namespace kestrix::sim {

// The pages that ask the PC for something and show its answer.

// Clock, time and date: three immediate requests, each answered by a line.
class ClockPage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool Waiting() const override { return step_ < 3; }
  void OnAnswer(std::uint8_t byte, PageOutput& out) override;

 private:
  int step_ = 3;
  std::string answer_;
};

// A text file typed by the PC, shown as it comes; a pause ends it.
class TypedText {
 public:
  static constexpr int kDoneMs = 1500;
  void Start() { active_ = true, any_ = false; }
  bool Active() const { return active_; }
  // Escape ends the typing and asks for the menu.
  void OnByte(std::uint8_t byte, PageOutput& out);
  void End(PageOutput& out);

 private:
  bool active_ = false;
  bool any_ = false;
};

// Request "t" for demo.txt.
class TextPage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool Waiting() const override { return typed_.Active(); }
  void OnAnswer(std::uint8_t byte, PageOutput& out) override;
  int GiveUpMs() const override { return TypedText::kDoneMs; }
  void GiveUp(PageOutput& out) override { typed_.End(out); }

 private:
  TypedText typed_;
};

// Request "f" for demo.bin: the length, then 16 bytes per go-ahead.
class BinaryPage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool Waiting() const override { return waiting_; }
  void OnAnswer(std::uint8_t byte, PageOutput& out) override;

 private:
  void Done(PageOutput& out);

  bool waiting_ = false;
  std::string length_;
  std::uint32_t expected_ = 0, received_ = 0, sum_ = 0;
  int blocks_ = 0;
};

// Request "s" writes a file on the PC, then "t" reads it back.
class SavePage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool Waiting() const override { return pixelDue_ || typed_.Active(); }
  void OnAnswer(std::uint8_t byte, PageOutput& out) override;
  int GiveUpMs() const override;
  void GiveUp(PageOutput& out) override;

 private:
  int saves_ = 0;
  bool pixelDue_ = false;
  TypedText typed_;
};

// Request "o" for the prepared file's size, then its first and last blocks.
class PreparedPage : public DemoPage {
 public:
  void Open(PageOutput& out) override;
  bool Waiting() const override { return need_ > 0; }
  void OnAnswer(std::uint8_t byte, PageOutput& out) override;

 private:
  void OnSize(PageOutput& out);
  void OnBlock(PageOutput& out);

  std::size_t need_ = 0;  // bytes of the answer still to come
  std::string answer_;
  std::int32_t size_ = -1;
  int step_ = 0;
};

// Seconds since 1970 as "YYYY-MM-DD hh:mm:ss".
std::string CivilTime(long long seconds);

}  // namespace kestrix::sim

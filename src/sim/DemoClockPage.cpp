#include <cstdio>
#include <cstdlib>

#include "sim/DemoScreens.h"
#include "sim/DemoServicePages.h"
#include "sim/DemoStream.h"

namespace kestrix::sim {

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

void ClockPage::Open(PageOutput& out) {
  step_ = 0;
  answer_.clear();
  DemoStream s =
      PageHeader("5  Clock, time and date (immediate requests 5, 0x81)");
  out.Send(s.Raw(ImmediateRequest(1, 0)).bytes());
}

void ClockPage::OnAnswer(std::uint8_t byte, PageOutput& out) {
  if (byte != kEnter) {
    answer_ += static_cast<char>(byte);
    return;
  }
  DemoStream s;
  s.At(0, 3 + step_ * 2).Colour(kWhite);
  if (step_ == 0) {
    s.Text("Clock (5, 0x81, 1): " + answer_ + " seconds since 1970");
    s.At(4, 4).Colour(kGrey).Text("counted from local time, so: " +
                                  CivilTime(std::atoll(answer_.c_str())));
    s.Raw(ImmediateRequest(2, 0));
  } else if (step_ == 1) {
    s.Text("Time (5, 0x81, 2): " + answer_);
    s.Raw(ImmediateRequest(3, 0));
  } else {
    s.Text("Date (5, 0x81, 3): " + answer_);
    s.At(0, 9).Colour(kYellow).Text("Press 5 to ask again.");
    s.At(kParkColumn, kFooterRow);
  }
  out.log.push_back("Clock answer: " + answer_);
  answer_.clear();
  ++step_;
  out.Send(s.Colour(kWhite).bytes());
}

}  // namespace kestrix::sim

#include "sim/DemoDisplayPages.h"

#include <cstdio>
#include <iterator>

#include "sim/DemoScreens.h"

namespace kestrix::sim {

namespace {
constexpr int kKeyLines = 18;
constexpr int kKeyLineWidth = 48;

std::string MouseLine(const MouseReport& m) {
  char line[60];
  std::snprintf(line, sizeof line, "mouse x=%3d y=%3d buttons=%d", m.x, m.y,
                m.buttons);
  return line;
}
}  // namespace

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

void TitlePage::Open(PageOutput& out) {
  DemoStream s = TitleScreen();
  if (!report_.empty()) {
    s.Place(0, kStatusRow).Colour(kGreen).Text(report_).Colour(kWhite);
    s.Place(kParkColumn, kFooterRow);
  }
  hintMayShow_ = true;
  out.Send(s.bytes());
}

void TitlePage::DisplayModeSeen(PageOutput& out) {
  if (!hintMayShow_) return;
  hintMayShow_ = false;
  out.Send(DemoStream()
               .Place(0, kHintRow)
               .Text(std::string(80, ' '))
               .Place(kParkColumn, kFooterRow)
               .bytes());
}

void ScreenPage::Open(PageOutput& out) { out.Send(screen_().bytes()); }

CursorPage::CursorPage() : ScreenPage(CursorScreen) {}

bool CursorPage::OnKey(std::uint8_t key, PageOutput& out) {
  if (key != '+') return false;
  out.Send(DemoStream().Command(kScroll, 0, 3).bytes());
  return true;
}

void GraphicsPage::Open(PageOutput& out) {
  step_ = 0;
  out.Send(GraphicsScreen()
               .Command(kQuery, kQueryPoints[0].x, kQueryPoints[0].y)
               .bytes());
}

bool GraphicsPage::Waiting() const { return step_ < std::ssize(kQueryPoints); }

void GraphicsPage::OnAnswer(std::uint8_t answer, PageOutput& out) {
  const QueryPoint& q = kQueryPoints[step_];
  char line[90];
  std::snprintf(line, sizeof line, "  query (%3d,%3d) %-24s -> 0x%02X %s", q.x,
                q.y, q.what, answer,
                answer == 0xFE   ? "black"
                : answer == 0xFF ? "not black or outside"
                                 : "?");
  DemoStream s;
  s.At(0, 19 + step_)
      .Colour(answer == 0xFE ? kGrey : kYellow)
      .Text(line)
      .Colour(kWhite);
  if (++step_ < std::ssize(kQueryPoints)) {
    s.Command(kQuery, kQueryPoints[step_].x, kQueryPoints[step_].y);
  } else {
    s.At(kParkColumn, kFooterRow);
  }
  out.Send(s.bytes());
}

void MousePage::Open(PageOutput& out) {
  pointerShown_ = drawing_ = false;
  out.Send(MouseScreen().bytes());
}

void MousePage::OnMouse(const MouseReport& m, PageOutput& out) {
  DemoStream s;
  if (pointerShown_) s.Command(kPointer, lastX_, lastY_);
  if (m.buttons & 2) {
    s = MouseScreen();
    drawing_ = false;
  } else if (m.buttons & 1) {
    if (!drawing_) strokeColour_ = strokeColour_ % 6 + 1;
    s.Colour(strokeColour_);
    if (drawing_) {
      s.Command(kMove, lastX_, lastY_).Command(kLine, m.x, m.y);
    } else {
      s.Command(kPlot, m.x, m.y);
    }
    drawing_ = true;
  } else {
    drawing_ = false;
  }
  s.Raw(Status(MouseLine(m), kGrey)).At(kParkColumn, kFooterRow);
  s.Command(kPointer, m.x, m.y);
  pointerShown_ = true;
  lastX_ = m.x;
  lastY_ = m.y;
  out.Send(s.bytes());
}

void KeysPage::Open(PageOutput& out) {
  row_ = 0;
  escapes_ = 0;
  out.Send(KeysScreen().bytes());
}

bool KeysPage::OnKey(std::uint8_t key, PageOutput& out) {
  escapes_ = IsEscape(key) ? escapes_ + 1 : 0;
  if (escapes_ >= 2) {
    out.backToMenu = true;
    return true;
  }
  char line[80];
  std::snprintf(line, sizeof line, "%3d  0x%02X  %s", key, key,
                KeyName(key).c_str());
  ShowLine(line, out);
  return true;
}

void KeysPage::OnMouse(const MouseReport& report, PageOutput& out) {
  ShowLine(MouseLine(report), out);
}

void KeysPage::ShowLine(const std::string& line, PageOutput& out) {
  std::string padded = line;
  padded.resize(kKeyLineWidth, ' ');
  // The next line is blanked so that the newest entry is easy to find.
  out.Send(DemoStream()
               .At(4, 4 + row_)
               .Colour(kGrey)
               .Text(padded)
               .At(4, 4 + (row_ + 1) % kKeyLines)
               .Text(std::string(kKeyLineWidth, ' '))
               .Colour(kWhite)
               .At(kParkColumn, kFooterRow)
               .bytes());
  row_ = (row_ + 1) % kKeyLines;
}

void UploadPage::Open(PageOutput& out) { out.Send(UploadScreen().bytes()); }

bool UploadPage::OnKey(std::uint8_t key, PageOutput& out) {
  if (IsEscape(key)) return false;
  if (key == kEnter) {
    out.Send("\r");
  } else if (key >= 14 && key != kBackspaceDisplay) {
    out.Send(std::string(1, static_cast<char>(key)));
  }
  return true;
}

}  // namespace kestrix::sim

#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ProgramLoopTest : public ProgramTest {};

TEST_F(ProgramLoopTest, ServiceRequestRunsBeforeTheReplyByteIsSent) {
  // Clear, name T.TXT, service "t", then: is pixel (200, 200) black?
  rig.port.Feed(std::string("\0T.TXT\x05\x82\x05t\x05\x09\x64\x64", 14));
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.log,
            (Lines{"present", "transfer service 232 @3", "port write 1"}));
  EXPECT_EQ(rig.port.writes, (std::vector<Bytes>{{0xFE}}));
  // Done: the next chunk repeats neither.
  rig.port.Feed("x");
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.Of("transfer service").size(), 1u);

  // Pending ones wait for a turn that brings bytes: the program's own text
  // leaves a request "o" and a query of a pixel off the image.
  rig.p().engine.PrintText(std::string("\0o\x05\x82\x01o\x05\x09\xFF\xFF", 11));
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.Of("transfer service").size(), 1u);
  rig.port.Feed("z");
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.Of("transfer service").back(), "222 @3");
  EXPECT_EQ(rig.port.writes, (std::vector<Bytes>{{0xFE}, {0xFF}}));
}

// Re-entry guard: events arriving while a command runs (here a requester)
// are consumed without effect.
TEST_F(ProgramLoopTest, EntryPointsDoNothingWhileAnotherRuns) {
  int nestedRuns = 0;
  rig.host.whileOpen = [&] {
    ++nestedRuns;
    EXPECT_TRUE(rig.p().Busy());
    rig.port.Feed("late");
    rig.p().AfterEvent(true);
    rig.p().OnMenuCommand(kMenuSaveText);
    rig.p().OnMenuCommand(kMenuComEnabled);
    rig.p().OnKeyDown(0x25);
    rig.p().OnCharacter('q');
    rig.p().OnLeftPress({1, 1});
    rig.p().OnMouseMove({1, 1});
  };
  rig.Menu(kMenuSaveText);
  EXPECT_EQ(nestedRuns, 1);
  EXPECT_FALSE(rig.p().Busy());
  EXPECT_TRUE(rig.port.writes.empty());
  EXPECT_EQ(rig.port.incoming.size(), 4u);
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.p().mouseButtons().Bits(), 0);
  // Afterwards the waiting bytes are read as usual.
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.p().screen.ScreenText, "late");
}

}  // namespace
}  // namespace kestrix::test

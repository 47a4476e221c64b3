// One loop turn of the program: what the device sent is decoded, a lettered
// request is carried out, the reply byte goes last; events that arrive while
// a command runs are consumed without effect.
#include <cstdint>
#include <string>
#include <vector>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class ProgramLoopTest : public ProgramTest {};

TEST_F(ProgramLoopTest, ServiceRequestRunsBeforeTheReplyByteIsSent) {
  // Clear, name X.BINARY, request "b", then: is pixel (200, 200) black?
  rig.Show(
      std::string("\0X.BINARY\x05\x82\x08"
                  "b\x05\x09\x64\x64",
                  17));
  // The upload of a file that is not there: reset, its lines, the purge;
  // then the reply.
  EXPECT_EQ(rig.Of("port"),
            (Lines{"DTR+", "DTR-", "purge", "purge", "write 1"}));
  EXPECT_EQ(rig.port.writes, (std::vector<Bytes>{{0xFE}}));
  EXPECT_EQ(rig.p().screen().ScreenText, "Start Upload\r\nNo such file\r\n");
  // Done: the next chunk repeats neither.
  rig.log.clear();
  rig.Show("x");
  EXPECT_TRUE(rig.Of("port").empty());
}

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
  EXPECT_EQ(rig.p().screen().ScreenText, "late");
}

}  // namespace
}  // namespace kestrix::test

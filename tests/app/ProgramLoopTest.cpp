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
  rig_.Show(
      std::string("\0X.BINARY\x05\x82\x08"
                  "b\x05\x09\x64\x64",
                  17));
  // The upload of a file that is not there: reset, its lines, the purge;
  // then the reply.
  EXPECT_EQ(rig_.Of("port"),
            (Lines{"DTR+", "DTR-", "purge", "purge", "write 1"}));
  EXPECT_EQ(rig_.port.writes, (std::vector<Bytes>{{0xFE}}));
  EXPECT_EQ(rig_.p().screen().ScreenText, "Start Upload\r\nNo such file\r\n");
  // Done: the next chunk repeats neither.
  rig_.log.clear();
  rig_.Show("x");
  EXPECT_TRUE(rig_.Of("port").empty());
}

TEST_F(ProgramLoopTest, EntryPointsDoNothingWhileAnotherRuns) {
  int nestedRuns = 0;
  rig_.host.whileOpen = [&] {
    ++nestedRuns;
    EXPECT_TRUE(rig_.p().Busy());
    rig_.port.Feed("late");
    rig_.p().AfterEvent(true);
    rig_.p().OnMenuCommand(kMenuSaveText);
    rig_.p().OnMenuCommand(kMenuComEnabled);
    rig_.p().OnKeyDown(0x25);
    rig_.p().OnCharacter('q');
    rig_.p().OnLeftPress({1, 1});
    rig_.p().OnMouseMove({1, 1});
  };
  rig_.Menu(kMenuSaveText);
  EXPECT_EQ(nestedRuns, 1);
  EXPECT_FALSE(rig_.p().Busy());
  EXPECT_TRUE(rig_.port.writes.empty());
  EXPECT_EQ(rig_.port.incoming.size(), 4u);
  EXPECT_TRUE(rig_.view.IsChecked(kMenuComEnabled));
  // Afterwards the waiting bytes are read as usual.
  rig_.p().AfterEvent(false);
  EXPECT_EQ(rig_.p().screen().ScreenText, "late");
}

}  // namespace
}  // namespace kestrix::test

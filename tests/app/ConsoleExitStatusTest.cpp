#include <gtest/gtest.h>

#include "app/ConsoleUpload.h"

namespace kestrix {
namespace {

// Scripts tell the outcomes apart by these statuses.
TEST(ConsoleExitStatusTest, EachOutcomeHasItsStatus) {
  const struct {
    const char* name;
    UploadOutcome outcome;
    int status;
  } rows[] = {{"running", UploadOutcome::kRunning, 0},
              {"no port", UploadOutcome::kNoPort, 3},
              {"port lost midway", UploadOutcome::kPortLost, 3},
              {"file refused", UploadOutcome::kFileRefused, 4},
              {"no chip", UploadOutcome::kNoChip, 5},
              {"chip error", UploadOutcome::kChipError, 6}};
  for (const auto& row : rows) {
    EXPECT_EQ(ConsoleExitStatus(row.outcome), row.status) << row.name;
  }
}

}  // namespace
}  // namespace kestrix

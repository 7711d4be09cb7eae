// The command line of norvane-batch: what it waits for at the end.
#include <gtest/gtest.h>

#include "app/batch_options.h"

namespace norvane {
namespace {

TEST(BatchOptions, WorkQueuedAfterTheLastWaitIsWaitedForOnlyWhenAWaitWasGiven) {
  struct Case { std::vector<std::string> args; int atEnd; bool advisesWait; };
  const Case cases[] = {
      {{"GETOBS"}, 0, true},                                     // nothing given: said, never waited for
      {{"--wait", "120", "GETOBS"}, 120, false},                 // the wait before the command still holds
      {{"GETOBS", "--wait", "60"}, 0, false},                    // waited already
      {{"--wait", "5", "GETOBS", "--wait", "30", "LOADOBS"}, 30, false},  // the longest
      {{"--no-startup"}, 0, true},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseBatchOptions(c.args);
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(BatchWaitAtEnd(*parsed.options), c.atEnd) << c.args[0];
    const std::string message = BatchWorkLeftMessage(*parsed.options, 1);
    EXPECT_EQ(message.find("add --wait S after") != std::string::npos, c.advisesWait) << message;
  }
  EXPECT_NE(BatchUsage().find("3 background work"), std::string::npos);
}

}  // namespace
}  // namespace norvane

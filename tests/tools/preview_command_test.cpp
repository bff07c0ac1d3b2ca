// `tevrin preview` needs a desktop; without one it says so and fails.
#include <gtest/gtest.h>

#include "support/ToolRun.h"

namespace {

TEST(PreviewCommand, WithoutADisplayItSaysSoAndFails) {
  tevrin::test::ToolResult result = tevrin::test::RunTool("0x3280:pattern", "preview --seconds 1");
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_NE(result.err.find("no display is available"), std::string::npos) << result.err;
  EXPECT_EQ(result.out, "");
}

}  // namespace

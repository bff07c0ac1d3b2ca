// `tevrin preview` on a display: the live window, then a summary.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/ToolRun.h"

namespace {

TEST(ToolPreview, ShowsTheCameraForTheSecondsAskedAndSumsUp) {
  tevrin::test::ToolResult result = tevrin::test::RunTool("0x3280:fast:pattern", "preview --seconds 1 --mode 16");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::smatch summary;
  ASSERT_TRUE(std::regex_search(result.out, summary,
                                std::regex("^preview: ([0-9]+) frames in [0-9.]+ s, [0-9.]+ fps, [0-9]+ dropped\n$")))
      << result.out;
  EXPECT_GT(std::stol(summary[1]), 0);
}

}  // namespace

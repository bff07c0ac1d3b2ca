// `tevrin stream` runs the callback preview of a virtual camera and counts
// the frame messages it receives.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "support/ToolRun.h"

namespace {

using tevrin::test::RunTool;
using tevrin::test::ToolResult;

TEST(StreamCommand, CountsFramesForTheSecondsAskedAndEndsWithASummary) {
  for (const char* mode : {"8", "16"}) {
    SCOPED_TRACE(mode);
    ToolResult result = RunTool("0x3280:pattern", std::string("stream --seconds 2 --mode ") + mode);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // Not a terminal: one progress line per second, then the summary.
    std::smatch summary;
    ASSERT_TRUE(std::regex_search(
        result.out, summary,
        std::regex("\nstream: ([0-9]+) frames in ([0-9.]+) s, [0-9.]+ fps, ([0-9]+) dropped, 640 x 512 at ([0-9]+) "
                   "bits, last mean level ([0-9.]+)\n$")))
        << result.out;
    EXPECT_GT(std::stol(summary[1]), 0);
    EXPECT_GE(std::stod(summary[2]), 2.0);
    EXPECT_EQ(summary[4], mode);
    EXPECT_GT(std::stod(summary[5]), 0) << "the pattern is not black";
    std::smatch camera;
    ASSERT_TRUE(std::regex_search(result.out, camera,
                                  std::regex("\ncamera: ([0-9]+) complete, 0 failed \\(0 timed out\\), [0-9]+ "
                                             "overrun; newest frame (complete|aborted)\n")))
        << result.out;
    EXPECT_GE(std::stol(camera[1]), std::stol(summary[1])) << "every frame announced came whole from the camera";
    EXPECT_TRUE(std::regex_search(result.out, std::regex("^ +1\\.[0-9] s  frames [0-9]+  fps [0-9.]+  dropped [0-9]+  "
                                                         "mean [0-9.]+\n")))
        << result.out;
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
  }
}

TEST(StreamCommand, FramesTheCameraMadeWhileThePreviewSleptCountAsDropped) {
  // A preview that sleeps 100 ms before each frame takes at most 10 of the
  // camera's more than 100 frames a second.
  ToolResult result = RunTool("0x3280", "stream --seconds 2 --wait 100");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::smatch summary;
  ASSERT_TRUE(std::regex_search(result.out, summary,
                                std::regex("\nstream: ([0-9]+) frames in [0-9.]+ s, [0-9.]+ fps, "
                                           "([0-9]+) dropped, ")))
      << result.out;
  long frames = std::stol(summary[1]);
  EXPECT_GT(frames, 0);
  EXPECT_LE(frames, 21);
  EXPECT_GT(std::stol(summary[2]), 5 * frames);
}

TEST(StreamCommand, WithoutATimeRunsUntilInterruptedAndStillSumsUp) {
  ToolResult result = RunTool("0x3280", "stream --seconds 0", "timeout --preserve-status -s INT 3");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(std::regex_search(result.out, std::regex("\nstream: [1-9][0-9]* frames in [0-9.]+ s, "))) << result.out;
}

TEST(StreamCommand, RefusesAModeTheCameraCannotDeliverBeforeStarting) {
  ToolResult result = RunTool("0x3280", "stream --seconds 1 --mode 7");
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.err, "tevrin: selecting 7-bit mode failed: error 9 (Argument)\n");
}

}  // namespace

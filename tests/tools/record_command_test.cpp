// `tevrin record` records a virtual camera into an AVI file, with a progress
// line and a summary, and refuses what it cannot do with the tool's statuses.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "AviReader.h"
#include "support/ToolRun.h"

namespace {

using tevrin::test::RunTool;
using tevrin::test::ScratchFolder;
using tevrin::test::ToolResult;

TEST(RecordCommand, RecordsTheSecondsAskedIntoAFinishedFileAndSummarises) {
  for (const char* mode : {"8", "16"}) {
    SCOPED_TRACE(mode);
    const std::string path = ScratchFolder() + "/clip.avi";
    ToolResult result =
        RunTool("0x3280:fast:pattern", "record -o '" + path + "' --seconds 0.6 --wait 0 --mode " + mode);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::smatch summary;
    ASSERT_TRUE(std::regex_search(result.out, summary,
                                  std::regex("\nrecord: ([0-9]+) frames, ([0-9]+) dropped, 640 x 512, ([0-9.]+) MB in "
                                             "[0-9.]+ s to .*clip\\.avi\n$")))
        << result.out;
    // Not a terminal: a progress line per tick before the summary.
    EXPECT_TRUE(
        std::regex_search(result.out, std::regex("^ +[0-9.]+ s  recorded [0-9]+  dropped [0-9]+  [0-9.]+ MB/s\n")))
        << result.out;
    std::string why;
    const std::optional<AviContents> avi = ReadAvi(path, &why);
    ASSERT_TRUE(avi) << why;
    EXPECT_EQ(avi->riffSize, avi->fileSize - 8);
    EXPECT_EQ(std::to_string(avi->frameOffsets.size()), summary[1].str());
    EXPECT_GT(avi->frameOffsets.size(), 0u);
  }
}

TEST(RecordCommand, RefusesBadArgumentsAndReportsAFileItCannotCreate) {
  const std::string folder = ScratchFolder();
  struct Case {
    std::string arguments;
    int exitCode;
    std::string error;
  } const kCases[] = {
      {"record --seconds 1", 1, "-o FILE.avi is required"},
      {"record -o x.avi", 1, "--seconds S is required"},
      {"record -o x.avi --seconds 0", 1, "out of range"},
      {"record -o x.avi --seconds 1 --mode 24", 1, "is not 8 or 16"},
      {"record -o '" + folder + "/missing/x.avi' --seconds 1", 3, "starting the recording failed: error 12"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.arguments);
    ToolResult result = RunTool("0x3280:pattern", c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_THAT(result.err, ::testing::HasSubstr(c.error));
  }
  EXPECT_EQ(RunTool("none", "record -o '" + folder + "/x.avi' --seconds 1").exitCode, 2);
  EXPECT_FALSE(std::filesystem::exists(folder + "/x.avi"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/missing"));
}

}  // namespace

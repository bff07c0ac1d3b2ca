// `tevrin mask` and `tevrin set auto-iris` against a virtual camera, as a
// script would run them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "MaskFileBytes.h"
#include "support/ToolRun.h"

namespace {

using ::testing::HasSubstr;
using tevrin::test::ReadFileBytes;
using tevrin::test::RunTool;
using tevrin::test::ScratchFolder;
using tevrin::test::ToolResult;

constexpr const char* kCamera = "0x3280:pattern";

TEST(MaskCommand, TakesSavesAndLoadsTheReferencesInTheOrderGiven) {
  ToolResult taken = RunTool(kCamera, "mask --mode 16 dark white save first.bin");
  EXPECT_EQ(taken.exitCode, 0) << taken.err;
  EXPECT_EQ(taken.out, "dark reference taken\nwhite reference taken\nsaved first.bin\n");
  const std::vector<uint8_t> first = ReadFileBytes(ScratchFolder() + "/first.bin");
  ASSERT_EQ(first.size(), tevrin::test::kMaskFileSize);
  EXPECT_EQ(std::string(first.begin(), first.begin() + 16), std::string("ZOLMEX MASK1000", 16));

  ToolResult copied = RunTool(kCamera, "mask load first.bin save second.bin");
  EXPECT_EQ(copied.exitCode, 0) << copied.err;
  EXPECT_EQ(copied.out, "loaded first.bin\nsaved second.bin\n");
  EXPECT_TRUE(ReadFileBytes(ScratchFolder() + "/second.bin") == first);
}

TEST(MaskCommand, MistakesAndRefusalsEndWithTheirExitStatus) {
  struct Case {
    const char* cameras;
    const char* arguments;
    int exitCode;
    const char* err;
  };
  for (const Case& c : {
           Case{kCamera, "mask", 1, "missing argument"},
           Case{kCamera, "mask bright", 1, "unknown action 'bright'"},
           Case{kCamera, "mask dark save", 1, "save needs a file"},
           Case{kCamera, "mask --mode 12 dark", 3, "error 9 (Argument)"},
           Case{kCamera, "mask load missing.bin", 3, "loading missing.bin failed: error 14 (MaskFile)"},
           Case{"none", "mask dark", 2, "no camera found"},
       }) {
    SCOPED_TRACE(c.arguments);
    ToolResult result = RunTool(c.cameras, c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_THAT(result.err, HasSubstr(c.err));
  }
}

TEST(AutoIrisSetting, IsSetKeptAndRefusedOutsideItsModes) {
  ToolResult set = RunTool(kCamera, "set auto-iris 2");
  EXPECT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(set.out, "auto-iris = 2\n");
  EXPECT_EQ(RunTool(kCamera, "get auto-iris").out, "2\n");
  ToolResult refused = RunTool(kCamera, "set auto-iris 3");
  EXPECT_EQ(refused.exitCode, 3);
  EXPECT_THAT(refused.err, HasSubstr("setting auto-iris to 3 failed"));
  EXPECT_EQ(RunTool(kCamera, "get auto-iris").out, "2\n");
}

}  // namespace

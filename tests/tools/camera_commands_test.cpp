// `tevrin list`, `info`, `get` and `set` against virtual cameras, run as a
// script would run them: output, error line and exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "support/ToolRun.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;
using tevrin::test::RunTool;
using tevrin::test::ToolResult;

constexpr const char* kTwoCameras = "0x3280:serial=CAM-A,0x3280:fast:serial=CAM-B:fpga=0x0130";

// Runs the tool and expects it to succeed; returns its standard output.
std::string Succeed(const std::string& cameras, const std::string& arguments) {
  ToolResult result = RunTool(cameras, arguments);
  EXPECT_EQ(result.exitCode, 0) << arguments << ": " << result.err;
  EXPECT_EQ(result.err, "") << arguments;
  return result.out;
}

TEST(ListCommand, ShowsEachCameraWithNumberNameAndSerial) {
  EXPECT_EQ(Succeed(kTwoCameras, "list"),
            "0  TevrinHalden_01  CAM-A\n"
            "1  TevrinHalden_02  CAM-B\n");
  EXPECT_EQ(Succeed("0x3280:serial=ONLY", "list"), "0  TevrinHalden_01  ONLY\n");
}

// The SDK serves product 0x3280 only; cameras of other products are named,
// not listed.
TEST(ListCommand, NamesCamerasOfProductsTheSdkDoesNotServe) {
  struct Case {
    const char* cameras;
    int exitCode;
    const char* out;
    const char* err;
  };
  for (const Case& c : {
           Case{"0x3280:serial=CAM-A,0x3290", 0,
                "0  TevrinHalden_01  CAM-A\n"
                "also present, not served by this SDK: product 0x3290 (1 camera)\n",
                ""},
           Case{"0x3290,0x3280:serial=CAM-A,0x3290:fast,0x3042,0x3280:serial=CAM-B", 0,
                "0  TevrinHalden_01  CAM-A\n"
                "1  TevrinHalden_02  CAM-B\n"
                "also present, not served by this SDK: product 0x3042 (1 camera), product 0x3290 (2 cameras)\n",
                ""},
           Case{"0x3290", 2, "also present, not served by this SDK: product 0x3290 (1 camera)\n",
                "tevrin: no camera found\n"},
       }) {
    SCOPED_TRACE(c.cameras);
    ToolResult result = RunTool(c.cameras, "list");
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
  }
}

TEST(InfoCommand, DescribesTheChosenCamera) {
  std::string first = Succeed(kTwoCameras, "info");
  EXPECT_THAT(first, HasSubstr("camera             0 (TevrinHalden_01)\n"));
  EXPECT_THAT(first, HasSubstr("serial number      CAM-A\n"));
  EXPECT_THAT(first, HasSubstr("sensor             640 x 512 pixels\n"));
  EXPECT_THAT(first, HasSubstr("image window       640 x 512\n"));
  EXPECT_THAT(first, HasSubstr("FPGA version       0x8125\n"));
  EXPECT_THAT(first, HasSubstr("library version    0x02180521\n"));
  EXPECT_THAT(first, ::testing::ContainsRegex("temperature +-?[0-9]+\\.[0-9] C\n"));
  EXPECT_THAT(first, ::testing::ContainsRegex("exposure range +[0-9]+\\.\\.[0-9]+ us\n"));

  std::string second = Succeed(kTwoCameras, "info -d 1");
  EXPECT_THAT(second, HasSubstr("camera             1 (TevrinHalden_02)\n"));
  EXPECT_THAT(second, HasSubstr("serial number      CAM-B\n"));
  EXPECT_THAT(second, HasSubstr("FPGA version       0x4130\n")) << "the fast board sets bit 14";
}

TEST(SettingCommands, ValuesSetAreReadBackInTheNextRunPerCamera) {
  struct Case {
    const char* name;
    const char* value;
    const char* stored;  // as read back: exposure is kept in 100 us steps
  };
  for (const Case& c : {
           Case{"exposure", "12345", "12300"},
           Case{"brightness", "-20", "-20"},
           Case{"contrast", "127", "127"},
           Case{"gamma", "150", "150"},
           Case{"gray-mode", "2", "2"},
           Case{"gray-offset-b", "-255", "-255"},
           Case{"mirror-h", "1", "1"},
           Case{"mirror-v", "1", "1"},
       }) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Succeed(kTwoCameras, std::string("set -d 1 ") + c.name + " " + c.value),
              std::string(c.name) + " = " + c.stored + "\n");
    EXPECT_EQ(Succeed(kTwoCameras, std::string("get -d 1 ") + c.name), std::string(c.stored) + "\n");
  }
  EXPECT_EQ(Succeed(kTwoCameras, "get brightness"), "0\n") << "camera 0 keeps its own settings";
  EXPECT_EQ(Succeed(kTwoCameras, "get -d 1 brightness"), "-20\n");
}

TEST(SettingCommands, GainFollowsTheCamerasRangeAndFiltersNotKeptAreSaid) {
  std::string gain = Succeed("0x3280", "get gain");
  ASSERT_FALSE(gain.empty());
  int next = std::stoi(gain) + 1;
  EXPECT_EQ(Succeed("0x3280", "set gain " + std::to_string(next)), "gain = " + std::to_string(next) + "\n");
  EXPECT_EQ(Succeed("0x3280", "get gain"), std::to_string(next) + "\n");

  EXPECT_EQ(Succeed("0x3280", "set mask-filter 1"), "mask-filter = 1 (not kept after this run)\n");
  EXPECT_EQ(Succeed("0x3280", "get mask-filter"), "0\n");
  EXPECT_EQ(Succeed("0x3280", "set gray-auto-gain-once 1"),
            "gray-auto-gain-once = requested (not kept after this run)\n");

  std::string all = Succeed("0x3280", "get");
  EXPECT_THAT(all, ::testing::ContainsRegex("\nbrightness +0 +-255\\.\\.255\n"));
  EXPECT_THAT(all, ::testing::ContainsRegex("\ngain +" + std::to_string(next) + " "));
  EXPECT_THAT(all, ::testing::ContainsRegex("\npeltier +- \\(error 11 Unsupported\\)"));
  EXPECT_THAT(all, ::testing::Not(HasSubstr("gray-auto-gain-once"))) << "it cannot be read";
}

TEST(ToolErrors, ExitStatusAndOneLineSayWhatWentWrong) {
  struct Case {
    const char* label;
    const char* cameras;
    const char* arguments;
    int exitCode;
    std::string err;  // the whole of stderr, or its first line when the usage line follows
  };
  for (const Case& c : {
           Case{"no camera: list", "none", "list", 2, "tevrin: no camera found\n"},
           Case{"no camera: info", "none", "info", 2, "tevrin: no camera found\n"},
           Case{"no camera: get", "none", "get exposure", 2, "tevrin: no camera found\n"},
           Case{"no camera: snap", "none", "snap", 2, "tevrin: no camera found\n"},
           Case{"no camera: stream", "none", "stream --seconds 1", 2, "tevrin: no camera found\n"},
           Case{"absent number", "0x3280", "info -d 5", 2, "tevrin: no camera 5 (1 found; see tevrin list)\n"},
           Case{"negative number", kTwoCameras, "get -d -1 gain", 2,
                "tevrin: no camera -1 (2 found; see tevrin list)\n"},
           Case{"out of range", "0x3280", "set brightness 256", 3,
                "tevrin: setting brightness to 256 failed: error 9 (Argument)\n"},
           Case{"bad mode", "0x3280", "snap --mode 12", 3,
                "tevrin: selecting 12-bit mode failed: error 9 (Argument)\n"},
           Case{"unsupported", "0x3280", "get peltier", 3, "tevrin: reading peltier failed: error 11 (Unsupported)\n"},
           Case{"no command", "0x3280", "", 1, "Usage: tevrin [--help] [--version] <command> [arguments]\n"},
           Case{"unknown command", "0x3280", "frobnicate", 1, "tevrin: unknown command 'frobnicate' (try --help)\n"},
           Case{"unknown option", "0x3280", "info --bogus 1", 1, "tevrin info: unknown option '--bogus'\n"},
           Case{"missing value", "0x3280", "info -d", 1, "tevrin info: -d needs a value\n"},
           Case{"not a number", "0x3280", "info -d one", 1, "tevrin info: -d: 'one' is not a whole number\n"},
           Case{"extra argument", "0x3280", "list now", 1, "tevrin list: unexpected argument 'now'\n"},
           Case{"missing value of set", "none", "set brightness", 1, "tevrin set: missing argument\n"},
           Case{"unknown setting", "none", "set sparkle 1", 1,
                "tevrin set: unknown setting 'sparkle' (tevrin get lists them)\n"},
           Case{"bad value", "none", "set gain 1.5", 1, "tevrin set: gain: '1.5' is not a whole number\n"},
           Case{"set only", "none", "get gray-auto-gain-once", 1, "tevrin get: gray-auto-gain-once can only be set\n"},
           Case{"bad format", "none", "snap --format gif", 1,
                "tevrin snap: --format: 'gif' is not one of bmp, raw, jpeg, png, tiff\n"},
           Case{"bad exposure", "none", "snap --exposure -3", 1, "tevrin snap: --exposure: -3 ms is out of range\n"},
           Case{"bad seconds", "none", "stream --seconds soon", 1,
                "tevrin stream: --seconds: 'soon' is not a number\n"},
       }) {
    SCOPED_TRACE(c.label);
    ToolResult result = RunTool(c.cameras, c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_EQ(result.err.substr(0, result.err.find('\n') + 1), c.err);
    if (c.exitCode == 1 && std::string(c.err).starts_with("tevrin ")) {
      EXPECT_THAT(result.err, ::testing::ContainsRegex("\nusage: tevrin [a-z]+ ")) << "the usage line follows";
    }
    if (c.exitCode != 0) {
      EXPECT_EQ(result.out, "") << "nothing on stdout";
    }
  }
}

// A setting the registry could not keep is not lost in silence.
TEST(ToolErrors, UnkeptSettingIsReported) {
  // A registry path below a file cannot be created, even by root.
  const ToolResult set =
      RunTool("0x3280", "set gamma 120", "env TEVRIN_REGISTRY=/dev/null/registry.sqlite3 TEVRIN_LOG=settings:warn");
  EXPECT_EQ(set.exitCode, 3);
  EXPECT_THAT(set.err, HasSubstr("warn settings: the settings of camera 0 were not saved"));
  EXPECT_THAT(set.err, HasSubstr("tevrin: gamma = 120 was not kept"));
}

TEST(ToolHelp, ListsEveryCommandAndTheExitStatuses) {
  ToolResult result = RunTool("none", "--help");
  EXPECT_EQ(result.exitCode, 0);
  for (const char* command : {"get", "info", "list", "registry", "set", "snap", "stream"}) {
    EXPECT_THAT(result.out, HasSubstr(std::string("\n  ") + command + " ")) << command;
  }
  EXPECT_THAT(result.out, HasSubstr("Exit status: 0 done, 1 usage error,\n2 no camera"));
  EXPECT_THAT(RunTool("none", "--version").out, StartsWith("tevrin "));
}

}  // namespace

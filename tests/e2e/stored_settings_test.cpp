// The analog, filter and gray settings survive the end of the process: one
// process sets them through the exports and releases its handle, a second one
// reads them back from a fresh Tevrin_Initialize. (The output format values
// are written by the camera dialog only, and the dot filter is not kept.)
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <string>

#include <TevrinSdk_Halden.h>

namespace {

constexpr char kPhase[] = "TEVRIN_STORED_SETTINGS_PHASE";

struct Setting {
  const char* name;
  int (*set)(int, int);
  int (*get)(int, int*);
  int value;
};

const Setting kSettings[] = {
    {"global gain", Tevrin_SetGlobalGain, Tevrin_GetGlobalGain, 100},
    {"exposure", Tevrin_SetExposureTime, Tevrin_GetExposureTime, 250},
    {"brightness", Tevrin_SetBrightness, Tevrin_GetBrightness, 12},
    {"contrast", Tevrin_SetContrast, Tevrin_GetContrast, 21},
    {"sharpness", Tevrin_SetSharpness, Tevrin_GetSharpness, 3},
    {"gamma", Tevrin_SetGamma, Tevrin_GetGamma, 120},
    {"gray mode", Tevrin_SetGrayMode, Tevrin_GetGrayMode, 1},
    {"gray gain R", Tevrin_SetGrayGainR, Tevrin_GetGrayGainR, 130},
    {"gray gain B", Tevrin_SetGrayGainB, Tevrin_GetGrayGainB, 140},
    {"gray offset G1", Tevrin_SetGrayOffsetG1, Tevrin_GetGrayOffsetG1, 7},
    {"gray offset B", Tevrin_SetGrayOffsetB, Tevrin_GetGrayOffsetB, -5},
    {"auto iris", Tevrin_SetAutoIris, Tevrin_GetAutoIris, 2},
};

// Runs this test program again for one phase, as a separate process.
int RunPhase(const char* phase, const char* test) {
  const std::string command = std::string(kPhase) + "=" + phase + " /proc/" + std::to_string(getpid()) +
                              "/exe --gtest_filter=StoredSettings." + test + " > /dev/null";
  return std::system(command.c_str());
}

TEST(StoredSettings, WritePhase) {
  if (!std::getenv(kPhase)) GTEST_SKIP() << "runs as the first process of SurviveANewProcess";
  const int h = Tevrin_Initialize(nullptr);
  for (const Setting& setting : kSettings) ASSERT_EQ(setting.set(h, setting.value), 1) << setting.name;
  ASSERT_EQ(Tevrin_SetMirrorH(h, 1), 1);
  ASSERT_EQ(Tevrin_SetMirrorV(h, 1), 1);
  ASSERT_EQ(Tevrin_SetDotFilter(h, 1), 1);
  ASSERT_EQ(Tevrin_Release(h), 1);
}

TEST(StoredSettings, SurviveANewProcess) {
  if (std::getenv(kPhase)) GTEST_SKIP();
  ASSERT_EQ(RunPhase("write", "WritePhase"), 0);
  const int h = Tevrin_Initialize(nullptr);
  int ok = 0;
  for (const Setting& setting : kSettings) {
    EXPECT_EQ(setting.get(h, &ok), setting.value) << setting.name;
    EXPECT_EQ(ok, 1) << setting.name;
  }
  EXPECT_EQ(Tevrin_GetMirrorH(h), 1);
  EXPECT_EQ(Tevrin_GetMirrorV(h), 1);
  EXPECT_EQ(Tevrin_GetDotFilter(h, &ok), 0);
  EXPECT_EQ(Tevrin_GetLastError(h), 0);
  Tevrin_Release(h);
}

}  // namespace

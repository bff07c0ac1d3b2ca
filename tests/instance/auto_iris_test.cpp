// The automatic exposure's control step on crafted frames: each of the five
// regions painted at a level, the rest of the frame black, and what reaches
// the camera.
#include <array>
#include <optional>

#include "image/DibImage.h"
#include "instance/AutoIris.h"
#include "support/InstanceFixture.h"

namespace {

using ::testing::IsEmpty;

// On a 100 x 100 frame the regions are, left, top, right (excluded), bottom
// (excluded): upper left, lower left, centre, upper right, lower right.
constexpr std::array<std::array<int, 4>, 5> kRegions = {{
    {10, 10, 20, 20},
    {10, 80, 20, 90},
    {45, 45, 55, 55},
    {80, 10, 90, 20},
    {80, 80, 90, 90},
}};

// Levels on the 8-bit scale; 16-bit frames carry them as 12-bit data with
// low bits that the 8-bit judgement ignores.
void Paint(CDibImage& frame, const std::array<int, 5>& levels, uint16_t bits) {
  ASSERT_EQ(frame.Create(100, 100, bits), 1);
  for (size_t region = 0; region < kRegions.size(); ++region) {
    const auto [left, top, right, bottom] = kRegions[region];
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        if (bits == 8) {
          frame.Row(y)[x] = static_cast<uint8_t>(levels[region]);
        } else {
          reinterpret_cast<uint16_t*>(frame.Row(y))[x] = static_cast<uint16_t>(levels[region] << 4 | 0xF);
        }
      }
    }
  }
}

struct Case {
  const char* label;
  std::array<int, 5> levels;
  int mode;
  int start;                 // the camera's exposure (mode 1) or gain (mode 2)
  std::optional<int> after;  // what the step sends; nothing: the camera is not touched
  int min = 1, max = 1000;
};

TEST(AutoIris, StepMovesExposureOrGainByTheRegionsVotes) {
  const Case cases[] = {
      {"all saturated: f just below 0.25", {255, 255, 255, 255, 255}, kAutoIrisExposure, 1000, 249, 1, 5000},
      {"all 120: f 1.0", {120, 120, 120, 120, 120}, kAutoIrisExposure, 1000, std::nullopt},
      {"three 90, two 130: f 1.15", {90, 130, 90, 130, 90}, kAutoIrisGain, 10, std::nullopt},
      {"four 90, one 130: f reaches 1.2", {90, 90, 130, 90, 90}, kAutoIrisGain, 10, 12},
      {"the 130 first", {130, 90, 90, 90, 90}, kAutoIrisGain, 10, 12},
      {"two 40, three 130: +20 %", {40, 130, 40, 130, 130}, kAutoIrisExposure, 500, 600},
      {"gain 2 with f 1.5 starts from 4", {10, 10, 10, 10, 10}, kAutoIrisGain, 2, 6},
      {"exactly 100 beside black: no extra row or column counted",
       {100, 100, 100, 100, 100},
       kAutoIrisGain,
       10,
       std::nullopt},
      {"161..200 votes -0.10: f 0.5", {200, 161, 200, 161, 200}, kAutoIrisExposure, 100, 50},
      {"f 0.6 is no change", {200, 200, 200, 200, 120}, kAutoIrisExposure, 100, std::nullopt},
      {"gain clamped at the maximum", {10, 10, 10, 10, 10}, kAutoIrisGain, 300, 400, 0, 400},
      {"gain raised to the minimum", {255, 255, 255, 255, 255}, kAutoIrisGain, 20, 8, 8, 400},
      {"exposure clamped at the maximum", {10, 10, 10, 10, 10}, kAutoIrisExposure, 900, 1000},
      {"exposure raised to the minimum", {255, 255, 255, 255, 255}, kAutoIrisExposure, 100, 30, 30},
      {"exposure truncated to 0 becomes 1", {255, 255, 255, 255, 255}, kAutoIrisExposure, 2, 1, 0},
      {"exposure kept to 16 bits", {10, 10, 10, 10, 10}, kAutoIrisExposure, 60000, 90000 & 0xFFFF, 1, 100000},
      {"mode 0", {255, 255, 255, 255, 255}, kAutoIrisOff, 1000, std::nullopt},
      {"mode 3", {255, 255, 255, 255, 255}, 3, 1000, std::nullopt},
  };
  for (const Case& c : cases) {
    for (const uint16_t bits : {8, 16}) {
      SCOPED_TRACE(std::string(c.label) + ", " + std::to_string(bits) + "-bit");
      CFakeCameraDevice device;
      device.exposure = device.globalGain = c.start;
      device.exposureMin = device.globalGainMin = c.min;
      device.exposureMax = device.globalGainMax = c.max;
      CDibImage frame;
      Paint(frame, c.levels, bits);
      const std::optional<AutoIrisChange> change = StepAutoIris(c.mode, frame, device);
      if (!c.after) {
        EXPECT_FALSE(change);
        EXPECT_THAT(device.calls, IsEmpty());
        continue;
      }
      ASSERT_TRUE(change);
      EXPECT_EQ(change->mode, c.mode);
      EXPECT_EQ(change->value, *c.after);
      const char* setter = c.mode == kAutoIrisGain ? "SetGlobalGain(" : "SetExposure(";
      EXPECT_THAT(device.calls, ::testing::ElementsAre(setter + std::to_string(*c.after) + ")"));
    }
  }
}

TEST(AutoIris, FramesWithoutSamplesToJudgeAndRefusedValuesChangeNothing) {
  CFakeCameraDevice device;
  const CDibImage none;
  EXPECT_FALSE(StepAutoIris(kAutoIrisExposure, none, device));
  CDibImage colour;
  ASSERT_EQ(colour.Create(100, 100, 24), 1);
  EXPECT_FALSE(StepAutoIris(kAutoIrisGain, colour, device));
  EXPECT_THAT(device.calls, IsEmpty());

  device.setterResult = 0;
  CDibImage saturated;
  Paint(saturated, {255, 255, 255, 255, 255}, 8);
  EXPECT_FALSE(StepAutoIris(kAutoIrisExposure, saturated, device));
}

}  // namespace

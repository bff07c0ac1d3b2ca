// Every IMX99x product brought up on the standard and the fast board and
// with old firmware, as the device layer does it: model code, readiness,
// power-on programming, free run, exposure and temperature.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <string>

#include "SensorFixture.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;

using BringUp = SensorTest;

TEST_F(BringUp, EveryProductOnEveryBoard) {
  struct Product {
    const char* id;
    uint32_t width, height, blackStandard, blackFast;
  } products[] = {{"0x3260", 1280, 1024, 60, 15},   {"0x3270", 1280, 1024, 60, 15},  {"0x3280", 640, 512, 60, 15},
                  {"0x3290", 640, 512, 60, 15},     {"0x3370", 2560, 2048, 60, 15},  {"0x3380", 2560, 2048, 60, 15},
                  {"0x33C0", 2048, 1536, 240, 240}, {"0x33D0", 2048, 1536, 240, 240}};
  struct Variant {
    const char* options;
    bool fast;
  } variants[] = {{"", false}, {":fast:fpga=0xC125", true}, {":old", false}};
  for (const Product& p : products) {
    for (const Variant& b : variants) {
      const std::string camera = std::string(p.id) + b.options;
      SCOPED_TRACE(camera);
      CSensorBase& s = Open(camera.c_str());
      ASSERT_EQ(s.IsReady(), 1);
      ASSERT_EQ(s.Initialize(), 1);
      ASSERT_EQ(s.SetTriggerMode(0), 1);
      EXPECT_EQ(SensorValue(0x2D8, 2), b.fast ? 516u : 972u);
      EXPECT_EQ(SensorValue(0x7C0, 2), b.fast ? p.blackFast : p.blackStandard);
      EXPECT_EQ(SensorValue(0x324, 2), p.width);
      EXPECT_EQ(SensorValue(0x326, 2), p.height);
      const SensorInfo info = Info();
      EXPECT_EQ(FrameLength() - ShutterLine(), uint32_t(info.expLinesDefault));
      EXPECT_EQ(Sensor(0x600), 0);

      ASSERT_EQ(s.SetExposureTime(100), 1);
      int lines = 0;
      ASSERT_TRUE(s.GetExposureLines(&lines));
      EXPECT_EQ(FrameLength() - ShutterLine(), uint32_t(lines));
      EXPECT_GT(lines, 0);

      vc::SetSensorTemperature(0, 21.5);
      double celsius = 0;
      ASSERT_EQ(s.GetTemperature(&celsius), 1);
      EXPECT_DOUBLE_EQ(celsius, 21.5);
      EXPECT_EQ(Board(0x9F), 0);
    }
  }
}

}  // namespace
}  // namespace tevrin::test

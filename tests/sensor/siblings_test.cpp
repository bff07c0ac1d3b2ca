// The IMX990, IMX992 and IMX993 drivers on virtual cameras of their product
// IDs, where they differ from the IMX991: areas, frame timing, read-back
// writes, margins and even line counts, mode switch, cooler bits, black
// level and sensor option; and the product-ID factory that creates them all.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <memory>
#include <typeinfo>

#include "SensorFixture.h"
#include "sensor/SensorIMX990.h"
#include "sensor/SensorIMX991.h"
#include "sensor/SensorIMX992.h"
#include "sensor/SensorIMX993.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;

TEST(SensorFactory, CreatesTheDriverAndModelCodeOfEachProduct) {
  struct Case {
    uint16_t productId;
    const std::type_info& type;
    int modelCode, orientation, cooler, width, height;
  } cases[] = {
      {0x3260, typeid(CSensorIMX990), 109, 4, 0, 1280, 1024}, {0x3270, typeid(CSensorIMX990), 110, 1, 1, 1280, 1024},
      {0x3280, typeid(CSensorIMX991), 111, 4, 0, 640, 512},   {0x3290, typeid(CSensorIMX991), 112, 1, 1, 640, 512},
      {0x3370, typeid(CSensorIMX992), 129, 4, 0, 2560, 2048}, {0x3380, typeid(CSensorIMX992), 130, 1, 1, 2560, 2048},
      {0x33C0, typeid(CSensorIMX993), 131, 4, 0, 2048, 1536}, {0x33D0, typeid(CSensorIMX993), 132, 1, 1, 2048, 1536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.productId);
    std::unique_ptr<CSensorBase> sensor(tevrin::device::CreateProductSensor(c.productId, nullptr));
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(typeid(*sensor), c.type);
    EXPECT_EQ(sensor->ModelCode(), c.modelCode);
    EXPECT_EQ(sensor->HasCooler(), c.cooler);
    SensorInfo info{};
    ASSERT_TRUE(sensor->GetSensorInfo(&info));
    EXPECT_EQ(info.orientation, c.orientation);
    EXPECT_EQ(info.maxWidth, c.width);
    EXPECT_EQ(info.maxHeight, c.height);
    EXPECT_EQ(info.pixelClockKHz, 54545);
    EXPECT_EQ(info.featureFlag, 1);
    EXPECT_EQ(sensor->HasExposureSeconds(), 1);
    EXPECT_EQ(sensor->IsReady(), 1);
  }
  for (uint16_t unknown : {0x3160, 0x3230, 0x3281, 0x0000}) {
    SCOPED_TRACE(unknown);
    EXPECT_EQ(tevrin::device::CreateProductSensor(unknown, nullptr), nullptr);
  }
}

TEST(SensorDefaults, EachDriverStartsWithItsOwnLimits) {
  struct Case {
    uint16_t productId;
    int lineLength, frameLength, linesMin, linesMax, lines, units;
    double secondsMin, seconds;
  } cases[] = {
      {0x3260, 1376, 1048, 15, 16777214, 1064, 138, 2.0333e-05, 0.0138},
      {0x3280, 736, 536, 15, 16777214, 539, 70, 2.0333e-05, 0.007},
      {0x3370, 2592, 2140, 2, 16777177, 2102, 137, 1.304e-05, 0.01370504},
      {0x33C0, 2080, 1628, 2, 16777163, 1576, 102, 2.7842e-05, 0.010290322},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.productId);
    std::unique_ptr<CSensorBase> sensor(tevrin::device::CreateProductSensor(c.productId, nullptr));
    SensorInfo info{};
    ASSERT_TRUE(sensor->GetSensorInfo(&info));
    EXPECT_EQ(info.lineLength, c.lineLength);
    EXPECT_EQ(info.frameLength, c.frameLength);
    EXPECT_EQ(info.expLinesMin, c.linesMin);
    EXPECT_EQ(info.expLinesMax, c.linesMax);
    EXPECT_EQ(info.expLinesDefault, c.lines);
    EXPECT_EQ(info.expTimeDefault, c.units);
    EXPECT_EQ(info.expTimeMin, 1);
    EXPECT_EQ(info.expTimeMax, 20000);
    EXPECT_DOUBLE_EQ(info.expSecMin, c.secondsMin);
    EXPECT_DOUBLE_EQ(info.expSecDefault, c.seconds);
    EXPECT_DOUBLE_EQ(info.expSecMax, 2.0);
  }
}

using Siblings = SensorTest;

TEST_F(Siblings, Imx990_FrameTimingOnItsLargerArea) {
  CSensorBase& s = Open("0x3260");
  ASSERT_EQ(s.SetCaptureWindow(0, 1280, 0, 1024, 0), 1);
  EXPECT_EQ(FrameLength(), 1078u);
  EXPECT_EQ(SensorValue(0x324, 2), 1280u);
  ASSERT_EQ(s.SetCaptureWindow(0, 1280, 0, 1024, 1), 1);
  EXPECT_EQ(FrameLength(), 557u);
  EXPECT_EQ(StartRow(), 512u);
  // The full-height readout has a line time of its own.
  ASSERT_EQ(s.SetCaptureWindow(0, 1280, 0, 1024, 0), 1);
  ASSERT_EQ(s.SetExposureTime(20000), 1);
  EXPECT_EQ(FrameLength() - ShutterLine(), 154321u);
  ASSERT_EQ(s.SetCaptureWindow(0, 1280, 0, 512, 0), 1);
  EXPECT_EQ(StartRow(), 516u);
  ASSERT_EQ(s.SetExposureTime(20000), 1);
  EXPECT_EQ(FrameLength() - ShutterLine(), 154299u);
}

TEST_F(Siblings, Imx990_WritesCountOnlyWhenTheRegisterReadsBack) {
  // The temperature reading ignores writes, so a write to it does not read back.
  CSensorBase& imx990 = Open("0x3260");
  EXPECT_EQ(imx990.WriteRegister(0x690, 0x55), 0);
  EXPECT_EQ(imx990.WriteRegister(0x714, 0x55), 1);
  EXPECT_EQ(Board(0x9F), 0);
  CSensorBase& imx991 = Open("0x3280");
  EXPECT_EQ(imx991.WriteRegister(0x690, 0x55), 1);
}

TEST_F(Siblings, Imx990_BitDepthKeepsTheExposure) {
  struct Case {
    const char* camera;
    uint32_t frameLength;
  } cases[] = {{"0x3260", 2015}, {"0x3280", 561}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.camera);
    CSensorBase& s = Open(c.camera);
    ASSERT_EQ(s.Initialize(), 1);
    ASSERT_EQ(s.SetExposureLines(2000), 1);
    ASSERT_EQ(s.SetBitDepth(1), 1);
    EXPECT_EQ(FrameLength(), c.frameLength);
  }
}

TEST_F(Siblings, Imx990_MirrorOffsetsDoNotDependOnTheBoard) {
  CSensorBase& s = Open("0x3260:fast:fpga=0xC125");
  ASSERT_EQ(s.Initialize(), 1);
  EXPECT_EQ(SensorValue(0x2D8, 2), 516u);
  ASSERT_EQ(s.SetMirrorH(1), 1);
  EXPECT_EQ(BoardValue(0x4C, 2), 104u);
  ASSERT_EQ(s.SetMirrorH(0), 1);
  EXPECT_EQ(BoardValue(0x4C, 2), 8u);
}

TEST_F(Siblings, Imx992_KeepsA52LineMarginAndEvenLineCounts) {
  CSensorBase& s = Open("0x3370");
  ASSERT_EQ(s.Initialize(), 1);
  EXPECT_EQ(SensorValue(0x324, 2), 2560u);
  EXPECT_EQ(SensorValue(0x326, 2), 2048u);
  EXPECT_EQ(Info().frameLength, 2114);
  struct Case {
    unsigned lines;
    int stored;
    uint32_t frameLength, shutter;
  } cases[] = {
      {3000, 3000, 3052, 52},
      {3001, 3001, 3054, 52},
      {2062, 2062, 2114, 52},
      {2063, 2063, 2116, 52},
      {2001, 2001, 2114, 112},
      {1, 2, 2114, 2112},
      {0xFFFFFFFF, 16777162, 16777214, 52},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    ASSERT_EQ(s.SetExposureLines(c.lines), 1);
    EXPECT_EQ(FrameLength(), c.frameLength);
    EXPECT_EQ(ShutterLine(), c.shutter);
    int lines = 0;
    ASSERT_TRUE(s.GetExposureLines(&lines));
    EXPECT_EQ(lines, c.stored);
  }
}

TEST_F(Siblings, Imx992_ModeSwitchIsBitZeroOfRegister0x710Inverted) {
  CSensorBase& s = Open("0x3370");
  EXPECT_EQ(s.HasModeSwitch(), 1);
  ASSERT_TRUE(s.WriteRegister(0x710, 0xF0));
  EXPECT_EQ(s.GetModeSwitch(), 1);
  ASSERT_EQ(s.SetModeSwitch(0), 1);
  EXPECT_EQ(Sensor(0x710), 0xF1);
  EXPECT_EQ(s.GetModeSwitch(), 0);
  ASSERT_EQ(s.SetModeSwitch(1), 1);
  EXPECT_EQ(Sensor(0x710), 0xF0);
  vc::JamSensorBus(0, true);
  EXPECT_EQ(s.GetModeSwitch(), -1);
  EXPECT_EQ(s.SetModeSwitch(0), 0);
  vc::JamSensorBus(0, false);
  EXPECT_EQ(Sensor(0x710), 0xF0);
}

TEST_F(Siblings, Imx992_CoolerKeepsTheOtherBitsOfItsRegister) {
  CSensorBase& s = Open("0x3380");
  ASSERT_TRUE(controller->WriteBoardRegister(0x97, 0xA0));
  ASSERT_EQ(s.SetCooler(1), 1);
  EXPECT_EQ(Board(0x97), 0xA1);
  EXPECT_EQ(s.GetCooler(), 1);
  ASSERT_EQ(s.SetCooler(0), 1);
  EXPECT_EQ(Board(0x97), 0xA0);
  CSensorBase& plain = Open("0x3370");
  EXPECT_EQ(plain.SetCooler(1), 0);
  EXPECT_EQ(Board(0x97), 0);
}

TEST_F(Siblings, Imx992And993_BoardFeatures) {
  struct Case {
    const char* camera;
    int gray16, correction;
  } cases[] = {{"0x3370:fast:fpga=0xC126", 1, 1},
               {"0x3370:fpga=0x0126", 1, 0},
               {"0x33C0", 1, 0},
               {"0x3280:fast:fpga=0xC126", 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.camera);
    CSensorBase& s = Open(c.camera);
    EXPECT_EQ(s.SupportsGray16(), c.gray16);
    EXPECT_EQ(s.HasInternalCorrection(), c.correction);
    EXPECT_EQ(s.HasFeatureBit(), 0);
    EXPECT_EQ(s.EnableFeatureBit(), 0);
  }
  CSensorBase& s = Open("0x3370:fpga=0x0126");
  EXPECT_EQ(s.HasAuxiliary(), 0);
  EXPECT_EQ(s.SetAuxiliaryValue(3), 0);
  ASSERT_EQ(s.SetGlobalGain(400), 1);
  EXPECT_EQ(SensorValue(0x714, 2), 400u);
}

TEST_F(Siblings, Imx993_BlackLevelIsOfferedAndClamped) {
  CSensorBase& s = Open("0x33C0");
  ASSERT_EQ(s.Initialize(), 1);
  EXPECT_EQ(SensorValue(0x7C0, 2), 240u);
  EXPECT_EQ(Info().frameLength, 1596);
  EXPECT_EQ(s.HasBlackLevel(), 1);
  const struct { int requested, written; } cases[] = {{5000, 4095}, {-3, 0}, {300, 300}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.requested);
    ASSERT_EQ(s.SetBlackLevel(c.requested), 1);
    EXPECT_EQ(SensorValue(0x7C0, 2), uint32_t(c.written));
    int level = -1;
    EXPECT_EQ(s.GetBlackLevel(&level), 1);
    EXPECT_EQ(level, c.written);
  }
  int min = -1, max = -1, def = -1;
  EXPECT_EQ(s.GetBlackLevelMin(&min), 1);
  EXPECT_EQ(s.GetBlackLevelMax(&max), 1);
  EXPECT_EQ(s.GetBlackLevelDefault(&def), 1);
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 4095);
  EXPECT_EQ(def, 240);
}

TEST_F(Siblings, Imx993_SensorOptionSetsTwoRegisters) {
  CSensorBase& s = Open("0x33C0");
  EXPECT_EQ(s.HasSensorOption(), 1);
  ASSERT_EQ(s.SetSensorOption(1), 1);
  EXPECT_EQ(Sensor(0x20), 80);
  EXPECT_EQ(Sensor(0x40), 1);
  int on = -1;
  EXPECT_EQ(s.GetSensorOption(&on), 1);
  EXPECT_EQ(on, 1);
  ASSERT_EQ(s.SetSensorOption(0), 1);
  EXPECT_EQ(Sensor(0x20), 95);
  EXPECT_EQ(Sensor(0x40), 0);
  ASSERT_EQ(s.SetExposureLines(2000), 1);
  EXPECT_EQ(FrameLength(), 2052u);
  EXPECT_EQ(ShutterLine(), 52u);
}

TEST_F(Siblings, Imx991_OffersNoneOfTheSiblingExtras) {
  CSensorBase& s = Open("0x3280");
  int value = -1;
  EXPECT_EQ(s.HasBlackLevel(), 0);
  EXPECT_EQ(s.SetBlackLevel(100), 0);
  EXPECT_EQ(s.GetBlackLevel(&value), 0);
  EXPECT_EQ(s.HasSensorOption(), 0);
  EXPECT_EQ(s.SetSensorOption(1), 0);
  EXPECT_EQ(s.HasModeSwitch(), 0);
  EXPECT_EQ(s.GetModeSwitch(), -1);
  EXPECT_EQ(s.SetModeSwitch(1), 0);
  EXPECT_EQ(s.SetAuxiliaryValue(3), 1);
  EXPECT_EQ(s.ApplyAuxiliary(), 1);
  EXPECT_EQ(Sensor(0x20), 0);
  EXPECT_EQ(Sensor(0x710), 0);
}

}  // namespace
}  // namespace tevrin::test

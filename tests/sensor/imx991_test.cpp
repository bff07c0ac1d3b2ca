// The IMX991 driver against virtual 0x3280/0x3290 cameras: what bring-up,
// window, exposure, gain, mirrors, temperature, cooler and the board queries
// leave in the camera's sensor and board registers.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "SensorFixture.h"
#include "sensor/SensorIMX991.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;

// The board reports bit 14 of its FPGA version word on the fast board.
constexpr const char* kFast = "0x3280:fast:fpga=0xC125";

using Imx991 = SensorTest;

TEST_F(Imx991, Initialize_RestoresThePowerOnProgramming) {
  CSensorBase& s = Open("0x3280");
  // Leave the sensor in a state bring-up must undo.
  ASSERT_TRUE(s.WriteRegister(0x7C0, 0x99));
  ASSERT_TRUE(s.WriteRegister(0x404, 3));
  ASSERT_TRUE(s.WriteRegister(0x714, 0x55));
  ASSERT_TRUE(s.WriteRegister(0x702, 7));
  ASSERT_EQ(s.IsReady(), 1);
  ASSERT_EQ(s.Initialize(), 1);

  EXPECT_EQ(Sensor(0x702), 0);
  EXPECT_EQ(SensorValue(0x7C0, 2), 60u);
  EXPECT_EQ(Sensor(0x404), 0);
  EXPECT_EQ(SensorValue(0x714, 2), 0u);
  EXPECT_EQ(FrameLength(), 561u);
  EXPECT_EQ(SensorValue(0x2D8, 2), 972u);
  EXPECT_EQ(ShutterLine(), 22u);  // 539 exposure lines
  EXPECT_EQ(Board(0x4C), 8);      // horizontal start offset, not mirrored
  EXPECT_EQ(Board(0x9F), 0);      // the sensor bus is handed back
  SensorInfo info = Info();
  EXPECT_EQ(info.lineLength, 972);
  EXPECT_EQ(info.frameLength, 561);
  EXPECT_DOUBLE_EQ(info.expSecMin, 2.0333e-05);
  EXPECT_EQ(info.orientation, 4);
}

TEST_F(Imx991, Initialize_OnTheFastBoardUsesItsLineLengthBlackLevelAndMinimum) {
  CSensorBase& s = Open(kFast);
  ASSERT_EQ(s.Initialize(), 1);
  EXPECT_EQ(SensorValue(0x7C0, 2), 15u);
  EXPECT_EQ(SensorValue(0x2D8, 2), 516u);
  EXPECT_EQ(Board(0x4C), 4);
  EXPECT_DOUBLE_EQ(Info().expSecMin, 1.4252e-05);
  EXPECT_EQ(s.SupportsGray16(), 0);
  EXPECT_EQ(s.SupportsGray8(), 1);
  EXPECT_EQ(s.SupportsColor(), 0);
  // 7 ms at the fast board's line time.
  ASSERT_TRUE(s.SetExposureTime(70));
  int lines = 0;
  EXPECT_TRUE(s.GetExposureLines(&lines));
  EXPECT_EQ(lines, 1016);
}

TEST_F(Imx991, CaptureWindow_ProgramsRowsFrameAndLineLength) {
  struct Case {
    const char* camera;
    int x, width, y, height, mode;
    uint32_t column, row, columns, rows, frameLength;
    uint8_t readout, reducedHeight;
  } cases[] = {
      {"0x3280", 0, 640, 0, 512, 0, 0, 0, 640, 512, 561, 0, 0},
      {"0x3290", 0, 640, 0, 512, 0, 0, 0, 640, 512, 561, 0, 0},
      // Bottom-up rows: 512 - 256 - 0, and 4 more for a reduced height.
      {"0x3280", 0, 640, 0, 256, 0, 0, 260, 640, 256, 294, 0, 2},
      {"0x3290", 0, 640, 16, 256, 0, 0, 20, 640, 256, 294, 0, 2},
      // Positions round up to 8, sizes down to 4 columns and 8 rows.
      {"0x3290", 1, 632, 3, 250, 0, 8, 12, 632, 248, 288, 0, 2},
      {"0x3290", 0, 642, 0, 512, 0, 0, 0, 640, 512, 561, 0, 0},
      // Half resolution: halves the sizes, frame length from 296 rows.
      {"0x3280", 0, 640, 0, 512, 1, 0, 256, 320, 256, 299, 0x11, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.camera << " window " << c.x << "," << c.y << " " << c.width << "x" << c.height
                                    << " mode " << c.mode);
    CSensorBase& s = Open(c.camera);
    ASSERT_EQ(s.SetCaptureWindow(c.x, c.width, c.y, c.height, c.mode), 1);
    EXPECT_EQ(SensorValue(0x320, 2), c.column);
    EXPECT_EQ(StartRow(), c.row);
    EXPECT_EQ(SensorValue(0x324, 2), c.columns);
    EXPECT_EQ(SensorValue(0x326, 2), c.rows);
    EXPECT_EQ(FrameLength(), c.frameLength);
    EXPECT_EQ(SensorValue(0x2D8, 2), 972u);
    EXPECT_EQ(Sensor(0x23C), c.readout);
    EXPECT_EQ(Sensor(0x304), c.reducedHeight);
    int x = -1, width = -1, y = -1, height = -1, mode = -1;
    ASSERT_TRUE(s.GetCaptureWindow(&x, &width, &y, &height, &mode));
    EXPECT_EQ(x, int(c.column));
    EXPECT_EQ(y, int(c.row));
    EXPECT_EQ(width, int(c.columns));
    EXPECT_EQ(height, int(c.rows));
    EXPECT_EQ(mode, c.mode);
    EXPECT_EQ(Info().frameLength, int(c.frameLength));
  }
}

TEST_F(Imx991, CaptureWindow_OutsideTheSensorIsRejectedWithNothingWritten) {
  CSensorBase& s = Open("0x3280");
  ASSERT_TRUE(s.SetCaptureWindow(0, 640, 0, 256, 0));
  const int before = controller->sensorWrites;
  const struct {
    int x, width, y, height;
  } rejected[] = {{8, 640, 0, 512}, {0, 640, 8, 512}, {-8, 640, 0, 512},      {0, 640, -1, 256},
                  {0, 0, 0, 512},   {0, 640, 0, 4},   {0x7FFFFFF8, 8, 0, 512}};
  for (const auto& r : rejected) {
    SCOPED_TRACE(testing::Message() << r.x << "," << r.y << " " << r.width << "x" << r.height);
    EXPECT_EQ(s.SetCaptureWindow(r.x, r.width, r.y, r.height, 0), 0);
  }
  EXPECT_EQ(controller->sensorWrites, before);
  EXPECT_EQ(StartRow(), 260u);
  EXPECT_EQ(Info().windowHeight, 256);
  EXPECT_EQ(s.GetCaptureWindow(nullptr, nullptr, nullptr, nullptr, nullptr), 0);
}

// Whichever of the window's register writes fails, the call fails, and the
// stored window stays the last one programmed whole.
TEST_F(Imx991, CaptureWindow_FailedRegisterWriteFailsAndKeepsTheStoredWindow) {
  CSensorBase& s = Open("0x3280");
  ASSERT_TRUE(s.SetCaptureWindow(0, 640, 0, 256, 0));
  auto expectStoredWindow = [&](int row, int rows, int frameLength) {
    int x = -1, width = -1, y = -1, height = -1, mode = -1;
    ASSERT_TRUE(s.GetCaptureWindow(&x, &width, &y, &height, &mode));
    EXPECT_EQ(y, row);
    EXPECT_EQ(height, rows);
    EXPECT_EQ(Info().frameLength, frameLength);
  };
  struct Case {
    const char* label;
    int writesLeft;  // sensor writes that succeed before the failing one
    bool jammed;
  };
  for (const Case& c : {
           Case{"readout mode, the first write", 0, false},
           Case{"window height", 8, false},
           Case{"line length, the last write", 13, false},
           Case{"sensor bus never free", -1, true},
       }) {
    SCOPED_TRACE(c.label);
    controller->sensorWritesLeft = c.writesLeft;
    vc::JamSensorBus(0, c.jammed);
    EXPECT_EQ(s.SetCaptureWindow(0, 640, 0, 512, 0), 0);
    controller->sensorWritesLeft = -1;
    vc::JamSensorBus(0, false);
    expectStoredWindow(260, 256, 294);
    EXPECT_EQ(Board(0x9F), 0) << "the sensor bus is handed back";
  }
  ASSERT_EQ(s.SetCaptureWindow(0, 640, 0, 512, 0), 1);
  expectStoredWindow(0, 512, 561);
}

TEST_F(Imx991, BitDepth_ReprogramsTheWindowWithoutMovingIt) {
  CSensorBase& s = Open("0x3290");
  ASSERT_TRUE(s.SetCaptureWindow(0, 640, 16, 256, 0));
  ASSERT_TRUE(s.WriteRegister(0x322, 0));
  ASSERT_EQ(s.SetBitDepth(1), 1);
  EXPECT_EQ(Info().bitsPerPixel, 16);
  EXPECT_EQ(StartRow(), 20u);
  EXPECT_EQ(Info().windowY, 20);
  ASSERT_EQ(s.SetBitDepth(0), 1);
  EXPECT_EQ(Info().bitsPerPixel, 8);
  EXPECT_EQ(StartRow(), 20u);
}

TEST_F(Imx991, ExposureLines_GrowTheFrameOrMoveTheShutter) {
  CSensorBase& s = Open("0x3280");
  ASSERT_TRUE(s.SetCaptureWindow(0, 640, 0, 512, 0));
  struct Case {
    unsigned lines;
    uint32_t frameLength, shutter;
  } cases[] = {{600, 615, 15},     {539, 561, 22}, {546, 561, 15},          {547, 562, 15},
               {70000, 70015, 15}, {1, 561, 560},  {16777214, 16777214, 15}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    const int writes = controller->sensorWrites;
    ASSERT_EQ(s.SetExposureLines(c.lines), 1);
    // Short enough to fit between two frames while streaming.
    EXPECT_LE(controller->sensorWrites - writes, 8);
    EXPECT_EQ(FrameLength(), c.frameLength);
    EXPECT_EQ(ShutterLine(), c.shutter);
    // The next change starts again from the window's frame length.
    EXPECT_EQ(Info().frameLength, 561);
  }
  int lines = 0;
  ASSERT_TRUE(s.GetExposureLines(&lines));
  EXPECT_EQ(lines, 16777199);  // the longest the 24-bit frame length holds
  EXPECT_EQ(static_cast<CSensorIMX991&>(s).FramePeriodMs(), 217462);
}

TEST_F(Imx991, ExposureTime_IsClampedAndConvertedToLines) {
  CSensorBase& s = Open("0x3280");
  ASSERT_TRUE(s.SetCaptureWindow(0, 640, 0, 512, 0));
  struct Case {
    unsigned units;
    int stored;
    uint32_t lines;
  } cases[] = {{0, 1, 7}, {70, 70, 539}, {30000, 20000, 154299}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.units);
    ASSERT_EQ(s.SetExposureTime(c.units), 1);
    int units = 0, lines = 0;
    ASSERT_TRUE(s.GetExposureTime(&units));
    ASSERT_TRUE(s.GetExposureLines(&lines));
    EXPECT_EQ(units, c.stored);
    EXPECT_EQ(lines, int(c.lines));
    EXPECT_EQ(FrameLength() - ShutterLine(), c.lines);
    double seconds = 0;
    EXPECT_EQ(s.GetExposureSeconds(&seconds), 1);
    EXPECT_DOUBLE_EQ(seconds, c.stored / 10000.0);
  }
}

TEST_F(Imx991, ExposureSeconds_IsClampedAndUpdatesTheUnits) {
  CSensorBase& s = Open("0x3280");
  ASSERT_TRUE(s.SetCaptureWindow(0, 640, 0, 512, 0));
  ASSERT_EQ(s.SetExposureSeconds(0.007), 1);
  EXPECT_EQ(FrameLength() - ShutterLine(), 539u);
  int units = 0;
  ASSERT_TRUE(s.GetExposureTime(&units));
  EXPECT_EQ(units, 70);
  ASSERT_EQ(s.SetExposureSeconds(50.0), 1);
  double seconds = 0;
  ASSERT_TRUE(s.GetExposureSeconds(&seconds));
  EXPECT_DOUBLE_EQ(seconds, 2.0);
  EXPECT_EQ(FrameLength() - ShutterLine(), 154299u);
  ASSERT_EQ(s.SetExposureSeconds(0.0), 1);
  ASSERT_TRUE(s.GetExposureSeconds(&seconds));
  EXPECT_DOUBLE_EQ(seconds, 2.0333e-05);
  EXPECT_EQ(FrameLength() - ShutterLine(), 1u);
  EXPECT_EQ(s.SetExposureSeconds(std::nan("")), 0);
}

TEST_F(Imx991, Gain_IsClampedAndWrittenInTwoRegisters) {
  CSensorBase& s = Open("0x3280");
  const struct {
    unsigned gain;
    uint32_t written;
  } cases[] = {{300, 300}, {0, 0}, {1000, 420}, {0xFFFFFFFF, 420}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.gain);
    ASSERT_EQ(s.SetGlobalGain(c.gain), 1);
    EXPECT_EQ(SensorValue(0x714, 2), c.written);
    int gain = -1;
    ASSERT_TRUE(s.GetGlobalGain(&gain));
    EXPECT_EQ(gain, int(c.written));
  }
  int max = 0;
  ASSERT_TRUE(s.GetGlobalGainMax(&max));
  EXPECT_EQ(max, 420);
}

TEST_F(Imx991, Mirrors_ShareOneRegisterAndMoveTheBoardsStartOffset) {
  struct Case {
    const char* camera;
    int mode;
    uint32_t on, off;
  } cases[] = {{"0x3280", 0, 104, 8}, {"0x3280", 1, 52, 4}, {kFast, 0, 100, 4}, {"0x3280:fast:fpga=0xC125", 1, 48, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.camera << " mode " << c.mode);
    CSensorBase& s = Open(c.camera);
    ASSERT_TRUE(s.SetCaptureWindow(0, 640, 0, 512, c.mode));
    ASSERT_EQ(s.SetMirrorH(1), 1);
    EXPECT_EQ(Sensor(0x404), 2);
    EXPECT_EQ(BoardValue(0x4C, 2), c.on);
    ASSERT_EQ(s.SetMirrorV(1), 1);
    EXPECT_EQ(Sensor(0x404), 3);
    ASSERT_EQ(s.SetMirrorH(0), 1);
    EXPECT_EQ(Sensor(0x404), 1);
    EXPECT_EQ(BoardValue(0x4C, 2), c.off);
    int v = 0, h = 1;
    EXPECT_TRUE(s.GetMirrorV(&v));
    EXPECT_TRUE(s.GetMirrorH(&h));
    EXPECT_EQ(v, 1);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s.IsMirrorVInSensor(), 1);
    EXPECT_EQ(s.IsMirrorHInSensor(), 1);
  }
}

TEST_F(Imx991, Temperature_FromTheSensorOrTheBoard) {
  // Old firmware reads the sensor's latched reading, newer boards report it themselves.
  for (const char* camera : {"0x3280:old", "0x3280"}) {
    CSensorBase& s = Open(camera);
    for (double celsius : {-1.0, 50.0, 35.125, -40.5}) {
      SCOPED_TRACE(testing::Message() << camera << " " << celsius);
      vc::SetSensorTemperature(0, celsius);
      double read = 1000;
      ASSERT_EQ(s.GetTemperature(&read), 1);
      EXPECT_DOUBLE_EQ(read, celsius);
      EXPECT_EQ(Sensor(0x788) & 1, 0);  // the latch is released
    }
    EXPECT_EQ(s.HasTemperature(), 1);
    EXPECT_EQ(s.GetTemperature(nullptr), 0);
  }
}

TEST_F(Imx991, Cooler_OnlyOnTheCooledModel) {
  CSensorBase& plain = Open("0x3280");
  const int before = controller->boardWrites;
  EXPECT_EQ(plain.HasCooler(), 0);
  EXPECT_EQ(plain.SetCooler(1), 0);
  EXPECT_EQ(plain.GetCooler(), 0);
  EXPECT_EQ(controller->boardWrites, before);
  EXPECT_EQ(Board(0x97), 0);

  CSensorBase& cooled = Open("0x3290");
  EXPECT_EQ(cooled.HasCooler(), 1);
  EXPECT_EQ(Info().orientation, 1);
  ASSERT_EQ(cooled.SetCooler(1), 1);
  EXPECT_EQ(Board(0x97), 1);
  EXPECT_EQ(cooled.GetCooler(), 1);
  ASSERT_EQ(cooled.SetCooler(0), 1);
  EXPECT_EQ(Board(0x97), 0);
  EXPECT_EQ(cooled.GetCooler(), 0);
}

TEST_F(Imx991, RegisterAccess_WaitsForTheFpgaToHandOverTheBus) {
  CSensorBase& s = Open("0x3280");
  // The FPGA lets go of the bus when asked; raw access does not ask.
  vc::HoldSensorBus(0, true);
  EXPECT_EQ(s.WriteRegisterRaw(0x714, 9), 0);
  ASSERT_EQ(s.WriteRegister(0x714, 9), 1);
  int value = 0;
  ASSERT_EQ(s.ReadRegister(0x714, &value), 1);
  EXPECT_EQ(value, 9);
  EXPECT_EQ(Board(0x9F), 0);

  // Busy beyond the 100 attempts: nothing is written and the request is withdrawn.
  vc::JamSensorBus(0, true);
  EXPECT_EQ(s.WriteRegister(0x714, 5), 0);
  EXPECT_EQ(s.ReadRegister(0x714, &value), 0);
  EXPECT_EQ(s.SetGlobalGain(5), 0);
  EXPECT_EQ(Board(0x9F), 0);
  // The failed exposure change keeps the stored value.
  EXPECT_EQ(s.SetExposureLines(100), 0);
  int lines = 0;
  ASSERT_TRUE(s.GetExposureLines(&lines));
  EXPECT_EQ(lines, 539);
  vc::JamSensorBus(0, false);
  vc::HoldSensorBus(0, false);
  EXPECT_EQ(Sensor(0x714), 9);
  int gain = -1;
  ASSERT_TRUE(s.GetGlobalGain(&gain));
  EXPECT_EQ(gain, 0);
  EXPECT_EQ(s.ReadRegister(0x714, nullptr), 0);
}

TEST_F(Imx991, RegisterAccess_FromTwoThreadsKeepsEachTransferWhole) {
  CSensorBase& s = Open("0x3280");
  // Two threads write and read back two registers: the register lock keeps
  // one thread's pointer write from landing between the other's pointer
  // write and read.
  std::atomic<int> failures{0};
  auto worker = [&](uint16_t address, int offset) {
    for (int i = 0; i < 40; ++i) {
      const int written = (i + offset) & 0xFF;
      int read = -1;
      if (!s.WriteRegister(address, written) || !s.ReadRegister(address, &read) || read != written) ++failures;
    }
  };
  std::thread first(worker, 0x714, 0);
  std::thread second(worker, 0x7C0, 100);
  first.join();
  second.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(Board(0x9F), 0);
}

TEST_F(Imx991, BoardFeatures_FollowTheFpgaVersionAndStatus) {
  struct Case {
    const char* camera;
    int correction, auxiliary, feature;
  } cases[] = {
      {"0x3280", 1, 1, 0},                   // internal correction hides the feature bit
      {"0x3280:fpga=0x0126", 0, 1, 1},       // version 294
      {"0x3280:fpga=0x0125", 0, 1, 0},       // version 293
      {"0x3280:fast:fpga=0x4126", 0, 1, 0},  // board status bit 0 set
      {"0x3280:fpga=0x0004", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.camera);
    CSensorBase& s = Open(c.camera);
    EXPECT_EQ(s.HasInternalCorrection(), c.correction);
    EXPECT_EQ(s.HasAuxiliary(), c.auxiliary);
    EXPECT_EQ(s.HasFeatureBit(), c.feature);
    ASSERT_TRUE(controller->WriteBoardRegister(0x18, 0x40));
    EXPECT_EQ(s.EnableFeatureBit(), c.feature);
    EXPECT_EQ(Board(0x18), c.feature ? 0x41 : 0x40);
  }
}

TEST(Imx991WithoutController, HardwareOperationsFail) {
  CSensorIMX991 s(nullptr, 0x48);
  double celsius = 0;
  int value = 0;
  EXPECT_EQ(s.Initialize(), 0);
  EXPECT_EQ(s.WriteRegister(0x714, 1), 0);
  EXPECT_EQ(s.ReadRegister(0x714, &value), 0);
  EXPECT_EQ(s.WriteRegisterRaw(0x714, 1), 0);
  EXPECT_EQ(s.SetTriggerMode(0), 0);
  EXPECT_EQ(s.SetMirrorH(1), 0);
  EXPECT_EQ(s.SetGlobalGain(1), 0);
  EXPECT_EQ(s.SetExposureTime(70), 0);
  EXPECT_EQ(s.GetTemperature(&celsius), 0);
  EXPECT_EQ(s.HasInternalCorrection(), 0);
  EXPECT_EQ(s.HasFeatureBit(), 0);
  EXPECT_EQ(s.SetModelCode(112), 1);
  EXPECT_EQ(s.SetCooler(1), 0);
  EXPECT_EQ(s.GetCooler(), 0);
  EXPECT_EQ(s.SetModelCode(7), 0);
  EXPECT_EQ(s.ModelCode(), 112);
  // With the version unknown the board counts as standard.
  EXPECT_EQ(s.SupportsGray16(), 1);
}

}  // namespace
}  // namespace tevrin::test

// Free-run and external-trigger programming of the IMX99x drivers: the
// sensor's trigger registers, the FPGA's trigger logic and timing, and the
// shortcut when the camera already runs free. These wait through the
// product's fixed 100 ms steps.
#include <gtest/gtest.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include "SensorFixture.h"

namespace tevrin::test {
namespace {

using Trigger = SensorTest;

// Checks the FPGA trigger timing for `exposure` lines on a window of `rows`.
void ExpectTriggerTiming(uint32_t exposure, uint32_t rows, uint32_t (*boardValue)(uint8_t, int),
                         uint8_t (*board)(uint8_t)) {
  EXPECT_EQ(boardValue(0x85, 2) | uint32_t(board(0x9B)) << 16, exposure);
  EXPECT_EQ(board(0x54), 0xC3);
  EXPECT_EQ(board(0x55), 2);
  EXPECT_EQ(boardValue(0x50, 3), exposure + rows + 9);
}

TEST_F(Trigger, FreeRun_SecondCallWithoutWindowChangeReturnsAtOnce) {
  CSensorBase& s = Open("0x3280");
  ASSERT_EQ(s.Initialize(), 1);
  int mode = 0;
  ASSERT_TRUE(s.GetTriggerMode(&mode));
  EXPECT_EQ(mode, 15);
  // The trigger logic is found on: free run must be programmed.
  ASSERT_TRUE(controller->WriteBoardRegister(0x58, 2));
  ASSERT_TRUE(controller->WriteBoardRegister(0x59, 7));
  ASSERT_TRUE(s.WriteRegister(0x430, 0));
  ASSERT_EQ(s.SetTriggerMode(0), 1);
  EXPECT_EQ(Sensor(0x430), 0x11);
  EXPECT_EQ(Sensor(0x600), 0);
  EXPECT_EQ(Sensor(0x200), 0);
  EXPECT_EQ(Board(0x58), 0);
  EXPECT_EQ(Board(0x59), 0);
  const int sensorWrites = controller->sensorWrites;
  const int boardWrites = controller->boardWrites;
  ASSERT_EQ(s.SetTriggerMode(0), 1);
  EXPECT_EQ(controller->sensorWrites, sensorWrites);
  EXPECT_EQ(controller->boardWrites, boardWrites);
  // A new window makes the next call reprogram even though the logic is off.
  ASSERT_TRUE(s.SetCaptureWindow(0, 640, 0, 256, 0));
  ASSERT_TRUE(s.WriteRegister(0x430, 0));
  ASSERT_EQ(s.SetTriggerMode(0), 1);
  EXPECT_EQ(Sensor(0x430), 0x11);
  ASSERT_TRUE(s.GetTriggerMode(&mode));
  EXPECT_EQ(mode, 0);
}

TEST_F(Trigger, External_ArmsSensorAndBoardAndFollowsTheExposure) {
  CSensorBase& s = Open("0x3280");
  ASSERT_EQ(s.Initialize(), 1);
  ASSERT_EQ(s.SetTriggerMode(0), 1);
  ASSERT_TRUE(controller->WriteBoardRegister(0x59, 7));
  ASSERT_TRUE(controller->WriteBoardRegister(0x6C, 1));
  ASSERT_EQ(s.SetTriggerMode(1), 1);
  EXPECT_EQ(Sensor(0x430), 0x13);
  EXPECT_EQ(Sensor(0x600), 1);
  EXPECT_EQ(Sensor(0x200), 0);
  EXPECT_EQ(Board(0x58), 2);  // trigger logic on
  EXPECT_EQ(Board(0x59), 0);
  EXPECT_EQ(Board(0x6C), 0);  // restart pulse ended
  ExpectTriggerTiming(539, 512, BoardValue, Board);

  // In trigger mode every exposure change rewrites the board's timing.
  ASSERT_EQ(s.SetExposureLines(70000), 1);
  ExpectTriggerTiming(70000, 512, BoardValue, Board);
  EXPECT_EQ(Board(0x58), 2);

  // Back to free run: the trigger logic is switched off.
  ASSERT_EQ(s.SetTriggerMode(0), 1);
  EXPECT_EQ(Sensor(0x430), 0x11);
  EXPECT_EQ(Sensor(0x600), 0);
  EXPECT_EQ(Board(0x58), 0);
}

TEST_F(Trigger, External_OnOldFirmwareLeavesTheRestartAlone) {
  CSensorBase& s = Open("0x3280:old");
  ASSERT_EQ(s.Initialize(), 1);
  ASSERT_TRUE(controller->WriteBoardRegister(0x59, 7));
  ASSERT_TRUE(controller->WriteBoardRegister(0x6C, 1));
  ASSERT_EQ(s.SetTriggerMode(1), 1);
  EXPECT_EQ(Sensor(0x600), 1);
  EXPECT_EQ(Board(0x59), 7);
  EXPECT_EQ(Board(0x6C), 1);
  ASSERT_EQ(s.SetTriggerMode(0), 1);
  EXPECT_EQ(Board(0x59), 7);
}

TEST_F(Trigger, External_OnTheFastBoardKeepsTheTriggerLogicRunningForExposureChanges) {
  CSensorBase& s = Open("0x3280:fast:fpga=0xC125");
  ASSERT_EQ(s.Initialize(), 1);
  ASSERT_EQ(s.SetTriggerMode(1), 1);
  // The logic is only switched around updates in free run or on a standard board.
  ASSERT_TRUE(controller->WriteBoardRegister(0x58, 3));
  ASSERT_EQ(s.SetExposureLines(1000), 1);
  ExpectTriggerTiming(1000, 512, BoardValue, Board);
  EXPECT_EQ(Board(0x58), 3);
}

TEST_F(Trigger, Imx990_AlwaysSwitchesTheTriggerLogicForAnUpdate) {
  CSensorBase& s = Open("0x3260:fast:fpga=0xC125");
  ASSERT_EQ(s.Initialize(), 1);
  ASSERT_EQ(s.SetTriggerMode(1), 1);
  ASSERT_TRUE(controller->WriteBoardRegister(0x58, 3));
  ASSERT_EQ(s.SetExposureLines(2000), 1);
  ExpectTriggerTiming(2000, 1024, BoardValue, Board);
  EXPECT_EQ(Board(0x58), 2);
}

}  // namespace
}  // namespace tevrin::test

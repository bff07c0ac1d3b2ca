// Finding and opening cameras: the device table getters, presence, counting
// and names, opening by product ID and ordinal, and closing.
#include <gtest/gtest.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <string>

#include "support/DeviceFixture.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;
namespace fpga = tevrin::hardware::fpga;

using IdentityTest = DeviceTest;

TEST_F(IdentityTest, TwoCamerasAreCountedFoundAndOpenedEachOnItsOwn) {
  ASSERT_TRUE(vc::Configure("0x3280,0x3280:fast"));
  TestDevice& first = AddDevice(0x3280);
  TestDevice& second = AddDevice(0x3280);
  EXPECT_EQ(first.CountDevices(0), 2);
  EXPECT_EQ(first.CountDevices(0x3280), 2);
  EXPECT_EQ(first.CountDevices(0x3290), 0);
  EXPECT_TRUE(first.IsPresent(0));
  EXPECT_TRUE(first.IsPresent(1));
  EXPECT_FALSE(first.IsPresent(2));

  ASSERT_EQ(first.OpenDevice(0), 1);
  ASSERT_EQ(second.OpenDevice(1), 1);
  EXPECT_EQ(first.GetOrdinal(), 0);
  EXPECT_EQ(second.GetOrdinal(), 1);
  // Each device talks to its own camera: the fast board shows in its status.
  EXPECT_EQ(first.Board(fpga::kBoardStatus) & 1, 0);
  EXPECT_EQ(second.Board(fpga::kBoardStatus) & 1, 1);
  EXPECT_TRUE(first.WriteFpgaRegister(fpga::kIoPort, 0x11));
  EXPECT_TRUE(second.WriteFpgaRegister(fpga::kIoPort, 0x22));
  EXPECT_EQ(vc::Outputs(0), 0x11);
  EXPECT_EQ(vc::Outputs(1), 0x22);
}

TEST_F(IdentityTest, TableGettersNamesAndTheirLimits) {
  ASSERT_TRUE(vc::Configure("0x3280,0x3290,0x3280"));
  TestDevice& device = AddDevice(0x3280);
  ASSERT_EQ(device.CountDevices(0), 3);
  EXPECT_EQ(device.GetMaxDevices(), 32);

  const int expected[3][2] = {{0x3280, 0}, {0x3290, 0}, {0x3280, 1}};
  for (int index = 0; index < 3; ++index) {
    EXPECT_EQ(device.GetTableVendorId(index), 0x04B4) << index;
    EXPECT_EQ(device.GetTableProductId(index), expected[index][0]) << index;
    EXPECT_EQ(device.GetTableOrdinal(index), expected[index][1]) << index;
  }
  for (int index : {-1, 3, 31, 32, 1000}) {
    EXPECT_EQ(device.GetTableVendorId(index), 0) << index;
    EXPECT_EQ(device.GetTableProductId(index), 0) << index;
    EXPECT_EQ(device.GetTableOrdinal(index), -1) << index;
  }

  char name[64] = {};
  ASSERT_TRUE(device.GetDeviceName(2, name));
  EXPECT_EQ(std::string(name), "TevrinHalden991_01");
  ASSERT_TRUE(device.GetDeviceName(1, name));
  EXPECT_EQ(std::string(name), "TevrinHalden991U_00");
  EXPECT_FALSE(device.GetDeviceName(3, name));

  TestDevice bare;
  EXPECT_EQ(bare.GetTableVendorId(0), 0);
  EXPECT_EQ(bare.GetTableProductId(0), 0);
  EXPECT_EQ(bare.GetTableOrdinal(0), -1);
  EXPECT_EQ(bare.CountDevices(0), 0);
  EXPECT_FALSE(bare.IsPresent(0));
  EXPECT_FALSE(bare.GetDeviceName(0, name));
}

TEST_F(IdentityTest, UnpluggedCameraIsNotPresentAndComesBack) {
  ASSERT_TRUE(vc::Configure("0x3280,0x3280"));
  TestDevice& device = AddDevice(0x3280);
  ASSERT_EQ(device.CountDevices(0x3280), 2);
  vc::Unplug(1);
  EXPECT_TRUE(device.IsPresent(0));
  EXPECT_FALSE(device.IsPresent(1));
  EXPECT_EQ(device.CountDevices(0x3280), 1);
  EXPECT_EQ(device.CountDevices(0), 2) << "the table keeps the entry";
  EXPECT_EQ(device.OpenDevice(1), 0);
  EXPECT_FALSE(device.HasSensor());
  vc::Plug(1);
  EXPECT_TRUE(device.IsPresent(1));
  EXPECT_EQ(device.OpenDevice(1), 1);
}

TEST_F(IdentityTest, OpenFailsBeforeAnySensorIsMade) {
  ASSERT_TRUE(vc::Configure("0x3280"));
  TestDevice& device = AddDevice(0x3280);
  EXPECT_EQ(device.OpenDevice(1), 0) << "no second camera";
  EXPECT_FALSE(device.HasSensor());
  SensorInfo info{};
  EXPECT_EQ(device.GetSensorInfo(&info), 0);
  EXPECT_EQ(device.GetMaxWidth(), 0);
  EXPECT_EQ(device.ReopenDevice(1), -1);

  TestDevice& otherProduct = AddDevice(0x3290);
  EXPECT_EQ(otherProduct.OpenDevice(0), 0) << "the table has no 0x3290";
  EXPECT_FALSE(otherProduct.HasSensor());

  TestDevice noProduct;
  EXPECT_EQ(noProduct.CreateController(nullptr, nullptr), 1);
  EXPECT_EQ(noProduct.GetProductId(), -1);
  EXPECT_EQ(noProduct.OpenDevice(0), 0);
  EXPECT_FALSE(noProduct.HasSensor());

  TestDevice noController;
  noController.SetProductId(0x3280);
  EXPECT_EQ(noController.OpenDevice(0), 0);
}

TEST_F(IdentityTest, ProductWithoutDriverFailsToOpen) {
  ASSERT_TRUE(vc::Configure("0x3160"));
  TestDevice& device = AddDevice(0x3160);
  ASSERT_EQ(device.CountDevices(0x3160), 1);
  ASSERT_TRUE(device.IsPresent(0));
  EXPECT_EQ(device.OpenDevice(0), 0);
  EXPECT_FALSE(device.HasSensor());
}

TEST_F(IdentityTest, OpenedCameraDescribesItsSensorAndProduct) {
  TestDevice& device = Open("0x3280");
  EXPECT_EQ(device.GetProductId(), 0x3280);
  EXPECT_FALSE(device.IsNoRegisterProduct());
  EXPECT_FALSE(device.IsStreamProduct());
  EXPECT_FALSE(device.IsStreamProductAgain());
  SensorInfo info{};
  ASSERT_EQ(device.GetSensorInfo(&info), 1);
  EXPECT_EQ(device.GetSensorInfo(nullptr), 0);
  EXPECT_EQ(device.GetMaxWidth(), info.maxWidth);
  EXPECT_EQ(device.GetMaxHeight(), info.maxHeight);
  EXPECT_EQ(device.GetDefaultWidth(), info.defaultWidth);
  EXPECT_EQ(device.GetDefaultHeight(), info.defaultHeight);
  EXPECT_EQ(device.GetWidthAdjustable(), info.widthAdjustable);
  EXPECT_EQ(device.GetHeightAdjustable(), info.heightAdjustable);
  EXPECT_EQ(device.GetMaxWidth(), kWidth);
  EXPECT_EQ(device.GetMaxHeight(), kHeight);
  EXPECT_EQ(device.Reserved9(), 0);
  EXPECT_EQ(device.Reserved33(), -1);
  EXPECT_EQ(device.Reserved40(), 0);

  uint8_t block[64] = {};
  ASSERT_EQ(device.ReadControllerInfo(block), 1);
  EXPECT_EQ(block[24] | block[25] << 8, 0x1201) << "controller firmware version";
  EXPECT_EQ(block[52], 1) << "GPIO25 flag";
  EXPECT_EQ(device.ReadControllerInfo(nullptr), 0);

  // A setting forwarded to the sensor comes back from it.
  ASSERT_TRUE(device.SetGlobalGain(120));
  EXPECT_EQ(device.GetGlobalGain(), 120);

  for (int id : {0x3310, 0x3320, 0x3330, 0x3340}) {
    device.SetProductId(id);
    EXPECT_TRUE(device.IsStreamProduct()) << std::hex << id;
  }
  device.SetProductId(0x3042);
  EXPECT_TRUE(device.IsNoRegisterProduct());
}

TEST_F(IdentityTest, ReopenAndCloseLeaveNothingBehind) {
  TestDevice& device = Open("0x3280");
  EXPECT_EQ(device.ReopenDevice(0), 0);
  EXPECT_TRUE(device.HasSensor());
  EXPECT_EQ(device.CloseDevice(), 1);
  EXPECT_FALSE(device.HasSensor());
  int ok = 1;
  EXPECT_EQ(device.ReadFpgaRegister(fpga::kVersionLow, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(device.FrameSize(), 0);
  EXPECT_EQ(device.CloseDevice(), 1) << "closing twice is harmless";
}

}  // namespace
}  // namespace tevrin::test

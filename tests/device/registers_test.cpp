// Board registers, sensor registers over I2C, the EEPROM, the internal
// correction and the FPGA temperature.
#include <gtest/gtest.h>
#include <tevrin/hardware/Eeprom.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include "support/DeviceFixture.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;
namespace fpga = tevrin::hardware::fpga;
namespace imx = tevrin::hardware::imx991;
namespace hw = tevrin::hardware;

constexpr int kSensorDevice = 0x24;  // the sensor's 7-bit I2C address (0x48 on the wire)

using RegistersTest = DeviceTest;

TEST_F(RegistersTest, BoardRegistersReadAndWrite) {
  TestDevice& device = Open("0x3280");
  int ok = 0;
  EXPECT_EQ(device.ReadFpgaRegister(fpga::kVersionLow, &ok), 0x25);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(device.WriteFpgaRegister(0x1A5, 0x1C3), 1) << "low bytes of both";
  EXPECT_EQ(vc::BoardRegister(0, 0xA5), 0xC3);

  vc::Unplug(0);
  ok = 1;
  EXPECT_EQ(device.ReadFpgaRegister(fpga::kVersionLow, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(device.WriteFpgaRegister(0xA5, 1), 0);
}

TEST_F(RegistersTest, ProductWithoutRegisterPortTouchesNoRegister) {
  TestDevice& device = Open("0x3280");
  ASSERT_TRUE(device.WriteFpgaRegister(fpga::kIoPort, 0x5A));
  device.SetProductId(0x3042);
  int ok = 1;
  EXPECT_EQ(device.ReadFpgaRegister(fpga::kVersionLow, &ok), 0) << "the camera would answer 0x25";
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(device.WriteFpgaRegister(fpga::kIoPort, 0x11), 0);
  EXPECT_EQ(vc::Outputs(0), 0x5A);

  TestDevice bare;
  ok = 1;
  EXPECT_EQ(bare.ReadFpgaRegister(fpga::kVersionLow, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(bare.WriteFpgaRegister(fpga::kIoPort, 1), 0);
}

TEST_F(RegistersTest, SixteenBitI2cRegistersOfTheSensor) {
  TestDevice& device = Open("0x3280");
  EXPECT_EQ(device.WriteI2cRegister16(kSensorDevice, imx::kGain0, 0x0123), 1);
  EXPECT_EQ(vc::SensorRegister(0, imx::kGain0), 0x01) << "high byte first";
  EXPECT_EQ(vc::SensorRegister(0, imx::kGain0 + 1), 0x23);
  uint32_t value = 0;
  EXPECT_EQ(device.ReadI2cRegister16(kSensorDevice, imx::kGain0, &value), 1);
  EXPECT_EQ(value, 0x0123u);
  int ok = 0;
  EXPECT_EQ(device.ReadSensorRegister(imx::kGain0 + 1, &ok), 0x23);
  EXPECT_EQ(ok, 1);

  // While the FPGA keeps the sensor bus the wait gives up.
  vc::JamSensorBus(0, true);
  EXPECT_EQ(device.WaitSensorBusIdle(50), 0);
  vc::JamSensorBus(0, false);
  EXPECT_EQ(device.WaitSensorBusIdle(50), 1);
  EXPECT_EQ(device.ReadI2cRegister16(kSensorDevice, imx::kGain0, nullptr), 0);
}

TEST_F(RegistersTest, EepromBytesAndCorrectionLevel) {
  TestDevice& device = Open("0x3280");
  EXPECT_EQ(device.WriteEepromByte(0x0123, 0xA5), 1);
  uint8_t value = 0;
  EXPECT_EQ(device.ReadEepromByte(0x0123, &value), 1);
  EXPECT_EQ(value, 0xA5);
  EXPECT_EQ(device.ReadEepromByte(0x0123, nullptr), 0);

  EXPECT_EQ(device.WriteCorrectionLevel(6), 1);
  value = 0;
  EXPECT_EQ(device.ReadCorrectionLevel(&value), 1);
  EXPECT_EQ(value, 6);
  EXPECT_EQ(device.ReadEepromByte(hw::kEepromCorrectionLevel, &value), 1);
  EXPECT_EQ(value, 6);

  TestDevice bare;
  EXPECT_EQ(bare.WriteEepromByte(0, 1), 0);
  EXPECT_EQ(bare.ReadEepromByte(0, &value), 0);
}

TEST_F(RegistersTest, InternalCorrectionSwitchesBitZeroOfItsRegister) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.IsInternalCorrectionSupported(), 1) << "FPGA version 0x8125 has bit 15";
  ASSERT_TRUE(device.WriteFpgaRegister(fpga::kCorrectionControl, 0x03));
  EXPECT_EQ(device.GetInternalCorrection(), 1);
  const int writes = device.fpgaWrites;
  EXPECT_EQ(device.SetInternalCorrection(1), 1);
  EXPECT_EQ(device.fpgaWrites, writes) << "already on: nothing written";

  EXPECT_EQ(device.SetInternalCorrection(0), 1);
  EXPECT_EQ(vc::BoardRegister(0, fpga::kCorrectionControl), 0x02) << "the other bits kept";
  EXPECT_EQ(device.GetInternalCorrection(), 0);
  EXPECT_EQ(device.SetInternalCorrection(1), 1);
  EXPECT_EQ(vc::BoardRegister(0, fpga::kCorrectionControl), 0x03);
}

TEST_F(RegistersTest, InternalCorrectionNeedsTheFpgaThatHasIt) {
  TestDevice& device = Open("0x3280:fpga=0x0125");
  EXPECT_EQ(device.IsInternalCorrectionSupported(), 0);
  EXPECT_EQ(device.IsCorrectionValueSupported(), 0);
  EXPECT_EQ(device.SetInternalCorrection(1), 0);
  EXPECT_EQ(device.GetCorrectionValueMax(), 0);
  int value = 0;
  EXPECT_EQ(device.GetCorrectionValue(&value), 0);
}

TEST_F(RegistersTest, CorrectionValueRoundTripAndMaximum) {
  TestDevice& device = Open("0x3280");
  ASSERT_EQ(device.IsCorrectionValueSupported(), 1);
  EXPECT_EQ(device.GetCorrectionValueMax(), 0xFFFF);
  EXPECT_EQ(device.CorrectionReserved140(), 0);
  EXPECT_EQ(device.SetCorrectionValue(0xBEEF), 1);
  EXPECT_EQ(vc::BoardRegister(0, fpga::kCorrectionLow), 0xEF);
  EXPECT_EQ(vc::BoardRegister(0, fpga::kCorrectionHigh), 0xBE);
  int value = 0;
  EXPECT_EQ(device.GetCorrectionValue(&value), 1);
  EXPECT_EQ(value, 0xBEEF);
  EXPECT_EQ(device.GetCorrectionValue(nullptr), 0);

  device.SetProductId(0x3042);
  EXPECT_EQ(device.IsCorrectionValueSupported(), 0);
  EXPECT_EQ(device.SetCorrectionValue(1), 0);
}

TEST_F(RegistersTest, FpgaTemperatureOnStreamProductsOnly) {
  TestDevice& device = Open("0x3320", &MakeTestSensor);
  double celsius = 0;
  ASSERT_EQ(device.GetFpgaTemperature(&celsius), 1);
  EXPECT_NEAR(celsius, 45.0, 0.01);
  vc::SetFpgaTemperature(0, -21.1625);
  ASSERT_EQ(vc::BoardRegister(0, fpga::kDieTemperatureHigh) << 8 | vc::BoardRegister(0, fpga::kDieTemperatureLow),
            0x8000);
  ASSERT_EQ(device.GetFpgaTemperature(&celsius), 1);
  EXPECT_NEAR(celsius, -21.16, 0.005);
  EXPECT_EQ(device.GetFpgaTemperature(nullptr), 0);

  device.SetProductId(0x3280);
  celsius = 99;
  EXPECT_EQ(device.GetFpgaTemperature(&celsius), 0);
  EXPECT_EQ(celsius, 99);
}

}  // namespace
}  // namespace tevrin::test

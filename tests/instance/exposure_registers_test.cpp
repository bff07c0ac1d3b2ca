// Exposure, temperature, auto iris, internal correction, registers, EEPROM and I/O port.
#include "support/InstanceFixture.h"

namespace {

using ExposureAndRegisters = InstanceTest;
using ::testing::ElementsAre;

TEST_F(ExposureAndRegisters, RealExposureIsKeptInHundredMicrosecondUnits) {
  auto instance = Make();
  device->exposureMin = 1;
  device->exposureMax = 200;
  ASSERT_EQ(instance->SetRealExposureTime(12345), 1);
  EXPECT_EQ(device->exposure, 123);
  int ok = 0;
  EXPECT_EQ(instance->GetRealExposureTime(&ok), 12300);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(instance->SetRealExposureTime(20100), 0);
  EXPECT_EQ(instance->SetRealExposureTime(99), 0);
  EXPECT_EQ(instance->GetRealExposureTime(nullptr), 12300);
  EXPECT_THAT(Errors(*instance), ElementsAre(9, 9));
}

TEST_F(ExposureAndRegisters, FractionalExposureCountsWholeSecondsInDeviceUnits) {
  auto instance = Make();
  ASSERT_EQ(instance->SetExposureTimeEx(2.5), 1);
  EXPECT_EQ(device->exposureSeconds, 2.5);
  EXPECT_EQ(instance->Analog().exposureSeconds, 2.5);
  EXPECT_EQ(instance->Analog().exposure, 20000);
  ASSERT_EQ(instance->SetExposureTimeEx(1e12), 1);  // saturates instead of overflowing
  EXPECT_EQ(instance->Analog().exposure, INT_MAX);
  EXPECT_EQ(instance->GetRealExposureTime(nullptr), INT_MAX);
  device->setterResult = 0;
  EXPECT_EQ(instance->SetExposureTimeEx(0.5), 0);
  EXPECT_EQ(instance->PopError(), 0);
  device->hasExposureSeconds = 0;
  EXPECT_EQ(instance->SetExposureTimeEx(0.5), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(11));
}

TEST_F(ExposureAndRegisters, FractionalExposureReadsTheDevice) {
  auto instance = Make();
  device->exposureSeconds = 0.125;
  int ok = 0;
  EXPECT_EQ(instance->GetExposureTimeEx(&ok), 0.125);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(instance->Analog().exposureSeconds, 0.125);
  device->registerResult = 0;
  EXPECT_EQ(instance->GetExposureTimeEx(&ok), -1.0);
  EXPECT_EQ(ok, 0);
  device->hasExposureSeconds = 0;
  ok = 1;
  EXPECT_EQ(instance->GetExposureTimeEx(&ok), -1.0);
  EXPECT_EQ(ok, 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(11));
}

TEST_F(ExposureAndRegisters, TemperatureRecordsTheOutcomeOfEachRead) {
  auto instance = Make();
  int ok = -1;
  EXPECT_EQ(instance->GetTemperatureEx(&ok), 0.0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(instance->PopError(), 11);
  device->hasTemperature = 1;
  EXPECT_EQ(instance->GetTemperatureEx(&ok), 21.5);
  EXPECT_EQ(ok, 1);
  device->temperatureReadable = 0;
  EXPECT_EQ(instance->GetTemperatureEx(nullptr), 0.0);
  EXPECT_EQ(instance->PopError(), 12);
  EXPECT_EQ(instance->PopError(), 0);  // the successful read recorded 0
  EXPECT_THAT(PostedErrors(), ElementsAre(11, 0, 12));
}

TEST_F(ExposureAndRegisters, AutoIrisOutOfRangeOnlyPosts) {
  auto instance = Make();
  for (int mode : {0, 1, 2}) EXPECT_EQ(instance->SetAutoIris(mode), 1);
  EXPECT_EQ(instance->SetAutoIris(3), 0);
  EXPECT_EQ(instance->SetAutoIris(-1), 0);
  int ok = 0;
  EXPECT_EQ(instance->GetAutoIris(&ok), 2);
  EXPECT_EQ(ok, 1);
  EXPECT_THAT(PostedErrors(), ElementsAre(9, 9));
  EXPECT_EQ(instance->PopError(), 0);
}

TEST_F(ExposureAndRegisters, InternalCorrectionOnlyPostsWhenUnsupported) {
  auto instance = Make();
  int ok = -1;
  EXPECT_EQ(instance->GetInternalCorrection(&ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(instance->SetInternalCorrection(1), 0);
  EXPECT_THAT(PostedErrors(), ElementsAre(11, 11));
  EXPECT_EQ(instance->PopError(), 0);
  device->internalCorrectionSupported = 1;
  EXPECT_EQ(instance->SetInternalCorrection(1), 1);
  EXPECT_EQ(instance->GetInternalCorrection(&ok), 1);
  EXPECT_EQ(ok, 1);
}

TEST_F(ExposureAndRegisters, FpgaRegistersUseTheLowAddressByte) {
  auto instance = Make();
  device->fpga[0x34] = 0xFFFF;
  int ok = 0;
  EXPECT_EQ(instance->ReadFpgaRegister(0x1234, &ok), 0xFFFF);
  EXPECT_EQ(ok, 1);
  device->calls.clear();
  EXPECT_EQ(instance->WriteFpgaRegister(0x1F0, 0x12345), 1);
  EXPECT_THAT(device->calls, ElementsAre("WriteFpgaRegister(240,9029)"));
  device->registerResult = 0;
  EXPECT_EQ(instance->ReadFpgaRegister(1, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(instance->WriteFpgaRegister(1, 1), 0);
  EXPECT_EQ(instance->ReadSensorRegister(1, nullptr), 0);
  EXPECT_EQ(instance->WriteSensorRegister(1, 1), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(6, 6, 6, 6));
}

TEST_F(ExposureAndRegisters, RegistersWithoutDeviceAreError1) {
  auto instance = MakeWithoutDevice();
  int ok = -1;
  EXPECT_EQ(instance->ReadFpgaRegister(1, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(instance->WriteFpgaRegister(1, 1), 0);
  EXPECT_EQ(instance->ReadSensorRegister(1, &ok), 0);
  EXPECT_EQ(instance->WriteSensorRegister(1, 1), 0);
  EXPECT_THAT(Errors(*instance), ElementsAre(1, 1, 1, 1));
}

TEST_F(ExposureAndRegisters, EepromBytesUseTwelveAddressBitsAndOnlyPostFailures) {
  auto instance = Make();
  device->eeprom[0x234] = 0x5A;
  int ok = 0;
  EXPECT_EQ(instance->ReadSromId(0x1234, &ok), 0x5A);
  EXPECT_EQ(ok, 1);
  device->failingEepromReads = {0x235};
  EXPECT_EQ(instance->ReadSromId(0x235, &ok), 0);
  EXPECT_EQ(ok, 0);
  EXPECT_THAT(PostedErrors(), ElementsAre(1));
  EXPECT_EQ(instance->PopError(), 0);
}

TEST_F(ExposureAndRegisters, EepromWriteIsRepeatedUntilTheByteHolds) {
  auto instance = Make();
  device->eepromWritesIgnored = 3;
  device->calls.clear();
  EXPECT_EQ(instance->WriteSromId(0x1010, 0x1A5), 1);
  EXPECT_EQ(device->eeprom[0x010], 0xA5);
  EXPECT_EQ(device->calls.size(), 4u);  // the first write and three rewrites
  device->eepromWritesIgnored = 20;
  EXPECT_EQ(instance->WriteSromId(0x011, 7), 0);  // the byte never holds: a failed write
  EXPECT_THAT(PostedErrors(), ElementsAre(1));
  device->registerResult = 0;
  EXPECT_EQ(instance->WriteSromId(0x012, 7), 0);
  EXPECT_THAT(PostedErrors(), ElementsAre(1));
}

TEST_F(ExposureAndRegisters, IoPortIsFpgaRegisterSeven) {
  auto instance = Make();
  device->fpga[7] = 0x1C3;
  BYTE value = 0;
  EXPECT_EQ(instance->GetIOPort(&value), 1);
  EXPECT_EQ(value, 0xC3);
  EXPECT_EQ(instance->SetIOPort(0x2F0), 1);
  EXPECT_EQ(device->fpga[7], 0xF0);
  EXPECT_EQ(instance->GetIOPort(nullptr), 0);
  device->registerResult = 0;
  EXPECT_EQ(instance->GetIOPort(&value), 0);
  EXPECT_THAT(PostedErrors(), ElementsAre(9, 9));
  auto without = MakeWithoutDevice();
  EXPECT_EQ(without->GetIOPort(&value), 0);
  EXPECT_EQ(without->SetIOPort(1), 0);
  EXPECT_THAT(PostedErrors(), ElementsAre(1, 1));
  EXPECT_EQ(instance->PopError(), 0);
  EXPECT_EQ(without->PopError(), 0);
}

}  // namespace

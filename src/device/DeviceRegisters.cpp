// Board (FPGA) registers, I2C registers of sensor chips, the EEPROM and the
// corrections and temperature that live in board registers.
#include <tevrin/hardware/Eeprom.h>
#include <tevrin/hardware/FpgaRegisters.h>

#include <algorithm>
#include <cstring>

#include "device/TevrinU3K5Base.h"

namespace hw = tevrin::hardware;
namespace fpga = tevrin::hardware::fpga;
using tevrin::device::CorrectionKind;

namespace {
constexpr int kSensorBusWaitMs = 3000;
constexpr int kMaxCorrectionLevel = 8;
constexpr uint8_t kDefaultCorrectionLevel = 5;  // when the EEPROM keeps none
constexpr int kCorrectionValueMax = 0xFFFF;
}  // namespace

int CTevrinU3K5Base::WriteEepromByte(int address, uint8_t value) {
  return controller_ ? controller_->WriteEepromByte(static_cast<uint16_t>(address), value) : 0;
}

int CTevrinU3K5Base::ReadEepromByte(int address, uint8_t* value) {
  return controller_ && value ? controller_->ReadEepromByte(static_cast<uint16_t>(address), value) : 0;
}

int CTevrinU3K5Base::WriteFpgaRegister(int reg, int value) {
  if (!controller_ || IsNoRegisterProduct()) return 0;
  return controller_->WriteBoardRegister(static_cast<uint8_t>(reg), static_cast<uint8_t>(value));
}

int CTevrinU3K5Base::ReadFpgaRegister(int reg, int* ok) {
  uint8_t value = 0;
  const bool read = controller_ && !IsNoRegisterProduct() && controller_->ReadBoardRegister(static_cast<uint8_t>(reg), &value);
  if (ok) *ok = read;
  return read ? value : 0;
}

int CTevrinU3K5Base::WaitSensorBusIdle(int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    int ok = 0;
    const int status = ReadFpgaRegister(fpga::kStatus, &ok);
    if (!ok) return 0;
    if (!(status & fpga::kStatusSensorBusBusy)) return 1;
    if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) return 0;
    Sleep(1);
  }
}

int CTevrinU3K5Base::WriteI2cRegister16(int device, int reg, int value) {
  if (!controller_ || !WaitSensorBusIdle(kSensorBusWaitMs)) return 0;
  const uint8_t bytes[4] = {static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value)};
  return controller_->I2cWrite(static_cast<uint8_t>(device * 2), bytes, sizeof bytes, kSensorBusWaitMs);
}

int CTevrinU3K5Base::ReadI2cRegister16(int device, int reg, uint32_t* value) {
  if (!controller_ || !value || !WaitSensorBusIdle(kSensorBusWaitMs)) return 0;
  const uint8_t address[2] = {static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg)};
  if (!controller_->I2cWrite(static_cast<uint8_t>(device * 2), address, sizeof address, kSensorBusWaitMs)) return 0;
  timeBeginPeriod(1);
  Sleep(1);
  timeEndPeriod(1);
  uint8_t bytes[2] = {};
  if (!controller_->I2cRead(static_cast<uint8_t>(device * 2), bytes, sizeof bytes, kSensorBusWaitMs)) return 0;
  *value = bytes[0] * 256u + bytes[1];
  return 1;
}

int CTevrinU3K5Base::ReadSensorRegister(int address, int* ok) {
  int value = 0;
  const int read = sensor_ ? sensor_->ReadRegisterRaw(static_cast<unsigned>(address), &value) : 0;
  if (ok && read) *ok = 1;
  return value;
}

int CTevrinU3K5Base::WriteCorrectionLevel(uint8_t value) {
  return WriteEepromByte(hw::kEepromCorrectionLevel, value);
}

int CTevrinU3K5Base::ReadCorrectionLevel(uint8_t* value) {
  return ReadEepromByte(hw::kEepromCorrectionLevel, value);
}

int CTevrinU3K5Base::IsInternalCorrectionSupported() {
  const CorrectionKind kind = product_->correction;
  if (kind == CorrectionKind::kSwitchReg || kind == CorrectionKind::kSensorLevel) return 1;
  return sensor_ ? sensor_->HasInternalCorrection() : 0;
}

int CTevrinU3K5Base::GetInternalCorrection() {
  if (!IsInternalCorrectionSupported()) return 0;
  int ok = 0;
  switch (product_->correction) {
    case CorrectionKind::kSwitchReg:
      return ReadFpgaRegister(fpga::kCorrectionSwitch, &ok) == fpga::kCorrectionSwitchOn && ok;
    case CorrectionKind::kSensorLevel: {
      int level = 0;
      if (!sensor_ || !sensor_->GetInternalCorrection(&level) || level < 1 || level > kMaxCorrectionLevel) return 0;
      // The EEPROM remembers the level for the next switch-on, once it holds none.
      uint8_t stored = 0;
      if (ReadCorrectionLevel(&stored) && (stored == 0 || stored > kMaxCorrectionLevel)) {
        WriteCorrectionLevel(static_cast<uint8_t>(level));
      }
      return 1;
    }
    case CorrectionKind::kControlBit: {
      const int control = ReadFpgaRegister(fpga::kCorrectionControl, &ok);
      return ok && (control & 1);
    }
    case CorrectionKind::kNone:
      break;
  }
  return 0;
}

int CTevrinU3K5Base::SetInternalCorrection(int on) {
  if (!IsInternalCorrectionSupported()) return 0;
  if ((on != 0) == (GetInternalCorrection() != 0)) return 1;
  switch (product_->correction) {
    case CorrectionKind::kSwitchReg:
      return WriteFpgaRegister(fpga::kCorrectionSwitch, on ? fpga::kCorrectionSwitchOn : fpga::kCorrectionSwitchOff);
    case CorrectionKind::kSensorLevel: {
      if (!sensor_) return 0;
      if (!on) return sensor_->SetInternalCorrection(0);
      uint8_t level = kDefaultCorrectionLevel;
      if (!ReadCorrectionLevel(&level)) level = kDefaultCorrectionLevel;
      return sensor_->SetInternalCorrection(level);
    }
    case CorrectionKind::kControlBit: {
      int ok = 0;
      const int control = ReadFpgaRegister(fpga::kCorrectionControl, &ok);
      if (!ok) return 0;
      return WriteFpgaRegister(fpga::kCorrectionControl, on ? (control | 1) : (control & ~1));
    }
    case CorrectionKind::kNone:
      break;
  }
  return 0;
}

int CTevrinU3K5Base::IsCorrectionValueSupported() {
  return product_->correction == CorrectionKind::kControlBit && IsInternalCorrectionSupported();
}

int CTevrinU3K5Base::SetCorrectionValue(int value) {
  if (!IsCorrectionValueSupported()) return 0;
  const bool low = WriteFpgaRegister(fpga::kCorrectionLow, value & 0xFF);
  const bool high = WriteFpgaRegister(fpga::kCorrectionHigh, (value >> 8) & 0xFF);
  return low && high;
}

int CTevrinU3K5Base::GetCorrectionValue(int* value) {
  if (!IsCorrectionValueSupported() || !value) return 0;
  int okHigh = 0, okLow = 0;
  const int high = ReadFpgaRegister(fpga::kCorrectionHigh, &okHigh);
  const int low = ReadFpgaRegister(fpga::kCorrectionLow, &okLow);
  if (!okHigh || !okLow) return 0;
  *value = high * 256 + low;
  return 1;
}

int CTevrinU3K5Base::CorrectionReserved140() { return 0; }

int CTevrinU3K5Base::GetCorrectionValueMax() {
  return IsCorrectionValueSupported() ? kCorrectionValueMax : 0;
}

int CTevrinU3K5Base::GetFpgaTemperature(double* celsius) {
  if (!IsStreamProduct() || !celsius) return 0;
  int okLow = 0, okHigh = 0;
  const int low = ReadFpgaRegister(fpga::kDieTemperatureLow, &okLow);
  const int high = ReadFpgaRegister(fpga::kDieTemperatureHigh, &okHigh);
  if (!okLow || !okHigh) return 0;
  *celsius = (high * 256 + low) * 503.975 / 65536.0 - 273.15;
  return 1;
}

int CTevrinU3K5Base::ReceiveText(char* text, int length) {
  if (!product_->textChannel || !sensor_ || !text || length <= 0) return 0;
  char received[256] = {};
  const int result = sensor_->ReceiveText(received, sizeof received);
  std::memcpy(text, received, std::min<size_t>(static_cast<size_t>(length), sizeof received));
  return result;
}

int CTevrinU3K5Base::SendText(const char* text, int length) {
  if (!product_->textChannel || !sensor_) return 0;
  return sensor_->SendText(text, static_cast<unsigned>(length));
}

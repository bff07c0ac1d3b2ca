#include "instance/OkFlag.h"
#include "instance/Tevrin.h"

namespace {

constexpr int kIOPortRegister = 0x07;
constexpr int kEepromAddressMask = 0xFFF;
constexpr int kWriteVerifyAttempts = 10;

}  // namespace

int CTevrin::ReadFpgaRegister(int address, int* ok) {
  SetOk(ok, 0);
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  int read = 0;
  const int value = device_->ReadFpgaRegister(address & 0xFF, &read);
  if (!read) return RecordError(TEVRIN_ERROR_REGISTER);
  SetOk(ok, 1);
  return value;
}

int CTevrin::WriteFpgaRegister(int address, int value) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!device_->WriteFpgaRegister(address & 0xFF, value & 0xFFFF)) {
    return RecordError(TEVRIN_ERROR_REGISTER);
  }
  return 1;
}

int CTevrin::ReadSensorRegister(int address, int* ok) {
  SetOk(ok, 0);
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  int read = 0;
  const int value = device_->ReadSensorRegister(address, &read);
  if (!read) return RecordError(TEVRIN_ERROR_REGISTER);
  SetOk(ok, 1);
  return value;
}

int CTevrin::WriteSensorRegister(int address, int value) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!device_->WriteRegisterRaw(address, value)) return RecordError(TEVRIN_ERROR_REGISTER);
  return 1;
}

int CTevrin::ReadSromId(int address, int* ok) {
  SetOk(ok, 0);
  std::uint8_t value = 0;
  if (!device_ || !device_->ReadEepromByte(address & kEepromAddressMask, &value)) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  SetOk(ok, 1);
  return value;
}

// EEPROM writes may not take on the first attempt; read back and rewrite until
// the byte holds. A byte that never holds is a failed write, not a success.
int CTevrin::WriteSromId(int address, int value) {
  const int masked = address & kEepromAddressMask;
  const auto wanted = static_cast<std::uint8_t>(value);
  if (!device_ || !device_->WriteEepromByte(masked, wanted)) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  for (int attempt = 0; attempt < kWriteVerifyAttempts; ++attempt) {
    std::uint8_t stored = 0;
    if (!device_->ReadEepromByte(masked, &stored)) {
      PostError(TEVRIN_ERROR_NOT_READY);
      stored = 0;
    }
    if (stored == wanted) return 1;
    device_->WriteEepromByte(masked, wanted);
  }
  PostError(TEVRIN_ERROR_NOT_READY);
  return 0;
}

int CTevrin::GetIOPort(BYTE* value) {
  if (!device_) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  int read = 0;
  const int port = value ? device_->ReadFpgaRegister(kIOPortRegister, &read) : 0;
  if (!read) {
    PostError(TEVRIN_ERROR_ARGUMENT);
    return 0;
  }
  *value = static_cast<BYTE>(port);
  return 1;
}

int CTevrin::SetIOPort(int value) {
  if (!device_) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  return device_->WriteFpgaRegister(kIOPortRegister, value & 0xFF);
}

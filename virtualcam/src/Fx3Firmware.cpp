#include "Fx3Firmware.h"

#include <tevrin/hardware/ControllerInfo.h>
#include <tevrin/hardware/Fx3Requests.h>

#include <algorithm>
#include <cstring>

namespace tevrin::virtualcam {

namespace hw = tevrin::hardware;

namespace {

bool WantsDirection(uint8_t requestType, bool in) {
  return ((requestType & hw::kRequestTypeDirectionIn) != 0) == in;
}

int ReplyU16(std::span<uint8_t> data, uint16_t value, size_t replyBytes) {
  std::fill(data.begin(), data.end(), 0);
  if (data.size() < 2) return Fx3Firmware::kStall;
  data[0] = value & 0xFF;
  data[1] = value >> 8;
  return static_cast<int>(std::min(replyBytes, data.size()));
}

}  // namespace

Fx3Firmware::Fx3Firmware(const CameraConfig& config, FirmwareTarget& target) : config_(config), target_(target) {}

int Fx3Firmware::Handle(uint8_t requestType, uint8_t request, uint16_t value, uint16_t index, std::span<uint8_t> data) {
  requestType &= ~hw::kRequestTypeIgnoredBits;
  switch (request) {
    case hw::kVendorI2cWrite:
      if (!WantsDirection(requestType, false) || value > hw::kI2cMaxBytes || value > data.size()) return kStall;
      return target_.I2cWrite(index & 0xFF, data.first(value)) ? value : kStall;
    case hw::kVendorI2cRead:
      if (!WantsDirection(requestType, true) || value > hw::kI2cMaxBytes || value > data.size()) return kStall;
      return target_.I2cRead(index & 0xFF, data.first(value)) ? value : kStall;
    case hw::kVendorSendByte:
      if (!WantsDirection(requestType, false) || data.empty()) return kStall;
      commandByte_ = data[0];
      target_.OneByteCommand(commandByte_);
      return std::min<int>(4, static_cast<int>(data.size()));
    case hw::kVendorReadByte:
      if (!WantsDirection(requestType, true) || data.empty()) return kStall;
      data[0] = commandByte_;
      return 1;
    case hw::kVendorWriteValuePair:
      if (!WantsDirection(requestType, false) || data.size() < 4) return kStall;
      valuePair_[0] = static_cast<uint16_t>(data[0] << 8 | data[1]);
      valuePair_[1] = static_cast<uint16_t>(data[2] << 8 | data[3]);
      return 4;
    case hw::kVendorReadValue:
      if (!WantsDirection(requestType, true)) return kStall;
      return ReplyU16(data, valuePair_[value & 1], 2);
    case hw::kVendorControllerInfo:
    case hw::kVendorControllerInfo2: {
      if (!WantsDirection(requestType, true)) return kStall;
      uint8_t info[hw::kControllerInfoBytes] = {};
      const char* name = request == hw::kVendorControllerInfo ? "Tevrin virtual FX3" : "Tevrin virtual FPGA";
      std::memcpy(info, name, std::strlen(name));
      if (request == hw::kVendorControllerInfo) {
        info[hw::kControllerInfoFirmwareVersion] = config_.firmwareVersion & 0xFF;
        info[hw::kControllerInfoFirmwareVersion + 1] = config_.firmwareVersion >> 8;
        info[hw::kControllerInfoGpio25Flag] = config_.gpio25Flag;
      }
      size_t n = std::min(data.size(), sizeof(info));
      std::memcpy(data.data(), info, n);
      return static_cast<int>(n);
    }
    case hw::kVendorStreamRecover:
      if (!WantsDirection(requestType, false)) return kStall;
      target_.RecoverStream();
      return 0;
    case hw::kVendorStreamArm:
      if (!WantsDirection(requestType, false)) return kStall;
      target_.ArmStream();
      return 0;
    case hw::kVendorReadyFlag:
      if (!WantsDirection(requestType, true) || data.empty()) return kStall;
      data[0] = target_.ReadyFlag();
      return 1;
    case hw::kVendorCommandCC:
      return WantsDirection(requestType, false) ? 0 : kStall;
    case hw::kVendorWideWrite: {
      if (!WantsDirection(requestType, false) || data.size() < 4) return kStall;
      uint16_t address = static_cast<uint16_t>((value & 0x8000) | (index & 0x7FFF));
      wideRegisters_[address] =
          uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
      return 4;
    }
    case hw::kVendorWideRead: {
      if (!WantsDirection(requestType, true)) return kStall;
      auto found = wideRegisters_.find(index);
      return ReplyU16(data, found == wideRegisters_.end() ? 0 : static_cast<uint16_t>(found->second),
                      hw::kControlDataBytes);
    }
    default:
      return kStall;
  }
}

uint32_t Fx3Firmware::WideRegister(uint16_t address) const {
  auto found = wideRegisters_.find(address);
  return found == wideRegisters_.end() ? 0 : found->second;
}

}  // namespace tevrin::virtualcam

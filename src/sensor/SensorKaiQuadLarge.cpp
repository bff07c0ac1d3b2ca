#include "sensor/SensorKaiQuadLarge.h"

#include <tevrin/hardware/FpgaRegisters.h>

#include <algorithm>

namespace fpga = tevrin::hardware::fpga;

namespace {

constexpr int kChannels = 4;
constexpr int kBlackMax = 1023;
constexpr int kBlackDefault = 492;
// The sensor's timing generator holds the black level in two registers.
constexpr unsigned kBlackClampA = 0x8006;
constexpr unsigned kBlackClampB = 0x0006;

bool IsChannel(int channel) {
  return channel >= 1 && channel <= kChannels;
}

// The low byte's register of `channel`; the high byte's follows it.
uint8_t PairRegister(uint8_t base, int channel) {
  return static_cast<uint8_t>(base + 2 * (channel - 1));
}

}  // namespace

CSensorKaiQuadLarge::CSensorKaiQuadLarge(const SensorModel& model, CControllerBase* controller, uint8_t deviceAddress)
    : CSensorFamilyMember(model, controller, deviceAddress) {
  info_.blackMin = 0;
  info_.blackMax = kBlackMax;
  info_.blackValue = info_.blackDefault = kBlackDefault;
  info_.blackSupported = 1;
}

int CSensorKaiQuadLarge::Limit(int channel, int* out, int limit) {
  if (!IsChannel(channel) || !out) return 0;
  *out = limit;
  return 1;
}

int CSensorKaiQuadLarge::WritePair(uint8_t base, int channel, unsigned value) {
  if (!IsChannel(channel) || !controller_) return 0;
  // The two bytes are one 16-bit value; a larger one would lose its top.
  value = std::min(value, static_cast<unsigned>(kMaxValue));
  const uint8_t reg = PairRegister(base, channel);
  return controller_->WriteBoardRegister(reg, static_cast<uint8_t>(value)) &&
                 controller_->WriteBoardRegister(static_cast<uint8_t>(reg + 1), static_cast<uint8_t>(value >> 8))
             ? 1
             : 0;
}

int CSensorKaiQuadLarge::ReadPair(uint8_t base, int channel, int* value) {
  if (!IsChannel(channel) || !controller_ || !value) return 0;
  const uint8_t reg = PairRegister(base, channel);
  uint8_t low = 0, high = 0;
  if (!controller_->ReadBoardRegister(reg, &low) ||
      !controller_->ReadBoardRegister(static_cast<uint8_t>(reg + 1), &high))
    return 0;
  *value = low | high << 8;
  return 1;
}

int CSensorKaiQuadLarge::SetChannelGain(int channel, unsigned gain) {
  return WritePair(fpga::kChannelGain0, channel, gain);
}
int CSensorKaiQuadLarge::GetChannelGain(int channel, int* gain) {
  return ReadPair(fpga::kChannelGain0, channel, gain);
}
int CSensorKaiQuadLarge::SetChannelOffset(int channel, unsigned offset) {
  return WritePair(fpga::kChannelOffset0, channel, offset);
}
int CSensorKaiQuadLarge::GetChannelOffset(int channel, int* offset) {
  return ReadPair(fpga::kChannelOffset0, channel, offset);
}

int CSensorKaiQuadLarge::SetBlackLevel(int level) {
  // Beyond ten bits the board's high byte and the sensor's value would disagree.
  if (!controller_ || level < 0 || level > kBlackMax) return 0;
  if (!controller_->WriteBoardRegister(fpga::kCcdBlackLow, static_cast<uint8_t>(level)) ||
      !controller_->WriteBoardRegister(fpga::kCcdBlackHigh, static_cast<uint8_t>(level >> 8)))
    return 0;
  if (!WriteRegisterRaw(kBlackClampA, static_cast<unsigned>(level)) ||
      !WriteRegisterRaw(kBlackClampB, static_cast<unsigned>(level)))
    return 0;
  info_.blackValue = level;
  return 1;
}

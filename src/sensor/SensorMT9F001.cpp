#include "sensor/SensorMT9F001.h"

#include <tevrin/hardware/Mt9fRegisters.h>

#include <algorithm>

namespace mt9f = tevrin::hardware::mt9f;

namespace {
constexpr int kGainMax = 127;
constexpr int kGainUnity = 64;
constexpr DWORD kRearmSettleMs = 100;
constexpr DWORD kStartSettleMs = 500;

// Hands out a stored value.
int Give(int* out, int value) {
  if (!out) return 0;
  *out = value;
  return 1;
}

}  // namespace

CSensorMT9F001::CSensorMT9F001(const SensorModel& model, CControllerBase* controller, uint8_t deviceAddress)
    : CSensorFamilyMember(model, controller, deviceAddress) {
  for (SensorInfo::ColorGain& gain : info_.colorGains) gain = {0, kGainMax, kGainUnity, kGainUnity, 1};
}

int CSensorMT9F001::SetColorGain(Channel channel, unsigned gain) {
  static constexpr uint16_t kRegisters[] = {mt9f::kGainRed, mt9f::kGainGreen1, mt9f::kGainGreen2, mt9f::kGainBlue};
  SensorInfo::ColorGain& record = info_.colorGains[channel];
  // A gain beyond the register's seven bits would wrap to a dark channel.
  const unsigned value = std::min(gain, static_cast<unsigned>(record.max));
  if (!WriteRegisterRaw(kRegisters[channel], mt9f::kGainBase | (value & mt9f::kGainMask))) return 0;
  record.value = static_cast<int>(value);
  return 1;
}

int CSensorMT9F001::GetColorGain(Channel channel, int* gain) {
  return Give(gain, info_.colorGains[channel].value);
}

int CSensorMT9F001::GetColorGainMin(int* gain) {
  return Give(gain, info_.colorGains[kRed].min);
}

int CSensorMT9F001::GetColorGainMax(int* gain) {
  return Give(gain, info_.colorGains[kRed].max);
}

int CSensorMT9F001::GetColorGainDefault(int* gain) {
  return Give(gain, info_.colorGains[kRed].defaultValue);
}

int CSensorMT9F001::SetMirrorV(int on) {
  info_.mirrorV = on ? 1 : 0;
  return 1;
}

int CSensorMT9F001::GetMirrorV(int* on) {
  return Give(on, info_.mirrorV);
}

int CSensorMT9F001::SetMirrorH(int on) {
  info_.mirrorH = on ? 1 : 0;
  return 1;
}

int CSensorMT9F001::GetMirrorH(int* on) {
  return Give(on, info_.mirrorH);
}

// The second revision stops streaming after each stream end and must be told
// to go again, on the sensor and on the board. The settle time after it would
// add two of the sensor's own frame times, which this build does not program.
void CSensorMT9F002::PrepareStart() {
  int control = 0;
  if (ReadRegisterRaw(mt9f::kResetControl, &control))
    WriteRegisterRaw(mt9f::kResetControl, static_cast<unsigned>(control) | mt9f::kRestartStreaming);
  Sleep(kRearmSettleMs);
  if (controller_) controller_->WriteAuxRegister(mt9f::kAuxStreamArm, mt9f::kAuxStreamArmValue);
  Sleep(kStartSettleMs);
}

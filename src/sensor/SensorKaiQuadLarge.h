// The large four-output CCD (product 0x30C0): gain and offset of each of the
// four outputs as 16-bit values in pairs of board registers, and a black
// level set on the board and in the sensor's timing generator.
#pragma once

#include "sensor/SensorFamilyMember.h"

class CSensorKaiQuadLarge final : public CSensorFamilyMember {
 public:
  CSensorKaiQuadLarge(const SensorModel& model, CControllerBase* controller, uint8_t deviceAddress);

  int SetChannelGain(int channel, unsigned gain) override;
  int GetChannelGain(int channel, int* gain) override;
  int GetChannelGainMin(int channel, int* gain) override { return Limit(channel, gain, 0); }
  int GetChannelGainMax(int channel, int* gain) override { return Limit(channel, gain, kMaxValue); }
  int GetChannelGainDefault(int channel, int* gain) override { return Limit(channel, gain, kDefaultGain); }
  int SetChannelOffset(int channel, unsigned offset) override;
  int GetChannelOffset(int channel, int* offset) override;
  int GetChannelOffsetMin(int channel, int* offset) override { return Limit(channel, offset, 0); }
  int GetChannelOffsetMax(int channel, int* offset) override { return Limit(channel, offset, kMaxValue); }
  int GetChannelOffsetDefault(int channel, int* offset) override { return Limit(channel, offset, 0); }
  int SetBlackLevel(int level) override;

 private:
  static constexpr int kMaxValue = 0xFFFF;
  static constexpr int kDefaultGain = 4096;

  // `limit` for a channel 1..4; a channel beyond them fails.
  static int Limit(int channel, int* out, int limit);
  int WritePair(uint8_t base, int channel, unsigned value);
  int ReadPair(uint8_t base, int channel, int* value);
};

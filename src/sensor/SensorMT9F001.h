// The colour CMOS pair of product 0x3020, told apart by the chip's
// identification register: four Bayer channel gains, 12-bit samples, and
// mirroring left to the image pipeline (the flags are only kept here). The
// second revision re-arms its streaming before every start.
#pragma once

#include "sensor/SensorFamilyMember.h"

class CSensorMT9F001 : public CSensorFamilyMember {
 public:
  CSensorMT9F001(const SensorModel& model, CControllerBase* controller, uint8_t deviceAddress);

  int SetColorGainRed(unsigned gain) override { return SetColorGain(kRed, gain); }
  int GetColorGainRed(int* gain) override { return GetColorGain(kRed, gain); }
  int SetColorGainGreen1(unsigned gain) override { return SetColorGain(kGreen1, gain); }
  int GetColorGainGreen1(int* gain) override { return GetColorGain(kGreen1, gain); }
  int SetColorGainGreen2(unsigned gain) override { return SetColorGain(kGreen2, gain); }
  int GetColorGainGreen2(int* gain) override { return GetColorGain(kGreen2, gain); }
  int SetColorGainBlue(unsigned gain) override { return SetColorGain(kBlue, gain); }
  int GetColorGainBlue(int* gain) override { return GetColorGain(kBlue, gain); }
  int GetColorGainMin(int* gain) override;
  int GetColorGainMax(int* gain) override;
  int GetColorGainDefault(int* gain) override;
  int SetMirrorV(int on) override;
  int GetMirrorV(int* on) override;
  int SetMirrorH(int on) override;
  int GetMirrorH(int* on) override;

 private:
  // Index of a channel's record in the description block.
  enum Channel { kRed, kGreen1, kGreen2, kBlue };
  int SetColorGain(Channel channel, unsigned gain);
  int GetColorGain(Channel channel, int* gain);
};

class CSensorMT9F002 final : public CSensorMT9F001 {
 public:
  using CSensorMT9F001::CSensorMT9F001;
  void PrepareStart() override;
};

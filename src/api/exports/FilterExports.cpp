#include "api/exports/Export.h"

namespace {

constexpr int kChannels = 4;
constexpr int kFirstChannelGainId = 29;
constexpr int kFirstChannelOffsetId = 33;

int SetValue(int handle, int id, int value) {
  return Forward(handle, 0, [&](CTevrin& instance) { return instance.SetFilterValue(id, value); });
}

int GetValue(int handle, int id, int* ok) {
  return ForwardOk(handle, ok, 0, [&](CTevrin& instance) { return instance.GetFilterValue(id, ok); });
}

// Channels 1-4 name four consecutive IDs; any other channel is no call at all.
int ChannelId(int firstId, int channel) {
  return channel >= 1 && channel <= kChannels ? firstId + channel - 1 : 0;
}

int GetChannelValue(int handle, int id, int* ok) {
  if (id) return GetValue(handle, id, ok);
  if (ok) *ok = 0;
  return 0;
}

}  // namespace

TEVRIN_EXPORT int Tevrin_SetFilterValue(int handle, int id, int value) {
  return SetValue(handle, id, value);
}

TEVRIN_EXPORT int Tevrin_GetFilterValue(int handle, int id, int* ok) {
  return GetValue(handle, id, ok);
}

// Every named filter export is the family with its fixed ID.
#define TEVRIN_FILTER_PAIR(Name, Id)                          \
  TEVRIN_EXPORT int Tevrin_Set##Name(int handle, int value) { \
    return SetValue(handle, Id, value);                       \
  }                                                           \
  TEVRIN_EXPORT int Tevrin_Get##Name(int handle, int* ok) {   \
    return GetValue(handle, Id, ok);                          \
  }

TEVRIN_FILTER_PAIR(Brightness, TEVRIN_FILTER_BRIGHTNESS)
TEVRIN_FILTER_PAIR(Contrast, TEVRIN_FILTER_CONTRAST)
TEVRIN_FILTER_PAIR(Hue, TEVRIN_FILTER_HUE)
TEVRIN_FILTER_PAIR(Saturation, TEVRIN_FILTER_SATURATION)
TEVRIN_FILTER_PAIR(Sharpness, TEVRIN_FILTER_SHARPNESS)
TEVRIN_FILTER_PAIR(BayerGainRGB, TEVRIN_FILTER_BAYER_GAIN_RGB)
TEVRIN_FILTER_PAIR(BayerGainRed, TEVRIN_FILTER_BAYER_GAIN_RED)
TEVRIN_FILTER_PAIR(BayerGainGreen, TEVRIN_FILTER_BAYER_GAIN_GREEN)
TEVRIN_FILTER_PAIR(BayerGainBlue, TEVRIN_FILTER_BAYER_GAIN_BLUE)
TEVRIN_FILTER_PAIR(BayerGainAuto, TEVRIN_FILTER_BAYER_GAIN_AUTO)
TEVRIN_FILTER_PAIR(Gamma, TEVRIN_FILTER_GAMMA)
TEVRIN_FILTER_PAIR(BayerMode, TEVRIN_FILTER_BAYER_MODE)
TEVRIN_FILTER_PAIR(GlobalGain, TEVRIN_FILTER_GLOBAL_GAIN)
TEVRIN_FILTER_PAIR(ColorGainRed, TEVRIN_FILTER_COLOR_GAIN_RED)
TEVRIN_FILTER_PAIR(ColorGainGreen1, TEVRIN_FILTER_COLOR_GAIN_GREEN1)
TEVRIN_FILTER_PAIR(ColorGainGreen2, TEVRIN_FILTER_COLOR_GAIN_GREEN2)
TEVRIN_FILTER_PAIR(ColorGainBlue, TEVRIN_FILTER_COLOR_GAIN_BLUE)
TEVRIN_FILTER_PAIR(ExposureTime, TEVRIN_FILTER_EXPOSURE_TIME)
TEVRIN_FILTER_PAIR(GrayMode, TEVRIN_FILTER_GRAY_MODE)
TEVRIN_FILTER_PAIR(GrayGainR, TEVRIN_FILTER_GRAY_GAIN_R)
TEVRIN_FILTER_PAIR(GrayGainG1, TEVRIN_FILTER_GRAY_GAIN_G1)
TEVRIN_FILTER_PAIR(GrayGainG2, TEVRIN_FILTER_GRAY_GAIN_G2)
TEVRIN_FILTER_PAIR(GrayGainB, TEVRIN_FILTER_GRAY_GAIN_B)
TEVRIN_FILTER_PAIR(GrayOffsetR, TEVRIN_FILTER_GRAY_OFFSET_R)
TEVRIN_FILTER_PAIR(GrayOffsetG1, TEVRIN_FILTER_GRAY_OFFSET_G1)
TEVRIN_FILTER_PAIR(GrayOffsetG2, TEVRIN_FILTER_GRAY_OFFSET_G2)
TEVRIN_FILTER_PAIR(GrayOffsetB, TEVRIN_FILTER_GRAY_OFFSET_B)
TEVRIN_FILTER_PAIR(Peltier, TEVRIN_FILTER_PELTIER)
TEVRIN_FILTER_PAIR(DotFilter, TEVRIN_FILTER_DOT_FILTER)
TEVRIN_FILTER_PAIR(MaskFilter, TEVRIN_FILTER_MASK_FILTER)

#undef TEVRIN_FILTER_PAIR

TEVRIN_EXPORT int Tevrin_GetTemperature(int handle, int* ok) {
  return GetValue(handle, TEVRIN_FILTER_TEMPERATURE, ok);
}

TEVRIN_EXPORT int Tevrin_SetChannelGain(int handle, int channel, int value) {
  const int id = ChannelId(kFirstChannelGainId, channel);
  return id ? SetValue(handle, id, value) : 0;
}

TEVRIN_EXPORT int Tevrin_GetChannelGain(int handle, int channel, int* ok) {
  return GetChannelValue(handle, ChannelId(kFirstChannelGainId, channel), ok);
}

TEVRIN_EXPORT int Tevrin_SetChannelOffset(int handle, int channel, int value) {
  const int id = ChannelId(kFirstChannelOffsetId, channel);
  return id ? SetValue(handle, id, value) : 0;
}

TEVRIN_EXPORT int Tevrin_GetChannelOffset(int handle, int channel, int* ok) {
  return GetChannelValue(handle, ChannelId(kFirstChannelOffsetId, channel), ok);
}

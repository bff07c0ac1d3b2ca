// The sensor description block every driver fills in its constructor: the
// sensor area, the programmed window and timing, and the limits, values and
// support flags of each setting. The device object reads and writes the
// window fields directly and copies the whole block out through GetSensorInfo.
#pragma once

#include <cstdint>

struct SensorInfo {
  // One Bayer channel gain: limits, current value, power-on value, step.
  struct ColorGain {
    int32_t min;
    int32_t max;
    int32_t value;
    int32_t defaultValue;
    int32_t step;
  };

  int32_t maxWidth;
  int32_t maxHeight;
  int32_t defaultX;
  int32_t defaultY;
  int32_t defaultWidth;
  int32_t defaultHeight;
  int32_t widthAdjustable;
  int32_t heightAdjustable;
  int32_t windowX;  // as programmed
  int32_t windowY;  // as programmed, after any orientation conversion
  int32_t windowWidth;
  int32_t windowHeight;
  int32_t lineLength;   // sensor clocks
  int32_t frameLength;  // lines (VMAX)
  int32_t readoutMode;  // 0 all pixels, 1 half resolution
  int32_t reserved2;
  int32_t modelWordsA[3];  // used by single drivers only
  int32_t featureFlag;

  int32_t gainMin, gainMax, gainValue, gainDefault, gainStep;
  int32_t expLinesMin, expLinesMax, expLinesValue, expLinesDefault, expLinesStep;
  ColorGain colorGains[4];                                                    // red, green 1, green 2, blue
  int32_t expTimeMin, expTimeMax, expTimeValue, expTimeDefault, expTimeStep;  // 0.1 ms units
  int32_t gainLevelMin, gainLevelMax, gainLevelValue, gainLevelDefault, gainLevelSupported;
  int32_t blackMin, blackMax, blackValue, blackDefault, blackSupported;
  int32_t optionSupported, optionValue;

  double expSecMin, expSecMax, expSecValue, expSecDefault;
  int32_t expSecSupported;
  int32_t modelWordsB[5];  // used by single drivers only

  int32_t mirrorV, mirrorVDefault, mirrorVInSensor;
  int32_t mirrorH, mirrorHDefault, mirrorHInSensor;
  int32_t bitsPerPixel;
  int32_t pixelClockKHz;
  int32_t orientation;  // 1 rows read top-down; 3 or 4 bottom-up
};

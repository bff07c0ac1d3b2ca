#pragma once

// The image-processing values that the filter IDs 1-12 and 19-28 reach; the
// image pipeline reads them once per frame.
struct ImageSettings {
  int brightness = 0;
  int contrast = 0;
  int hue = 0;
  int saturation = 0;
  int sharpness = 0;
  int bayerGainRed = 0;
  int bayerGainGreen = 0;
  int bayerGainBlue = 0;
  int gamma = 100;  // percent; 100 leaves the image
  int bayerMode = 0;
  int grayMode = 0;
  int grayGainR = 0;
  int grayGainG1 = 0;
  int grayGainG2 = 0;
  int grayGainB = 0;
  int grayOffsetR = 0;
  int grayOffsetG1 = 0;
  int grayOffsetG2 = 0;
  int grayOffsetB = 0;
  int bayerGainAuto = 0;
  int bayerAutoWorking[2] = {};
  int grayAutoGainRequest = 0;
};

// The camera's analog values as the instance last sent or read them.
struct AnalogSettings {
  int globalGain = 0;
  int gainGreen1 = 0;
  int gainRed = 0;
  int gainBlue = 0;
  int gainGreen2 = 0;
  int exposure = 0;  // 0.1 ms units
  int mirrorV = 0;
  int mirrorH = 0;
  int autoIris = 0;
  int blackLevel = 0;
  int peltier = 0;
  int registerPreset = 0;
  int modeSwitch = 0;
  double exposureSeconds = 0.0;
};

// The output format values stored next to the size table.
// The preview's poll delay between frames: longer delays would make a
// preview of one frame a minute, so stored and loaded values are held to this.
constexpr int kMaxWaitTimeMs = 1000;

struct FormatSettings {
  int colorMode = 0;  // index 0..5: 8, 16, 24, 32, 48, 64 bits
  int subSample = 0;
  int waitTime = 1;
  int clock = 0;
};

// What the sensor can deliver; all true when no sensor is attached.
struct OutputCapabilities {
  bool gray8 = true;
  bool gray16 = true;
  bool color = true;
};

// The sensor's defaults and ranges for the analog values.
struct AnalogLimits {
  int globalGainDefault = 0, globalGainMin = 0, globalGainMax = 0;
  int colorGainDefault = 0, colorGainMin = 0, colorGainMax = 0;
  int exposureDefault = 0, exposureMin = 0, exposureMax = 0;
  int mirrorVDefault = 0, mirrorHDefault = 0;
  int blackLevelDefault = 0;
  bool hasExposureSeconds = false;
  double exposureSecondsDefault = 0.0, exposureSecondsMin = 0.0, exposureSecondsMax = 0.0;
};

// The image dialog's Default button sets the same values the loader uses for
// a missing "Gray" key. A zero offset leaves gray mode 1 neutral at gain 128.
inline constexpr int kGrayGainDefault = 128;
// The range of the gray gains everywhere they are set, stored and applied.
inline constexpr int kGrayGainMin = 0;
inline constexpr int kGrayGainMax = 255;
inline constexpr int kGrayOffsetDefault = 0;

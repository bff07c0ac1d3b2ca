#include "settings/StoredSettings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <mutex>

#include "settings/RegistryKey.h"
#include "settings/SettingsKey.h"

namespace {

constexpr int kMaxSizeEntries = 100;
constexpr int kColorModes = 6;
constexpr int kModeGray8 = 0, kModeGray16 = 1, kModeColor24 = 2, kModeColor32 = 3;

// Instances of one process take turns on a group, so two saves of the same
// camera never interleave their values. Every single value write is atomic in
// the registry itself, which keeps other processes from tearing a value.
std::mutex& GroupLock() {
  static std::mutex lock;
  return lock;
}

// One stored int of a settings block, its range and its default.
template <typename Block>
struct IntValue {
  const char* name;
  int Block::*field;
  int min;
  int max;
  int fallback;
};

bool InRange(int value, int min, int max) {
  return value >= min && value <= max;
}

// Reads one value: a missing value keeps the setting (or takes the default
// when `missingIsDefault`), a value out of range takes the default.
template <typename Block>
void ReadInt(const CRegKey& key, const IntValue<Block>& value, Block* block, bool missingIsDefault) {
  int stored = 0;
  if (!key.ReadDword(value.name, &stored)) {
    if (missingIsDefault) block->*value.field = value.fallback;
    return;
  }
  block->*value.field = InRange(stored, value.min, value.max) ? stored : value.fallback;
}

template <typename Values, typename Block>
void ReadInts(const CRegKey& key, const Values& values, Block* block, bool missingIsDefault) {
  for (const auto& value : values) ReadInt(key, value, block, missingIsDefault);
}

template <typename Values, typename Block>
void SetDefaults(const Values& values, Block* block) {
  for (const auto& value : values) block->*value.field = value.fallback;
}

template <typename Values, typename Block>
bool WriteInts(const CRegKey& key, const Values& values, const Block& block) {
  bool written = true;
  for (const auto& value : values) written = key.WriteDword(value.name, block.*value.field) && written;
  return written;
}

constexpr IntValue<ImageSettings> kFilterValues[] = {
    {"Brightness", &ImageSettings::brightness, -255, 255, 0},
    {"Contrast", &ImageSettings::contrast, -127, 127, 0},
    {"Hue", &ImageSettings::hue, -360, 360, 0},
    {"Saturation", &ImageSettings::saturation, -255, 255, 0},
    {"Sharpness", &ImageSettings::sharpness, 0, 30, 0},
    {"R_Gain", &ImageSettings::bayerGainRed, 0, 400, 100},
    {"G_Gain", &ImageSettings::bayerGainGreen, 0, 400, 100},
    {"B_Gain", &ImageSettings::bayerGainBlue, 0, 400, 100},
    {"Gamma", &ImageSettings::gamma, 0, 200, 100},
    {"BayerMode", &ImageSettings::bayerMode, 0, 3, 3},
};

constexpr IntValue<ImageSettings> kGrayValues[] = {
    {"Mode", &ImageSettings::grayMode, 0, 2, 0},
    {"GainR1", &ImageSettings::grayGainR, kGrayGainMin, kGrayGainMax, kGrayGainDefault},
    {"GainG1", &ImageSettings::grayGainG1, kGrayGainMin, kGrayGainMax, kGrayGainDefault},
    {"GainG2", &ImageSettings::grayGainG2, kGrayGainMin, kGrayGainMax, kGrayGainDefault},
    {"GainB1", &ImageSettings::grayGainB, kGrayGainMin, kGrayGainMax, kGrayGainDefault},
    {"OffsetR1", &ImageSettings::grayOffsetR, -255, 255, kGrayOffsetDefault},
    {"OffsetG1", &ImageSettings::grayOffsetG1, -255, 255, kGrayOffsetDefault},
    {"OffsetG2", &ImageSettings::grayOffsetG2, -255, 255, kGrayOffsetDefault},
    {"OffsetB1", &ImageSettings::grayOffsetB, -255, 255, kGrayOffsetDefault},
};

constexpr IntValue<Geometry> kGeometryValues[] = {
    {"TH", &Geometry::TH, 0, INT32_MAX, Geometry::kMaxWidth},
    {"TV", &Geometry::TV, 0, INT32_MAX, Geometry::kMaxHeight},
    {"EH", &Geometry::EH, 0, Geometry::kMaxWidth, Geometry::kMaxWidth},
    {"EV", &Geometry::EV, 0, Geometry::kMaxHeight, Geometry::kMaxHeight},
    {"EHS", &Geometry::EHS, 0, Geometry::kMaxWidth, 0},
    {"EVS", &Geometry::EVS, 0, Geometry::kMaxHeight, 0},
    {"Buf", &Geometry::Buf, 1, INT32_MAX, 4},
};

// The most units a fractional exposure of the sensor gives: its longest time
// in whole seconds, at 10000 units a second.
int WholeSecondUnits(const AnalogLimits& l) {
  constexpr double kUnitsPerSecond = 10000;
  const double units = std::trunc(std::clamp(l.exposureSecondsMax, 0.0, INT32_MAX / kUnitsPerSecond)) * kUnitsPerSecond;
  return std::max(l.exposureMax, static_cast<int>(units));
}

// The analog values with the sensor's ranges and defaults.
struct AnalogTable {
  explicit AnalogTable(const AnalogLimits& l)
      : values{{
            {"Global", &AnalogSettings::globalGain, l.globalGainMin, l.globalGainMax, l.globalGainDefault},
            {"ColorG1", &AnalogSettings::gainGreen1, l.colorGainMin, l.colorGainMax, l.colorGainDefault},
            {"ColorR", &AnalogSettings::gainRed, l.colorGainMin, l.colorGainMax, l.colorGainDefault},
            {"ColorB", &AnalogSettings::gainBlue, l.colorGainMin, l.colorGainMax, l.colorGainDefault},
            {"ColorG2", &AnalogSettings::gainGreen2, l.colorGainMin, l.colorGainMax, l.colorGainDefault},
            // With fractional exposure the units only follow the seconds and may pass the unit range.
            {"Exposure", &AnalogSettings::exposure, l.hasExposureSeconds ? 0 : l.exposureMin,
             l.hasExposureSeconds ? WholeSecondUnits(l) : l.exposureMax, l.exposureDefault},
            {"V_Mirror", &AnalogSettings::mirrorV, 0, 1, l.mirrorVDefault},
            {"H_Mirror", &AnalogSettings::mirrorH, 0, 1, l.mirrorHDefault},
            {"AutoIris", &AnalogSettings::autoIris, 0, 2, 0},
            {"GainMode", &AnalogSettings::modeSwitch, 0, INT32_MAX, 0},
            {"BlackLevel", &AnalogSettings::blackLevel, 0, INT32_MAX, l.blackLevelDefault},
        }},
        secondsDefault(l.hasExposureSeconds ? l.exposureSecondsDefault : 0.0),
        secondsMin(l.hasExposureSeconds ? l.exposureSecondsMin : 0.0),
        secondsMax(l.hasExposureSeconds ? l.exposureSecondsMax : 0.0) {}

  std::array<IntValue<AnalogSettings>, 11> values;
  double secondsDefault;
  double secondsMin;
  double secondsMax;
};
constexpr char kExposureSeconds[] = "ExposureEx";

CRegKey OpenCamera(int deviceNumber) {
  return CRegKey::Open(HKEY_CURRENT_USER, CameraKeyPath(deviceNumber).c_str());
}

CRegKey CreateCamera(int deviceNumber) {
  return CRegKey::Create(HKEY_CURRENT_USER, CameraKeyPath(deviceNumber).c_str());
}

bool ValidGeometry(const Geometry& geometry) {
  return geometry.Buf >= 1 && IsValidWindow(geometry, 0);
}

// Reads one size entry over `geometry`; an entry that fails the validity rule
// becomes the full frame.
void ReadGeometry(const CRegKey& entry, Geometry* geometry) {
  ReadInts(entry, kGeometryValues, geometry, false);
  if (!ValidGeometry(*geometry)) *geometry = Geometry{};
}

void ReadFormat(const CRegKey& camera, const OutputCapabilities& caps, FormatSettings* format) {
  const IntValue<FormatSettings> values[] = {
      {"Color", &FormatSettings::colorMode, 0, kColorModes - 1, InitialColorMode(caps)},
      {"SubSample", &FormatSettings::subSample, 0, 1, 0},
      {"WaitTime", &FormatSettings::waitTime, 0, kMaxWaitTimeMs, 1},
      {"Clock", &FormatSettings::clock, INT32_MIN, INT32_MAX, 0},
  };
  ReadInts(camera, values, format, false);
}

bool WriteFormat(const CRegKey& camera, int selected, const FormatSettings& format) {
  const bool written = camera.WriteDword("Size", selected) && camera.WriteDword("Color", format.colorMode);
  return written && camera.WriteDword("SubSample", format.subSample) &&
         camera.WriteDword("WaitTime", format.waitTime) && camera.WriteDword("Clock", format.clock);
}

bool WriteGeometry(const CRegKey& entry, const Geometry& geometry) {
  return WriteInts(entry, kGeometryValues, geometry);
}

int SelectedEntry(const CRegKey& camera) {
  int selected = 0;
  camera.ReadDword("Size", &selected);
  return InRange(selected, 0, kMaxSizeEntries - 1) ? selected : 0;
}

// The first camera's settings on a machine that has none yet.
void CreateDefaults(int deviceNumber, const OutputCapabilities& caps) {
  CRegKey camera = CreateCamera(deviceNumber);
  CRegKey entry = CRegKey::Create(camera, SizeEntryName(0).c_str());
  if (!entry) return;
  WriteGeometry(entry, Geometry{});
  FormatSettings format;
  format.colorMode = InitialColorMode(caps);
  WriteFormat(camera, 0, format);
}

}  // namespace

int InitialColorMode(const OutputCapabilities& caps) {
  if (caps.color) return kModeColor24;
  if (caps.gray16) return kModeGray16;
  if (caps.gray8) return kModeGray8;
  return kModeColor24;
}

int AdjustColorMode(int mode, const OutputCapabilities& caps) {
  if (!caps.gray8 && (mode == kModeGray8 || mode == kModeColor32)) mode = caps.gray16 ? kModeGray16 : kModeColor24;
  if (!caps.color && mode == kModeColor24) mode = caps.gray16 ? kModeGray16 : kModeGray8;
  if (!caps.gray16 && mode == kModeGray16) mode = caps.color ? kModeColor24 : kModeGray8;
  return mode;
}

int LoadGeometry(int deviceNumber, const OutputCapabilities& caps, Geometry* geometry) {
  std::lock_guard lock(GroupLock());
  if (!CRegKey::Open(HKEY_CURRENT_USER, kSettingsRootPath)) {
    CreateDefaults(deviceNumber, caps);
    return 0;
  }
  CRegKey camera = OpenCamera(deviceNumber);
  if (!camera) return 0;
  CRegKey entry = CRegKey::Open(camera, SizeEntryName(SelectedEntry(camera)).c_str());
  ReadGeometry(entry, geometry);
  return 1;
}

int LoadFormat(int deviceNumber, const OutputCapabilities& caps, FormatSettings* format) {
  std::lock_guard lock(GroupLock());
  CRegKey camera = OpenCamera(deviceNumber);
  if (!camera) return 0;
  ReadFormat(camera, caps, format);
  format->colorMode = AdjustColorMode(format->colorMode, caps);
  return 1;
}

int LoadAnalog(int deviceNumber, const AnalogLimits& limits, AnalogSettings* analog) {
  const AnalogTable table(limits);
  std::lock_guard lock(GroupLock());
  CRegKey gain = CRegKey::Open(OpenCamera(deviceNumber), "Gain");
  if (!gain) {
    SetDefaults(table.values, analog);
    analog->exposureSeconds = table.secondsDefault;
    return 0;
  }
  ReadInts(gain, table.values, analog, true);
  double seconds = 0;
  const bool usable = gain.ReadDouble(kExposureSeconds, &seconds) && std::isfinite(seconds) &&
                      seconds >= table.secondsMin && seconds <= table.secondsMax;
  analog->exposureSeconds = usable ? seconds : table.secondsDefault;
  return 1;
}

int SaveAnalog(int deviceNumber, const AnalogSettings& analog) {
  const AnalogTable table{AnalogLimits{}};
  std::lock_guard lock(GroupLock());
  CRegKey gain = CRegKey::Create(CreateCamera(deviceNumber), "Gain");
  if (!gain) return 0;
  const bool written = WriteInts(gain, table.values, analog);
  return gain.WriteDouble(kExposureSeconds, analog.exposureSeconds) && written ? 1 : 0;
}

int LoadFilter(int deviceNumber, ImageSettings* image) {
  std::lock_guard lock(GroupLock());
  CRegKey filter = CRegKey::Open(OpenCamera(deviceNumber), "Filter");
  if (!filter) {
    SetDefaults(kFilterValues, image);
    image->bayerGainAuto = 0;
    image->bayerAutoWorking[0] = image->bayerAutoWorking[1] = 0;
    return 0;
  }
  ReadInts(filter, kFilterValues, image, false);
  return 1;
}

int SaveFilter(int deviceNumber, const ImageSettings& image) {
  std::lock_guard lock(GroupLock());
  CRegKey filter = CRegKey::Create(CreateCamera(deviceNumber), "Filter");
  return filter && WriteInts(filter, kFilterValues, image) ? 1 : 0;
}

int LoadGray(int deviceNumber, ImageSettings* image) {
  std::lock_guard lock(GroupLock());
  CRegKey gray = CRegKey::Open(OpenCamera(deviceNumber), "Gray");
  if (!gray) {
    SetDefaults(kGrayValues, image);
    return 0;
  }
  ReadInts(gray, kGrayValues, image, false);
  return 1;
}

int SaveGray(int deviceNumber, const ImageSettings& image) {
  std::lock_guard lock(GroupLock());
  // The camera's key must exist already; only the subkey is created.
  if (!OpenCamera(deviceNumber)) return 0;
  CRegKey gray = CRegKey::Create(HKEY_CURRENT_USER, (CameraKeyPath(deviceNumber) + "\\Gray").c_str());
  return gray && WriteInts(gray, kGrayValues, image) ? 1 : 0;
}

int LoadSizeTable(int deviceNumber, const OutputCapabilities& caps, SizeTable* table) {
  std::lock_guard lock(GroupLock());
  CRegKey camera = OpenCamera(deviceNumber);
  if (!camera) return 0;
  table->entries.clear();
  for (int n = 0; n < kMaxSizeEntries; ++n) {
    CRegKey entry = CRegKey::Open(camera, SizeEntryName(n).c_str());
    if (!entry) break;
    Geometry geometry;
    ReadGeometry(entry, &geometry);
    table->entries.push_back(geometry);
  }
  table->selected = SelectedEntry(camera);
  ReadFormat(camera, caps, &table->format);
  return 1;
}

int SaveSizeTable(int deviceNumber, const SizeTable& table) {
  std::lock_guard lock(GroupLock());
  CRegKey camera = CreateCamera(deviceNumber);
  if (!camera) return 0;
  const int count = std::min(static_cast<int>(table.entries.size()), kMaxSizeEntries);
  for (int n = 0; n < count; ++n) {
    CRegKey entry = CRegKey::Create(camera, SizeEntryName(n).c_str());
    if (!entry) break;
    WriteGeometry(entry, table.entries[static_cast<size_t>(n)]);
  }
  // A shorter table than before ends where the loader stops.
  if (count < kMaxSizeEntries) camera.DeleteSubkey(SizeEntryName(count).c_str());
  return WriteFormat(camera, table.selected, table.format) ? 1 : 0;
}

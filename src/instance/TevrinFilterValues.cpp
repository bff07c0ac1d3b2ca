#include <algorithm>
#include <array>
#include <climits>

#include "instance/OkFlag.h"
#include "instance/Tevrin.h"

// How a filter ID reaches its value.
enum class FilterKind {
  Stored,          // an instance value within [min, max]
  BayerRgb,        // the three Bayer gains packed in one value
  Flag,            // stored as value != 0
  SetOnly,         // stored, not readable
  GlobalGain,      // device global gain, within the device's range
  ColorGain,       // device colour gain, within the device's range
  Exposure,        // device exposure, within the device's range
  Peltier,         // device cooler when the sensor has one
  Temperature,     // not settable, never readable here
  ModeSwitch,      // sensor mode switch
  RegisterPreset,  // sensor register preset when the sensor has one
  BlackLevel,      // sensor black level when the sensor has one
  Unmapped,        // channel IDs without a value
};

struct CTevrin::FilterEntry {
  int id;
  FilterKind kind;
  int min = INT_MIN;
  int max = INT_MAX;
  int ImageSettings::*image = nullptr;
  std::atomic<int> CTevrin::*own = nullptr;
  int (CTevrinU3K5Base::*setGain)(int) = nullptr;
  int (CTevrinU3K5Base::*getGain)() = nullptr;
  int AnalogSettings::*analog = nullptr;
};

namespace {

using Entry = CTevrin::FilterEntry;
using Kind = FilterKind;
using Device = CTevrinU3K5Base;

}  // namespace

const CTevrin::FilterEntry* CTevrin::FindFilter(int id) {
  static const std::array<Entry, 43> kTable = {{
      {1, Kind::Stored, -255, 255, &ImageSettings::brightness},
      {2, Kind::Stored, -127, 127, &ImageSettings::contrast},
      {3, Kind::Stored, -360, 360, &ImageSettings::hue},
      {4, Kind::Stored, -255, 255, &ImageSettings::saturation},
      {5, Kind::Stored, 0, 30, &ImageSettings::sharpness},
      {6, Kind::BayerRgb},
      {7, Kind::Stored, 0, 400, &ImageSettings::bayerGainRed},
      {8, Kind::Stored, 0, 400, &ImageSettings::bayerGainGreen},
      {9, Kind::Stored, 0, 400, &ImageSettings::bayerGainBlue},
      {10, Kind::Flag, INT_MIN, INT_MAX, &ImageSettings::bayerGainAuto},
      {11, Kind::Stored, 0, 200, &ImageSettings::gamma},
      {12, Kind::Stored, 0, 3, &ImageSettings::bayerMode},
      {13, Kind::GlobalGain, INT_MIN, INT_MAX, nullptr, nullptr, &Device::SetGlobalGain, &Device::GetGlobalGain,
       &AnalogSettings::globalGain},
      {14, Kind::ColorGain, INT_MIN, INT_MAX, nullptr, nullptr, &Device::SetColorGainRed, &Device::GetColorGainRed,
       &AnalogSettings::gainRed},
      {15, Kind::ColorGain, INT_MIN, INT_MAX, nullptr, nullptr, &Device::SetColorGainGreen1,
       &Device::GetColorGainGreen1, &AnalogSettings::gainGreen1},
      {16, Kind::ColorGain, INT_MIN, INT_MAX, nullptr, nullptr, &Device::SetColorGainGreen2,
       &Device::GetColorGainGreen2, &AnalogSettings::gainGreen2},
      {17, Kind::ColorGain, INT_MIN, INT_MAX, nullptr, nullptr, &Device::SetColorGainBlue, &Device::GetColorGainBlue,
       &AnalogSettings::gainBlue},
      {18, Kind::Exposure},
      {19, Kind::Stored, 0, 2, &ImageSettings::grayMode},
      {20, Kind::Stored, kGrayGainMin, kGrayGainMax, &ImageSettings::grayGainR},
      {21, Kind::Stored, kGrayGainMin, kGrayGainMax, &ImageSettings::grayGainG1},
      {22, Kind::Stored, kGrayGainMin, kGrayGainMax, &ImageSettings::grayGainG2},
      {23, Kind::Stored, kGrayGainMin, kGrayGainMax, &ImageSettings::grayGainB},
      {24, Kind::Stored, -255, 255, &ImageSettings::grayOffsetR},
      {25, Kind::Stored, -255, 255, &ImageSettings::grayOffsetG1},
      {26, Kind::Stored, -255, 255, &ImageSettings::grayOffsetG2},
      {27, Kind::Stored, -255, 255, &ImageSettings::grayOffsetB},
      {28, Kind::SetOnly, 0, 1, &ImageSettings::grayAutoGainRequest},
      {29, Kind::Unmapped},
      {30, Kind::Unmapped},
      {31, Kind::Unmapped},
      {32, Kind::Unmapped},
      {33, Kind::Unmapped},
      {34, Kind::Unmapped},
      {35, Kind::Unmapped},
      {36, Kind::Unmapped},
      {100, Kind::Peltier},
      {101, Kind::Temperature},
      {102, Kind::Stored, 0, 1, nullptr, &CTevrin::dotFilter_},
      {103, Kind::Stored, 0, 1, nullptr, &CTevrin::maskFilter_},
      {104, Kind::ModeSwitch},
      {105, Kind::RegisterPreset},
      {106, Kind::BlackLevel},
  }};
  const auto found = std::find_if(kTable.begin(), kTable.end(), [id](const Entry& e) { return e.id == id; });
  if (found != kTable.end()) return &*found;
  return nullptr;
}

int CTevrin::SetFilterValue(int id, int value) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  const FilterEntry* entry = FindFilter(id);
  if (!entry || entry->kind == Kind::Unmapped) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (value < entry->min || value > entry->max) return RecordError(TEVRIN_ERROR_ARGUMENT);
  std::unique_lock hold(settingsLock_);
  switch (entry->kind) {
    case Kind::Stored:
    case Kind::SetOnly:
      if (entry->image) {
        image_.*(entry->image) = value;
      } else {
        this->*(entry->own) = value;
      }
      return 1;
    case Kind::Flag:
      image_.*(entry->image) = value != 0;
      return 1;
    case Kind::BayerRgb:
      image_.bayerGainRed = value & 0xFF;
      image_.bayerGainGreen = (value >> 8) & 0xFF;
      image_.bayerGainBlue = (value >> 16) & 0xFF;
      return 1;
    case Kind::Temperature:
      return RecordError(TEVRIN_ERROR_ARGUMENT);
    default:
      hold.unlock();
      return SetDeviceFilter(*entry, value);
  }
}

int CTevrin::GetFilterValue(int id, int* ok) {
  SetOk(ok, 0);
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  const FilterEntry* entry = FindFilter(id);
  if (!entry || entry->kind == Kind::Unmapped || entry->kind == Kind::SetOnly) {
    return RecordError(TEVRIN_ERROR_ARGUMENT);
  }
  const ImageSettings image = Image();
  switch (entry->kind) {
    case Kind::Stored:
    case Kind::Flag:
      SetOk(ok, 1);
      return entry->image ? image.*(entry->image) : (this->*(entry->own)).load();
    case Kind::BayerRgb:
      SetOk(ok, 1);
      return (image.bayerGainRed & 0xFF) | (image.bayerGainGreen & 0xFF) << 8 | (image.bayerGainBlue & 0xFF) << 16;
    default:
      return GetDeviceFilter(*entry, ok);
  }
}

int CTevrin::SetGain(const FilterEntry& entry, int value) {
  const bool global = entry.kind == Kind::GlobalGain;
  const int min = global ? device_->GetGlobalGainMin() : device_->GetColorGainMin();
  const int max = global ? device_->GetGlobalGainMax() : device_->GetColorGainMax();
  if (value < min || value > max) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (!(device_.get()->*entry.setGain)(value)) return RecordError(TEVRIN_ERROR_REGISTER);
  if (global) {
    StoreGlobalGain(value);
  } else {
    StoreAnalog(entry.analog, value);
  }
  return 1;
}

int CTevrin::SetDeviceFilter(const FilterEntry& entry, int value) {
  switch (entry.kind) {
    case Kind::GlobalGain:
    case Kind::ColorGain:
      return SetGain(entry, value);
    case Kind::Exposure:
      return SetExposureUnits(value);
    case Kind::Peltier:
      if (!device_->HasCooler()) return RecordError(TEVRIN_ERROR_UNSUPPORTED);
      if (!device_->SetCooler(value)) return 0;
      StoreAnalog(&AnalogSettings::peltier, value);
      return 1;
    case Kind::ModeSwitch:
      if (!device_->SetModeSwitch(value)) return 0;
      StoreAnalog(&AnalogSettings::modeSwitch, value);
      return 1;
    case Kind::RegisterPreset:
      if (!device_->HasRegisterPreset()) return RecordError(TEVRIN_ERROR_UNSUPPORTED);
      if (!device_->SetRegisterPreset(value > 0)) return RecordError(TEVRIN_ERROR_REGISTER);
      StoreAnalog(&AnalogSettings::registerPreset, value > 0);
      return 1;
    case Kind::BlackLevel:
      if (!device_->HasBlackLevel()) return RecordError(TEVRIN_ERROR_UNSUPPORTED);
      if (!device_->SetBlackLevel(value)) return RecordError(TEVRIN_ERROR_REGISTER);
      StoreAnalog(&AnalogSettings::blackLevel, value);
      RecordError(TEVRIN_ERROR_NONE);
      return 1;
    default:
      return RecordError(TEVRIN_ERROR_ARGUMENT);
  }
}

int CTevrin::GetDeviceFilter(const FilterEntry& entry, int* ok) {
  switch (entry.kind) {
    case Kind::GlobalGain:
    case Kind::ColorGain:
      SetOk(ok, 1);
      return (device_.get()->*entry.getGain)();
    case Kind::Exposure:
      SetOk(ok, 1);
      return device_->GetExposureTime();
    case Kind::Peltier:
      if (!device_->HasCooler()) return Fail(TEVRIN_ERROR_UNSUPPORTED, -1);
      SetOk(ok, 1);
      return device_->GetCooler();
    case Kind::Temperature:
      return Fail(TEVRIN_ERROR_UNSUPPORTED, -1);
    case Kind::ModeSwitch: {
      const int mode = device_->GetModeSwitch();
      SetOk(ok, mode != -1);
      return mode;
    }
    case Kind::RegisterPreset: {
      if (!device_->HasRegisterPreset()) return RecordError(TEVRIN_ERROR_UNSUPPORTED);
      const int on = device_->GetRegisterPreset();
      RecordError(TEVRIN_ERROR_NONE);
      SetOk(ok, 1);
      return on != 0;
    }
    case Kind::BlackLevel: {
      if (!device_->HasBlackLevel()) return RecordError(TEVRIN_ERROR_UNSUPPORTED);
      const int level = device_->GetBlackLevel();
      StoreAnalog(&AnalogSettings::blackLevel, level);
      RecordError(TEVRIN_ERROR_NONE);
      SetOk(ok, 1);
      return level;
    }
    default:
      return RecordError(TEVRIN_ERROR_ARGUMENT);
  }
}

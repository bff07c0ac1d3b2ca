#include "instance/Tevrin.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <new>

#include <cstdio>
#include <cstring>
#include "device/TevrinUSB3K5SimpleSdk.h"

namespace {

constexpr UINT kErrorMessage = TEVRIN_MSG_ERROR;
constexpr char kDeviceBaseName[] = "TevrinHalden";
constexpr int kEnumEntries = 10;
constexpr int kEnumEntrySize = 256;
// "TevrinHalden_NN" and its terminator.
constexpr int kDeviceNameSize = 16;
constexpr int kSerialFirstAddress = 0x1040;
constexpr int kSerialBytes = 32;
constexpr DWORD kEepromSettleMs = 10;

unsigned Saturated(uint64_t count) {
  return static_cast<unsigned>(std::min<uint64_t>(count, UINT_MAX));
}

void FormatDeviceName(char* out, int size, int ordinal) {
  std::snprintf(out, static_cast<size_t>(size), "%s_%02d", kDeviceBaseName, ordinal);
}

}  // namespace

std::unique_ptr<CTevrinU3K5Base> MakeCameraDevice() {
  return std::unique_ptr<CTevrinU3K5Base>(new (std::nothrow) CTevrinUSB3K5SimpleSdk());
}

CTevrin::CTevrin(DeviceFactory makeDevice) : makeDevice_(std::move(makeDevice)) {}

CTevrin::~CTevrin() {
  deviceNumber_ = -1;
  if (storedSettingsRead_) SaveCameraSettings();
  ReleaseDevice();
}

// The acquisition stops and goes before the device object it uses.
void CTevrin::ReleaseDevice() {
  acquisition_.reset();
  if (device_) device_->CloseDevice();
  device_.reset();
}

int CTevrin::Initialize(HWND notifyWindow) {
  // The old camera's settings are kept before a new device object, which has
  // no camera open yet and nothing loaded, replaces its device object.
  if (storedSettingsRead_) SaveCameraSettings();
  storedSettingsRead_ = 0;
  settingsLoaded_ = 0;
  ReleaseDevice();
  deviceNumber_ = -1;
  settingsNumber_ = 0;
  if (makeDevice_) device_ = makeDevice_();
  if (device_) acquisition_.reset(new (std::nothrow) CAcquisition(*this, *device_));
  notifyWindow_ = notifyWindow;
  if (notifyWindow) {
    DEV_BROADCAST_DEVICEINTERFACE_A filter{};
    filter.dbcc_size = 32;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kInterfaceClass;
    // The registration lives as long as the window; it is never undone.
    if (!RegisterDeviceNotificationA(notifyWindow, &filter, DEVICE_NOTIFY_WINDOW_HANDLE)) {
      return RecordError(TEVRIN_ERROR_WINDOW_OR_SIZE);
    }
  }
  if (makeDevice_ && (!device_ || !acquisition_)) return RecordError(TEVRIN_ERROR_BUFFER);
  if (!SizeReferenceImages()) return RecordError(TEVRIN_ERROR_BUFFER);
  ReadStoredGeometry();
  if (!device_) return 1;
  device_->SetProductId(kProductId);
  device_->CreateController(notifyWindow, &kInterfaceClass);
  if (device_->CountDevices(kProductId) == 1) SetDeviceNumber(0);
  LoadCameraSettings(settingsNumber_);
  ReadStoredFormat();
  storedSettingsRead_ = 1;
  return 1;
}

int CTevrin::RecordError(int code) {
  errors_.Record(code);
  if (notifyWindow_) PostMessageA(notifyWindow_, kErrorMessage, 0, code);
  return 0;
}

void CTevrin::PostError(int code) {
  PostMessageA(notifyWindow_, kErrorMessage, 0, code);
}

int CTevrin::SetDeviceNumber(int number) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (settingsLoaded_) {
    SaveCameraSettings();
  } else {
    settingsLoaded_ = 1;
  }
  if (!device_->IsPresent(number)) return RecordError(TEVRIN_ERROR_NO_CAMERA);
  if (number == deviceNumber_) return 1;
  if (!device_->OpenDevice(number)) return RecordError(TEVRIN_ERROR_NO_CAMERA);
  settingsNumber_ = number;
  LoadCameraSettings(number);
  SendAnalogToDevice();
  deviceNumber_ = number;
  return 1;
}

// The newly opened camera takes the instance's analog values, in the order
// the sensor expects them: gains before exposure, options last.
void CTevrin::SendAnalogToDevice() {
  const AnalogSettings analog = Analog();
  SendGainsAndExposure(analog);
  device_->SetMirrorV(analog.mirrorV);
  device_->SetMirrorH(analog.mirrorH);
  if (device_->HasBlackLevel()) device_->SetBlackLevel(analog.blackLevel);
  if (device_->HasCooler()) {
    device_->SetCooler(1);
    StoreAnalog(&AnalogSettings::peltier, 1);
  }
  if (device_->HasRegisterPreset()) {
    device_->SetRegisterPreset(0);
    StoreAnalog(&AnalogSettings::registerPreset, 0);
  }
  if (device_->HasModeSwitch()) device_->SetModeSwitch(analog.modeSwitch);
}

void CTevrin::SendGainsAndExposure(const AnalogSettings& analog) {
  device_->SetGlobalGain(analog.globalGain);
  device_->SetColorGainGreen1(analog.gainGreen1);
  device_->SetColorGainRed(analog.gainRed);
  device_->SetColorGainBlue(analog.gainBlue);
  device_->SetColorGainGreen2(analog.gainGreen2);
  if (device_->HasExposureSeconds()) {
    device_->SetExposureSeconds(analog.exposureSeconds);
  } else {
    device_->SetExposure(analog.exposure);
  }
}

int CTevrin::EnumDevice(char (*names)[256]) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!names) return RecordError(TEVRIN_ERROR_ARGUMENT);
  const int count = device_->CountDevices(kProductId);
  int found = 0;
  for (int number = 0; number < count && found < kEnumEntries; ++number) {
    if (!device_->IsPresent(number)) continue;
    ++found;
    FormatDeviceName(names[found - 1], kEnumEntrySize, found);
  }
  for (int entry = found; entry < kEnumEntries; ++entry) names[entry][0] = '\0';
  return found;
}

int CTevrin::GetDeviceName(int index, char* name, int size) {
  if (!name || size < kDeviceNameSize) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (index < 0 || index >= device_->GetMaxDevices() || !device_->IsPresent(index)) {
    return RecordError(TEVRIN_ERROR_NO_CAMERA);
  }
  FormatDeviceName(name, size, index + 1);
  return 1;
}

int CTevrin::ReadSerialNumber(char* serial, int size) {
  if (!serial || size < kSerialBytes) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  char bytes[kSerialBytes] = {};
  int read = 0;
  for (; read < kSerialBytes; ++read) {
    std::uint8_t value = 0;
    const int readOk = device_->ReadEepromByte(kSerialFirstAddress + read, &value);
    // The EEPROM needs time between reads.
    Sleep(kEepromSettleMs);
    if (!readOk && read == 0) return 0;
    if (!readOk || value == 0xFF) break;
    bytes[read] = static_cast<char>(value);
  }
  // An erased (0xFF) or empty serial is no failure; it leaves the buffer alone.
  if (read == 0 || bytes[0] == 0) return 1;
  const size_t length = strnlen(bytes, std::min(read, kSerialBytes - 1));
  std::memcpy(serial, bytes, length);
  serial[length] = '\0';
  return 1;
}

int CTevrin::GetCameraInfo(CameraInfo* info) {
  if (!info) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (info->size < 36) return RecordError(TEVRIN_ERROR_BUFFER);
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  info->maxWidth = Geometry::kMaxWidth;
  info->maxHeight = Geometry::kMaxHeight;
  info->globalGainMin = device_->GetGlobalGainMin();
  info->globalGainMax = device_->GetGlobalGainMax();
  info->colorGainMin = device_->GetColorGainMin();
  info->colorGainMax = device_->GetColorGainMax();
  info->exposureMin = device_->GetExposureTimeMin();
  info->exposureMax = device_->GetExposureTimeMax();
  if (info->size >= static_cast<int>(offsetof(CameraInfo, framesCompleted))) {
    info->exposureSecondsMin = info->exposureSecondsMax = 0.0;
    device_->GetExposureSecondsMin(&info->exposureSecondsMin);
    device_->GetExposureSecondsMax(&info->exposureSecondsMax);
  }
  if (info->size >= static_cast<int>(offsetof(CameraInfo, framesRecorded))) FillFrameStatistics(info);
  if (info->size >= static_cast<int>(sizeof(CameraInfo))) FillRecordingStatistics(info);
  return 1;
}

void CTevrin::FillFrameStatistics(CameraInfo* info) {
  const tevrin::device::FrameStatistics counts = device_->Statistics();
  info->framesCompleted = Saturated(counts.completed);
  info->framesFailed = Saturated(counts.failed);
  info->framesOverrun = Saturated(counts.overruns);
  info->frameTimeouts = Saturated(counts.timeouts);
  info->newestFrameStatus = static_cast<int>(device_->NewestFrameStatus());
}

void CTevrin::FillRecordingStatistics(CameraInfo* info) {
  const RecordingCounts counts = acquisition_ ? acquisition_->RecordingStatistics() : RecordingCounts{};
  info->framesRecorded = Saturated(counts.recorded);
  info->framesNotRecorded = Saturated(counts.dropped);
  info->recording = counts.active ? 1 : 0;
}

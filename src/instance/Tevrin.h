#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "device/TevrinU3K5Base.h"
#include "image/ColorMode.h"
#include "image/DibImage.h"
#include "instance/Acquisition.h"
#include "instance/ErrorHistory.h"
#include "instance/Lock.h"
#include "settings/Geometry.h"
#include "settings/SettingsBlocks.h"

// The device object of the SDK's instances.
std::unique_ptr<CTevrinU3K5Base> MakeCameraDevice();

// One configuration-file record.
struct ConfigRecord {
  std::int32_t first;
  std::int32_t second;
};

// The object behind one handle: the camera's settings, its error history and
// the operations the exports reach; its acquisition is a CAcquisition. Each
// operation returns 1 on success and, on failure, records a TevrinError code
// (posted to the notification window) and returns 0, unless it says otherwise.
// The instance reaches the camera only through the device object's operations.
class CTevrin : private CAcquisition::Host {
 public:
  // Makes the device object at Initialize. Empty: the instance lives without
  // a camera (operations needing one fail with TEVRIN_ERROR_NOT_READY).
  using DeviceFactory = std::function<std::unique_ptr<CTevrinU3K5Base>()>;

  static constexpr int kProductId = 0x3280;
  static constexpr GUID kInterfaceClass = {
      0x328184C5, 0x93E6, 0x49B7, {0x94, 0xB8, 0x2A, 0xDA, 0x13, 0xAA, 0xBB, 0x39}};

  explicit CTevrin(DeviceFactory makeDevice = {});
  virtual ~CTevrin();
  CTevrin(const CTevrin&) = delete;
  CTevrin& operator=(const CTevrin&) = delete;

  int Initialize(HWND notifyWindow);

  // Error model.
  int RecordError(int code) override;  // always returns 0
  template <typename Result>
  Result Fail(int code, Result result) {
    RecordError(code);
    return result;
  }
  void PostError(int code);  // posts without recording
  int PopError() { return errors_.Pop(); }

  // Device selection and identity.
  int SetDeviceNumber(int number);
  int EnumDevice(char (*names)[256]);
  int GetDeviceName(int index, char* name, int size);
  int ReadSerialNumber(char* serial, int size);
  int GetCameraInfo(CameraInfo* info);

  // Geometry and output format.
  int Width() const { return geometry_.EH; }
  int Height() const { return geometry_.EV; }
  int SetCaptureWindow(int width, int height);
  int SetCaptureWindowEx(int hTotal, int hStart, int hEffective, int vTotal, int vStart, int vEffective);
  int GetCaptureWindowEx(int* hTotal, int* hStart, int* hEffective, int* vTotal, int* vStart, int* vEffective) const;
  int SetColorMode(int bits);
  int GetColorMode() const;
  int SetSubSample(int mode);
  int GetSubSample() const { return subSample_; }
  int SetWaitTime(int ms);
  int GetWaitTime() const { return waitTime_; }
  int SetMirrorH(int on);
  int SetMirrorV(int on);
  int GetMirrorH();
  int GetMirrorV();
  int SetSamplingRate(int rate);
  int SetPreviewWindow(HWND parent, int x, int y, int width, int height);

  // Exposure and analog values.
  int SetExposureTimeEx(double seconds);
  double GetExposureTimeEx(int* ok);
  int SetRealExposureTime(int microseconds);
  int GetRealExposureTime(int* ok);
  double GetTemperatureEx(int* ok);
  int SetAutoIris(int mode);
  int GetAutoIris(int* ok);
  int GetInternalCorrection(int* ok);
  int SetInternalCorrection(int value);

  // Registers, EEPROM, I/O port.
  int ReadFpgaRegister(int address, int* ok);
  int WriteFpgaRegister(int address, int value);
  int ReadSensorRegister(int address, int* ok);
  int WriteSensorRegister(int address, int value);
  int ReadSromId(int address, int* ok);
  int WriteSromId(int address, int value);
  int GetIOPort(BYTE* value);
  int SetIOPort(int value);

  // The filter-value family.
  int SetFilterValue(int id, int value);
  int GetFilterValue(int id, int* ok);

  // Acquisition: preview and trigger threads, snapshots, frame delivery.
  int StartPreview();
  int Preview();
  int CallBackPreview(HWND frameWindow, BYTE* buffer, int size, int rowOrder);
  int StopPreview();
  int Capture();
  int SnapShot(BYTE* buffer, int size, int rowOrder);
  int Trigger(HWND frameWindow, BYTE* buffer, int size, int rowOrder);
  int Close();
  int GetImage(BYTE* buffer, int size, int rowOrder);
  int SaveImage(const char* path, int format);
  int Record(const char* path, int durationMs, int showWindow);
  ::AcquisitionState AcquisitionState() const;
  HWND PreviewWindow() const;
  // Runs a modal setting dialog with the acquisition paused: a preview or a
  // prepared capture stops and starts again afterwards, a trigger acquisition
  // idles. A dialog that ends with 1 (OK) has stored a new geometry and
  // format, which are read back before the acquisition resumes.
  int WithAcquisitionPaused(const std::function<int()>& dialog);
  // Dark (kind 0) or white (kind 1) reference from the current frame.
  int UpdateMaskData(int kind);
  // The four references as one mask file. A load that fails for any reason
  // leaves every reference and map as it was.
  int LoadMaskFile(const char* path);
  int SaveMaskFile(const char* path);
  // The setting dialogs, modal on the caller's thread; each returns 1 once
  // its dialog has ended, however it ended.
  int SetCameraDlg(HWND parent);
  int SetAnalogDlg(HWND parent);
  int SetImageDlg(HWND parent);

  // Configuration file and the operations this camera does not offer.
  int LoadConfigFile(const char* path);
  int UnsupportedPostOnly();
  int UnsupportedRecorded(int result);

  // Stored settings. The camera dialog calls ReloadStoredFormat after its OK:
  // the geometry and the format values come back from the registry.
  int ReloadStoredFormat();
  int GetClock() const { return clock_; }

  // Read-only views for callers that inspect the stored state.
  ImageSettings Image() const;
  AnalogSettings Analog() const;
  Geometry CurrentGeometry() const;
  int DeviceNumber() const { return deviceNumber_; }
  int MaskFilter() const { return maskFilter_; }
  int DotFilter() const { return dotFilter_; }
  std::vector<ConfigRecord> ConfigList();

  // One row of the filter-value table.
  struct FilterEntry;

 private:
  // The reference images of the defect mask and the maps built from them.
  enum MaskIndex {
    kDarkRef8,
    kWhiteRef8,
    kDarkRef16,
    kWhiteRef16,
    kHotMap8,
    kColdMap8,
    kHotMap16,
    kColdMap16,
    kDotMap8,
    kDotMap16,
    kMaskCount
  };

  bool SizeReferenceImages();
  CDibImage& MaskReferenceImage(int fileReference);
  bool ReferencesHaveFileLayout();
  void RebuildDefectMapsLocked();
  void ReleaseDevice();
  // fn(acquisition), or TEVRIN_ERROR_NOT_READY without a device object.
  template <typename Fn>
  int WithAcquisition(Fn&& fn) {
    if (!acquisition_) return RecordError(TEVRIN_ERROR_NOT_READY);
    return fn(*acquisition_);
  }
  void FillFrameStatistics(CameraInfo* info);
  void FillRecordingStatistics(CameraInfo* info);

  // What the acquisition asks of the instance.
  int CheckCamera() override;
  AcquisitionFormat Format() override;
  int PrepareCamera(const AcquisitionFormat& format) override;
  PreviewPlacement Placement() override;
  int WaitTime() override { return waitTime_; }
  FrameSettings TakeFrameSettings() override;
  void ControlExposure(const CDibImage& raw) override;
  void StoreMeasurements(const FrameSettings& before, const FrameSettings& after) override;
  void WithDefectMasks(int bitCount, const std::function<void(const tevrin::image::DefectMasks&)>& use) override;

  static const FilterEntry* FindFilter(int id);
  int SetDeviceFilter(const FilterEntry& entry, int value);
  int GetDeviceFilter(const FilterEntry& entry, int* ok);
  int SetGain(const FilterEntry& entry, int value);
  int SetExposureUnits(int units);
  void RefreshExposureSeconds();
  void SendAnalogToDevice();
  void SendGainsAndExposure(const AnalogSettings& analog);
  // The analog values are written under the settings lock: the automatic
  // exposure changes them from the thread that processes frames.
  void StoreAnalog(int AnalogSettings::*field, int value);
  void StoreGlobalGain(int gain);
  void StoreExposureSeconds(double seconds);
  int SendGeometry();
  OutputCapabilities Capabilities();
  AnalogLimits Limits();
  void ReadStoredGeometry();
  void ReadStoredFormat();
  void LoadCameraSettings(int number);
  void SaveCameraSettings();

  DeviceFactory makeDevice_;
  std::unique_ptr<CTevrinU3K5Base> device_;
  // Made with the device object and gone before it.
  std::unique_ptr<CAcquisition> acquisition_;
  HWND notifyWindow_ = nullptr;
  // Guards what callers change while frames are processed: the image
  // settings, the analog values and the geometry.
  mutable std::mutex settingsLock_;
  PreviewPlacement placement_{nullptr, 0, 0, Geometry::kMaxWidth, Geometry::kMaxHeight};
  Geometry geometry_;
  ImageSettings image_;
  AnalogSettings analog_;
  // Whether the sensor mirrors by itself, read at each acquisition setup.
  bool mirrorHInSensor_ = false;
  bool mirrorVInSensor_ = false;
  // Where the frames of the current acquisition lie on the sensor, set with
  // the window the camera was sent.
  tevrin::image::SensorWindow frameWindow_;
  int exposureScratch_ = 1;
  int realExposure_ = 0;
  int settingsLoaded_ = 0;
  std::vector<ConfigRecord> configList_;
  // The colour mode as an index of the colour-mode table.
  std::atomic<int> colorMode_{0};
  std::atomic<int> subSample_{0};
  std::atomic<int> waitTime_{10};
  int clock_ = 0;
  // The camera whose analog, filter and gray values the instance holds: the
  // device object's current number.
  int settingsNumber_ = 0;
  // Set once Initialize has read the stored settings; teardown saves only
  // then, so an instance that never read them cannot overwrite them.
  int storedSettingsRead_ = 0;
  // The last load of the camera's settings found the registry unreachable
  // (guarded by settingsLock_).
  bool settingsUnread_ = false;
  CErrorHistory errors_;
  int deviceNumber_ = -1;
  std::atomic<int> maskFilter_{0};
  std::atomic<int> dotFilter_{0};
  CCriticalSection maskLock_;
  CDibImage masks_[kMaskCount];
  std::atomic<int> maskUpdating_{0};
  // The open analog page and image dialog, which the thread processing
  // frames tells of the values it measured.
  std::atomic<HWND> analogPage_{nullptr};
  std::atomic<HWND> imageDialog_{nullptr};
};

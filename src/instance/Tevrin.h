#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "image/DibImage.h"
#include "instance/CameraDevice.h"
#include "instance/ErrorHistory.h"
#include "instance/Lock.h"
#include "settings/Geometry.h"
#include "settings/SettingsBlocks.h"

// One configuration-file record.
struct ConfigRecord {
  std::int32_t first;
  std::int32_t second;
};

// The object behind one handle: the camera's settings, its error history and
// the operations the exports reach. Each operation returns 1 on success and,
// on failure, records a TevrinError code (posted to the notification window)
// and returns 0, unless it says otherwise.
class CTevrin {
 public:
  // Makes the device object at Initialize. Empty: this build has no device
  // layer, and the instance lives without a camera (operations needing one
  // fail with TEVRIN_ERROR_NOT_READY).
  using DeviceFactory = std::function<std::unique_ptr<CCameraDevice>()>;

  static constexpr int kProductId = 0x3280;
  static constexpr GUID kInterfaceClass = {
      0x328184C5, 0x93E6, 0x49B7, {0x94, 0xB8, 0x2A, 0xDA, 0x13, 0xAA, 0xBB, 0x39}};

  explicit CTevrin(DeviceFactory makeDevice = {});
  virtual ~CTevrin();
  CTevrin(const CTevrin&) = delete;
  CTevrin& operator=(const CTevrin&) = delete;

  int Initialize(HWND notifyWindow);

  // Error model.
  int RecordError(int code);  // always returns 0
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
  int AcquisitionState() const { return acquisitionState_; }
  HWND PreviewWindow() const { return previewWindow_; }
  // Dark (kind 0) or white (kind 1) reference from the current frame.
  int UpdateMaskData(int kind);
  // Mask files, recording and the setting dialogs are not offered yet.
  int NeedsAcquisition();

  // Configuration file and the operations this camera does not offer.
  int LoadConfigFile(const char* path);
  int UnsupportedPostOnly();
  int UnsupportedRecorded(int result);

  // Stored settings. The camera dialog calls ReloadStoredFormat after its OK:
  // the geometry and the format values come back from the registry.
  int ReloadStoredFormat();
  int GetClock() const { return clock_; }

  // Read-only views for callers that inspect the stored state.
  const ImageSettings& Image() const { return image_; }
  const AnalogSettings& Analog() const { return analog_; }
  const Geometry& CurrentGeometry() const { return geometry_; }
  int DeviceNumber() const { return deviceNumber_; }
  int MaskFilter() const { return maskFilter_; }
  int DotFilter() const { return dotFilter_; }
  std::vector<ConfigRecord> ConfigList();

  // One row of the filter-value table.
  struct FilterEntry;

  // The image objects, in this order.
  enum ImageIndex {
    kFrame8, kFrame16, kColor24, kColor32, kColor48, kColor64, kSharpenCopy, kDisplayImage,
    kDarkRef8, kWhiteRef8, kDarkRef16, kWhiteRef16, kHotMap8, kColdMap8, kHotMap16, kColdMap16,
    kDotMap8, kDotMap16, kImageCount
  };

 private:
  // Images.
  bool CreateImages();
  bool SizeReferenceImages();
  CDibImage* RawImage() const;
  CDibImage* OutputImage() const;
  int OutputBits() const;
  bool SizeOutputImages(int width, int height);
  int CopyImageTo(BYTE* buffer, int size, int rowOrder);

  // Acquisition.
  int AcquisitionSetup();
  int StartAcquisitionThread();
  static DWORD WINAPI AcquisitionThread(void* self);
  void PreviewLoop();
  void TriggerLoop();
  bool ReadFrame();
  void ProcessRawFrame();
  void FillFrameInfo(int rate);
  void CountFrameForRate();
  void PostFrameMessage(WPARAM wParam, LPARAM lParam);
  void StoreFrameTarget(HWND frameWindow, BYTE* buffer, int size, int rowOrder);
  int OpenPreviewWindow();

  // Preview window.
  bool PreviewConfigured() const;
  HWND CreatePreviewWindow();
  void DrawFrame();
  void DestroyPreviewWindow();
  void SizeDisplayImage();

  static const FilterEntry* FindFilter(int id);
  int SetDeviceFilter(const FilterEntry& entry, int value);
  int GetDeviceFilter(const FilterEntry& entry, int* ok);
  int SetGain(const FilterEntry& entry, int value);
  int SetExposureUnits(int units);
  void RefreshExposureSeconds();
  void SendAnalogToDevice();
  void SendGainsAndExposure();
  int SendGeometry();
  OutputCapabilities Capabilities();
  AnalogLimits Limits();
  void ReadStoredGeometry();
  void ReadStoredFormat();
  void LoadCameraSettings(int number);
  void SaveCameraSettings();

  DeviceFactory makeDevice_;
  std::unique_ptr<CCameraDevice> device_;
  HWND notifyWindow_ = nullptr;
  HWND previewParent_ = nullptr;
  int previewPlacement_[4] = {0, 0, Geometry::kMaxWidth, Geometry::kMaxHeight};
  Geometry geometry_;
  ImageSettings image_;
  AnalogSettings analog_;
  int exposureScratch_ = 1;
  int realExposure_ = 0;
  CCriticalSection frameLock_;
  int settingsLoaded_ = 0;
  std::vector<ConfigRecord> configList_;
  std::atomic<int> acquisitionState_{0};
  std::atomic<int> imageValid_{0};
  int colorMode_ = 0;
  int subSample_ = 0;
  int waitTime_ = 10;
  int clock_ = 0;
  // The camera whose analog, filter and gray values the instance holds: the
  // device object's current number.
  int settingsNumber_ = 0;
  // Set once Initialize has read the stored settings; teardown saves only
  // then, so an instance that never read them cannot overwrite them.
  int storedSettingsRead_ = 0;
  CErrorHistory errors_;
  int deviceNumber_ = -1;
  int maskFilter_ = 0;
  int dotFilter_ = 0;
  CCriticalSection maskLock_;

  std::unique_ptr<CDibImage> images_[kImageCount];
  HWND previewWindow_ = nullptr;
  HDC previewDc_ = nullptr;
  char className_[256] = {};
  std::atomic<int> runFlag_{0};
  HANDLE acquisitionThread_ = nullptr;
  DWORD acquisitionThreadId_ = 0;
  HANDLE acquisitionDone_ = nullptr;
  HWND frameWindow_ = nullptr;
  BYTE* callerBuffer_ = nullptr;
  int callerBufferSize_ = 0;
  int rowOrder_ = 0;
  FrameInfo frameInfo_{};
  int frameRate10_ = 0;
  int frameCount_ = 0;
  DWORD rateWindowStart_ = GetTickCount();
  int snapTimeout_ = 3000;
  // Whether the sensor mirrors by itself, read at each acquisition setup.
  bool mirrorHInSensor_ = false;
  bool mirrorVInSensor_ = false;
  std::atomic<int> maskUpdating_{0};
};

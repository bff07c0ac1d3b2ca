// The machine-wide device table and the enumeration of camera interfaces.
//
// Every process keeps a private copy of the table, shared by all controllers
// of the process, and keeps it in step with the shared block "U3K5-MemMap"
// so that every process numbers the cameras alike. The table is emptied only
// when a controller is constructed while no controller lives in any process;
// otherwise entries persist even for unplugged cameras and ordinals stay stable.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "usb/DeviceTable.h"
#include "usb/ScopedHandle.h"

class CFx3Api {
 public:
  // `guid` names the device interface class to enumerate; null for the FX3 driver's.
  explicit CFx3Api(const GUID* guid);
  virtual ~CFx3Api();
  CFx3Api(const CFx3Api&) = delete;
  CFx3Api& operator=(const CFx3Api&) = delete;

  // Adds every openable interface not yet in the table; returns the entry count.
  int ScanDevices();
  int EntryCount() const;
  std::optional<tevrin::usb::DeviceTableEntry> Entry(int index) const;
  // The entry exists and its path opens now.
  bool IsDevicePresent(int index) const;
  // "<model>_<ordinal>" for a present entry whose product has a model name.
  std::optional<std::string> GetDeviceName(int index) const;

  int SelectedIndex() const { return selectedIndex_.load(); }
  const GUID& InterfaceGuid() const { return guid_; }
  // Where diagnostic lines would go: DEBUGLOG.txt beside the host executable.
  const char* DiagnosticLogPath() const { return logPath_; }
  // The error left by the last direct transfer that did not complete at once.
  uint32_t LastStartError() const { return lastStartError_.load(); }

 protected:
  // Opens the selected entry's path for one call (or for streaming, overlapped).
  tevrin::usb::ScopedHandle OpenSelectedDevice(bool overlapped) const;
  void SetSelectedIndex(int index) { selectedIndex_.store(index); }
  void RecordStartError(uint32_t error) { lastStartError_.store(error); }

 private:
  void PullSharedBlock();
  void PushSharedBlock() const;
  void ComposeLogPath();

  tevrin::usb::ScopedHandle mapping_;
  void* view_ = nullptr;
  std::atomic<int> selectedIndex_{0};
  GUID guid_;
  std::atomic<uint32_t> lastStartError_{0};
  char logPath_[512] = {};
};

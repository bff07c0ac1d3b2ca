// The FX3 camera controller: the device table and enumeration (CFx3Api), the
// controller interface the sensor drivers use (CControllerBase), and the
// stream operations the device layer's acquisition uses.
//
// Control requests open the selected device for each call, so any thread may
// issue them; the board register port and the EEPROM are serialised by their
// own locks. The stream handle and the transfer block belong to the one
// thread that acquires frames; AbortImagePipe may come from any thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "usb/ControlRequest.h"
#include "usb/ControllerBase.h"
#include "usb/FrameHeaderBlock.h"
#include "usb/Fx3Api.h"
#include "usb/ReadOutcome.h"
#include "usb/StreamPolicy.h"

class CTevrinCy3Cam : public CFx3Api, public CControllerBase {
 public:
  // `guid` names the device interface class; null for the FX3 driver's.
  explicit CTevrinCy3Cam(const GUID* guid = nullptr);
  ~CTevrinCy3Cam() override;

  // Stream operations.
  virtual int OpenStream();
  // Up to 15 armed attempts at the 64-byte header; copies the frame counter to bytes 64..67.
  virtual int ReadFrameHeader(tevrin::usb::FrameHeaderBlock* block);
  // The header's image bytes into the block's destination, in 512 KiB chunks.
  virtual int ReadFrameData(tevrin::usb::FrameHeaderBlock* block, uint32_t timeoutMs);
  // The auxiliary block from endpoint 0x83 into the block's destination.
  virtual int ReadAuxData(tevrin::usb::FrameHeaderBlock* block);
  // A memory-window stream read of *length bytes (rounded up to the next 16 KiB
  // step); *length receives what was read.
  virtual int ReadStream(tevrin::usb::FrameHeaderBlock* block, uint64_t* length, uint32_t timeoutMs);
  virtual int CloseStream();
  virtual int WriteMemory(uint64_t address, const void* data, uint32_t length);
  virtual int ReadMemory(uint64_t address, void* data, uint32_t length);
  virtual int SendByte(uint32_t value);
  virtual int ReadByte(uint8_t* value);
  virtual int TransferBuffered(HANDLE handle, void* data, uint32_t length, uint8_t endpoint, uint32_t* count);
  virtual int TransferDirectArmed(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t* count);
  virtual int TransferDirect(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t* count,
                             uint32_t waitMs);
  virtual int TransferDirectWrite(HANDLE handle, const void* buffer, uint32_t length, uint8_t endpoint,
                                  uint32_t* count);

  // CControllerBase.
  int GetReserved() override;
  int ReleaseTransfer() override;
  int SelectDevice(int index) override;
  int ReadFpgaVersion(uint16_t* version) override;
  int ReadReadyFlag(uint8_t* ready) override;
  int SendCommandCC() override;
  int I2cWrite(uint8_t address, const uint8_t* data, uint32_t count, uint32_t timeoutMs) override;
  int I2cRead(uint8_t address, uint8_t* data, uint32_t count, uint32_t timeoutMs) override;
  int WriteWideRegister(uint32_t address, uint32_t value) override;
  int ReadWideRegister(uint32_t address, uint32_t* value) override;
  int WriteValuePair(uint16_t first, uint16_t second) override;
  int ReadValue(uint16_t argument, uint32_t* value) override;
  int WriteBoardRegister(uint8_t reg, uint8_t value) override;
  int ReadBoardRegister(uint8_t reg, uint8_t* value) override;
  int WriteAuxRegister(uint8_t reg, uint8_t value) override;
  int ReadAuxRegister(uint8_t reg, uint8_t* value) override;
  int WriteEepromByte(uint16_t address, uint8_t value) override;
  int ReadEepromByte(uint16_t address, uint8_t* value) override;
  int AbortImagePipe() override;

  // Used by the device layer at start-up and recovery.
  // The 64 MiB transfer block the bulk transfers need; kept until ReleaseTransfer.
  int AllocateTransfer();
  int ReadControllerInfo(uint8_t* block);   // 64 bytes, vendor request 0xB0
  int ReadControllerInfo2(uint8_t* block);  // 64 bytes, vendor request 0xB1
  int SendStreamRecovery();
  int ResetPipe(uint8_t endpoint);
  int ResetParentPort();
  int GetDeviceSpeed(uint32_t* speed);
  HANDLE StreamHandle() const { return streamHandle_.load(); }
  // Set by the device layer for the product it serves, before it streams.
  void SetStreamPolicy(tevrin::usb::StreamPolicy policy) { policy_.store(policy); }
  // Why the last frame read (header, image, auxiliary block or stream read) ended.
  tevrin::usb::ReadOutcome LastReadOutcome() const { return lastRead_.load(); }

 private:
  tevrin::usb::VendorReply Vendor(const tevrin::usb::VendorRequest& request) const;
  tevrin::usb::ReadOutcome SendStreamArm(HANDLE stream);
  int ReadInfoBlock(uint8_t request, uint8_t* block);
  // A synchronous driver request on a handle opened for the call.
  int DriverRequest(uint32_t code, void* in, uint32_t inBytes, void* out, uint32_t outBytes);
  tevrin::usb::ReadOutcome Direct(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t* count,
                                  uint32_t waitMs);
  // The stream arm request, then Direct with the armed read's wait.
  tevrin::usb::ReadOutcome Armed(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t* count);
  // Direct, with a transfer that brings fewer than `length` bytes counted short.
  tevrin::usb::ReadOutcome DirectWhole(HANDLE handle, void* buffer, uint32_t length, uint8_t endpoint, uint32_t waitMs);
  // Keeps why a frame read ended; true when it read everything.
  int EndRead(tevrin::usb::ReadOutcome outcome);
  bool DrainPending(HANDLE handle, uint8_t endpoint, HANDLE event);
  tevrin::usb::ReadOutcome SendMemoryCommand(HANDLE stream, bool write, uint64_t address, uint32_t length);
  int MemoryWindow(bool write, uint64_t address, uint8_t* data, uint32_t length);
  bool MemoryChunk(HANDLE stream, bool write, uint64_t address, std::span<uint8_t> caller, uint32_t offset,
                   uint32_t chunk);

  std::atomic<HANDLE> streamHandle_{nullptr};
  std::atomic<tevrin::usb::StreamPolicy> policy_{};
  std::atomic<tevrin::usb::ReadOutcome> lastRead_{tevrin::usb::ReadOutcome::kDone};
  std::unique_ptr<uint8_t[]> transferBlock_;
  uint8_t scratch_[64] = {};
  std::mutex boardLock_;
  std::mutex eepromLock_;
};

// One simulated camera as a USB device: the FX3 firmware answering endpoint 0,
// the bulk endpoints, the FPGA, the EEPROM, the IMX991 and the camera memory.
// The FX3 driver logic reaches it through VirtualBus. One lock guards the
// whole camera; a worker thread completes image reads that wait for a frame.
// The frames go out by the product's route (CameraConfig.h); the serving of
// the read pipes lives in VirtualCameraPipes.cpp.
#pragma once

#include <tevrin/hardware/FrameHeader.h>
#include <tevrin/hardware/Fx3Requests.h>
#include <tevrin/fx3driver/UsbDevice.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "CameraConfig.h"
#include "CameraMemory.h"
#include "ColorSensor.h"
#include "Eeprom.h"
#include "Fpga.h"
#include "FrameClock.h"
#include "FrameGenerator.h"
#include "Fx3Firmware.h"
#include "Imx991Sensor.h"

namespace tevrin::virtualcam {

class VirtualCamera final : private FirmwareTarget {
 public:
  using Clock = std::chrono::steady_clock;

  // `number` tells cameras apart in the device path and the default serial number.
  VirtualCamera(const CameraConfig& config, int number);
  ~VirtualCamera() override;
  VirtualCamera(const VirtualCamera&) = delete;
  VirtualCamera& operator=(const VirtualCamera&) = delete;

  // The instance part of the device path: the virtual bus has one port per camera.
  const std::string& port() const { return port_; }
  const CameraConfig& config() const { return config_; }
  const std::string& serialNumber() const { return serialNumber_; }

  // USB side. An open in one plug-in generation fails once the camera has
  // been unplugged, as the device it named is gone.
  bool Open(uint64_t& generation);
  fx3driver::UsbResult Control(uint64_t generation, const fx3driver::ControlSetup& setup, std::span<uint8_t> data);
  void SubmitBulk(uint64_t generation, fx3driver::BulkTransfer transfer);
  void CancelBulk(const void* tag);
  // Cancels the reads in flight on the endpoint; cancelled image reads restart the stream.
  fx3driver::UsbStatus AbortEndpoint(uint64_t generation, uint8_t endpoint);
  fx3driver::UsbStatus ResetPort(uint64_t generation);

  // Test control.
  bool IsPlugged() const;
  void SetPlugged(bool plugged);
  void StallStream(bool stalled);
  void FailNextFrameHeaders(int count);
  void FailNextTransfers(int count);
  void ShortenNextTransfer(uint32_t missingBytes);
  void PulseTrigger();
  void SetInputs(uint8_t lines);
  uint8_t Outputs() const;
  uint8_t BoardRegister(uint8_t reg) const;
  uint8_t SensorRegister(uint16_t address) const;
  uint16_t ColorSensorRegister(uint16_t address) const;
  uint8_t AuxRegister(uint8_t reg) const;
  uint32_t WideRegister(uint16_t address) const;
  void SetBoardRegister(uint8_t reg, uint8_t value);
  void SetReadyFlag(bool ready);
  void SetSensorTemperature(double celsius);
  void SetFpgaTemperature(double celsius);
  void HoldSensorBus(bool held);
  void JamSensorBus(bool jammed);
  uint32_t FrameCounter() const;

 private:
  using BulkTransfer = fx3driver::BulkTransfer;
  enum class Phase { kHeader, kImage };
  // What a memory-window command announced and is still to come.
  struct MemoryRun {
    uint64_t address = 0;
    uint64_t left = 0;
    // The part of a transfer of `length` bytes that belongs to the run; moves past it.
    size_t Take(size_t length) {
      size_t n = static_cast<size_t>(std::min<uint64_t>(length, left));
      address += n;
      left -= n;
      return n;
    }
  };

  // FirmwareTarget
  bool I2cWrite(uint8_t address, std::span<const uint8_t> bytes) override;
  bool I2cRead(uint8_t address, std::span<uint8_t> bytes) override;
  void ArmStream() override;
  void RecoverStream() override;
  void OneByteCommand(uint8_t value) override;
  uint8_t ReadyFlag() override { return readyFlag_ ? 1 : 0; }

  static constexpr uint8_t kAnyEndpoint = 0;

  bool CurrentLocked(uint64_t generation) const { return plugged_ && generation == generation_; }
  void SubmitBulkLocked(BulkTransfer transfer);
  void BulkOutLocked(BulkTransfer& transfer);
  bool HasBoardPort() const { return config_.route() != FrameRoute::kAuxiliary; }
  bool HasColorSensor() const { return config_.productId == kColorProduct; }
  static constexpr uint16_t kColorProduct = 0x3020;

  // Pipes (VirtualCameraPipes.cpp). Each Serve* finishes the transfer and
  // returns true, or returns false while the transfer has to wait.
  void ServePipesLocked(Clock::time_point now);
  bool ServeImageInLocked(BulkTransfer& transfer, Clock::time_point now);
  bool ServeHeaderAndImageLocked(BulkTransfer& transfer, Clock::time_point now);
  bool ServeAuxLocked(BulkTransfer& transfer, Clock::time_point now);
  bool ServeStreamLocked(BulkTransfer& transfer, Clock::time_point now);
  // A memory-window read command at address 0 of a stream product.
  void StartStreamReadLocked(uint32_t length);
  void DeliverHeaderLocked(BulkTransfer& transfer, uint32_t counter);
  // The newest frame when the clock has made one since the last frame given out.
  std::optional<uint32_t> NextFrameLocked(Clock::time_point now);
  // True, with the transfer failed, when a failure was injected for this frame.
  bool FailFrameLocked(BulkTransfer& transfer);
  FrameParameters MakeFrameLocked(uint32_t counter, OutputFormat format);
  // Copies `taken` bytes of the made image from `offset` (zeros past its end),
  // less an injected shortening; returns the bytes delivered.
  size_t CopyImageLocked(uint8_t* to, size_t offset, size_t taken);

  static void Finish(BulkTransfer& transfer, fx3driver::UsbStatus status, size_t bytes);
  void FailPendingLocked(fx3driver::UsbStatus status, uint8_t endpoint = kAnyEndpoint);
  void ResetStreamLocked(Clock::time_point now);
  void RetimeLocked(Clock::time_point now);
  FpgaLiveValues LiveLocked(Clock::time_point now) const;
  void WorkerLoop();

  const CameraConfig config_;
  const std::string port_;
  const std::string serialNumber_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  bool plugged_ = true;
  uint64_t generation_ = 1;

  Fpga fpga_;
  Imx991Sensor sensor_;
  ColorSensor colorSensor_;
  std::array<uint8_t, 256> auxRegisters_{};
  bool readyFlag_ = true;
  Eeprom eeprom_;
  FrameClock clock_;
  FrameGenerator generator_;
  CameraMemory memory_;
  Fx3Firmware firmware_;
  bool fpgaHoldsSensorBus_ = false;
  bool sensorBusJammed_ = false;
  std::chrono::nanoseconds period_{};
  bool triggered_ = false;

  // Read pipes (endpoints 0x81 and 0x83) and memory window.
  std::deque<BulkTransfer> pendingReads_;
  Phase phase_ = Phase::kHeader;
  bool armed_ = false;
  uint32_t lastDelivered_ = 0;
  std::vector<uint16_t> frame_;  // 16-bit storage keeps the image aligned
  size_t imageBytes_ = 0;
  size_t imageOffset_ = 0;
  MemoryRun memoryRead_, memoryWrite_;
  // Stream products: what the current stream read still delivers, its
  // address counting the bytes delivered; its frame is made at the first chunk.
  MemoryRun streamRead_;
  bool streamFrameMade_ = false;
  // 0x3042: depth chosen by one-byte command 0 (one byte) or 1 (two bytes).
  int auxBytesPerPixel_ = 2;

  // Faults injected by tests.
  bool stalled_ = false;
  int failHeaders_ = 0;
  int failTransfers_ = 0;
  uint32_t shortenBy_ = 0;

  std::thread worker_;
};

}  // namespace tevrin::virtualcam

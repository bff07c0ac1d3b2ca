#include "VirtualCamera.h"

#include <tevrin/hardware/Fx3Requests.h>
#include <tevrin/hardware/Mt9fRegisters.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tevrin::virtualcam {

namespace hw = tevrin::hardware;
using fx3driver::UsbResult;
using fx3driver::UsbStatus;

namespace {

std::string MakePort(int number) {
  char port[16];
  std::snprintf(port, sizeof(port), "vcam%04d", number);
  return port;
}

std::string SerialNumber(const CameraConfig& config, int number) {
  if (!config.serialNumber.empty()) return config.serialNumber;
  char serial[32];
  std::snprintf(serial, sizeof(serial), "VC%04X%04d", config.productId, number);
  return serial;
}

}  // namespace

VirtualCamera::VirtualCamera(const CameraConfig& config, int number)
    : config_(config),
      port_(MakePort(number)),
      serialNumber_(SerialNumber(config, number)),
      fpga_(config),
      sensor_(config.fastBoard),
      colorSensor_(config.firstColorRevision),
      eeprom_(config.eepromFile, serialNumber_),
      clock_(Clock::now()),
      generator_(config.seed, config.pattern),
      firmware_(config, *this) {
  std::lock_guard lock(mutex_);
  RetimeLocked(Clock::now());
  worker_ = std::thread([this] { WorkerLoop(); });
}

VirtualCamera::~VirtualCamera() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    FailPendingLocked(UsbStatus::kNoDevice);
  }
  wake_.notify_all();
  worker_.join();
}

bool VirtualCamera::Open(uint64_t& generation) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return false;
  generation = generation_;
  return true;
}

UsbResult VirtualCamera::Control(uint64_t generation, const fx3driver::ControlSetup& setup, std::span<uint8_t> data) {
  std::lock_guard lock(mutex_);
  if (!CurrentLocked(generation)) return {UsbStatus::kNoDevice, 0};
  int replied = firmware_.Handle(setup.requestType, setup.request, setup.value, setup.index, data);
  if (replied == Fx3Firmware::kStall) return {UsbStatus::kStall, 0};
  return {UsbStatus::kSuccess, static_cast<size_t>(replied)};
}

void VirtualCamera::SubmitBulk(uint64_t generation, BulkTransfer transfer) {
  {
    std::lock_guard lock(mutex_);
    if (CurrentLocked(generation)) {
      SubmitBulkLocked(std::move(transfer));
    } else {
      Finish(transfer, UsbStatus::kNoDevice, 0);
    }
  }
  wake_.notify_all();
}

void VirtualCamera::CancelBulk(const void* tag) {
  std::lock_guard lock(mutex_);
  auto found = std::find_if(pendingReads_.begin(), pendingReads_.end(),
                            [&](const BulkTransfer& transfer) { return transfer.tag == tag; });
  if (found == pendingReads_.end()) return;
  BulkTransfer transfer = std::move(*found);
  pendingReads_.erase(found);
  Finish(transfer, UsbStatus::kCancelled, 0);
}

UsbStatus VirtualCamera::AbortEndpoint(uint64_t generation, uint8_t endpoint) {
  std::lock_guard lock(mutex_);
  if (!CurrentLocked(generation)) return UsbStatus::kNoDevice;
  if (endpoint == hw::kEndpointImageIn || endpoint == hw::kEndpointAuxIn)
    FailPendingLocked(UsbStatus::kCancelled, endpoint);
  if (endpoint == hw::kEndpointImageIn) ResetStreamLocked(Clock::now());
  return UsbStatus::kSuccess;
}

UsbStatus VirtualCamera::ResetPort(uint64_t generation) {
  std::lock_guard lock(mutex_);
  if (!CurrentLocked(generation)) return UsbStatus::kNoDevice;
  FailPendingLocked(UsbStatus::kCancelled);
  ResetStreamLocked(Clock::now());
  return UsbStatus::kSuccess;
}

void VirtualCamera::SubmitBulkLocked(BulkTransfer transfer) {
  if (transfer.endpoint == hw::kEndpointBulkOut) {
    BulkOutLocked(transfer);
    return;
  }
  const bool auxiliary = config_.route() == FrameRoute::kAuxiliary;
  if (transfer.endpoint != hw::kEndpointImageIn && (transfer.endpoint != hw::kEndpointAuxIn || !auxiliary)) {
    // Only the product without board port streams on the auxiliary endpoint.
    Finish(transfer, UsbStatus::kStall, 0);
    return;
  }
  if (failTransfers_ > 0) {
    --failTransfers_;
    Finish(transfer, UsbStatus::kStall, 0);
    return;
  }
  pendingReads_.push_back(transfer);
  ServePipesLocked(Clock::now());
}

void VirtualCamera::BulkOutLocked(BulkTransfer& transfer) {
  if (failTransfers_ > 0) {
    --failTransfers_;
    Finish(transfer, UsbStatus::kStall, 0);
    return;
  }
  if (memoryWrite_.left > 0) {
    uint64_t at = memoryWrite_.address;
    size_t n = memoryWrite_.Take(transfer.length);
    memory_.Write(at, {transfer.data, n});
    Finish(transfer, UsbStatus::kSuccess, n);
    return;
  }
  hw::MemoryWindowCommand command;
  if (transfer.length != sizeof(command)) {
    Finish(transfer, UsbStatus::kStall, 0);
    return;
  }
  std::memcpy(&command, transfer.data, sizeof(command));
  const uint64_t address = uint64_t(command.addressHigh) << 32 | command.addressLow;
  const bool write = std::memcmp(command.tag, hw::kMemoryWriteTag, 4) == 0;
  const bool read = std::memcmp(command.tag, hw::kMemoryReadTag, 4) == 0;
  if ((!write && !read) || command.version != hw::kMemoryWindowVersion ||
      !CameraMemory::Contains(address, command.length)) {
    Finish(transfer, UsbStatus::kStall, 0);
    return;
  }
  if (read && address == 0 && config_.route() == FrameRoute::kMemoryStream) {
    StartStreamReadLocked(command.length);
  } else {
    (write ? memoryWrite_ : memoryRead_) = {address, command.length};
  }
  Finish(transfer, UsbStatus::kSuccess, sizeof(command));
}

void VirtualCamera::Finish(BulkTransfer& transfer, UsbStatus status, size_t bytes) {
  transfer.done({status, status == UsbStatus::kSuccess ? bytes : 0});
}

void VirtualCamera::FailPendingLocked(UsbStatus status, uint8_t endpoint) {
  std::deque<BulkTransfer> failing, staying;
  for (auto& transfer : pendingReads_)
    (endpoint == kAnyEndpoint || transfer.endpoint == endpoint ? failing : staying).push_back(transfer);
  pendingReads_.swap(staying);
  for (auto& transfer : failing) Finish(transfer, status, 0);
}

void VirtualCamera::ResetStreamLocked(Clock::time_point now) {
  // A restarted stream begins with the next frame the sensor finishes.
  phase_ = Phase::kHeader;
  armed_ = false;
  imageOffset_ = imageBytes_ = 0;
  memoryRead_ = memoryWrite_ = streamRead_ = {};
  streamFrameMade_ = false;
  lastDelivered_ = clock_.Count(now);
}

void VirtualCamera::RetimeLocked(Clock::time_point now) {
  auto period = sensor_.FramePeriod();
  // A sensor in standby makes no frames; the clock waits as for a trigger that never comes.
  bool triggered = sensor_.ExternalTrigger() || sensor_.Standby();
  if (period == period_ && triggered == triggered_) return;
  clock_.Retime(now, period, triggered);
  if (triggered != triggered_) lastDelivered_ = clock_.Count(now);
  period_ = period;
  triggered_ = triggered;
}

FpgaLiveValues VirtualCamera::LiveLocked(Clock::time_point now) const {
  FpgaLiveValues live;
  live.frameCounter = clock_.Count(now);
  live.sensorTemperatureRaw = static_cast<uint16_t>(sensor_.Register(hw::imx991::kTemperature0) |
                                                    sensor_.Register(hw::imx991::kTemperature1) << 8);
  live.fpgaHoldsSensorBus = sensorBusJammed_ || (fpgaHoldsSensorBus_ && !fpga_.SensorBusRequested());
  return live;
}

bool VirtualCamera::I2cWrite(uint8_t address, std::span<const uint8_t> bytes) {
  const auto now = Clock::now();
  switch (address) {
    case hw::kI2cBoardPortWrite:
      if (!HasBoardPort()) return false;
      if (fpga_.I2cWrite(bytes) == Fpga::WriteEffect::kStreamRestart) ResetStreamLocked(now);
      return true;
    case hw::kI2cSensorWrite:
      // The FPGA drives the sensor bus itself unless the host was granted it.
      if (LiveLocked(now).fpgaHoldsSensorBus) return false;
      sensor_.I2cWrite(bytes);
      RetimeLocked(now);
      return true;
    case hw::kI2cEepromWrite:
      return eeprom_.Write(bytes, now);
    case hw::mt9f::kI2cAddress:
      if (!HasColorSensor() || LiveLocked(now).fpgaHoldsSensorBus) return false;
      colorSensor_.I2cWrite(bytes);
      return true;
    case hw::kI2cAuxWrite:
      // [register] points, [register, value] writes.
      if (bytes.size() >= 2) auxRegisters_[bytes[0]] = bytes[1];
      return !bytes.empty();
    default:
      return false;
  }
}

bool VirtualCamera::I2cRead(uint8_t address, std::span<uint8_t> bytes) {
  const auto now = Clock::now();
  switch (address) {
    case hw::kI2cBoardPortRead:
      if (!HasBoardPort()) return false;
      fpga_.I2cRead(bytes, LiveLocked(now));
      return true;
    case hw::kI2cSensorRead:
      if (LiveLocked(now).fpgaHoldsSensorBus) return false;
      sensor_.I2cRead(bytes);
      return true;
    case hw::kI2cEepromRead:
      return eeprom_.Read(bytes, now);
    case hw::mt9f::kI2cAddress | 1:
      if (!HasColorSensor() || LiveLocked(now).fpgaHoldsSensorBus) return false;
      colorSensor_.I2cRead(bytes);
      return true;
    default:
      return false;
  }
}

void VirtualCamera::ArmStream() {
  phase_ = Phase::kHeader;
  armed_ = true;
}

void VirtualCamera::RecoverStream() {
  ResetStreamLocked(Clock::now());
}

void VirtualCamera::OneByteCommand(uint8_t value) {
  if (config_.route() == FrameRoute::kAuxiliary && value <= 1) auxBytesPerPixel_ = value + 1;
}

void VirtualCamera::WorkerLoop() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    const auto now = Clock::now();
    ServePipesLocked(now);
    // A read still pending may be waiting for the next frame; it is looked at again then.
    if (!pendingReads_.empty() && !stalled_ && !triggered_) {
      wake_.wait_until(lock, clock_.NextFrame(now));
    } else {
      wake_.wait(lock);
    }
  }
}

bool VirtualCamera::IsPlugged() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

void VirtualCamera::SetPlugged(bool plugged) {
  std::lock_guard lock(mutex_);
  if (plugged == plugged_) return;
  plugged_ = plugged;
  if (!plugged) {
    ++generation_;
    FailPendingLocked(UsbStatus::kNoDevice);
    ResetStreamLocked(Clock::now());
  }
}

void VirtualCamera::StallStream(bool stalled) {
  {
    std::lock_guard lock(mutex_);
    stalled_ = stalled;
  }
  wake_.notify_all();
}

void VirtualCamera::FailNextFrameHeaders(int count) {
  std::lock_guard lock(mutex_);
  failHeaders_ = std::max(count, 0);
}

void VirtualCamera::FailNextTransfers(int count) {
  std::lock_guard lock(mutex_);
  failTransfers_ = std::max(count, 0);
}

void VirtualCamera::ShortenNextTransfer(uint32_t missingBytes) {
  std::lock_guard lock(mutex_);
  shortenBy_ = missingBytes;
}

void VirtualCamera::PulseTrigger() {
  {
    std::lock_guard lock(mutex_);
    if (!sensor_.Standby()) clock_.Trigger(Clock::now());
  }
  wake_.notify_all();
}

void VirtualCamera::SetInputs(uint8_t lines) {
  std::lock_guard lock(mutex_);
  fpga_.SetInputs(lines);
}

uint8_t VirtualCamera::Outputs() const {
  std::lock_guard lock(mutex_);
  return fpga_.Outputs();
}

uint8_t VirtualCamera::BoardRegister(uint8_t reg) const {
  std::lock_guard lock(mutex_);
  return fpga_.Read(reg, LiveLocked(Clock::now()));
}

uint8_t VirtualCamera::SensorRegister(uint16_t address) const {
  std::lock_guard lock(mutex_);
  return sensor_.Register(address);
}

uint16_t VirtualCamera::ColorSensorRegister(uint16_t address) const {
  std::lock_guard lock(mutex_);
  return colorSensor_.Register(address);
}

uint8_t VirtualCamera::AuxRegister(uint8_t reg) const {
  std::lock_guard lock(mutex_);
  return auxRegisters_[reg];
}

uint32_t VirtualCamera::WideRegister(uint16_t address) const {
  std::lock_guard lock(mutex_);
  return firmware_.WideRegister(address);
}

void VirtualCamera::SetBoardRegister(uint8_t reg, uint8_t value) {
  std::lock_guard lock(mutex_);
  fpga_.Force(reg, value);
}

void VirtualCamera::SetReadyFlag(bool ready) {
  std::lock_guard lock(mutex_);
  readyFlag_ = ready;
}

void VirtualCamera::SetSensorTemperature(double celsius) {
  std::lock_guard lock(mutex_);
  sensor_.SetTemperature(celsius);
}

void VirtualCamera::SetFpgaTemperature(double celsius) {
  std::lock_guard lock(mutex_);
  fpga_.SetDieTemperature(celsius);
}

void VirtualCamera::HoldSensorBus(bool held) {
  std::lock_guard lock(mutex_);
  fpgaHoldsSensorBus_ = held;
}

void VirtualCamera::JamSensorBus(bool jammed) {
  std::lock_guard lock(mutex_);
  sensorBusJammed_ = jammed;
}

uint32_t VirtualCamera::FrameCounter() const {
  std::lock_guard lock(mutex_);
  return clock_.Count(Clock::now());
}

}  // namespace tevrin::virtualcam

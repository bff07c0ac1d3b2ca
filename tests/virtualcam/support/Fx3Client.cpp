#include "Fx3Client.h"

#include <tevrin/hardware/Eeprom.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/FrameHeader.h>
#include <tevrin/win32/Driver.h>

#include <cstring>

namespace fx3test {

namespace hw = tevrin::hardware;

namespace {
GUID Fx3Guid() {
  GUID guid;
  std::memcpy(&guid, &hw::kFx3InterfaceGuid, sizeof(guid));
  return guid;
}
uint32_t U32At(const uint8_t* bytes, size_t offset) {
  uint32_t value;
  std::memcpy(&value, bytes + offset, sizeof(value));
  return value;
}
}  // namespace

std::vector<std::string> EnumerateCameras() {
  std::vector<std::string> paths;
  GUID guid = Fx3Guid();
  HDEVINFO set = SetupDiGetClassDevsA(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return paths;
  for (DWORD i = 0; i < 32; ++i) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!SetupDiEnumDeviceInterfaces(set, nullptr, &guid, i, &data)) continue;
    DWORD required = 0;
    SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &required, nullptr);
    std::vector<uint8_t> buffer(required);
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
    detail->cbSize = 8;
    if (SetupDiGetDeviceInterfaceDetailA(set, &data, detail, required, nullptr, nullptr)) {
      paths.emplace_back(detail->DevicePath);
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return paths;
}

Fx3Client::Fx3Client(const std::string& path, bool overlapped)
    : handle_(tevrin::win32::OpenDevicePath(path.c_str(), GENERIC_WRITE, overlapped ? FILE_FLAG_OVERLAPPED : 0)) {}

Fx3Client::~Fx3Client() {
  if (IsOpen()) CloseHandle(handle_);
}

std::optional<DWORD> Fx3Client::Control(uint8_t type, uint8_t request, uint16_t value, uint16_t index,
                                        const std::vector<uint8_t>& data) {
  block = {};
  block.header.bmRequestType = type;
  block.header.bRequest = request;
  block.header.wValue = value;
  block.header.wIndex = index;
  block.header.wLength = hw::kControlBlockLength;
  block.header.timeoutSeconds = hw::kControlTimeoutSeconds;
  block.header.bufferOffset = sizeof(hw::SingleTransfer);
  block.header.bufferLength = hw::kControlDataBytes;
  if (!data.empty()) std::memcpy(block.data, data.data(), std::min(data.size(), sizeof(block.data)));
  DWORD returned = 0;
  if (!DeviceIoControl(handle_, hw::kIoctlControlTransfer, &block, sizeof(block), &block, sizeof(block), &returned,
                       nullptr)) {
    return std::nullopt;
  }
  return returned;
}

bool Fx3Client::I2cWrite(uint8_t address, const std::vector<uint8_t>& bytes) {
  return Control(hw::kRequestTypeVendorOut, hw::kVendorI2cWrite, static_cast<uint16_t>(bytes.size()), address, bytes)
      .has_value();
}

std::optional<std::vector<uint8_t>> Fx3Client::I2cRead(uint8_t address, size_t count) {
  auto returned = Control(hw::kRequestTypeVendorIn, hw::kVendorI2cRead, static_cast<uint16_t>(count), address);
  if (!returned || *returned < sizeof(hw::SingleTransfer) + count) return std::nullopt;
  return std::vector<uint8_t>(block.data, block.data + count);
}

bool Fx3Client::WriteBoard(uint8_t reg, uint8_t value) {
  return I2cWrite(hw::kI2cBoardPortWrite, {reg, 0, value});
}

std::optional<uint8_t> Fx3Client::ReadBoard(uint8_t reg) {
  if (!I2cWrite(hw::kI2cBoardPortWrite, {reg})) return std::nullopt;
  auto bytes = I2cRead(hw::kI2cBoardPortRead, 2);
  if (!bytes) return std::nullopt;
  return (*bytes)[1];
}

bool Fx3Client::WriteSensor(uint16_t address, uint8_t value) {
  WriteBoard(hw::fpga::kSensorBusRequest, 1);
  auto status = ReadBoard(hw::fpga::kStatus);
  bool ok = status && !(*status & hw::fpga::kStatusSensorBusBusy) &&
            I2cWrite(hw::kI2cSensorWrite, {uint8_t(address >> 8), uint8_t(address & 0xFF), value});
  WriteBoard(hw::fpga::kSensorBusRequest, 0);
  return ok;
}

std::optional<uint8_t> Fx3Client::ReadSensor(uint16_t address) {
  WriteBoard(hw::fpga::kSensorBusRequest, 1);
  std::optional<uint8_t> value;
  auto status = ReadBoard(hw::fpga::kStatus);
  if (status && !(*status & hw::fpga::kStatusSensorBusBusy) &&
      I2cWrite(hw::kI2cSensorWrite, {uint8_t(address >> 8), uint8_t(address & 0xFF)})) {
    auto bytes = I2cRead(hw::kI2cSensorRead, 1);
    if (bytes) value = (*bytes)[0];
  }
  WriteBoard(hw::fpga::kSensorBusRequest, 0);
  return value;
}

bool Fx3Client::WriteEeprom(uint16_t address, uint8_t value) {
  bool ok = I2cWrite(hw::kI2cEepromWrite, {uint8_t(address >> 8), uint8_t(address & 0xFF), value});
  Sleep(hw::kEepromWriteSettleMs);
  return ok;
}

std::optional<uint8_t> Fx3Client::ReadEeprom(uint16_t address) {
  if (!I2cWrite(hw::kI2cEepromWrite, {uint8_t(address >> 8), uint8_t(address & 0xFF)})) return std::nullopt;
  Sleep(hw::kEepromReadSettleMs);
  auto bytes = I2cRead(hw::kI2cEepromRead, 1);
  if (!bytes) return std::nullopt;
  return (*bytes)[0];
}

bool Fx3Client::Arm() {
  return Control(hw::kRequestTypeVendorEndpointOut, hw::kVendorStreamArm, 0, 0).has_value();
}

Fx3Client::Transfer Fx3Client::Bulk(uint8_t endpoint, void* buffer, DWORD length, DWORD timeoutMs) {
  Transfer result;
  result.header.endpointAddress = endpoint;
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  BOOL done = DeviceIoControl(handle_, hw::kIoctlDirectTransfer, &result.header, sizeof(result.header), buffer, length,
                              &result.bytes, &overlapped);
  if (!done && GetLastError() == ERROR_IO_PENDING) {
    if (WaitForSingleObject(overlapped.hEvent, timeoutMs) != WAIT_OBJECT_0) Abort(endpoint);
    done = GetOverlappedResult(handle_, &overlapped, &result.bytes, TRUE);
  }
  result.error = done ? ERROR_SUCCESS : GetLastError();
  result.ok = done && result.header.ntStatus == 0 && result.header.usbdStatus == 0;
  CloseHandle(overlapped.hEvent);
  return result;
}

bool Fx3Client::Abort(uint8_t endpoint) {
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD returned = 0;
  BOOL done = DeviceIoControl(handle_, hw::kIoctlAbortPipe, &endpoint, 1, nullptr, 0, &returned, &overlapped);
  if (!done && GetLastError() == ERROR_IO_PENDING) done = GetOverlappedResult(handle_, &overlapped, &returned, TRUE);
  CloseHandle(overlapped.hEvent);
  return done;
}

Fx3Client::Frame Fx3Client::ReadFrame(DWORD timeoutMs) {
  Frame frame;
  if (!Arm()) return frame;
  auto header = Bulk(hw::kEndpointImageIn, frame.header, sizeof(frame.header), timeoutMs);
  if (!header.ok || header.bytes != sizeof(frame.header)) return frame;
  frame.image.resize(frame.imageBytes());
  auto image = Bulk(hw::kEndpointImageIn, frame.image.data(), static_cast<DWORD>(frame.image.size()), timeoutMs);
  frame.ok = image.ok && image.bytes == frame.image.size();
  return frame;
}

uint32_t Fx3Client::Frame::counter() const {
  return U32At(header, offsetof(hw::FrameHeader, frameCounter));
}
uint32_t Fx3Client::Frame::imageBytes() const {
  return U32At(header, offsetof(hw::FrameHeader, imageBytes));
}
uint32_t Fx3Client::Frame::timestamp() const {
  return U32At(header, offsetof(hw::FrameHeader, timestampMicros));
}

}  // namespace fx3test

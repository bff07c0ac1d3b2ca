// Lifecycle and the control requests of the FX3 controller.
#include "usb/TevrinCy3Cam.h"

#include <tevrin/hardware/Eeprom.h>
#include <tevrin/hardware/Fx3Requests.h>

#include <cstring>
#include <new>

#include "usb/DevicePath.h"

namespace hw = tevrin::hardware;
using tevrin::usb::ReadOutcome;
using tevrin::usb::VendorReply;
using tevrin::usb::VendorRequest;

namespace {

constexpr size_t kTransferBlockBytes = hw::kMaxBulkBytes + sizeof(hw::SingleTransfer);
constexpr uint32_t kBoardPortTimeoutMs = 3000;
constexpr uint8_t kFpgaVersionLow = 0x10;
constexpr uint8_t kFpgaVersionHigh = 0x11;

VendorRequest In(uint8_t request, uint16_t value = 0, uint16_t index = 0) {
  return {hw::kRequestTypeVendorIn, request, value, index};
}

VendorRequest Out(uint8_t request, std::span<const uint8_t> data = {}, uint16_t value = 0, uint16_t index = 0) {
  return {hw::kRequestTypeVendorOut, request, value, index, data};
}

}  // namespace

CTevrinCy3Cam::CTevrinCy3Cam(const GUID* guid) : CFx3Api(guid) {}

CTevrinCy3Cam::~CTevrinCy3Cam() {
  ReleaseTransfer();
}

VendorReply CTevrinCy3Cam::Vendor(const VendorRequest& request) const {
  const auto device = OpenSelectedDevice(false);
  if (!device) return {};
  return tevrin::usb::SendVendorRequest(device.get(), request);
}

int CTevrinCy3Cam::GetReserved() {
  return 0;
}

int CTevrinCy3Cam::AllocateTransfer() {
  if (!transferBlock_) transferBlock_.reset(new (std::nothrow) uint8_t[kTransferBlockBytes]);
  return transferBlock_ != nullptr;
}

int CTevrinCy3Cam::ReleaseTransfer() {
  CloseStream();
  transferBlock_.reset();
  return 1;
}

int CTevrinCy3Cam::SelectDevice(int index) {
  CloseStream();
  const auto entry = Entry(index);
  if (!entry || !tevrin::usb::OpenDevicePath(entry->path, false)) return 0;
  SetSelectedIndex(index);
  return 1;
}

int CTevrinCy3Cam::ReadFpgaVersion(uint16_t* version) {
  uint8_t low = 0;
  uint8_t high = 0;
  if (!version || !ReadBoardRegister(kFpgaVersionLow, &low) || !ReadBoardRegister(kFpgaVersionHigh, &high)) return 0;
  *version = static_cast<uint16_t>(low | high << 8);
  return 1;
}

int CTevrinCy3Cam::ReadReadyFlag(uint8_t* ready) {
  if (!ready) return 0;
  const VendorReply reply = Vendor(In(hw::kVendorReadyFlag));
  if (reply.ok && reply.dataBytes >= 1) *ready = reply.data[0];
  return reply.ok;
}

int CTevrinCy3Cam::SendCommandCC() {
  return Vendor({hw::kRequestTypeVendorEndpointOut, hw::kVendorCommandCC}).ok;
}

int CTevrinCy3Cam::SendStreamRecovery() {
  return Vendor(Out(hw::kVendorStreamRecover)).ok;
}

ReadOutcome CTevrinCy3Cam::SendStreamArm(HANDLE stream) {
  const VendorReply reply =
      tevrin::usb::SendVendorRequest(stream, {hw::kRequestTypeVendorEndpointOut, hw::kVendorStreamArm});
  return reply.ok ? ReadOutcome::kDone : tevrin::usb::OutcomeOfError(reply.error);
}

int CTevrinCy3Cam::I2cWrite(uint8_t address, const uint8_t* data, uint32_t count, uint32_t) {
  if (count > hw::kI2cMaxBytes || (!data && count)) return 0;
  return Vendor(Out(hw::kVendorI2cWrite, {data, count}, static_cast<uint16_t>(count), address)).ok;
}

int CTevrinCy3Cam::I2cRead(uint8_t address, uint8_t* data, uint32_t count, uint32_t) {
  if (count > hw::kI2cMaxBytes || (!data && count)) return 0;
  const VendorReply reply = Vendor(In(hw::kVendorI2cRead, static_cast<uint16_t>(count), address | 1));
  if (reply.ok && reply.dataBytes >= count && count) std::memcpy(data, reply.data.data(), count);
  return reply.ok;
}

int CTevrinCy3Cam::WriteWideRegister(uint32_t address, uint32_t value) {
  const uint8_t data[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                           static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  // Bit 15 of the address travels in place in wValue, the other bits in wIndex.
  return Vendor(Out(hw::kVendorWideWrite, data, static_cast<uint16_t>(address & 0x8000),
                    static_cast<uint16_t>(address & 0x7FFF)))
      .ok;
}

int CTevrinCy3Cam::ReadWideRegister(uint32_t address, uint32_t* value) {
  if (!value) return 0;
  *value = 0;
  const VendorReply reply = Vendor(In(hw::kVendorWideRead, 0, static_cast<uint16_t>(address)));
  if (reply.ok && reply.dataBytes >= hw::kControlDataBytes) *value = reply.data[0] | reply.data[1] << 8;
  return reply.ok;
}

int CTevrinCy3Cam::WriteValuePair(uint16_t first, uint16_t second) {
  const uint8_t data[4] = {static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first),
                           static_cast<uint8_t>(second >> 8), static_cast<uint8_t>(second)};
  return Vendor(Out(hw::kVendorWriteValuePair, data)).ok;
}

int CTevrinCy3Cam::ReadValue(uint16_t argument, uint32_t* value) {
  if (!value) return 0;
  const VendorReply reply = Vendor(In(hw::kVendorReadValue, argument));
  if (reply.ok && reply.dataBytes >= 1) *value = reply.data[0] | reply.data[1] << 8;
  return reply.ok;
}

int CTevrinCy3Cam::SendByte(uint32_t value) {
  // The firmware takes the command as the low byte of a little-endian word.
  const uint8_t data[4] = {static_cast<uint8_t>(value), 0, 0, 0};
  return Vendor(Out(hw::kVendorSendByte, data)).ok;
}

int CTevrinCy3Cam::ReadByte(uint8_t* value) {
  if (!value) return 0;
  const VendorReply reply = Vendor(In(hw::kVendorReadByte));
  if (reply.ok && reply.dataBytes >= 1) *value = reply.data[0];
  return reply.ok;
}

int CTevrinCy3Cam::ReadInfoBlock(uint8_t request, uint8_t* block) {
  if (!block) return 0;
  const VendorReply reply = Vendor(In(request));
  if (reply.ok) std::memcpy(block, reply.data.data(), reply.dataBytes);
  return reply.ok;
}

int CTevrinCy3Cam::ReadControllerInfo(uint8_t* block) {
  return ReadInfoBlock(hw::kVendorControllerInfo, block);
}

int CTevrinCy3Cam::ReadControllerInfo2(uint8_t* block) {
  return ReadInfoBlock(hw::kVendorControllerInfo2, block);
}

int CTevrinCy3Cam::WriteBoardRegister(uint8_t reg, uint8_t value) {
  // The port takes an 8-bit register and a big-endian 16-bit value.
  const uint8_t data[3] = {reg, 0x00, value};
  std::lock_guard lock(boardLock_);
  return I2cWrite(hw::kI2cBoardPortWrite, data, sizeof(data), kBoardPortTimeoutMs);
}

int CTevrinCy3Cam::ReadBoardRegister(uint8_t reg, uint8_t* value) {
  if (!value) return 0;
  uint8_t reply[2] = {};
  std::lock_guard lock(boardLock_);
  if (!I2cWrite(hw::kI2cBoardPortWrite, &reg, 1, kBoardPortTimeoutMs) ||
      !I2cRead(hw::kI2cBoardPortRead, reply, sizeof(reply), kBoardPortTimeoutMs))
    return 0;
  *value = reply[1];
  return 1;
}

int CTevrinCy3Cam::WriteAuxRegister(uint8_t reg, uint8_t value) {
  const uint8_t data[2] = {reg, value};
  return I2cWrite(hw::kI2cAuxWrite, data, sizeof(data), kBoardPortTimeoutMs);
}

int CTevrinCy3Cam::ReadAuxRegister(uint8_t reg, uint8_t* value) {
  if (!value) return 0;
  return I2cWrite(hw::kI2cAuxWrite, &reg, 1, kBoardPortTimeoutMs) &&
         I2cRead(hw::kI2cAuxRead, value, 1, kBoardPortTimeoutMs);
}

int CTevrinCy3Cam::WriteEepromByte(uint16_t address, uint8_t value) {
  const uint8_t data[3] = {static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address), value};
  std::lock_guard lock(eepromLock_);
  const int ok = I2cWrite(hw::kI2cEepromWrite, data, sizeof(data), kBoardPortTimeoutMs);
  // The part ignores the bus while it programs the cell.
  Sleep(hw::kEepromWriteSettleMs);
  return ok;
}

int CTevrinCy3Cam::ReadEepromByte(uint16_t address, uint8_t* value) {
  if (!value) return 0;
  const uint8_t data[2] = {static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)};
  std::lock_guard lock(eepromLock_);
  if (!I2cWrite(hw::kI2cEepromWrite, data, sizeof(data), kBoardPortTimeoutMs)) return 0;
  Sleep(hw::kEepromReadSettleMs);
  return I2cRead(hw::kI2cEepromRead, value, 1, kBoardPortTimeoutMs);
}

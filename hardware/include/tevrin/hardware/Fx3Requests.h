// What the FX3 kernel driver and the camera firmware understand: driver
// control codes, the request blocks they carry, vendor request codes and the
// memory-window command. Little-endian, packed, exactly as they cross the wire.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevrin::hardware {

// DeviceIoControl codes of the FX3 driver.
inline constexpr uint32_t kIoctlControlTransfer = 0x220020;   // endpoint-0 request block in and out
inline constexpr uint32_t kIoctlBufferedTransfer = 0x220024;  // 38-byte header + data in one buffer
inline constexpr uint32_t kIoctlResetPipe = 0x22002C;         // in: 1 byte endpoint address
inline constexpr uint32_t kIoctlResetParentPort = 0x220030;   // no buffers
inline constexpr uint32_t kIoctlAbortPipe = 0x220044;         // in: 1 byte endpoint address
inline constexpr uint32_t kIoctlDirectTransfer = 0x22004B;    // in: 38-byte header, out: the caller's data
inline constexpr uint32_t kIoctlGetDeviceSpeed = 0x22004C;    // in = out = u32

inline constexpr uint32_t kDeviceSpeedSuper = 4;  // USB 3 SuperSpeed, what the fast clock mode needs

// Endpoints.
inline constexpr uint8_t kEndpointControl = 0x00;
inline constexpr uint8_t kEndpointImageIn = 0x81;  // frame headers, image data, memory-window reads
inline constexpr uint8_t kEndpointBulkOut = 0x01;  // memory-window commands and writes
inline constexpr uint8_t kEndpointAuxIn = 0x83;    // auxiliary block of the register-less product

// bmRequestType values.
inline constexpr uint8_t kRequestTypeVendorOut = 0x40;          // vendor, device, host to device
inline constexpr uint8_t kRequestTypeVendorIn = 0xC0;           // vendor, device, device to host
inline constexpr uint8_t kRequestTypeVendorEndpointOut = 0x42;  // vendor, endpoint, host to device
inline constexpr uint8_t kRequestTypeDirectionIn = 0x80;
inline constexpr uint8_t kRequestTypeIgnoredBits = 0x1C;  // bits 2..4 mean nothing to the firmware

// Vendor requests (bRequest) on endpoint 0.
inline constexpr uint8_t kVendorI2cWrite = 0x30;         // wValue count, wIndex I2C write address
inline constexpr uint8_t kVendorI2cRead = 0x31;          // wValue count, wIndex I2C read address
inline constexpr uint8_t kVendorSendByte = 0x3C;         // data: u32 whose low byte is the command
inline constexpr uint8_t kVendorReadByte = 0x3D;         // reply: 1 byte
inline constexpr uint8_t kVendorWriteValuePair = 0x3E;   // data: two big-endian u16
inline constexpr uint8_t kVendorReadValue = 0x3F;        // wValue argument, reply: u16
inline constexpr uint8_t kVendorControllerInfo = 0xB0;   // reply: 64-byte information block
inline constexpr uint8_t kVendorControllerInfo2 = 0xB1;  // reply: second 64-byte block
inline constexpr uint8_t kVendorStreamRecover = 0xC0;    // no data
inline constexpr uint8_t kVendorStreamArm = 0xC2;        // no data, before each header read
inline constexpr uint8_t kVendorReadyFlag = 0xC3;        // reply: 1 byte, 1 = FPGA ready
inline constexpr uint8_t kVendorCommandCC = 0xCC;        // no data
inline constexpr uint8_t kVendorWideWrite = 0xD0;        // wValue bit 15 of address, wIndex bits 0..14
inline constexpr uint8_t kVendorWideRead = 0xD1;         // wIndex address, reply: u16

// 8-bit I2C addresses (write form; the read form has bit 0 set).
inline constexpr uint8_t kI2cBoardPortWrite = 0x40;
inline constexpr uint8_t kI2cBoardPortRead = 0x41;
inline constexpr uint8_t kI2cSensorWrite = 0x48;
inline constexpr uint8_t kI2cSensorRead = 0x49;
inline constexpr uint8_t kI2cAuxWrite = 0x5A;
inline constexpr uint8_t kI2cAuxRead = 0x5B;
inline constexpr uint8_t kI2cEepromWrite = 0xA2;
inline constexpr uint8_t kI2cEepromRead = 0xA3;
inline constexpr uint8_t kI2cMaxBytes = 64;

// Status words the driver writes into the request header; both 0 on success.
inline constexpr uint32_t kNtStatusSuccess = 0;
inline constexpr uint32_t kNtStatusUnsuccessful = 0xC0000001;
inline constexpr uint32_t kNtStatusCancelled = 0xC0000120;
inline constexpr uint32_t kNtStatusNoSuchDevice = 0xC000000E;
inline constexpr uint32_t kUsbdStatusSuccess = 0;
inline constexpr uint32_t kUsbdStatusStall = 0xC0000004;
inline constexpr uint32_t kUsbdStatusCanceled = 0xC0010000;
inline constexpr uint32_t kUsbdStatusDeviceGone = 0xC0007000;

inline constexpr uint32_t kControlTimeoutSeconds = 3;
inline constexpr uint32_t kMaxBulkBytes = 0x4000000;  // 64 MiB per transfer

#pragma pack(push, 1)
// The driver's single-transfer record: the whole of a bulk request header and
// the head of the endpoint-0 request block.
struct SingleTransfer {
  uint8_t bmRequestType;
  uint8_t bRequest;
  uint16_t wValue;
  uint16_t wIndex;
  uint16_t wLength;
  uint32_t timeoutSeconds;
  uint8_t reserved;
  uint8_t endpointAddress;
  uint32_t ntStatus;
  uint32_t usbdStatus;
  uint32_t isoPacketOffset;
  uint32_t isoPacketLength;
  uint32_t bufferOffset;
  uint32_t bufferLength;
};

inline constexpr size_t kControlDataBytes = 64;

// Endpoint-0 request block: the same 102 bytes go in and come back.
struct ControlRequestBlock {
  SingleTransfer header;
  uint8_t data[kControlDataBytes];
};

// Sent on endpoint 0x01 ahead of each memory-window chunk.
struct MemoryWindowCommand {
  char tag[4];  // "ZU3R" or "ZU3W"
  uint32_t version;
  uint32_t addressLow;
  uint32_t addressHigh;
  uint32_t length;
  uint8_t reserved[12];
};
#pragma pack(pop)

static_assert(sizeof(SingleTransfer) == 38);
static_assert(offsetof(SingleTransfer, wLength) == 6);
static_assert(offsetof(SingleTransfer, timeoutSeconds) == 8);
static_assert(offsetof(SingleTransfer, endpointAddress) == 13);
static_assert(offsetof(SingleTransfer, ntStatus) == 14);
static_assert(offsetof(SingleTransfer, usbdStatus) == 18);
static_assert(offsetof(SingleTransfer, bufferOffset) == 30);
static_assert(offsetof(SingleTransfer, bufferLength) == 34);
static_assert(sizeof(ControlRequestBlock) == 102);
static_assert(offsetof(ControlRequestBlock, data) == 38);
static_assert(sizeof(MemoryWindowCommand) == 32);
static_assert(offsetof(MemoryWindowCommand, length) == 16);

inline constexpr uint16_t kControlBlockLength = sizeof(ControlRequestBlock);
inline constexpr uint32_t kMemoryWindowVersion = 2;
inline constexpr char kMemoryReadTag[4] = {'Z', 'U', '3', 'R'};
inline constexpr char kMemoryWriteTag[4] = {'Z', 'U', '3', 'W'};

// Device interface class of the FX3 driver: {328184C5-93E6-49B7-94B8-2ADA13AABB39}.
struct InterfaceGuid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};
inline constexpr InterfaceGuid kFx3InterfaceGuid = {
    0x328184C5, 0x93E6, 0x49B7, {0x94, 0xB8, 0x2A, 0xDA, 0x13, 0xAA, 0xBB, 0x39}};

// Device interface paths read "\\?\usb#vid_XXXX&pid_YYYY#<instance>#{guid}";
// the scan takes the IDs from these character positions.
inline constexpr size_t kPathVendorIdOffset = 12;
inline constexpr size_t kPathProductIdOffset = 21;
inline constexpr uint16_t kCypressVendorId = 0x04B4;

}  // namespace tevrin::hardware

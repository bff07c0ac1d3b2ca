// The machine-wide table of discovered camera interfaces, as it lies in the
// shared block "U3K5-MemMap" that every process using the SDK maps.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tevrin::usb {

inline constexpr int kMaxDevices = 32;
inline constexpr size_t kDevicePathBytes = 260;
inline constexpr char kSharedBlockName[] = "U3K5-MemMap";

struct DeviceTableEntry {
  uint16_t vendorId;
  uint16_t productId;  // 0 marks a free entry
  int32_t ordinal;     // position among the entries with the same IDs; -1 when free
  char path[kDevicePathBytes];
};

struct SharedDeviceBlock {
  int32_t userCount;  // live controllers in all processes
  DeviceTableEntry entries[kMaxDevices];
  int32_t entryCount;
};

static_assert(sizeof(DeviceTableEntry) == 268);
static_assert(offsetof(DeviceTableEntry, productId) == 2);
static_assert(offsetof(DeviceTableEntry, ordinal) == 4);
static_assert(offsetof(DeviceTableEntry, path) == 8);
static_assert(sizeof(SharedDeviceBlock) == 8584);
static_assert(offsetof(SharedDeviceBlock, entries) == 4);
static_assert(offsetof(SharedDeviceBlock, entryCount) == 8580);

// Empties every entry and the count; the user count is left alone.
void ClearDeviceTable(SharedDeviceBlock& block);

// Brings a block read from another process into a shape this process can
// index safely: the count within 0..32 and every path terminated.
void SanitizeDeviceTable(SharedDeviceBlock& block);

// Appends a discovered interface unless its path is already known; its
// ordinal counts the entries with the same IDs before it. Returns false when
// nothing was added (known path or full table).
bool AddDeviceToTable(SharedDeviceBlock& block, uint16_t vendorId, uint16_t productId, const char* path);

}  // namespace tevrin::usb

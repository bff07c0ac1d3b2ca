#include "usb/DeviceTable.h"

#include <windows.h>

#include <cstring>

namespace tevrin::usb {

void ClearDeviceTable(SharedDeviceBlock& block) {
  for (DeviceTableEntry& entry : block.entries) {
    entry.vendorId = 0;
    entry.productId = 0;
    entry.ordinal = -1;
    std::memset(entry.path, 0, sizeof(entry.path));
  }
  block.entryCount = 0;
}

void SanitizeDeviceTable(SharedDeviceBlock& block) {
  if (block.entryCount < 0) block.entryCount = 0;
  if (block.entryCount > kMaxDevices) block.entryCount = kMaxDevices;
  for (DeviceTableEntry& entry : block.entries) entry.path[kDevicePathBytes - 1] = '\0';
}

bool AddDeviceToTable(SharedDeviceBlock& block, uint16_t vendorId, uint16_t productId, const char* path) {
  int32_t ordinal = 0;
  for (const DeviceTableEntry& entry : block.entries) {
    if (entry.vendorId != vendorId || entry.productId != productId) continue;
    if (std::strcmp(entry.path, path) == 0) return false;
    ++ordinal;
  }
  if (block.entryCount >= kMaxDevices) return false;
  DeviceTableEntry& slot = block.entries[block.entryCount];
  // Entries are only ever appended, so the slot at the count is free unless
  // another process wrote the block inconsistently; the new entry wins.
  if (slot.productId != 0) OutputDebugStringA("ここには入ってこないはず\r\n");
  slot.vendorId = vendorId;
  slot.productId = productId;
  slot.ordinal = ordinal;
  std::memset(slot.path, 0, sizeof(slot.path));
  std::strncpy(slot.path, path, kDevicePathBytes - 1);
  ++block.entryCount;
  return true;
}

}  // namespace tevrin::usb

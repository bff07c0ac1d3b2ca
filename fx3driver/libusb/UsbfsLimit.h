// The kernel's cap on memory for USB transfers in flight through usbfs
// (usbcore's usbfs_memory_mb). A transfer beyond it fails at submission, so a
// camera would open and then never deliver a memory-window chunk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tevrin::fx3driver {

inline constexpr const char* kUsbfsLimitPath = "/sys/module/usbcore/parameters/usbfs_memory_mb";

// The largest transfer the transport keeps in flight is a 16 MiB memory-window
// chunk; usbfs also counts its own bookkeeping per transfer.
inline constexpr uint64_t kUsbfsBytesNeeded = (16u << 20) + (64u << 10);

// The limit in bytes (0: unlimited); nullopt when the file cannot be read.
std::optional<uint64_t> ReadUsbfsLimit(const char* path);

// The trace line for a limit below `needed`, else empty.
std::string UsbfsLimitWarning(std::optional<uint64_t> limit, uint64_t needed);

}  // namespace tevrin::fx3driver

#include "UsbfsLimit.h"

#include <fstream>

namespace tevrin::fx3driver {

std::optional<uint64_t> ReadUsbfsLimit(const char* path) {
  std::ifstream file(path);
  uint64_t megabytes = 0;
  if (!(file >> megabytes)) return std::nullopt;
  return megabytes << 20;
}

std::string UsbfsLimitWarning(std::optional<uint64_t> limit, uint64_t needed) {
  if (!limit || *limit == 0 || *limit >= needed) return {};
  return "[usb:warn] usbfs_memory_mb is " + std::to_string(*limit >> 20) +
         ": transfers of the camera need more; raise it with "
         "\"echo 0 | sudo tee /sys/module/usbcore/parameters/usbfs_memory_mb\" "
         "(0 removes the limit; usbcore.usbfs_memory_mb=0 on the kernel command line keeps it)\n";
}

}  // namespace tevrin::fx3driver

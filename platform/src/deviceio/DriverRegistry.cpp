// The drivers behind device interface paths, in order of registration.
#include <tevrin/win32/Driver.h>

#include <algorithm>

namespace tevrin::win32 {
namespace {

struct Drivers {
  std::mutex mutex;
  std::vector<std::shared_ptr<Driver>> list;
};

Drivers& Registry() {
  // Never destroyed: drivers registered by static initialisers of other
  // libraries may be looked up while those libraries unload.
  static auto* drivers = new Drivers;
  return *drivers;
}

}  // namespace

void RegisterDriver(std::shared_ptr<Driver> driver) {
  if (!driver) return;
  auto& registry = Registry();
  std::lock_guard lock(registry.mutex);
  registry.list.push_back(std::move(driver));
}

void UnregisterDriver(const std::shared_ptr<Driver>& driver) {
  auto& registry = Registry();
  std::lock_guard lock(registry.mutex);
  std::erase(registry.list, driver);
}

std::vector<std::shared_ptr<Driver>> RegisteredDrivers() {
  auto& registry = Registry();
  std::lock_guard lock(registry.mutex);
  return registry.list;
}

}  // namespace tevrin::win32

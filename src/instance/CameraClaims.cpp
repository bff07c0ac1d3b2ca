#include "instance/CameraClaims.h"

#include <map>
#include <mutex>

namespace {

struct Claims {
  std::mutex lock;
  std::map<int, const void*> owners;
};

// Never destroyed: acquisitions may end during the process's exit.
Claims& TheClaims() {
  static auto* claims = new Claims;
  return *claims;
}

}  // namespace

bool ClaimCamera(int ordinal, const void* owner) {
  Claims& claims = TheClaims();
  std::lock_guard hold(claims.lock);
  const auto [entry, inserted] = claims.owners.emplace(ordinal, owner);
  return inserted || entry->second == owner;
}

void ReleaseCamera(const void* owner) {
  Claims& claims = TheClaims();
  std::lock_guard hold(claims.lock);
  std::erase_if(claims.owners, [owner](const auto& entry) { return entry.second == owner; });
}

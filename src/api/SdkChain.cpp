#include "api/SdkChain.h"

#include <cstdlib>
#include <new>

#include <windows.h>

// tick + rand() + count, as applications have always seen them; drawn again
// while the sum is 0 (read as failure) or names a live instance, so that a
// handle always reaches exactly one instance.
std::int32_t CSdkChain::DrawHandle() {
  for (;;) {
    const std::uint32_t sum = static_cast<std::uint32_t>(GetTickCount()) + static_cast<std::uint32_t>(std::rand()) +
                              static_cast<std::uint32_t>(Count());
    const auto handle = static_cast<std::int32_t>(sum);
    if (handle != 0 && !Find(handle)) return handle;
  }
}

std::int32_t CSdkChain::Create() {
  std::unique_ptr<CTevrin> instance(new (std::nothrow) CTevrin(makeDevice_));
  if (!instance) return 0;
  // Drawing and inserting under one hold of the lock keeps two creators from
  // drawing the same free handle.
  std::lock_guard guard(Lock());
  const std::int32_t handle = DrawHandle();
  try {
    Insert(CSDKDATA{handle, instance.get()});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  instance.release();
  return handle;
}

CTevrin* CSdkChain::FindInstance(std::int32_t handle) {
  std::lock_guard guard(Lock());
  Node* node = Find(handle);
  return node ? node->data.instance : nullptr;
}

std::unique_ptr<CTevrin> CSdkChain::Release(std::int32_t handle) {
  std::lock_guard guard(Lock());
  if (!Find(handle)) return nullptr;
  std::unique_ptr<CTevrin> instance(Head()->data.instance);
  Unlink(Head());
  return instance;
}

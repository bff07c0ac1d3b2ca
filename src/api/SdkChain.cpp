#include "api/SdkChain.h"

#include <cstdlib>
#include <future>
#include <new>

#include <windows.h>

namespace {

// The deleter of the references: it does not delete, it tells Release that
// the last call running in the instance has ended.
struct LastReferenceGone {
  std::promise<void> gone;
  void operator()(CTevrin*) { gone.set_value(); }
};

}  // namespace

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
  std::shared_ptr<CTevrin> reference;
  try {
    reference = std::shared_ptr<CTevrin>(instance.get(), LastReferenceGone{});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  // Drawing and inserting under one hold of the lock keeps two creators from
  // drawing the same free handle.
  std::lock_guard guard(Lock());
  const std::int32_t handle = DrawHandle();
  try {
    Insert(CSDKDATA{handle, reference});
  } catch (const std::bad_alloc&) {
    return 0;
  }
  instance.release();
  return handle;
}

std::shared_ptr<CTevrin> CSdkChain::FindInstance(std::int32_t handle) {
  std::lock_guard guard(Lock());
  Node* node = Find(handle);
  return node ? node->data.instance : nullptr;
}

std::unique_ptr<CTevrin> CSdkChain::Release(std::int32_t handle) {
  std::shared_ptr<CTevrin> reference;
  {
    std::lock_guard guard(Lock());
    if (!Find(handle)) return nullptr;
    reference = std::move(Head()->data.instance);
    Unlink(Head());
  }
  if (!reference) return nullptr;
  std::unique_ptr<CTevrin> instance(reference.get());
  auto* deleter = std::get_deleter<LastReferenceGone>(reference);
  if (!deleter) return instance;
  std::future<void> gone = deleter->gone.get_future();
  reference.reset();
  gone.wait();
  return instance;
}

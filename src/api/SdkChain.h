#pragma once

#include <cstdint>
#include <memory>

#include "api/Ring.h"
#include "instance/Tevrin.h"

// One registry record: a handle and the instance it names. The record holds
// one reference to the instance and every call running in it holds another;
// the registry owns the instance from Create until Release hands it back.
struct CSDKDATA {
  std::int32_t handle;
  std::shared_ptr<CTevrin> instance;

  bool operator==(std::int32_t key) const { return handle == key; }
};

// The handle registry of the loaded module.
class CSdkChain : public CTRing<CSDKDATA> {
 public:
  explicit CSdkChain(CTevrin::DeviceFactory makeDevice = {}) : makeDevice_(std::move(makeDevice)) {}

  // Creates an instance under a fresh handle; 0 when it cannot be created.
  std::int32_t Create();
  // A reference to the instance of a live handle, or null; the instance
  // outlives the reference. The lock is not held on return.
  std::shared_ptr<CTevrin> FindInstance(std::int32_t handle);
  // Unlinks the handle, waits until no call holds a reference any more and
  // hands the instance to the caller, who destroys it outside the registry
  // lock; null for an unknown handle.
  std::unique_ptr<CTevrin> Release(std::int32_t handle);

 private:
  std::int32_t DrawHandle();

  CTevrin::DeviceFactory makeDevice_;
};

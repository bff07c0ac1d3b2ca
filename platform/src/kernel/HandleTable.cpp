#include <tevrin/win32/KernelObject.h>

#include <vector>

namespace tevrin::win32 {

namespace {
constexpr uintptr_t kHandleStep = 4;

size_t SlotOf(HANDLE handle) { return reinterpret_cast<uintptr_t>(handle) / kHandleStep - 1; }
HANDLE HandleOf(size_t slot) { return reinterpret_cast<HANDLE>((slot + 1) * kHandleStep); }
bool IsWellFormed(HANDLE handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && value % kHandleStep == 0;
}
}  // namespace

struct HandleTable::Impl {
  std::vector<std::shared_ptr<KernelObject>> slots;
  std::vector<size_t> freeSlots;
};

HandleTable& HandleTable::Instance() {
  // Never destroyed: threads that outlive main may still close handles.
  static HandleTable* table = [] {
    auto* created = new HandleTable;
    created->impl_ = std::make_unique<Impl>();
    return created;
  }();
  return *table;
}

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object) {
  std::lock_guard lock(mutex_);
  size_t slot;
  if (!impl_->freeSlots.empty()) {
    slot = impl_->freeSlots.back();
    impl_->freeSlots.pop_back();
    impl_->slots[slot] = std::move(object);
  } else {
    slot = impl_->slots.size();
    impl_->slots.push_back(std::move(object));
  }
  return HandleOf(slot);
}

std::shared_ptr<KernelObject> HandleTable::Lookup(HANDLE handle) const {
  if (!IsWellFormed(handle)) return nullptr;
  std::lock_guard lock(mutex_);
  size_t slot = SlotOf(handle);
  return slot < impl_->slots.size() ? impl_->slots[slot] : nullptr;
}

bool HandleTable::Remove(HANDLE handle) {
  if (!IsWellFormed(handle)) return false;
  std::shared_ptr<KernelObject> released;  // destroyed outside the lock
  std::lock_guard lock(mutex_);
  size_t slot = SlotOf(handle);
  if (slot >= impl_->slots.size() || !impl_->slots[slot]) return false;
  released = std::move(impl_->slots[slot]);
  impl_->freeSlots.push_back(slot);
  return true;
}

DWORD Waitable::Wait(DWORD milliseconds) {
  std::unique_lock lock(mutex_);
  auto signaled = [this] { return IsSignaledLocked(); };
  if (milliseconds == INFINITE) {
    changed_.wait(lock, signaled);
  } else if (!changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), signaled)) {
    return WAIT_TIMEOUT;
  }
  OnWaitSatisfiedLocked();
  return WAIT_OBJECT_0;
}

}  // namespace tevrin::win32

extern "C" BOOL WINAPI CloseHandle(HANDLE object) {
  if (!tevrin::win32::HandleTable::Instance().Remove(object)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  auto waitable = tevrin::win32::ObjectFromHandle<tevrin::win32::Waitable>(object);
  if (!waitable) return WAIT_FAILED;
  return waitable->Wait(milliseconds);
}

// Manual- and auto-reset events. Named events are shared within the process:
// a second CreateEventA with the same name opens the first and reports
// ERROR_ALREADY_EXISTS.
#include <tevrin/win32/KernelObject.h>

#include <map>
#include <string>

namespace tevrin::win32 {
namespace {

class Event final : public Waitable {
 public:
  Event(bool manualReset, bool initialState) : manualReset_(manualReset), signaled_(initialState) {}

  void Set() {
    std::lock_guard lock(mutex_);
    signaled_ = true;
    NotifyLocked();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    signaled_ = false;
  }

 private:
  bool IsSignaledLocked() const override { return signaled_; }
  void OnWaitSatisfiedLocked() override {
    if (!manualReset_) signaled_ = false;
  }

  const bool manualReset_;
  bool signaled_;
};

struct NamedEvents {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<Event>> byName;
};

NamedEvents& Names() {
  static auto* names = new NamedEvents;
  return *names;
}

}  // namespace
}  // namespace tevrin::win32

using tevrin::win32::Event;
using tevrin::win32::HandleTable;
using tevrin::win32::ObjectFromHandle;

extern "C" HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  if (name == nullptr || *name == '\0') {
    SetLastError(ERROR_SUCCESS);
    return HandleTable::Instance().Insert(std::make_shared<Event>(manualReset, initialState));
  }
  auto& names = tevrin::win32::Names();
  std::lock_guard lock(names.mutex);
  auto& slot = names.byName[name];
  if (auto existing = slot.lock()) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return HandleTable::Instance().Insert(existing);
  }
  auto created = std::make_shared<Event>(manualReset, initialState);
  slot = created;
  SetLastError(ERROR_SUCCESS);
  return HandleTable::Instance().Insert(created);
}

extern "C" BOOL WINAPI SetEvent(HANDLE event) {
  auto object = ObjectFromHandle<Event>(event);
  if (!object) return FALSE;
  object->Set();
  return TRUE;
}

extern "C" BOOL WINAPI ResetEvent(HANDLE event) {
  auto object = ObjectFromHandle<Event>(event);
  if (!object) return FALSE;
  object->Reset();
  return TRUE;
}

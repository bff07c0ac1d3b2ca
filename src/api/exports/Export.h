#pragma once

#include <TevrinSdk_Halden.h>

#include "api/SdkChain.h"
#include "api/WideText.h"

#define TEVRIN_EXPORT extern "C" __attribute__((visibility("default")))

// The module's handle registry: built when the library loads, freed when it
// unloads (instances still open are not torn down then).
CSdkChain& Registry();

// The rule every handle-taking export follows: an unknown handle returns
// `unknown` at once and records nothing (there is no instance to record in);
// otherwise the operation runs on the instance, outside the registry lock,
// holding a reference that keeps Release waiting until the call has ended.
template <typename R, typename Operation>
R Forward(int handle, R unknown, Operation&& operation) {
  const std::shared_ptr<CTevrin> instance = Registry().FindInstance(handle);
  return instance ? operation(*instance) : unknown;
}

// As Forward, for getters with an optional `ok` flag: an unknown handle also
// clears the flag, so a caller never reads a stale success.
template <typename R, typename Operation>
R ForwardOk(int handle, int* ok, R unknown, Operation&& operation) {
  const std::shared_ptr<CTevrin> instance = Registry().FindInstance(handle);
  if (instance) return operation(*instance);
  if (ok) *ok = 0;
  return unknown;
}

// Wide-text exports: the text is converted for the narrow operation, or the
// call fails with error 12.
template <typename Operation>
int ForwardWide(int handle, const wchar_t* wide, Operation&& operation) {
  return Forward(handle, 0, [&](CTevrin& instance) {
    char narrow[kNarrowTextSize];
    if (!ToNarrow(wide, narrow)) return instance.RecordError(TEVRIN_ERROR_TEXT_OR_FILE);
    return operation(instance, narrow);
  });
}


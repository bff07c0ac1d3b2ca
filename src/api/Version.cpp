#include <TevrinSdk_Halden.h>

#define TEVRIN_EXPORT extern "C" __attribute__((visibility("default")))

TEVRIN_EXPORT int Tevrin_GetDllVersion(void) { return 35128609; }

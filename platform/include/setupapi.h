/* SetupAPI subset: enumeration of device interfaces by interface class GUID.
   The set is a snapshot of what the registered drivers report present (so
   DIGCF_PRESENT changes nothing); DIGCF_DEVICEINTERFACE and a class GUID are
   required; the enumerator, parent window and SP_DEVINFO_DATA are not used. */
#ifndef TEVRIN_PLATFORM_SETUPAPI_H
#define TEVRIN_PLATFORM_SETUPAPI_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef PVOID HDEVINFO;

#define DIGCF_DEFAULT 0x00000001u
#define DIGCF_PRESENT 0x00000002u
#define DIGCF_ALLCLASSES 0x00000004u
#define DIGCF_PROFILE 0x00000008u
#define DIGCF_DEVICEINTERFACE 0x00000010u

typedef struct _SP_DEVINFO_DATA {
  DWORD cbSize;
  GUID ClassGuid;
  DWORD DevInst;
  ULONG_PTR Reserved;
} SP_DEVINFO_DATA, *PSP_DEVINFO_DATA;

typedef struct _SP_DEVICE_INTERFACE_DATA {
  DWORD cbSize;
  GUID InterfaceClassGuid;
  DWORD Flags;
  ULONG_PTR Reserved;
} SP_DEVICE_INTERFACE_DATA, *PSP_DEVICE_INTERFACE_DATA;

/* cbSize must be set to 8 (the 64-bit Windows size of the fixed part). */
typedef struct _SP_DEVICE_INTERFACE_DETAIL_DATA_A {
  DWORD cbSize;
  CHAR DevicePath[1];
} SP_DEVICE_INTERFACE_DETAIL_DATA_A, *PSP_DEVICE_INTERFACE_DETAIL_DATA_A;

HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID *classGuid, PCSTR enumerator, HWND parent, DWORD flags);
BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                                        const GUID *interfaceClassGuid, DWORD memberIndex,
                                        PSP_DEVICE_INTERFACE_DATA deviceInterfaceData);
BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO deviceInfoSet, PSP_DEVICE_INTERFACE_DATA deviceInterfaceData,
                                             PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                             PDWORD requiredSize, PSP_DEVINFO_DATA deviceInfoData);
BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet);

#ifdef __cplusplus
}
#endif

#endif /* TEVRIN_PLATFORM_SETUPAPI_H */

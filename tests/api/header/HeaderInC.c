/* The public header compiles as C and declares every export with C linkage:
   this file takes the address of each one through the header alone. */
#include <TevrinSdk_Halden.h>

#include "HeaderInC.h"

#define TEVRIN_EXPORT_NAME(name) (TevrinExportAddress) name,
static const TevrinExportAddress kExports[] = {
#include "ExportNames.inc"
};
#undef TEVRIN_EXPORT_NAME

#define TEVRIN_EXPORT_NAME(name) #name,
static const char* const kNames[] = {
#include "ExportNames.inc"
};
#undef TEVRIN_EXPORT_NAME

int TevrinExportCountFromC(void) {
  return (int)(sizeof kExports / sizeof kExports[0]);
}

TevrinExportAddress TevrinExportFromC(int index) {
  return kExports[index];
}

const char* TevrinExportNameFromC(int index) {
  return kNames[index];
}

int TevrinFrameInfoSizeFromC(void) {
  return (int)sizeof(FrameInfo);
}

int TevrinCameraInfoSizeFromC(void) {
  return (int)sizeof(CameraInfo);
}

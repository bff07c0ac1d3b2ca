#ifndef TEVRIN_TESTS_HEADER_IN_C_H
#define TEVRIN_TESTS_HEADER_IN_C_H

#ifdef __cplusplus
extern "C" {
#endif

typedef void (*TevrinExportAddress)(void);

int TevrinExportCountFromC(void);
TevrinExportAddress TevrinExportFromC(int index);
const char* TevrinExportNameFromC(int index);
int TevrinFrameInfoSizeFromC(void);
int TevrinCameraInfoSizeFromC(void);

#ifdef __cplusplus
}
#endif

#endif

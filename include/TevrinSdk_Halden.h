/*
 * TevrinSdk_Halden: the C interface of the Tevrin Halden camera SDK.
 *
 * Every function is safe to call from any thread. Results are nonzero for
 * success and 0 for failure unless a function says otherwise.
 */
#ifndef TEVRINSDK_HALDEN_H
#define TEVRINSDK_HALDEN_H

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Posted to the application's frame window once per delivered frame. */
#define TEVRIN_MSG_FRAME (WM_APP + 2) /* 32770 */
/* Posted to the application's window with the error code in lParam. */
#define TEVRIN_MSG_ERROR (WM_APP + 3) /* 32771 */

/* The library's version as 0xMMmmYYDD; takes no handle and never fails. */
int Tevrin_GetDllVersion(void);

#ifdef __cplusplus
}
#endif

#endif /* TEVRINSDK_HALDEN_H */

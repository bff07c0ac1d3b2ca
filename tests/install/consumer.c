/* An application built only from an installed prefix, through pkg-config. */
#include <TevrinSdk_Halden.h>
#include <stdio.h>

int main(void) {
  HANDLE event = CreateEventA(NULL, TRUE, FALSE, NULL);
  if (event == NULL || WaitForSingleObject(event, 0) != WAIT_TIMEOUT) return 1;
  CloseHandle(event);
  printf("TevrinSdk_Halden 0x%08X\n", (unsigned)Tevrin_GetDllVersion());
  return Tevrin_GetDllVersion() == 0x02180521 ? 0 : 1;
}

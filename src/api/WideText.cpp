#include "api/WideText.h"

#include <algorithm>

#include <windows.h>

// A character the code page lacks would come out as a stand-in, naming
// another file than the caller meant: that is no conversion either.
bool ToNarrow(const wchar_t* wide, char (&narrow)[kNarrowTextSize]) {
  return WideCharToMultiByte(CP_THREAD_ACP, WC_ERR_INVALID_CHARS, wide, -1, narrow, kNarrowTextSize, nullptr, nullptr) >
         0;
}

bool ToWide(const char* narrow, unsigned codePage, wchar_t* wide, int size) {
  wchar_t converted[kWideTextSize];
  const int length = MultiByteToWideChar(codePage, 0, narrow, -1, converted, kWideTextSize);
  if (length <= 0 || !wide || size < length) return false;
  std::copy_n(converted, length, wide);
  return true;
}

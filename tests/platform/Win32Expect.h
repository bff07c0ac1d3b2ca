// Checks a Win32 failure the way a Windows caller sees it: the failure result
// and the code GetLastError then gives.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#define EXPECT_FAILS(call, failure, error)                \
  do {                                                    \
    EXPECT_EQ((call), (failure));                         \
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(error)); \
  } while (0)

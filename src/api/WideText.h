#pragma once

#include <cwchar>

// Text crossing the wide exports: callers' UTF-16 (wchar_t) strings in, the
// library's narrow strings out, through buffers of these sizes.
constexpr int kNarrowTextSize = 1024;
constexpr int kWideTextSize = 1024;

// Converts `wide` into the thread's ANSI code page; false when it does not
// convert (unpaired surrogates and values beyond U+10FFFF included: a
// replacement character would let different paths name one file) or does
// not fit. The wide exports' error 12.
bool ToNarrow(const wchar_t* wide, char (&narrow)[kNarrowTextSize]);

// Converts a narrow name for a caller's buffer of `size` characters; false
// when it does not convert or the caller's buffer is too short (a negative
// size included).
bool ToWide(const char* narrow, unsigned codePage, wchar_t* wide, int size);

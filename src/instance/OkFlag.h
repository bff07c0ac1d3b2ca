#pragma once

// Getters report success through an optional flag the caller may leave null.
inline int SetOk(int* ok, int value) {
  if (ok) *ok = value;
  return value;
}

#pragma once

#include "settings/Geometry.h"

enum class SizeLookup { Found, NoKey, NoMatch };

// Searches the stored size entries "Size_00".."Size_99" of a camera for the
// first whose effective size is width x height. NoKey: the camera's key is
// missing; NoMatch: no entry of that size before the first missing one.
SizeLookup FindSizeEntry(int deviceNumber, int width, int height, Geometry* found);

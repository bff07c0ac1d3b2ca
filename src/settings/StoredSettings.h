#pragma once

#include <vector>

#include "settings/Geometry.h"
#include "settings/SettingsBlocks.h"

// Each camera's settings, one registry key per device number. Every operation
// returns 1 on success and 0 when a key could not be opened or created. A
// stored value of the wrong type or size, or out of its range, loads as the
// default, so the next save repairs it.

// The geometry of the selected size entry. On a machine without settings it
// creates the first camera's defaults and leaves `geometry` as it is.
int LoadGeometry(int deviceNumber, const OutputCapabilities& caps, Geometry* geometry);
// Colour mode (adjusted to what the sensor delivers), subsampling, wait time
// and clock.
int LoadFormat(int deviceNumber, const OutputCapabilities& caps, FormatSettings* format);

// Subkey "Gain". A missing key or value loads as the sensor's default.
int LoadAnalog(int deviceNumber, const AnalogLimits& limits, AnalogSettings* analog);
int SaveAnalog(int deviceNumber, const AnalogSettings& analog);

// Subkey "Filter": the colour pipeline values.
int LoadFilter(int deviceNumber, ImageSettings* image);
int SaveFilter(int deviceNumber, const ImageSettings& image);

// Subkey "Gray". Saving needs the camera's key to exist already.
int LoadGray(int deviceNumber, ImageSettings* image);
int SaveGray(int deviceNumber, const ImageSettings& image);

// What the camera dialog edits: every size entry, the selected one and the
// format values.
struct SizeTable {
  std::vector<Geometry> entries;
  int selected = 0;
  FormatSettings format;
};
int LoadSizeTable(int deviceNumber, const OutputCapabilities& caps, SizeTable* table);
int SaveSizeTable(int deviceNumber, const SizeTable& table);

// The colour mode the sensor delivers in place of `mode`.
int AdjustColorMode(int mode, const OutputCapabilities& caps);
// The colour mode a new camera key starts with.
int InitialColorMode(const OutputCapabilities& caps);

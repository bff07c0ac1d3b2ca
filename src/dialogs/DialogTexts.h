#pragma once

#include <string>

// The texts the dialogs put into their controls at run time, in the user's
// language; the templates hold the rest.
struct DialogTexts {
  const char* streamFormatTab;
  const char* colorModes[6];  // by colour-mode index; "%d" is the gray bit depth
  const char* custom;
  const char* clocks[3];  // "%d" is the fast clock in MHz
};

const DialogTexts& Texts();
// "%d" of a label filled in.
std::string Format(const char* label, int value);
// "%d x %d": the label of a size entry.
std::string SizeLabel(int width, int height);

inline constexpr const char* kAnalogTab = "Analog Gain";
inline constexpr const char* kImageFilterTab = "Image Filter";
inline constexpr const char* kGrayFilterTab = "Gray Filter";

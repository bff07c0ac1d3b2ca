#include "dialogs/DialogTexts.h"

#include <cstdio>

#include "dialogs/DialogLanguage.h"

namespace {

const DialogTexts kJapanese = {
    "ストリーム形式",
    {"白黒 8bit", "白黒 %dbit ※", "カラー 24bit", "カラー 32bit", "カラー 48bit ※", "カラー 64bit ※"},
    "カスタム",
    {"標準(24MHz)", "ハーフ(12MHz)", "高速(%dMHz)"},
};

const DialogTexts kEnglish = {
    "Stream Format",
    {"Monochrome 8bit", "Monochrome %dbit *", "Color 24bit", "Color 32bit", "Color 48bit *", "Color 64bit *"},
    "Custom",
    {"Nomal(24MHz)", "Half(12MHz)", "High(%dMHz)"},
};

}  // namespace

const DialogTexts& Texts() {
  return UseJapaneseTemplates() ? kJapanese : kEnglish;
}

std::string Format(const char* label, int value) {
  char text[64];
  std::snprintf(text, sizeof text, label, value);
  return text;
}

std::string SizeLabel(int width, int height) {
  char text[32];
  std::snprintf(text, sizeof text, "%d x %d", width, height);
  return text;
}

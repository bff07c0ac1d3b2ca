#include "dialogs/DialogLanguage.h"

namespace {

constexpr LANGID kJapanese = 1041;

}  // namespace

bool UseJapaneseTemplates() {
  return GetSystemDefaultLangID() == kJapanese;
}

HINSTANCE DialogModule() {
  return GetModuleHandleA("TevrinSdk_Halden.dll");
}

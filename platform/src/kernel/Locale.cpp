// GetSystemDefaultLangID from the user's POSIX locale, which on Linux plays the
// part of the Windows display language.
#include <windows.h>

#include <cstdlib>
#include <string_view>

namespace {
constexpr LANGID kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

// "ja", "ja_JP.UTF-8", "ja.eucJP", "ja@..."; not another language that merely starts with "ja".
bool IsJapanese(std::string_view locale) {
  return locale.starts_with("ja") &&
         (locale.size() == 2 || std::string_view("_.@").find(locale[2]) != std::string_view::npos);
}
}  // namespace

extern "C" LANGID WINAPI GetSystemDefaultLangID(void) {
  // The precedence POSIX gives these variables for message language.
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return IsJapanese(value) ? kJapanese : kEnglishUs;
  }
  return kEnglishUs;
}

// WideCharToMultiByte and MultiByteToWideChar. The ANSI code pages are UTF-8
// here and wchar_t holds one Unicode code point (UTF-32); a UTF-16 surrogate
// pair stored in two wchar_t is still read as one character.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsAnsiCodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP;
}

int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

struct Decoded {
  char32_t codePoint;
  size_t length;
  bool valid;
};

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

// One character of UTF-8; an invalid sequence consumes its longest valid-looking
// start, so each bad sequence becomes one replacement character.
Decoded DecodeUtf8(const unsigned char* text, size_t available) {
  unsigned char lead = text[0];
  if (lead < 0x80) return {lead, 1, true};
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  char32_t codePoint;
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    codePoint = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    codePoint = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return {kReplacement, 1, false};
  }
  for (size_t i = 1; i < length; ++i) {
    bool fits = i < available && (i == 1 ? InRange(text[i], low, high) : InRange(text[i], 0x80, 0xBF));
    if (!fits) return {kReplacement, i, false};
    codePoint = (codePoint << 6) | (text[i] & 0x3F);
  }
  return {codePoint, length, true};
}

Decoded DecodeWide(const wchar_t* text, size_t available) {
  auto unit = static_cast<uint32_t>(text[0]);
  bool high = unit >= 0xD800 && unit <= 0xDBFF;
  if (high && available > 1) {
    auto next = static_cast<uint32_t>(text[1]);
    if (next >= 0xDC00 && next <= 0xDFFF) return {0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), 2, true};
  }
  bool valid = unit <= 0x10FFFF && !(unit >= 0xD800 && unit <= 0xDFFF);
  return {valid ? unit : kReplacement, 1, valid};
}

void AppendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

// Size query (outputSize 0) or copy; a buffer too short is left untouched.
template <class Unit>
int Deliver(const std::basic_string<Unit>& converted, Unit* output, int outputSize) {
  if (converted.size() > static_cast<size_t>(INT32_MAX)) return Fail(ERROR_INVALID_PARAMETER);
  if (outputSize == 0) return static_cast<int>(converted.size());
  if (converted.size() > static_cast<size_t>(outputSize)) return Fail(ERROR_INSUFFICIENT_BUFFER);
  std::memcpy(output, converted.data(), converted.size() * sizeof(Unit));
  return static_cast<int>(converted.size());
}

bool BadBuffers(const void* input, int inputLength, const void* output, int outputSize) {
  return input == nullptr || inputLength == 0 || inputLength < -1 || outputSize < 0 ||
         (outputSize > 0 && output == nullptr);
}

}  // namespace

extern "C" int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                                          int narrowSize, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  bool ansi = IsAnsiCodePage(codePage);
  if (!ansi && codePage != CP_UTF8) return Fail(ERROR_INVALID_PARAMETER);
  DWORD allowedFlags = ansi ? WC_ERR_INVALID_CHARS | WC_NO_BEST_FIT_CHARS : WC_ERR_INVALID_CHARS;
  if ((flags & ~allowedFlags) != 0) return Fail(ERROR_INVALID_FLAGS);
  // A default character has no meaning for UTF-8, so Windows refuses one there.
  if (!ansi && (defaultChar != nullptr || usedDefaultChar != nullptr)) return Fail(ERROR_INVALID_PARAMETER);
  if (BadBuffers(wide, wideLength, narrow, narrowSize)) return Fail(ERROR_INVALID_PARAMETER);
  size_t length = wideLength == -1 ? std::wcslen(wide) + 1 : static_cast<size_t>(wideLength);
  std::string converted;
  bool replaced = false;
  for (size_t at = 0; at < length;) {
    Decoded decoded = DecodeWide(wide + at, length - at);
    at += decoded.length;
    if (decoded.valid) {
      AppendUtf8(converted, decoded.codePoint);
      continue;
    }
    if (flags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    replaced = true;
    if (defaultChar != nullptr) {
      converted += *defaultChar;
    } else {
      AppendUtf8(converted, kReplacement);
    }
  }
  int result = Deliver(converted, narrow, narrowSize);
  if (result != 0 && usedDefaultChar != nullptr) *usedDefaultChar = replaced ? TRUE : FALSE;
  return result;
}

extern "C" int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength, LPWSTR wide,
                                          int wideSize) {
  bool ansi = IsAnsiCodePage(codePage);
  if (!ansi && codePage != CP_UTF8) return Fail(ERROR_INVALID_PARAMETER);
  DWORD allowedFlags = ansi ? MB_ERR_INVALID_CHARS | MB_PRECOMPOSED | MB_USEGLYPHCHARS : MB_ERR_INVALID_CHARS;
  if ((flags & ~allowedFlags) != 0) return Fail(ERROR_INVALID_FLAGS);
  if (BadBuffers(narrow, narrowLength, wide, wideSize)) return Fail(ERROR_INVALID_PARAMETER);
  size_t length = narrowLength == -1 ? std::strlen(narrow) + 1 : static_cast<size_t>(narrowLength);
  auto bytes = reinterpret_cast<const unsigned char*>(narrow);
  std::wstring converted;
  for (size_t at = 0; at < length;) {
    Decoded decoded = DecodeUtf8(bytes + at, length - at);
    at += decoded.length;
    if (!decoded.valid && (flags & MB_ERR_INVALID_CHARS)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    converted += static_cast<wchar_t>(decoded.codePoint);
  }
  return Deliver(converted, wide, wideSize);
}

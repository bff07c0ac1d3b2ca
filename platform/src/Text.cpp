// Code-page conversion. The ANSI code pages are UTF-8 on Linux and wchar_t
// holds one Unicode scalar value per element.
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include <windows.h>

namespace {

bool IsUtf8CodePage(UINT codePage) {
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP || codePage == CP_UTF8;
}

bool IsScalar(std::uint32_t c) {
  return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF);
}

void AppendUtf8(std::uint32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at text[*at]; false for a malformed one.
bool DecodeUtf8(const unsigned char* text, int length, int* at, std::uint32_t* c) {
  const unsigned char lead = text[*at];
  int extra = 0;
  if (lead >= 0xC2 && lead < 0xE0) {
    extra = 1;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    extra = 2;
  } else if (lead >= 0xF0 && lead < 0xF5) {
    extra = 3;
  } else if (lead >= 0x80) {
    return false;
  }
  if (*at + extra >= length) return false;
  std::uint32_t value = extra == 0 ? lead : lead & (0x3Fu >> extra);
  for (int i = 1; i <= extra; ++i) {
    if ((text[*at + i] & 0xC0) != 0x80) return false;
    value = (value << 6) | (text[*at + i] & 0x3Fu);
  }
  static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  if (value < kMinimum[extra] || !IsScalar(value)) return false;
  *at += extra + 1;
  *c = value;
  return true;
}

// Copies a converted text into the caller's buffer with Windows' size rules:
// size 0 asks for the length, a short buffer is ERROR_INSUFFICIENT_BUFFER.
template <typename Char>
int Deliver(const std::basic_string<Char>& converted, Char* out, int outSize) {
  const int length = static_cast<int>(converted.size());
  if (outSize == 0) return length;
  if (length > outSize) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  converted.copy(out, converted.size());
  return length;
}

}  // namespace

extern "C" int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR narrow,
                                          int narrowSize, LPCSTR, LPBOOL usedDefaultChar) {
  if (!wide || wideLength == 0 || wideLength < -1 || narrowSize < 0 || (narrowSize > 0 && !narrow)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!IsUtf8CodePage(codePage)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int count = wideLength == -1 ? static_cast<int>(std::wcslen(wide)) + 1 : wideLength;
  std::string converted;
  for (int i = 0; i < count; ++i) {
    auto c = static_cast<std::uint32_t>(wide[i]);
    if (!IsScalar(c)) {
      if (flags & WC_ERR_INVALID_CHARS) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
      }
      c = 0xFFFD;
    }
    AppendUtf8(c, &converted);
  }
  if (usedDefaultChar) *usedDefaultChar = FALSE;
  return Deliver(converted, narrow, narrowSize);
}

extern "C" int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR narrow, int narrowLength, LPWSTR wide,
                                          int wideSize) {
  if (!narrow || narrowLength == 0 || narrowLength < -1 || wideSize < 0 || (wideSize > 0 && !wide) ||
      !IsUtf8CodePage(codePage)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int count = narrowLength == -1 ? static_cast<int>(std::strlen(narrow)) + 1 : narrowLength;
  const auto* bytes = reinterpret_cast<const unsigned char*>(narrow);
  std::wstring converted;
  for (int at = 0; at < count;) {
    std::uint32_t c = 0;
    if (!DecodeUtf8(bytes, count, &at, &c)) {
      if (flags & MB_ERR_INVALID_CHARS) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return 0;
      }
      c = 0xFFFD;
      ++at;
    }
    converted.push_back(static_cast<wchar_t>(c));
  }
  return Deliver(converted, wide, wideSize);
}

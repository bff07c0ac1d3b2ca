// Code-page conversion, the language ID and module names.
#include <gtest/gtest.h>
#include <unistd.h>
#include <windows.h>

#include "Win32Expect.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(WideCharToMultiByte, ConvertsToUtf8WithWindowsSizes) {
  const wchar_t* wide = L"Kamera \u00e9\u65e5\U0001F4F7";  // 1-, 2-, 3- and 4-byte characters
  const char* utf8 = "Kamera \xc3\xa9\xe6\x97\xa5\xf0\x9f\x93\xb7";
  const int withTerminator = static_cast<int>(std::strlen(utf8)) + 1;
  for (UINT codePage : {CP_ACP, CP_THREAD_ACP, CP_UTF8}) {
    SCOPED_TRACE(codePage);
    EXPECT_EQ(WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr), withTerminator);
    char buffer[1024];
    ASSERT_EQ(WideCharToMultiByte(codePage, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr), withTerminator);
    EXPECT_STREQ(buffer, utf8);
  }
  char exact[3] = {'x', 'x', 'x'};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"abc", 2, exact, 3, nullptr, nullptr), 2) << "no terminator added";
  EXPECT_EQ(exact[2], 'x');
  // A UTF-16 surrogate pair held in two wchar_t is one character.
  const wchar_t pair[] = {0xD83D, 0xDCF7, 0};
  char camera[8] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, pair, -1, camera, sizeof camera, nullptr, nullptr), 5);
  EXPECT_STREQ(camera, "\xf0\x9f\x93\xb7");
}

TEST(WideCharToMultiByte, ShortBuffersAndBadInputFail) {
  char small[4] = {'x', 'x', 'x', 'x'};
  EXPECT_FAILS(WideCharToMultiByte(CP_UTF8, 0, L"\u65e5\u672c", -1, small, sizeof small, nullptr, nullptr), 0,
               ERROR_INSUFFICIENT_BUFFER);
  const wchar_t lone[] = {L'a', 0xDC00, L'b', 0};
  char replaced[16] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, -1, replaced, sizeof replaced, nullptr, nullptr), 6);
  EXPECT_STREQ(replaced,
               "a\xef\xbf\xbd"
               "b");
  EXPECT_FAILS(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, replaced, 16, nullptr, nullptr), 0,
               ERROR_NO_UNICODE_TRANSLATION);
  BOOL usedDefault = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, lone, -1, replaced, 16, "?", &usedDefault), 4);
  EXPECT_STREQ(replaced, "a?b");
  EXPECT_TRUE(usedDefault);

  struct Case {
    const char* label;
    UINT codePage;
    DWORD flags;
    const wchar_t* input;
    int inputLength;
    char* output;
    int outputSize;
    LPBOOL usedDefault;
    DWORD error;
  };
  const Case cases[] = {
      {"null input", CP_UTF8, 0, nullptr, -1, replaced, 16, nullptr, ERROR_INVALID_PARAMETER},
      {"zero length", CP_UTF8, 0, L"a", 0, replaced, 16, nullptr, ERROR_INVALID_PARAMETER},
      {"length below -1", CP_UTF8, 0, L"a", -2, replaced, 16, nullptr, ERROR_INVALID_PARAMETER},
      {"null output with a size", CP_UTF8, 0, L"a", -1, nullptr, 16, nullptr, ERROR_INVALID_PARAMETER},
      {"negative size", CP_UTF8, 0, L"a", -1, replaced, -1, nullptr, ERROR_INVALID_PARAMETER},
      {"default char with UTF-8", CP_UTF8, 0, L"a", -1, replaced, 16, &usedDefault, ERROR_INVALID_PARAMETER},
      {"unknown code page", 932, 0, L"a", -1, replaced, 16, nullptr, ERROR_INVALID_PARAMETER},
      {"flag UTF-8 does not take", CP_UTF8, WC_NO_BEST_FIT_CHARS, L"a", -1, replaced, 16, nullptr, ERROR_INVALID_FLAGS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(WideCharToMultiByte(c.codePage, c.flags, c.input, c.inputLength, c.output, c.outputSize, nullptr,
                                  c.usedDefault),
              0);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

TEST(MultiByteToWideChar, DecodesUtf8AndRejectsWhatIsNotUtf8) {
  wchar_t wide[16] = {};
  EXPECT_EQ(MultiByteToWideChar(CP_THREAD_ACP, 0, "\xe6\x97\xa5\xf0\x9f\x93\xb7", -1, nullptr, 0), 3);
  ASSERT_EQ(MultiByteToWideChar(CP_THREAD_ACP, 0, "\xe6\x97\xa5\xf0\x9f\x93\xb7", -1, wide, 16), 3);
  EXPECT_EQ(std::wstring(wide), L"\u65e5\U0001F4F7");
  EXPECT_FAILS(MultiByteToWideChar(CP_UTF8, 0, "abcdef", -1, wide, 6), 0, ERROR_INSUFFICIENT_BUFFER);

  struct Case {
    const char* label;
    const char* input;
    const wchar_t* replaced;
  };
  const Case invalid[] = {
      {"stray continuation", "a\x80z", L"a\uFFFDz"},
      {"overlong slash", "a\xc0\xafz", L"a\uFFFD\uFFFDz"},
      {"encoded surrogate", "a\xed\xa0\x80z", L"a\uFFFD\uFFFD\uFFFDz"},
      {"beyond U+10FFFF", "a\xf4\x90\x80\x80z", L"a\uFFFD\uFFFD\uFFFD\uFFFDz"},
      {"cut short", "a\xe6\x97z", L"a\uFFFDz"},
      {"cut by the end", "a\xe6\x97", L"a\uFFFD"},
  };
  for (const Case& c : invalid) {
    SCOPED_TRACE(c.label);
    int length = static_cast<int>(std::strlen(c.input));
    int count = MultiByteToWideChar(CP_UTF8, 0, c.input, length, wide, 16);
    EXPECT_EQ(std::wstring(wide, count > 0 ? count : 0), c.replaced);
    EXPECT_FAILS(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.input, length, wide, 16), 0,
                 ERROR_NO_UNICODE_TRANSLATION);
  }
  EXPECT_FAILS(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 16), 0, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(MultiByteToWideChar(CP_UTF8, 0, "a", -1, nullptr, 4), 0, ERROR_INVALID_PARAMETER);
  EXPECT_FAILS(MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "a", -1, wide, 4), 0, ERROR_INVALID_FLAGS);
}

TEST(GetSystemDefaultLangID, JapaneseLocaleGives1041) {
  struct Case {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    LANGID expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, "ja_JP.UTF-8", 1041}, {nullptr, nullptr, "ja", 1041},
      {nullptr, nullptr, "en_US.UTF-8", 1033}, {nullptr, nullptr, nullptr, 1033},
      {"C", nullptr, "ja_JP.UTF-8", 1033},     {nullptr, "ja_JP.eucJP", "en_GB", 1041},
      {nullptr, nullptr, "jam", 1033},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.lcAll ? c.lcAll : "-") + " " + (c.lcMessages ? c.lcMessages : "-") + " " +
                 (c.lang ? c.lang : "-"));
    const char* names[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
    const char* values[] = {c.lcAll, c.lcMessages, c.lang};
    for (int i = 0; i < 3; ++i) {
      if (values[i] != nullptr) {
        setenv(names[i], values[i], 1);
      } else {
        unsetenv(names[i]);
      }
    }
    EXPECT_EQ(GetSystemDefaultLangID(), c.expected);
  }
}

TEST(Modules, HandlesAndFileNames) {
  HMODULE program = GetModuleHandleA(nullptr);
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(GetModuleHandleA(nullptr), program);
  char exe[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  char name[PATH_MAX];
  EXPECT_EQ(GetModuleFileNameA(nullptr, name, sizeof name), std::strlen(exe));
  EXPECT_STREQ(name, exe);
  EXPECT_EQ(GetModuleFileNameA(program, name, sizeof name), std::strlen(exe));

  // The Windows name of a library finds the Linux file.
  HMODULE platform = GetModuleHandleA("TEVRIN_WIN32.DLL");
  ASSERT_NE(platform, nullptr);
  EXPECT_EQ(GetModuleHandleA("tevrin_win32"), platform);
  EXPECT_EQ(GetModuleHandleA("libtevrin_win32.so"), platform);
  ASSERT_GT(GetModuleFileNameA(platform, name, sizeof name), 0u);
  EXPECT_NE(std::strstr(name, "/libtevrin_win32.so"), nullptr) << name;

  EXPECT_FAILS(GetModuleHandleA("no_such_module.dll"), nullptr, ERROR_MOD_NOT_FOUND);
  EXPECT_FAILS(GetModuleFileNameA(reinterpret_cast<HMODULE>(&name), name, sizeof name), 0u, ERROR_MOD_NOT_FOUND);
}

TEST(Modules, ShortBufferGetsTheCutNameAndItsSize) {
  char exe[PATH_MAX] = {};
  ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
  char name[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(GetModuleFileNameA(nullptr, name, 5), 5u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::string(name), std::string(exe, 4));
  EXPECT_EQ(name[5], 'x');
  EXPECT_FAILS(GetModuleFileNameA(nullptr, name, 0), 0u, ERROR_INSUFFICIENT_BUFFER);
  EXPECT_FAILS(GetModuleFileNameA(nullptr, nullptr, 5), 0u, ERROR_INVALID_PARAMETER);
}

}  // namespace

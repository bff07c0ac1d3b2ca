// Dialog templates compiled from a resource script: found by module, ID and
// the system language, with the controls, texts and styles the script says.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "Win32Expect.h"
#include "dialogs/test_ids.h"

namespace {

std::string TextOf(HWND window) {
  char text[128] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

DWORD StyleOf(HWND dialog, int id) {
  return static_cast<DWORD>(GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE));
}

struct LanguageCase {
  const char* locale;
  const char* caption;
  const char* cancel;
};

class DialogResourcesTest : public testing::TestWithParam<LanguageCase> {};

TEST_P(DialogResourcesTest, TemplateOfTheSystemLanguageIsCreated) {
  setenv("LC_ALL", GetParam().locale, 1);
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SAMPLE), nullptr, nullptr, 0);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(TextOf(dialog), GetParam().caption);
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDCANCEL)), GetParam().cancel);
  DestroyWindow(dialog);
}

INSTANTIATE_TEST_SUITE_P(Languages, DialogResourcesTest,
                         testing::Values(LanguageCase{"ja_JP.UTF-8", "プロパティ", "キャンセル"},
                                         LanguageCase{"en_US.UTF-8", "Property", "Cancel"},
                                         LanguageCase{"de_DE.UTF-8", "Property", "Cancel"}));

TEST(DialogResources, StatementsGiveTheirClassesStylesAndDialogUnits) {
  setenv("LC_ALL", "C", 1);
  HWND dialog = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(IDD_SAMPLE), nullptr, nullptr, 0);
  ASSERT_NE(dialog, nullptr);
  struct {
    int id;
    DWORD set;
    DWORD clear;
  } cases[] = {
      {IDC_NAME, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 0},
      {IDOK, WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
      {IDC_FIRST, WS_GROUP | BS_AUTORADIOBUTTON, 0},
      {IDC_MODE, CBS_DROPDOWNLIST | WS_VSCROLL, 0},
      {IDC_APPLY, WS_DISABLED, WS_TABSTOP},
      {IDC_LEVEL_SPIN, UDS_SETBUDDYINT | UDS_AUTOBUDDY | WS_CHILD | WS_VISIBLE, 0},
  };
  for (const auto& expected : cases) {
    SCOPED_TRACE(expected.id);
    EXPECT_EQ(StyleOf(dialog, expected.id) & (expected.set | expected.clear), expected.set);
  }
  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_MODE, CB_GETCOUNT, 0, 0), 0);  // a combo box answers
  RECT ok{};
  GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
  RECT units{40, 100, 40 + 40, 100 + 14};
  MapDialogRect(dialog, &units);
  EXPECT_EQ(ok.right - ok.left, units.right - units.left);
  EXPECT_EQ(ok.bottom - ok.top, units.bottom - units.top);
  DestroyWindow(dialog);
}

TEST(DialogResources, LookupByModuleAndName) {
  HMODULE self = GetModuleHandleA(nullptr);
  HRSRC resource = FindResourceA(self, MAKEINTRESOURCEA(IDD_SAMPLE), RT_DIALOG);
  ASSERT_NE(resource, nullptr);
  EXPECT_GT(SizeofResource(self, resource), 0u);
  EXPECT_NE(LockResource(LoadResource(self, resource)), nullptr);
  EXPECT_NE(FindResourceA(self, "#200", RT_DIALOG), nullptr);
  EXPECT_FAILS(FindResourceA(self, MAKEINTRESOURCEA(IDD_SAMPLE + 1), RT_DIALOG), nullptr,
               ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_FAILS(FindResourceA(GetModuleHandleA("tevrin_win32"), MAKEINTRESOURCEA(IDD_SAMPLE), RT_DIALOG), nullptr,
               ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_FAILS(CreateDialogParamA(self, MAKEINTRESOURCEA(IDD_SAMPLE + 1), nullptr, nullptr, 0), nullptr,
               ERROR_RESOURCE_NAME_NOT_FOUND);
}

}  // namespace

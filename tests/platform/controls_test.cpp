// The controls' answers to the program's messages, each on a control made
// alone in a dialog on the test thread (no headless mode needed).
#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    dialog_ = CreateWindowExA(0, "#32770", "host", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override { DestroyWindow(dialog_); }

  HWND Make(const char* className, DWORD style, int id) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, dialog_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }

  HWND dialog_ = nullptr;
};

TEST_F(ControlsTest, GetDlgItemIntReadsWhatWindowsAccepts) {
  Make("EDIT", 0, 1);
  struct {
    const char* text;
    BOOL isSigned;
    BOOL translated;
    UINT value;
  } cases[] = {
      {"42", FALSE, TRUE, 42},           {"  7", TRUE, TRUE, 7},
      {"-5", TRUE, TRUE, 0u - 5u},       {"-5", FALSE, FALSE, 0},
      {"1a", TRUE, FALSE, 0},            {"", TRUE, FALSE, 0},
      {"2147483648", TRUE, FALSE, 0},    {"4294967295", FALSE, TRUE, 4294967295u},
      {"-2147483648", TRUE, TRUE, 0x80000000u},
  };
  for (const auto& example : cases) {
    SCOPED_TRACE(example.text);
    SetDlgItemTextA(dialog_, 1, example.text);
    BOOL translated = -1;
    EXPECT_EQ(GetDlgItemInt(dialog_, 1, &translated, example.isSigned), example.value);
    EXPECT_EQ(translated, example.translated);
  }
}

TEST_F(ControlsTest, ComboBoxSelectionFollowsItsItems) {
  HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, 2);
  for (const char* item : {"a", "b", "c"}) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 2, 0), 2);
  SendMessageA(combo, CB_DELETESTRING, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
  EXPECT_EQ(SendMessageA(combo, CB_SETCURSEL, 5, 0), CB_ERR);  // out of range clears the selection
  EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("C")), 1);
  EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, 7, 0), CB_ERR);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0);
}

TEST_F(ControlsTest, UpDownClampsAndWritesItsBuddy) {
  struct {
    DWORD style;
    int pos;
    const char* text;
  } cases[] = {{0, 1234, "1,234"}, {UDS_NOTHOUSANDS, -1234, "-1234"}, {UDS_NOTHOUSANDS, 9000, "5000"}};
  for (const auto& example : cases) {
    SCOPED_TRACE(example.text);
    HWND buddy = Make("EDIT", 0, 3);
    HWND updown = Make(UPDOWN_CLASS, UDS_SETBUDDYINT | UDS_AUTOBUDDY | example.style, 4);
    SendMessageA(updown, UDM_SETRANGE32, static_cast<WPARAM>(-5000), 5000);
    SendMessageA(updown, UDM_SETPOS32, 0, example.pos);
    char text[16] = {};
    GetWindowTextA(buddy, text, sizeof text);
    EXPECT_STREQ(text, example.text);
    DestroyWindow(updown);
    DestroyWindow(buddy);
  }
}

TEST_F(ControlsTest, TrackbarKeepsItsPositionInsideTheRange) {
  HWND trackbar = Make(TRACKBAR_CLASS, 0, 5);
  SendMessageA(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(-255, 255));
  SendMessageA(trackbar, TBM_SETPOS, TRUE, -300);
  EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), -255);
  SendMessageA(trackbar, TBM_SETRANGEMIN, TRUE, 0);
  EXPECT_EQ(SendMessageA(trackbar, TBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(SendMessageA(trackbar, TBM_SETPAGESIZE, 0, 64), 20);
  EXPECT_EQ(SendMessageA(trackbar, TBM_GETPAGESIZE, 0, 0), 64);
}

TEST_F(ControlsTest, WideMessagesCarryTheSameText) {
  HWND combo = Make("COMBOBOX", CBS_DROPDOWNLIST, 6);
  SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"白黒 8bit"));
  char narrow[32] = {};
  SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(narrow));
  EXPECT_STREQ(narrow, "白黒 8bit");
  wchar_t wide[32] = {};
  EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(wide)), 7);
  EXPECT_STREQ(wide, L"白黒 8bit");

  HWND tabs = Make(WC_TABCONTROL, 0, 7);
  wchar_t tab[] = L"ストリーム形式";
  TCITEMW item{.mask = TCIF_TEXT, .dwState = 0, .dwStateMask = 0, .pszText = tab, .cchTextMax = 0, .iImage = 0,
               .lParam = 0};
  SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  wchar_t read[32] = {};
  item.pszText = read;
  item.cchTextMax = 32;
  EXPECT_TRUE(SendMessageW(tabs, TCM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_STREQ(read, L"ストリーム形式");
}

TEST_F(ControlsTest, EnableWindowReportsThePreviousState) {
  HWND button = Make("BUTTON", BS_AUTOCHECKBOX, 8);
  EXPECT_FALSE(EnableWindow(button, FALSE));
  EXPECT_TRUE(EnableWindow(button, FALSE));
  SendMessageA(button, BM_CLICK, 0, 0);  // a disabled box does not toggle
  EXPECT_EQ(IsDlgButtonChecked(dialog_, 8), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_TRUE(EnableWindow(button, TRUE));
  EXPECT_TRUE(IsWindowEnabled(button));
}

}  // namespace
